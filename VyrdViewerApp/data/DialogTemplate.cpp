#include "DialogTemplate.h"

#include <cassert>
#include <cstring>

namespace vyrdapp {

namespace {

// Fixed part of the dialog header: style, extended style (32 bits each), the
// control count, x, y, width, height (16 bits each).
constexpr size_t kDialogFixedSize = 18;
// Fixed part of a control item: style, extended style, x, y, width, height, id.
constexpr size_t kControlFixedSize = 18;
// A class or title given as a resource ordinal: 0xFFFF and the 16-bit value.
constexpr size_t kOrdinalSize = 4;
constexpr uint16_t kOrdinalMarker = 0xFFFF;

size_t TextSize(const std::wstring& text) {
    return 2 * text.size() + 2;
}

size_t AlignUp4(size_t size) {
    return (size + 3) & ~size_t{3};
}

bool HasFont(const DialogDescription& dialog) {
    return (dialog.style & DS_SETFONT) != 0;
}

// Writes little-endian fields into a zero-filled block. The block was sized
// from the same description beforehand, so every write lands inside it; the
// asserts keep the sizing and the writing in step.
class BlockWriter {
public:
    explicit BlockWriter(std::span<uint8_t> block) : block_(block) {}

    void Word(uint16_t value) { Put(&value, sizeof(value)); }
    void Short(int16_t value) { Put(&value, sizeof(value)); }
    void Dword(uint32_t value) { Put(&value, sizeof(value)); }
    // The text and its terminating zero.
    void Text(const std::wstring& text) {
        for (wchar_t c : text) {
            Word(static_cast<uint16_t>(c));
        }
        Word(0);
    }
    void OrdinalOrText(uint16_t ordinal, const std::wstring& text) {
        if (ordinal != 0) {
            Word(kOrdinalMarker);
            Word(ordinal);
        } else {
            Text(text);
        }
    }
    // Skips the zero padding up to the next 4-byte boundary.
    void Align4() { offset_ = AlignUp4(offset_); }
    size_t Offset() const { return offset_; }

private:
    void Put(const void* value, size_t size) {
        assert(offset_ + size <= block_.size());
        std::memcpy(block_.data() + offset_, value, size);
        offset_ += size;
    }

    std::span<uint8_t> block_;
    size_t offset_ = 0;
};

void WriteHeader(BlockWriter& out, const DialogDescription& dialog) {
    out.Dword(dialog.style);
    out.Dword(dialog.extStyle);
    out.Word(static_cast<uint16_t>(dialog.controls.size()));
    out.Short(dialog.x);
    out.Short(dialog.y);
    out.Short(dialog.width);
    out.Short(dialog.height);
    out.Word(0);  // no menu
    out.Word(0);  // the standard dialog class
    out.Text(dialog.caption);
    if (HasFont(dialog)) {
        out.Word(dialog.fontSize);
        out.Text(dialog.fontName);
    }
    out.Align4();
}

void WriteControl(BlockWriter& out, const DialogControlDescription& control) {
    out.Dword(control.style);
    out.Dword(control.extStyle);
    out.Short(control.x);
    out.Short(control.y);
    out.Short(control.width);
    out.Short(control.height);
    out.Word(control.id);
    out.OrdinalOrText(control.systemClass, control.className);
    out.OrdinalOrText(control.captionId, control.caption);
    out.Word(0);  // no creation data
    out.Align4();
}

}  // namespace

size_t DialogHeaderSize(const DialogDescription& dialog) {
    // Menu and class are one zero word each.
    size_t size = kDialogFixedSize + 2 + 2 + TextSize(dialog.caption);
    if (HasFont(dialog)) {
        size += 2 + TextSize(dialog.fontName);
    }
    return AlignUp4(size);
}

size_t DialogControlSize(const DialogControlDescription& control) {
    const size_t classSize = control.systemClass != 0 ? kOrdinalSize : TextSize(control.className);
    const size_t titleSize = control.captionId != 0 ? kOrdinalSize : TextSize(control.caption);
    // The trailing word is the (empty) creation data count.
    return AlignUp4(kControlFixedSize + classSize + titleSize + 2);
}

DialogTemplate DialogTemplate::Write(const DialogDescription& dialog) {
    size_t total = DialogHeaderSize(dialog);
    for (const DialogControlDescription& control : dialog.controls) {
        total += DialogControlSize(control);
    }
    assert(total % sizeof(uint32_t) == 0);

    DialogTemplate block;
    // Value-initialised: the padding and the unused halves stay zero.
    block.words_.resize(total / sizeof(uint32_t));
    const std::span<uint8_t> bytes(reinterpret_cast<uint8_t*>(block.words_.data()), total);
    BlockWriter out(bytes);
    WriteHeader(out, dialog);
    assert(out.Offset() == DialogHeaderSize(dialog));
    for (const DialogControlDescription& control : dialog.controls) {
        // Each item starts on a 4-byte boundary because the header and every
        // earlier item end on one.
        WriteControl(out, control);
    }
    assert(out.Offset() == total);
    return block;
}

}  // namespace vyrdapp
