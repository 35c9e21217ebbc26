// The built-in dialogs: each template is well formed, uses the shell dialog
// font, and creates a real dialog under Wine whose controls are where the
// dialog code looks for them, of the right class and kind.

#include "BuiltInResources.h"
#include "Resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace restest {
namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A window destroyed with its scope.
class OwnedWindow {
public:
    explicit OwnedWindow(HWND window) : window_(window) {}
    ~OwnedWindow() {
        if (window_) {
            DestroyWindow(window_);
        }
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

void RegisterCommonControls() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return Lower(name);
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> ChildTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(TextOf(child));
    }
    return texts;
}

struct ControlCase {
    int id;
    const wchar_t* className;  // lower case
    DWORD styleMask;           // the bits of the style that are checked...
    DWORD styleValue;          // ...and their value
    const wchar_t* text;       // null: not checked
};

struct DialogCase {
    WORD id;
    bool child;              // created inside a parent window (pages and panes)
    const wchar_t* caption;  // null for child dialogs
    std::vector<ControlCase> controls;
    std::vector<const wchar_t*> labels;  // texts of unnamed controls
};

constexpr DWORD kButtonType = BS_TYPEMASK;
constexpr DWORD kComboType = 0x3;  // CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST

const DialogCase kDialogs[] = {
    {IDD_GOTO_PAGE,
     false,
     L"Go To Page",
     {{IDC_GOTO_PAGE_NUMBER, L"edit", ES_NUMBER, ES_NUMBER, nullptr},
      {IDC_GOTO_PAGE_COUNT, L"static", 0, 0, nullptr},
      {IDOK, L"button", kButtonType, BS_DEFPUSHBUTTON, L"OK"},
      {IDCANCEL, L"button", kButtonType, BS_PUSHBUTTON, L"Cancel"}},
     {}},
    {IDD_BOOKMARK,
     false,
     nullptr,
     {{IDC_BOOKMARK_NAME, L"edit", 0, 0, nullptr},
      {IDC_BOOKMARK_NO_PAGE, L"button", kButtonType, BS_AUTORADIOBUTTON, L"None"},
      {IDC_BOOKMARK_GO_TO_PAGE, L"button", kButtonType, BS_AUTORADIOBUTTON, L"Go to &page number:"},
      {IDC_BOOKMARK_PAGE, L"edit", ES_NUMBER, ES_NUMBER, nullptr},
      {IDC_BOOKMARK_PAGE_SPIN, L"msctls_updown32", UDS_SETBUDDYINT, UDS_SETBUDDYINT, nullptr},
      {IDOK, L"button", kButtonType, BS_DEFPUSHBUTTON, L"OK"},
      {IDCANCEL, L"button", kButtonType, BS_PUSHBUTTON, L"Cancel"}},
     {L"&Name:", L"Action"}},
    {IDD_VIEW_SETTINGS,
     false,
     L"View setting",
     {{IDC_BRIGHTNESS_SLIDER, L"msctls_trackbar32", TBS_VERT, 0, nullptr},
      {IDC_BRIGHTNESS_EDIT, L"edit", 0, 0, nullptr},
      {IDC_CONTRAST_SLIDER, L"msctls_trackbar32", TBS_VERT, 0, nullptr},
      {IDC_CONTRAST_EDIT, L"edit", 0, 0, nullptr},
      {IDC_GAMMA_SLIDER, L"msctls_trackbar32", TBS_VERT, 0, nullptr},
      {IDC_GAMMA_EDIT, L"edit", 0, 0, nullptr},
      {IDC_VIEW_RESET, L"button", kButtonType, BS_PUSHBUTTON, L"Reset"},
      {IDOK, L"button", kButtonType, BS_DEFPUSHBUTTON, L"OK"},
      {IDCANCEL, L"button", kButtonType, BS_PUSHBUTTON, L"Cancel"}},
     {L"&Brightness:", L"&Contrast:", L"&Gamma:"}},
    {IDD_ABOUT,
     false,
     nullptr,
     {{IDC_ABOUT_NAME, L"static", 0, 0, L"Vyrd Documentation Viewer"},
      {IDC_ABOUT_VERSION, L"static", 0, 0, nullptr},
      {IDC_ABOUT_WEB_SITE, L"static", SS_NOTIFY, SS_NOTIFY, nullptr},
      {IDC_ABOUT_SUPPORT, L"static", SS_NOTIFY, SS_NOTIFY, nullptr},
      {IDC_ABOUT_FORMATS, L"static", 0, 0, nullptr},
      {IDOK, L"button", kButtonType, BS_DEFPUSHBUTTON, L"OK"}},
     {L"Installed formats:"}},
    {IDD_OPTIONS,
     false,
     L"Options",
     {{IDC_OPTIONS_TREE, L"systreeview32", 0, 0, nullptr},
      {IDC_OPTIONS_PAGE_AREA, L"static", WS_VISIBLE, 0, nullptr},
      {IDOK, L"button", kButtonType, BS_DEFPUSHBUTTON, L"OK"},
      {IDCANCEL, L"button", kButtonType, BS_PUSHBUTTON, L"Cancel"},
      {IDC_OPTIONS_APPLY, L"button", kButtonType, BS_PUSHBUTTON, L"&Apply"}},
     {}},
    {IDD_OPTIONS_GENERAL,
     true,
     nullptr,
     {{IDC_LANGUAGE, L"combobox", kComboType, CBS_DROPDOWNLIST, nullptr},
      // A box that stands for two extensions can be half checked.
      {IDC_ASSOC_TIFF, L"button", kButtonType, BS_AUTO3STATE, L".tiff"},
      {IDC_ASSOC_PDF, L"button", kButtonType, BS_AUTOCHECKBOX, L".pdf"},
      {IDC_ASSOC_DJVU, L"button", kButtonType, BS_AUTO3STATE, L".djvu"},
      {IDC_RECENT_COUNT, L"edit", ES_NUMBER, ES_NUMBER, nullptr},
      {IDC_RECENT_COUNT_SPIN, L"msctls_updown32", UDS_SETBUDDYINT, UDS_SETBUDDYINT, nullptr},
      {IDC_TABS_ONE_DOC_SHOW, L"button", kButtonType, BS_AUTOCHECKBOX,
       L"Show tabs only if more than one document open"},
      {IDC_TABS_BOTTOM, L"button", kButtonType, BS_AUTOCHECKBOX, L"Show tabs on bottom"},
      {IDC_TABS_DBLCLICK_CLOSE, L"button", kButtonType, BS_AUTOCHECKBOX,
       L"Close document by double click on tabs"}},
     {L"Language:", L"Note: You must restart application for your change to take effect",
      L"Associated file types", L"Recent file list contains:", L"files", L"Tabs options"}},
    {IDD_SEARCH_PANE,
     true,
     nullptr,
     {{IDC_SEARCH_TEXT, L"combobox", kComboType, CBS_DROPDOWN, nullptr},
      {IDC_SEARCH_START, L"button", kButtonType, BS_PUSHBUTTON, L"&Search"},
      {IDC_SEARCH_MATCH_CASE, L"button", kButtonType, BS_AUTOCHECKBOX, L"Match &case"},
      {IDC_SEARCH_WHOLE_WORD, L"button", kButtonType, BS_AUTOCHECKBOX, L"Match &whole word"},
      // Shown only while a search runs.
      {IDC_SEARCH_PROGRESS, L"msctls_progress32", WS_VISIBLE, 0, nullptr},
      {IDC_SEARCH_RESULTS, L"syslistview32", LVS_TYPEMASK | LVS_OWNERDRAWFIXED,
       LVS_REPORT | LVS_OWNERDRAWFIXED, nullptr}},
     {L"&Look for:"}},
};

