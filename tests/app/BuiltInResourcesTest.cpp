// The built-in resources as the program loads them under Wine: the English
// string table, the four menus, the main accelerator table and the dialogs,
// each created for real and searched for the controls their code relies on.

#include "BuiltInResources.h"
#include "Resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace restest {
namespace {

// ---------------------------------------------------------------------------
// Strings

struct StringCase {
    UINT id;
    const wchar_t* text;
};

// The texts the messages, captions and titles must show, word for word.
constexpr StringCase kQuotedStrings[] = {
    {IDS_APP_TITLE, L"Vyrd Documentation Viewer"},
    {IDS_PANE_CONTENT, L"Content"},
    {IDS_PANE_BOOKMARKS, L"Bookmarks"},
    {IDS_RECENT_FILE_MISSING,
     L"The file '%s' cannot be opened and will be removed from the Recent list."},
    {IDS_XML_FILE_FILTER, L"XML Files (*.xml)|*.xml|All Files|*.*||"},
    {IDS_PAGE_NOT_FOUND, L"There is no page numbered '%d' in this document."},
    {IDS_PAGE_NOT_IN_RANGE, L"Page not in range"},
    {IDS_OPEN_FILE_FILTER,
     L"DjVu Files (*.djvu; *.djv)|*.djvu;*.djv|PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif; "
     L"*.tiff)|*.tif;*.tiff|All supported formats (*.djvu; *.djv; *.pdf; *.tif; "
     L"*.tiff)|*.djvu;*.djv;*.pdf;*.tif;*.tiff|All Files (*.*)|*.*||"},
    {IDS_PAGE_OF_COUNT, L"%d of %d"},
    {IDS_OF_PAGE_COUNT, L"of %d"},
    {IDS_ZOOM_RANGE, L"Zoom must be set from 5% to 500%."},
    {IDS_ZOOM_OUT_OF_RANGE, L"Zoom out of range"},
    {IDS_CANNOT_CREATE_READER,
     L"Can't create object for reading file. Please, re-install Vyrd Viewer application."},
    {IDS_READER_ERROR, L"Vyrd Viewer error"},
    {IDS_CANNOT_OPEN_FILE,
     L"Can't open file: %s. The file is corrupted or format is not supported."},
    {IDS_RECENT_FILES, L"Recent Files"},
    {IDS_ERROR_PARAMETER, L"Error parameter"},
    {IDS_INTEGER_RANGE, L"An integer between %d and %d is required. Closest value inserted."},
    {IDS_PANE_SEARCH, L"Search"},
    {IDS_DJVU_FILE_FILTER, L"DjVu Files (*.djvu; *.djv)|*.djvu;*.djv||"},
    {IDS_PDF_FILE_FILTER, L"PDF Files (*.pdf)|*.pdf||"},
    {IDS_TIFF_FILE_FILTER, L"TIFF Files (*.tif; *.tiff)|*.tif;*.tiff||"},
    {ID_ZOOM_FIT_WIDTH, L"Fit width"},
    {ID_ZOOM_FIT_PAGE, L"Fit page"},
    {ID_BOOKMARK_ADD, L"Add new bookmark"},
    {ID_BOOKMARK_DELETE, L"Delete bookmark"},
    {ID_BOOKMARK_EDIT, L"Edit bookmark"},
    {ID_BOOKMARK_UP, L"Move item up"},
    {ID_BOOKMARK_DOWN, L"Move item down"},
    {ID_BOOKMARK_CUT, L"Cut bookmark"},
    {ID_BOOKMARK_COPY, L"Copy bookmark"},
    {ID_BOOKMARK_PASTE, L"Paste bookmark"},
    {ID_BOOKMARK_EXPORT, L"Export bookmarks to XML file"},
    {ID_BOOKMARK_IMPORT, L"Import bookmarks from XML file"},
    {IDS_BOOKMARK_DEFAULT_NAME, L"Bookmark at page %d"},
    {IDS_SEARCH_PAGE_COLUMN, L"Page"},
    {IDS_SEARCH_TEXT_COLUMN, L"Text"},
    {IDS_SEARCH_START, L"Start"},
    {IDS_SEARCH_STOP, L"Stop"},
    {IDS_DELETE_BOOKMARK_QUESTION, L"Are you sure you want to delete bookmark '%s'?"},
    {IDS_DELETE_BOOKMARK, L"Delete bookmark"},
};

// Every string identifier of Resource.h: messages and titles, then the tool
// bar tooltips that share their number with a command.
constexpr UINT kNamedStringIds[] = {
    IDS_APP_TITLE, IDS_PANE_CONTENT, IDS_PANE_BOOKMARKS, IDS_RECENT_FILE_MISSING,
    IDS_XML_FILE_FILTER, IDS_PAGE_NOT_FOUND, IDS_PAGE_NOT_IN_RANGE, IDS_OPEN_FILE_FILTER,
    IDS_PAGE_OF_COUNT, IDS_OF_PAGE_COUNT, IDS_ZOOM_RANGE, IDS_ZOOM_OUT_OF_RANGE,
    IDS_INSTALLED_FORMATS, IDS_CANNOT_CREATE_READER, IDS_READER_ERROR, IDS_CANNOT_OPEN_FILE,
    IDS_RECENT_FILES, IDS_ERROR_PARAMETER, IDS_INTEGER_RANGE, IDS_PANE_SEARCH, IDS_DJVU_FILE_FILTER,
    IDS_PDF_FILE_FILTER, IDS_TIFF_FILE_FILTER, IDS_OPTIONS_GENERAL, IDS_TAB_SCROLL_LEFT,
    IDS_TAB_SCROLL_RIGHT, IDS_TAB_CLOSE, IDS_BOOKMARK_DEFAULT_NAME, IDS_SEARCH_PAGE_COLUMN,
    IDS_SEARCH_TEXT_COLUMN, IDS_SEARCH_START, IDS_SEARCH_STOP, IDS_DELETE_BOOKMARK_QUESTION,
    IDS_DELETE_BOOKMARK, IDS_LANGUAGE_RESTART,
    // Standard tool bar
    ID_FILE_OPEN, ID_TOOLS_OPTIONS, ID_VIEW_SETTINGS, ID_ROTATE_PAGE_CW, ID_ROTATE_PAGE_CCW,
    ID_ZOOM_OUT, ID_ZOOM_IN, ID_ZOOM_FIT_PAGE, ID_ZOOM_FIT_WIDTH, ID_LEFTPANE_SEARCH, ID_TOOL_HAND,
    ID_TOOL_SELECT_TEXT, ID_TOOL_SELECT_IMAGE, ID_TOOL_ZOOM_SELECTION, ID_EDIT_COPY,
    // Pages tool bar
    ID_GO_FIRST_PAGE, ID_GO_PREVIOUS_PAGE, ID_GO_NEXT_PAGE, ID_GO_LAST_PAGE, ID_LAYOUT_PAGE,
    ID_LAYOUT_FACING, ID_GO_PREVIOUS_VIEW, ID_GO_NEXT_VIEW,
    // bookmark pane tool bar
    ID_BOOKMARK_ADD, ID_BOOKMARK_DELETE, ID_BOOKMARK_EDIT, ID_BOOKMARK_UP, ID_BOOKMARK_DOWN,
    ID_BOOKMARK_CUT, ID_BOOKMARK_COPY, ID_BOOKMARK_PASTE, ID_BOOKMARK_EXPORT, ID_BOOKMARK_IMPORT};

TEST(BuiltInStrings, QuotedTextsAreExact) {
    for (const StringCase& c : kQuotedStrings) {
        EXPECT_EQ(BuiltInString(c.id), c.text) << "string " << c.id;
    }
}

TEST(BuiltInStrings, TheStringTableHoldsExactlyTheNamedStrings) {
    std::vector<UINT> named(std::begin(kNamedStringIds), std::end(kNamedStringIds));
    std::sort(named.begin(), named.end());
    EXPECT_EQ(std::adjacent_find(named.begin(), named.end()), named.end())
        << "a string identifier is listed twice";
    EXPECT_EQ(BuiltInStringIds(), named);
    for (UINT id : kNamedStringIds) {
        EXPECT_FALSE(BuiltInString(id).empty()) << "string " << id;
    }
}

TEST(BuiltInStrings, InstalledFormatsAreOnePerLine) {
    std::wstring text = BuiltInString(IDS_INSTALLED_FORMATS);
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    lines.push_back(text.substr(start));
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"Tagged Image File Format", L"DjVu File Format",
                                                L"Portable Document Format"}));
}

