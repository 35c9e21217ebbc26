// An in-memory dialog template (the plain DLGTEMPLATE form, not the extended
// one) written from a dialog description, ready for DialogBoxIndirectParamW and
// CreateDialogIndirectParamW.
//
// Nothing here touches XML or windows: the language resources read the
// description from their file, this file only lays out the bytes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyrdapp {

// One control of a dialog. The class is the predefined-class atom
// `systemClass` when non-zero (0x80 button, 0x81 edit, 0x82 static, 0x83 list
// box, 0x84 scroll bar, 0x85 combo box), else the text `className`. The title is
// the resource ordinal `captionId` when non-zero, else the text `caption`.
struct DialogControlDescription {
    uint32_t style = 0;
    uint32_t extStyle = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint16_t id = 0;
    uint16_t systemClass = 0;
    std::wstring className;
    uint16_t captionId = 0;
    std::wstring caption;
};

// A dialog box: position and size in dialog units, the title, and the font,
// which is written only when `style` has DS_SETFONT.
struct DialogDescription {
    uint32_t style = 0;
    uint32_t extStyle = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    std::wstring caption;
    uint16_t fontSize = 0;
    std::wstring fontName;
    std::vector<DialogControlDescription> controls;
};

// Bytes taken by the dialog header: the fixed fields, no menu, the standard
// class, the title, the font block when the style asks for one, and the padding
// that puts the first control on a 4-byte boundary.
size_t DialogHeaderSize(const DialogDescription& dialog);
// Bytes taken by one control item including the padding after it.
size_t DialogControlSize(const DialogControlDescription& control);

// Owner of one template block. Empty (Get() null) when default-constructed or
// moved from; otherwise the block has exactly the size of its header and items,
// starts on a 4-byte boundary and is freed with the object. Move-only.
class DialogTemplate {
public:
    DialogTemplate() = default;
    DialogTemplate(DialogTemplate&&) noexcept = default;
    DialogTemplate& operator=(DialogTemplate&&) noexcept = default;
    DialogTemplate(const DialogTemplate&) = delete;
    DialogTemplate& operator=(const DialogTemplate&) = delete;

    // Lays out `dialog` and all its controls, in order. Throws std::bad_alloc
    // only when the block cannot be allocated.
    static DialogTemplate Write(const DialogDescription& dialog);

    const DLGTEMPLATE* Get() const {
        return words_.empty() ? nullptr : reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }
    explicit operator bool() const { return !words_.empty(); }
    std::span<const uint8_t> Bytes() const {
        return {reinterpret_cast<const uint8_t*>(words_.data()), words_.size() * sizeof(uint32_t)};
    }

private:
    // 32-bit words: the block must be DWORD-aligned, and its size is always a
    // multiple of 4 because the header and every item are padded to one.
    std::vector<uint32_t> words_;
};

}  // namespace vyrdapp