TEST(BuiltInDialogs, EveryDialogIsListedHere) {
    std::vector<WORD> listed;
    for (const DialogCase& c : kDialogs) {
        listed.push_back(c.id);
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(BuiltInResourceIds(RT_DIALOG), listed);
}

TEST(BuiltInDialogs, TemplatesAreWellFormedAndUseTheShellDialogFont) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << c.id);
        const auto dialog = BuiltInDialog(c.id);
        ASSERT_TRUE(dialog.has_value());
        EXPECT_TRUE(dialog->hasFont);
        EXPECT_EQ(dialog->face, L"MS Shell Dlg");
        EXPECT_EQ(dialog->pointSize, 8);
        // Pages and panes live inside another window; the others are popups.
        EXPECT_EQ((dialog->style & WS_CHILD) != 0, c.child);
        EXPECT_EQ((dialog->style & WS_POPUP) != 0, !c.child);
        EXPECT_EQ((dialog->style & WS_CAPTION) == WS_CAPTION, !c.child);
        if (c.child) {
            EXPECT_TRUE(dialog->style & DS_CONTROL) << "tabbing into the page needs DS_CONTROL";
        }
        std::vector<uint32_t> ids;
        for (const TemplateControl& control : dialog->controls) {
            EXPECT_TRUE(control.style & WS_CHILD);
            if (static_cast<int16_t>(control.id) != IDC_STATIC) {
                ids.push_back(control.id);
            }
        }
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end())
            << "two controls share an identifier";
    }
}

