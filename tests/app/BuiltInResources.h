// Reads the built-in resources of the running module back into plain values:
// the string table, menus (as trees) and dialog templates (both the plain and
// the extended template form, walked the way the dialog manager walks them).
// The resource and language file tests compare against these.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace restest {

// The module that holds the built-in resources: the test program itself.
HMODULE ResourceModule();

// The built-in string with this identifier; empty when there is none.
std::wstring BuiltInString(UINT id);
// Every identifier of the built-in string table with a non-empty string, in
// increasing order.
std::vector<UINT> BuiltInStringIds();
// The integer identifiers of every built-in resource of a type (RT_MENU,
// RT_DIALOG...), in increasing order.
std::vector<WORD> BuiltInResourceIds(LPCWSTR type);

// One menu item. A separator has no text and no id; a popup has its items.
struct MenuEntry {
    bool separator = false;
    bool popup = false;
    bool grayed = false;
    UINT id = 0;  // command identifier; meaningless for popups
    std::wstring text;
    std::vector<MenuEntry> items;
};

// The items of a menu, read with GetMenuItemInfoW, submenus included.
std::vector<MenuEntry> ReadMenu(HMENU menu);
// The items of the built-in menu with this identifier; empty when it does not
// load.
std::vector<MenuEntry> ReadBuiltInMenu(WORD id);
// The first non-popup item with this command identifier, searched depth first;
// `parent` receives the list that holds it.
const MenuEntry* FindCommand(const std::vector<MenuEntry>& items, UINT id,
                             const std::vector<MenuEntry>** parent = nullptr);

// A class or a title field of a template: an ordinal after 0xFFFF, or text.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::wstring text;
};

struct TemplateControl {
    uint32_t style = 0;
    uint32_t extStyle = 0;
    int16_t x = 0, y = 0, width = 0, height = 0;
    uint32_t id = 0;  // 16 bits in the plain form, 32 in the extended one
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
};

struct DialogTemplateData {
    bool extended = false;
    uint32_t style = 0;
    uint32_t extStyle = 0;
    int16_t x = 0, y = 0, width = 0, height = 0;
    std::wstring caption;
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::wstring face;
    std::vector<TemplateControl> controls;
};

// Walks a DLGTEMPLATE or DLGTEMPLATEEX block; nullopt when a field or an item
// runs past the end of the block.
std::optional<DialogTemplateData> ParseDialogTemplate(const void* block, size_t size);
// The built-in dialog template with this identifier, parsed.
std::optional<DialogTemplateData> BuiltInDialog(WORD id);

// The class name of a template control in lower case: the predefined class for
// an atom (0x80 "button" ... 0x85 "combobox"), else the text.
std::wstring ClassNameOf(const NameOrOrdinal& windowClass);
std::wstring Lower(std::wstring text);

}  // namespace restest