// ---------------------------------------------------------------------------
// Menus

class LoadedMenu {
public:
    explicit LoadedMenu(WORD id) : menu_(LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(id))) {}
    ~LoadedMenu() {
        if (menu_) {
            DestroyMenu(menu_);
        }
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

struct MenuCommand {
    UINT id;
    const wchar_t* text;
};

// Every command of the main menu with its text as shown.
constexpr MenuCommand kMainMenuCommands[] = {
    {ID_FILE_OPEN, L"&Open\tCtrl+O"},
    {ID_FILE_SAVE_COPY_AS, L"&Save copy as...\t Ctrl+S"},
    {ID_FILE_CLOSE, L"&Close\tCtrl+F4"},
    {ID_FILE_CLOSE_ALL, L"Close &all"},
    {ID_FILE_COPY_PATH, L"Copy Document &Path"},
    {ID_FILE_OPEN_FOLDER, L"Open Containing &Folder"},
    {ID_TOOLS_OPTIONS, L"O&ptions"},
    {ID_FILE_MRU_FIRST, L"Recent Files"},
    {ID_APP_EXIT, L"E&xit"},
    {ID_VIEW_STANDARD_TOOLBAR, L"Standard"},
    {ID_VIEW_PAGES_TOOLBAR, L"Pages"},
    {ID_LEFTPANE_CONTENT, L"&Content"},
    {ID_LEFTPANE_BOOKMARKS, L"&Bookmark"},
    {ID_LEFTPANE_SEARCH, L"&Search"},
    {ID_LEFTPANE_HIDE, L"&Hide"},
    {ID_VIEW_FULL_SCREEN, L"F&ull Screen\tShift+Alt+Enter"},
    {ID_VIEW_SETTINGS, L"&Setting"},
    {ID_ZOOM_FIT_PAGE, L"Fit &page\tCtrl+1"},
    {ID_ZOOM_FIT_WIDTH, L"Fit &width\tCtrl+2"},
    {ID_ZOOM_FIT_CURRENT_PAGE, L"Fit &current page\tCtrl+3"},
    {ID_ZOOM_500, L"Zoom 500%"},
    {ID_ZOOM_200, L"Zoom 200%"},
    {ID_ZOOM_100, L"Zoom 100%"},
    {ID_ZOOM_50, L"Zoom 50%"},
    {ID_ZOOM_25, L"Zoom 25%"},
    {ID_ZOOM_10, L"Zoom 10%"},
    {ID_ZOOM_5, L"Zoom 5%"},
    {ID_ZOOM_IN, L"Zoom &in\tCtrl++"},
    {ID_ZOOM_OUT, L"Zoom &out\tCtrl+-"},
    {ID_LAYOUT_PAGE, L"&Page\tCtrl+Alt+1"},
    {ID_LAYOUT_FACING, L"&Face\tCtrl+Alt+2"},
    {ID_ROTATE_PAGE_CW, L"&Clockwise"},
    {ID_ROTATE_PAGE_CCW, L"Counterclock&wise"},
    {ID_ROTATE_ALL_CW, L"&Clockwise"},
    {ID_ROTATE_ALL_CCW, L"Counterclock&wise"},
    {ID_ROTATE_RESET, L"&Reset all"},
    {ID_GO_FIRST_PAGE, L"&First page\tHome"},
    {ID_GO_PREVIOUS_PAGE, L"&Previous page\tCtrl+PgUp"},
    {ID_GO_NEXT_PAGE, L"&Next page\tCtrl+PgDn"},
    {ID_GO_LAST_PAGE, L"&Last page\tEnd"},
    {ID_GO_TO_PAGE, L"&Goto page...\tCtrl+G"},
    {ID_GO_PREVIOUS_VIEW, L"Previous &view"},
    {ID_GO_NEXT_VIEW, L"Ne&xt view"},
    {ID_TOOL_HAND, L"&Hand tool"},
    {ID_TOOL_SELECT_TEXT, L"Select &text"},
    {ID_TOOL_SELECT_IMAGE, L"Select &image"},
    {ID_TOOL_ZOOM_SELECTION, L"&Zoom selection"},
    {ID_EDIT_COPY, L"&Copy\tCtrl+C"},
    {ID_APP_ABOUT, L"&About"},
};

void CollectCommands(const std::vector<MenuEntry>& items, std::vector<UINT>& out) {
    for (const MenuEntry& item : items) {
        if (item.popup) {
            CollectCommands(item.items, out);
        } else if (!item.separator) {
            out.push_back(item.id);
        }
    }
}

TEST(BuiltInMenus, MainMenuHoldsEveryCommandOnceWithItsText) {
    LoadedMenu menu(IDR_MAINFRAME);
    ASSERT_TRUE(menu.Get());
    const std::vector<MenuEntry> items = ReadMenu(menu.Get());
    std::vector<UINT> commands;
    CollectCommands(items, commands);
    std::vector<UINT> expected;
    for (const MenuCommand& c : kMainMenuCommands) {
        expected.push_back(c.id);
        const MenuEntry* found = FindCommand(items, c.id);
        ASSERT_TRUE(found) << "command " << c.id;
        EXPECT_EQ(found->text, c.text) << "command " << c.id;
    }
    std::sort(commands.begin(), commands.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(commands, expected) << "commands missing, repeated or unexpected";
}

TEST(BuiltInMenus, RotationOfThePageAndOfAllPagesAreSeparateSubmenus) {
    LoadedMenu menu(IDR_MAINFRAME);
    ASSERT_TRUE(menu.Get());
    const std::vector<MenuEntry> items = ReadMenu(menu.Get());
    const std::vector<MenuEntry>* pageMenu = nullptr;
    const std::vector<MenuEntry>* allMenu = nullptr;
    ASSERT_TRUE(FindCommand(items, ID_ROTATE_PAGE_CW, &pageMenu));
    ASSERT_TRUE(FindCommand(items, ID_ROTATE_ALL_CW, &allMenu));
    EXPECT_NE(pageMenu, allMenu);
    EXPECT_TRUE(FindCommand(*pageMenu, ID_ROTATE_PAGE_CCW));
    EXPECT_TRUE(FindCommand(*allMenu, ID_ROTATE_ALL_CCW));
}

TEST(BuiltInMenus, RecentFilesPlaceholderIsADisabledItemOfTheFileMenu) {
    LoadedMenu menu(IDR_MAINFRAME);
    ASSERT_TRUE(menu.Get());
    HMENU file = GetSubMenu(menu.Get(), 0);
    ASSERT_TRUE(file);
    // The recent list is rebuilt by position inside the first submenu.
    const std::vector<MenuEntry> items = ReadMenu(file);
    const auto placeholder = std::find_if(items.begin(), items.end(), [](const MenuEntry& e) {
        return !e.popup && !e.separator && e.id == ID_FILE_MRU_FIRST;
    });
    ASSERT_NE(placeholder, items.end());
    EXPECT_TRUE(placeholder->grayed);
    EXPECT_EQ(placeholder->text, BuiltInString(IDS_RECENT_FILES));
    for (const MenuEntry& e : items) {
        if (!e.popup && !e.separator && e.id != ID_FILE_MRU_FIRST) {
            EXPECT_TRUE(e.id < ID_FILE_MRU_FIRST || e.id > ID_FILE_MRU_LAST) << e.id;
        }
    }
}

struct ContextMenuCase {
    WORD menuId;
    std::vector<MenuCommand> commands;  // in menu order, separators left out
};

const ContextMenuCase kContextMenus[] = {
    {IDR_TAB_MENU,
     {{ID_FILE_DUPLICATE_TAB, L"&Duplicate Tab"},
      {ID_FILE_SAVE_COPY_AS, L"&Save copy as..."},
      {ID_FILE_CLOSE, L"&Close"},
      {ID_FILE_CLOSE_ALL_BUT_THIS, L"Close All But &This"},
      {ID_FILE_CLOSE_ALL, L"Close &All"},
      {ID_FILE_COPY_PATH, L"Copy Document &Path"},
      {ID_FILE_OPEN_FOLDER, L"Open Containing &Folder"}}},
    {IDR_BOOKMARK_MENU,
     {{ID_BOOKMARK_GOTO, L"Go to bookmark"},
      {ID_BOOKMARK_ADD, L"Add"},
      {ID_BOOKMARK_DELETE, L"Delete"},
      {ID_BOOKMARK_EDIT, L"Edit"},
      {ID_BOOKMARK_UP, L"Item up"},
      {ID_BOOKMARK_DOWN, L"Item down"},
      {ID_BOOKMARK_CUT, L"Cut"},
      {ID_BOOKMARK_COPY, L"Copy"},
      {ID_BOOKMARK_PASTE, L"Paste"},
      {ID_BOOKMARK_EXPORT, L"Export to XML"},
      {ID_BOOKMARK_IMPORT, L"Import from XML"}}},
    {IDR_PAGE_MENU,
     {{ID_EDIT_COPY, L"&Copy\tCtrl+C"},
      {ID_GO_PREVIOUS_PAGE, L"&Previous page\tCtrl+PgUp"},
      {ID_GO_NEXT_PAGE, L"&Next page\tCtrl+PgDn"},
      {ID_GO_PREVIOUS_VIEW, L"Previous &view"},
      {ID_GO_NEXT_VIEW, L"Ne&xt view"},
      {ID_FILE_CLOSE, L"Clo&se"}}},
};

TEST(BuiltInMenus, ContextMenusShowTheirCommandsInOrderInSubmenuZero) {
    for (const ContextMenuCase& c : kContextMenus) {
        SCOPED_TRACE(testing::Message() << "menu " << c.menuId);
        LoadedMenu menu(c.menuId);
        ASSERT_TRUE(menu.Get());
        HMENU sub = GetSubMenu(menu.Get(), 0);
        ASSERT_TRUE(sub);
        std::vector<UINT> ids;
        std::vector<std::wstring> texts;
        for (const MenuEntry& e : ReadMenu(sub)) {
            EXPECT_FALSE(e.popup);
            EXPECT_FALSE(e.grayed);
            if (!e.separator) {
                ids.push_back(e.id);
                texts.push_back(e.text);
            }
        }
        std::vector<UINT> expectedIds;
        std::vector<std::wstring> expectedTexts;
        for (const MenuCommand& command : c.commands) {
            expectedIds.push_back(command.id);
            expectedTexts.push_back(command.text);
        }
        EXPECT_EQ(ids, expectedIds);
        EXPECT_EQ(texts, expectedTexts);
    }
}

// ---------------------------------------------------------------------------
// Accelerators

struct AccelCase {
    BYTE modifiers;  // FCONTROL, FALT, FSHIFT
    WORD key;        // virtual key
    WORD command;
};

constexpr AccelCase kAccelerators[] = {
    {FCONTROL, 'O', ID_FILE_OPEN},
    {FCONTROL, 'S', ID_FILE_SAVE_COPY_AS},
    {FCONTROL, VK_F4, ID_FILE_CLOSE},
    {FCONTROL, 'F', ID_LEFTPANE_SEARCH},
    {FALT, VK_RETURN, ID_VIEW_FULL_SCREEN},
    {FSHIFT | FALT, VK_RETURN, ID_VIEW_FULL_SCREEN},
    {FCONTROL, '1', ID_ZOOM_FIT_PAGE},
    {FCONTROL, '2', ID_ZOOM_FIT_WIDTH},
    {FCONTROL, '3', ID_ZOOM_FIT_CURRENT_PAGE},
    {FCONTROL, VK_OEM_PLUS, ID_ZOOM_IN},
    {FCONTROL, VK_ADD, ID_ZOOM_IN},
    {FCONTROL, VK_OEM_MINUS, ID_ZOOM_OUT},
    {FCONTROL, VK_SUBTRACT, ID_ZOOM_OUT},
    {FCONTROL | FALT, '1', ID_LAYOUT_PAGE},
    {FCONTROL | FALT, '2', ID_LAYOUT_FACING},
    {FCONTROL, VK_HOME, ID_GO_FIRST_PAGE},
    {FCONTROL, VK_PRIOR, ID_GO_PREVIOUS_PAGE},
    {FCONTROL, VK_NEXT, ID_GO_NEXT_PAGE},
    {FCONTROL, VK_END, ID_GO_LAST_PAGE},
    {FCONTROL, 'G', ID_GO_TO_PAGE},
    {FCONTROL, 'Z', ID_GO_PREVIOUS_VIEW},
    {FCONTROL, 'R', ID_GO_NEXT_VIEW},
    {FCONTROL, 'C', ID_EDIT_COPY},
    {FCONTROL, VK_INSERT, ID_EDIT_COPY},
    {FCONTROL, VK_TAB, ID_NEXT_TAB},
    {FCONTROL | FSHIFT, VK_TAB, ID_PREVIOUS_TAB},
    {0, VK_ESCAPE, ID_ESCAPE},
};

TEST(BuiltInAccelerators, MainTableMapsEachKeyToItsCommand) {
    HACCEL table = LoadAcceleratorsW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(table);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);

    EXPECT_EQ(entries.size(), std::size(kAccelerators));
    for (const AccelCase& c : kAccelerators) {
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const ACCEL& a) {
            return (a.fVirt & FVIRTKEY) && (a.fVirt & (FCONTROL | FALT | FSHIFT)) == c.modifiers &&
                   a.key == c.key;
        });
        ASSERT_NE(match, entries.end())
            << "no entry for key " << c.key << " with modifiers " << int{c.modifiers};
        EXPECT_EQ(match->cmd, c.command) << "key " << c.key;
        // No second entry for the same keys.
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                                [&](const ACCEL& a) {
                                    return (a.fVirt & (FCONTROL | FALT | FSHIFT)) == c.modifiers &&
                                           a.key == c.key;
                                }),
                  1);
    }
}

}  // namespace
}  // namespace restest
