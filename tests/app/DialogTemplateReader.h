// Reads a plain DLGTEMPLATE block back into fields, the way the dialog manager
// walks it: header, menu, class, title, the font only with DS_SETFONT, then
// each item on a 4-byte boundary. Used by the tests to check template blocks
// without trusting the writer's own sizing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace langtest {

// A class or title field: a 16-bit ordinal after 0xFFFF, or a text.
struct OrdinalOrText {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::wstring text;
};

struct ParsedControl {
    size_t offset = 0;
    uint32_t style = 0;
    uint32_t extStyle = 0;
    int16_t x = 0, y = 0, width = 0, height = 0;
    uint16_t id = 0;
    OrdinalOrText windowClass;
    OrdinalOrText title;
    uint16_t creationDataSize = 0;
};

struct ParsedDialog {
    bool complete = false;  // every field was inside the block
    uint32_t style = 0;
    uint32_t extStyle = 0;
    uint16_t count = 0;
    int16_t x = 0, y = 0, width = 0, height = 0;
    OrdinalOrText menu;
    OrdinalOrText windowClass;
    std::wstring title;
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::wstring face;
    size_t headerEnd = 0;  // where the first item starts
    std::vector<ParsedControl> controls;
    size_t end = 0;  // end of the last item, padding included
};

class TemplateCursor {
public:
    explicit TemplateCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }

    template <class T>
    T Read() {
        T value{};
        if (offset_ + sizeof(T) > bytes_.size()) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        while (ok_) {
            const uint16_t c = Read<uint16_t>();
            if (!ok_ || c == 0) {
                break;
            }
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    OrdinalOrText Field() {
        OrdinalOrText field;
        const size_t start = offset_;
        if (Read<uint16_t>() == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Read<uint16_t>();
        } else {
            offset_ = start;
            field.text = Text();
        }
        return field;
    }
    void Align4() { offset_ = (offset_ + 3) & ~size_t{3}; }

private:
    std::span<const uint8_t> bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

inline ParsedDialog ParseDialogTemplate(std::span<const uint8_t> bytes) {
    ParsedDialog d;
    TemplateCursor in(bytes);
    d.style = in.Read<uint32_t>();
    d.extStyle = in.Read<uint32_t>();
    d.count = in.Read<uint16_t>();
    d.x = in.Read<int16_t>();
    d.y = in.Read<int16_t>();
    d.width = in.Read<int16_t>();
    d.height = in.Read<int16_t>();
    d.menu = in.Field();
    d.windowClass = in.Field();
    d.title = in.Text();
    if (d.style & DS_SETFONT) {
        d.hasFont = true;
        d.pointSize = in.Read<uint16_t>();
        d.face = in.Text();
    }
    in.Align4();
    d.headerEnd = in.offset();
    for (uint16_t i = 0; i < d.count && in.ok(); ++i) {
        ParsedControl c;
        c.offset = in.offset();
        c.style = in.Read<uint32_t>();
        c.extStyle = in.Read<uint32_t>();
        c.x = in.Read<int16_t>();
        c.y = in.Read<int16_t>();
        c.width = in.Read<int16_t>();
        c.height = in.Read<int16_t>();
        c.id = in.Read<uint16_t>();
        c.windowClass = in.Field();
        c.title = in.Field();
        c.creationDataSize = in.Read<uint16_t>();
        in.Align4();
        d.controls.push_back(std::move(c));
    }
    d.end = in.offset();
    d.complete = in.ok() && d.end <= bytes.size();
    return d;
}

}  // namespace langtest
