// Real dialogs from the language file's templates: the dialog manager must
// create the same controls (identifiers, classes, texts, styles, positions) and
// fonts the file describes, and the modal and modeless helpers must fall back to
// the built-in dialog when the language has none.

#include "LanguageFixture.h"
#include "LanguageTestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using langtest::LanguagesXml;
using langtest::LanguageXml;
using langtest::LoadedLanguage;
using vyrdapp::DialogTemplate;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

std::wstring DialogsXml(std::wstring_view dialogs) {
    return LanguagesXml(LanguageXml(L"de", L"<Dialogs>" + std::wstring(dialogs) + L"</Dialogs>"));
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The face and height of the font the dialog manager gave the dialog; empty
// face when it uses the system font.
LOGFONTW DialogFont(HWND dialog) {
    LOGFONTW font = {};
    if (HFONT handle = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0))) {
        GetObjectW(handle, sizeof(font), &font);
    }
    return font;
}

LONG PointsToHeight(int points) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return -MulDiv(points, dpi, 72);
}

const wchar_t kWindowDialog[] =
    L"<Dialog ID=\"60030\" Style=\"2160591040\" X=\"0\" Y=\"0\" Width=\"200\" Height=\"120\" "
    L"Caption=\"&#220;bersetzter Dialog\">"
    L"<Font Size=\"9\" Name=\"Tahoma\"/>"
    L"<Control ID=\"60031\" Style=\"1342242817\" X=\"140\" Y=\"100\" Width=\"50\" Height=\"14\" "
    L"SystemClass=\"128\" ClassName=\"BUTTON\" Caption=\"Schlie&#223;en\"/>"
    L"<Control ID=\"60032\" Style=\"1350631552\" ExtStyle=\"512\" X=\"60\" Y=\"10\" "
    L"Width=\"130\" Height=\"12\" ClassName=\"Edit\" Caption=\"Vorgabe\"/>"
    L"<Control ID=\"60033\" Style=\"1342177280\" X=\"10\" Y=\"12\" Width=\"45\" Height=\"8\" "
    L"SystemClass=\"130\" Caption=\"&amp;Seite:\"/>"
    L"<Control ID=\"60034\" Style=\"1352728833\" X=\"10\" Y=\"30\" Width=\"100\" Height=\"60\" "
    L"SystemClass=\"131\"/>"
    L"</Dialog>";

TEST(LanguageDialogWindows, DialogManagerCreatesTheDescribedControls) {
    LoadedLanguage language(DialogsXml(kWindowDialog), L"de");
    const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
    ASSERT_TRUE(block);
    const UniqueWindow dialog(
        CreateDialogIndirectParamW(language->Module(), block.Get(), nullptr, QuietDialogProc, 0));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(dialog.get()), L"\u00DCbersetzter Dialog");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(dialog.get(), GWL_STYLE)) & WS_CAPTION,
              static_cast<DWORD>(WS_CAPTION));
    const LOGFONTW font = DialogFont(dialog.get());
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, PointsToHeight(9));

    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        // Bits the window must have. The dialog manager drops WS_BORDER of an
        // edit with a client edge, and a list box drops a scroll bar it does
        // not need, so those are not asked for.
        DWORD style;
        DWORD extStyle;
        RECT dialogUnits;  // x, y, width, height
    };
    const std::vector<Expected> controls = {
        {60031,
         L"Button",
         L"Schlie\u00DFen",
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
         0,
         {140, 100, 50, 14}},
        {60032,
         L"Edit",
         L"Vorgabe",
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE,
         {60, 10, 130, 12}},
        {60033, L"Static", L"&Seite:", WS_CHILD | WS_VISIBLE, 0, {10, 12, 45, 8}},
        {60034,
         L"ListBox",
         L"",
         WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
         0,
         {10, 30, 100, 60}},
    };
    int children = 0;
    for (HWND child = GetWindow(dialog.get(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
    }
    EXPECT_EQ(children, static_cast<int>(controls.size()));
    for (const Expected& want : controls) {
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        HWND control = GetDlgItem(dialog.get(), want.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(GetDlgCtrlID(control), want.id);
        EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), want.className), 0) << ClassOf(control);
        EXPECT_EQ(WindowText(control), want.text);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & want.style, want.style);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)) & want.extStyle,
                  want.extStyle);
        // The dialog manager converts position and size each on its own, so
        // the expected rectangle is built from converted origin and extent.
        RECT expected = want.dialogUnits;
        ASSERT_TRUE(MapDialogRect(dialog.get(), &expected));
        RECT actual = {};
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, dialog.get(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right);
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    }
}

