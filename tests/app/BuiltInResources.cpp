#include "BuiltInResources.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace restest {

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(
            static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

uint16_t Read16At(const void* block, size_t size, size_t offset) {
    uint16_t value = 0;
    if (size >= offset + sizeof(value)) {
        std::memcpy(&value, static_cast<const uint8_t*>(block) + offset, sizeof(value));
    }
    return value;
}

// A bounds-checked reader over a template block. Once a read runs past the
// end, ok() stays false and every later read yields zero.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }

    template <class T>
    T Read() {
        T value{};
        if (!ok_ || size_ - offset_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    std::wstring ReadText() {
        std::wstring text;
        for (wchar_t c = Read<uint16_t>(); ok_ && c != 0; c = Read<uint16_t>()) {
            text.push_back(c);
        }
        return text;
    }

    NameOrOrdinal ReadNameOrOrdinal() {
        NameOrOrdinal field;
        const uint16_t first = Read<uint16_t>();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Read<uint16_t>();
        } else if (first != 0) {
            field.text.push_back(static_cast<wchar_t>(first));
            field.text += ReadText();
        }
        return field;
    }

    void Skip(size_t n) {
        if (!ok_ || size_ - offset_ < n) {
            ok_ = false;
            return;
        }
        offset_ += n;
    }

    void AlignTo4() { Skip(((offset_ + 3) & ~size_t{3}) - offset_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace

HMODULE ResourceModule() {
    return GetModuleHandleW(nullptr);
}

std::wstring BuiltInString(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, so the whole string is read whatever its length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::vector<UINT> BuiltInStringIds() {
    // The string table is stored in blocks of 16 strings; block n holds the
    // identifiers (n - 1) * 16 to (n - 1) * 16 + 15.
    std::vector<UINT> ids;
    for (WORD block : BuiltInResourceIds(RT_STRING)) {
        for (UINT i = 0; i < 16; ++i) {
            const UINT id = (UINT{block} - 1) * 16 + i;
            if (!BuiltInString(id).empty()) {
                ids.push_back(id);
            }
        }
    }
    return ids;
}

std::vector<WORD> BuiltInResourceIds(LPCWSTR type) {
    std::vector<WORD> ids;
    EnumResourceNamesW(ResourceModule(), type, CollectName, reinterpret_cast<LONG_PTR>(&ids));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        MenuEntry entry;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            entry.separator = (info.fType & MFT_SEPARATOR) != 0;
            entry.popup = info.hSubMenu != nullptr;
            // Separators report themselves disabled; only the state of an
            // item that carries a command or a submenu means something.
            entry.grayed = !entry.separator && (info.fState & MFS_GRAYED) != 0;
            entry.id = info.wID;
            entry.text = text;
            if (entry.popup) {
                entry.items = ReadMenu(info.hSubMenu);
            }
        }
        items.push_back(std::move(entry));
    }
    return items;
}

std::vector<MenuEntry> ReadBuiltInMenu(WORD id) {
    HMENU menu = LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(id));
    if (!menu) {
        return {};
    }
    std::vector<MenuEntry> items = ReadMenu(menu);
    DestroyMenu(menu);
    return items;
}

const MenuEntry* FindCommand(const std::vector<MenuEntry>& items, UINT id,
                             const std::vector<MenuEntry>** parent) {
    for (const MenuEntry& item : items) {
        if (item.popup) {
            if (const MenuEntry* found = FindCommand(item.items, id, parent)) {
                return found;
            }
        } else if (!item.separator && item.id == id) {
            if (parent) {
                *parent = &items;
            }
            return &item;
        }
    }
    return nullptr;
}

std::optional<DialogTemplateData> ParseDialogTemplate(const void* block, size_t size) {
    Cursor in(static_cast<const uint8_t*>(block), size);
    DialogTemplateData dialog;
    uint16_t count = 0;

    // The extended form starts with version 1 and the signature 0xFFFF where
    // the plain form has its style.
    const uint16_t version = Read16At(block, size, 0);
    const uint16_t signature = Read16At(block, size, 2);
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        in.Skip(4);           // version, signature
        in.Read<uint32_t>();  // help id
        dialog.extStyle = in.Read<uint32_t>();
        dialog.style = in.Read<uint32_t>();
    } else {
        dialog.style = in.Read<uint32_t>();
        dialog.extStyle = in.Read<uint32_t>();
    }
    count = in.Read<uint16_t>();
    dialog.x = in.Read<int16_t>();
    dialog.y = in.Read<int16_t>();
    dialog.width = in.Read<int16_t>();
    dialog.height = in.Read<int16_t>();
    in.ReadNameOrOrdinal();  // menu
    in.ReadNameOrOrdinal();  // class
    dialog.caption = in.ReadText();
    if (dialog.style & DS_SETFONT) {
        dialog.hasFont = true;
        dialog.pointSize = in.Read<uint16_t>();
        if (dialog.extended) {
            in.Read<uint16_t>();  // weight
            in.Read<uint8_t>();   // italic
            in.Read<uint8_t>();   // character set
        }
        dialog.face = in.ReadText();
    }

    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        in.AlignTo4();
        TemplateControl control;
        if (dialog.extended) {
            in.Read<uint32_t>();  // help id
            control.extStyle = in.Read<uint32_t>();
            control.style = in.Read<uint32_t>();
        } else {
            control.style = in.Read<uint32_t>();
            control.extStyle = in.Read<uint32_t>();
        }
        control.x = in.Read<int16_t>();
        control.y = in.Read<int16_t>();
        control.width = in.Read<int16_t>();
        control.height = in.Read<int16_t>();
        control.id = dialog.extended ? in.Read<uint32_t>() : in.Read<uint16_t>();
        control.windowClass = in.ReadNameOrOrdinal();
        control.title = in.ReadNameOrOrdinal();
        in.Skip(in.Read<uint16_t>());  // creation data
        dialog.controls.push_back(std::move(control));
    }
    if (!in.ok()) {
        return std::nullopt;
    }
    return dialog;
}

std::optional<DialogTemplateData> BuiltInDialog(WORD id) {
    HRSRC info = FindResourceW(ResourceModule(), MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!info) {
        return std::nullopt;
    }
    // Resource memory belongs to the module: nothing is freed here.
    HGLOBAL loaded = LoadResource(ResourceModule(), info);
    const void* block = loaded ? LockResource(loaded) : nullptr;
    if (!block) {
        return std::nullopt;
    }
    return ParseDialogTemplate(block, SizeofResource(ResourceModule(), info));
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

std::wstring ClassNameOf(const NameOrOrdinal& windowClass) {
    if (!windowClass.isOrdinal) {
        return Lower(windowClass.text);
    }
    switch (windowClass.ordinal) {
        case 0x80:
            return L"button";
        case 0x81:
            return L"edit";
        case 0x82:
            return L"static";
        case 0x83:
            return L"listbox";
        case 0x84:
            return L"scrollbar";
        case 0x85:
            return L"combobox";
        default:
            return L"#" + std::to_wstring(windowClass.ordinal);
    }
}

}  // namespace restest