TEST(BuiltInDialogs, EachDialogCreatesWithItsControls) {
    RegisterCommonControls();
    // Child dialogs need a parent; a hidden top-level window serves.
    OwnedWindow parent(CreateWindowExW(0, L"Static", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400,
                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent.Get());
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << c.id);
        OwnedWindow dialog(CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(c.id),
                                              c.child ? parent.Get() : nullptr, PlainDialogProc,
                                              0));
        ASSERT_TRUE(dialog.Get()) << "error " << GetLastError();
        EXPECT_FALSE(IsWindowVisible(dialog.Get()));
        if (c.caption) {
            EXPECT_EQ(TextOf(dialog.Get()), c.caption);
        }
        for (const ControlCase& control : c.controls) {
            SCOPED_TRACE(testing::Message() << "control " << control.id);
            HWND item = GetDlgItem(dialog.Get(), control.id);
            ASSERT_TRUE(item);
            EXPECT_EQ(ClassOf(item), control.className);
            const DWORD style = static_cast<DWORD>(GetWindowLongW(item, GWL_STYLE));
            EXPECT_EQ(style & control.styleMask, control.styleValue);
            if (control.text) {
                EXPECT_EQ(TextOf(item), control.text);
            }
        }
        const std::vector<std::wstring> texts = ChildTexts(dialog.Get());
        for (const wchar_t* label : c.labels) {
            EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end())
                << "no label " << label;
        }
    }
}

struct BuddyCase {
    WORD dialog;
    int spin;
    int edit;
};

constexpr BuddyCase kBuddies[] = {
    {IDD_BOOKMARK, IDC_BOOKMARK_PAGE_SPIN, IDC_BOOKMARK_PAGE},
    {IDD_OPTIONS_GENERAL, IDC_RECENT_COUNT_SPIN, IDC_RECENT_COUNT},
};

TEST(BuiltInDialogs, UpDownControlsWriteIntoTheirEditField) {
    RegisterCommonControls();
    OwnedWindow parent(CreateWindowExW(0, L"Static", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400,
                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent.Get());
    for (const BuddyCase& c : kBuddies) {
        SCOPED_TRACE(testing::Message() << "dialog " << c.dialog);
        OwnedWindow dialog(CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(c.dialog),
                                              parent.Get(), PlainDialogProc, 0));
        ASSERT_TRUE(dialog.Get());
        HWND spin = GetDlgItem(dialog.Get(), c.spin);
        HWND edit = GetDlgItem(dialog.Get(), c.edit);
        ASSERT_TRUE(spin && edit);
        // The up-down control takes the control before it as its buddy.
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)), edit);
        SendMessageW(spin, UDM_SETRANGE32, 0, 10);
        SendMessageW(spin, UDM_SETPOS32, 0, 7);
        EXPECT_EQ(TextOf(edit), L"7");
    }
}

}  // namespace
}  // namespace restest