TEST(LanguageDialogWindows, DialogFontFollowsTheTemplate) {
    struct Case {
        const char* name;
        const wchar_t* dialog;
        const wchar_t* face;  // empty: the system font
        int points;
    };
    const std::vector<Case> cases = {
        {"DS_SETFONT without Font element",
         L"<Dialog ID=\"60030\" Style=\"2160591040\" Width=\"100\" Height=\"40\"/>",
         L"MS Shell Dlg", 8},
        {"DS_SETFONT with Font element",
         L"<Dialog ID=\"60030\" Style=\"2160591040\" Width=\"100\" Height=\"40\">"
         L"<Font Size=\"10\" Name=\"Tahoma\"/></Dialog>",
         L"Tahoma", 10},
        {"Font element without DS_SETFONT",
         L"<Dialog ID=\"60030\" Style=\"2160590976\" Width=\"100\" Height=\"40\">"
         L"<Font Size=\"10\" Name=\"Tahoma\"/></Dialog>",
         L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedLanguage language(DialogsXml(c.dialog), L"de");
        const UniqueWindow dialog(
            language->CreateModelessDialog(IDD_TEST_DIALOG, nullptr, QuietDialogProc, 0));
        ASSERT_TRUE(dialog);
        const LOGFONTW font = DialogFont(dialog.get());
        EXPECT_STREQ(font.lfFaceName, c.face);
        if (c.points != 0) {
            EXPECT_EQ(font.lfHeight, PointsToHeight(c.points));
        }
    }
}

// What a dialog procedure saw at WM_INITDIALOG.
struct DialogProbe {
    std::wstring caption;
    std::wstring buttonText;
    int initCount = 0;
};

constexpr INT_PTR kEndCode = 4242;

INT_PTR CALLBACK ProbeAndEnd(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* probe = reinterpret_cast<DialogProbe*>(lParam);
    probe->caption = WindowText(dialog);
    probe->buttonText = WindowText(GetDlgItem(dialog, IDC_TEST_BUTTON));
    ++probe->initCount;
    EndDialog(dialog, kEndCode);
    return TRUE;
}

INT_PTR CALLBACK ProbeOnly(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* probe = reinterpret_cast<DialogProbe*>(lParam);
    probe->caption = WindowText(dialog);
    probe->buttonText = WindowText(GetDlgItem(dialog, IDC_TEST_BUTTON));
    ++probe->initCount;
    return TRUE;
}

// Modal and modeless, translated and built-in: the helpers pick the template
// when the language has the dialog and the program's dialog otherwise, and
// hand the parameter through to the dialog procedure.
TEST(LanguageDialogWindows, HelpersFallBackToTheBuiltInDialog) {
    const std::wstring translated = LanguagesXml(LanguageXml(
        L"de",
        L"<Dialogs><Dialog ID=\"60030\" Style=\"2160591040\" Width=\"120\" Height=\"50\" "
        L"Caption=\"Deutscher Dialog\"><Control ID=\"60031\" Style=\"1342242816\" X=\"5\" "
        L"Y=\"5\" Width=\"50\" Height=\"14\" SystemClass=\"128\" Caption=\"Knopf\"/>"
        L"</Dialog></Dialogs>"));
    const std::wstring withoutDialog =
        LanguagesXml(LanguageXml(L"de",
                                 L"<Dialogs><Dialog ID=\"60035\" Caption=\"other\"/>"
                                 L"</Dialogs>"));
    struct Case {
        const char* name;
        std::wstring xml;
        const wchar_t* language;
        const wchar_t* caption;
        const wchar_t* button;
    };
    const std::vector<Case> cases = {
        {"translated", translated, L"de", L"Deutscher Dialog", L"Knopf"},
        {"language without this dialog", withoutDialog, L"de", L"Built-in dialog",
         L"Built-in button"},
        {"no language selected", translated, L"en", L"Built-in dialog", L"Built-in button"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedLanguage language(c.xml, c.language);

        DialogProbe modal;
        EXPECT_EQ(language->RunModalDialog(IDD_TEST_DIALOG, nullptr, ProbeAndEnd,
                                           reinterpret_cast<LPARAM>(&modal)),
                  kEndCode);
        EXPECT_EQ(modal.initCount, 1);
        EXPECT_EQ(modal.caption, c.caption);
        EXPECT_EQ(modal.buttonText, c.button);

        DialogProbe modeless;
        const UniqueWindow dialog(language->CreateModelessDialog(
            IDD_TEST_DIALOG, nullptr, ProbeOnly, reinterpret_cast<LPARAM>(&modeless)));
        ASSERT_TRUE(dialog);
        EXPECT_EQ(modeless.initCount, 1);
        EXPECT_EQ(modeless.caption, c.caption);
        EXPECT_EQ(WindowText(dialog.get()), c.caption);
        EXPECT_EQ(WindowText(GetDlgItem(dialog.get(), IDC_TEST_BUTTON)), c.button);
    }
}

TEST(LanguageDialogWindows, ModelessDialogIsAChildOfItsParent) {
    LoadedLanguage language(DialogsXml(L"<Dialog ID=\"60030\" Style=\"1073741888\" "
                                       L"Width=\"80\" Height=\"40\" Caption=\"page\"/>"),
                            L"de");
    const UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0,
                                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                              nullptr));
    ASSERT_TRUE(parent);
    const UniqueWindow child(
        language->CreateModelessDialog(IDD_TEST_DIALOG, parent.get(), QuietDialogProc, 0));
    ASSERT_TRUE(child);
    EXPECT_EQ(GetParent(child.get()), parent.get());
    EXPECT_TRUE(GetWindowLongW(child.get(), GWL_STYLE) & WS_CHILD);
}

TEST(LanguageDialogWindows, MissingDialogEverywhereFails) {
    LoadedLanguage language(DialogsXml(kWindowDialog), L"de");
    DialogProbe probe;
    EXPECT_EQ(
        language->RunModalDialog(60099, nullptr, ProbeAndEnd, reinterpret_cast<LPARAM>(&probe)),
        -1);
    EXPECT_EQ(probe.initCount, 0);
    EXPECT_EQ(language->CreateModelessDialog(60099, nullptr, QuietDialogProc, 0), nullptr);
}

}  // namespace
