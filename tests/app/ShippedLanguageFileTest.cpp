// The language file shipped beside the program: it loads, offers English and
// German, its English matches the built-in resources, and German really
// replaces strings, menu texts and dialog captions while keeping every
// identifier.

#include "DialogTemplateReader.h"
#include "LanguageResources.h"
#include "Resource.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using vyrdapp::LanguageResources;
using vyrdapp::UniqueMenu;

std::wstring ShippedFile() {
    return testwin::ProgramDir() + L"\\VyrdViewerResource.xml";
}

// One language of the shipped file, loaded and selected.
class ShippedLanguage {
public:
    explicit ShippedLanguage(const wchar_t* id) {
        loaded_ = resources_.Load(ShippedFile());
        resources_.SetLanguage(id);
        selected_ = resources_.SelectLanguage();
    }
    bool Ready() const { return loaded_ && selected_; }
    const LanguageResources* operator->() const { return &resources_; }

private:
    LanguageResources resources_;
    bool loaded_ = false;
    bool selected_ = false;
};

struct FlatItem {
    int depth;
    bool separator;
    bool popup;
    UINT id;  // 0 for popups: their identifier is the submenu handle
    std::wstring text;
};

void Flatten(HMENU menu, int depth, std::vector<FlatItem>& out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        out.push_back({depth, (info.fType & MFT_SEPARATOR) != 0, info.hSubMenu != nullptr,
                       info.hSubMenu ? 0 : info.wID, text});
        if (info.hSubMenu) {
            Flatten(info.hSubMenu, depth + 1, out);
        }
    }
}

std::vector<FlatItem> Flatten(HMENU menu) {
    std::vector<FlatItem> out;
    Flatten(menu, 0, out);
    return out;
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The number of controls in the program's own dialog resource, plain or
// extended.
int BuiltInControlCount(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (!found) {
        return -1;
    }
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const std::span<const uint8_t> resource(bytes, SizeofResource(module, found));
    langtest::TemplateCursor in(resource);
    const uint16_t version = in.Read<uint16_t>();
    const uint16_t signature = in.Read<uint16_t>();
    if (version != 1 || signature != 0xFFFF) {
        return langtest::ParseDialogTemplate(resource).count;
    }
    in.Read<uint32_t>();  // help id
    in.Read<uint32_t>();  // extended style
    in.Read<uint32_t>();  // style
    return in.Read<uint16_t>();
}

TEST(ShippedLanguageFile, OffersEnglishThenGerman) {
    LanguageResources resources;
    ASSERT_TRUE(resources.Load(ShippedFile()))
        << "VyrdViewerResource.xml is missing from the program folder or does not parse";
    const auto& languages = resources.Languages();
    ASSERT_GE(languages.size(), 2u);
    EXPECT_EQ(languages[0].id, L"en");
    EXPECT_EQ(languages[0].name, L"English");
    EXPECT_EQ(languages[1].id, L"de");
    EXPECT_EQ(languages[1].name, L"Deutsch");
}

TEST(ShippedLanguageFile, EnglishStringsMatchTheBuiltInTable) {
    ShippedLanguage english(L"en");
    ASSERT_TRUE(english.Ready());
    const LanguageResources builtIn;
    int compared = 0;
    for (int id = 1; id <= 0xFFFF; ++id) {
        const std::wstring expected = builtIn.GetString(id);
        if (expected.empty()) {
            continue;
        }
        ++compared;
        EXPECT_EQ(english->GetString(id), expected) << "string " << id;
    }
    EXPECT_GT(compared, 50);
}

TEST(ShippedLanguageFile, GermanReplacesStrings) {
    ShippedLanguage english(L"en");
    ShippedLanguage german(L"de");
    ASSERT_TRUE(english.Ready());
    ASSERT_TRUE(german.Ready());
    for (int id : {IDS_READER_ERROR, IDS_LANGUAGE_RESTART}) {
        SCOPED_TRACE(testing::Message() << "string " << id);
        EXPECT_FALSE(german->GetString(id).empty());
        EXPECT_NE(german->GetString(id), english->GetString(id));
    }
    // The restart message keeps its line break in both languages.
    EXPECT_NE(english->GetString(IDS_LANGUAGE_RESTART).find(L'\n'), std::wstring::npos);
    EXPECT_NE(german->GetString(IDS_LANGUAGE_RESTART).find(L'\n'), std::wstring::npos);
    EXPECT_EQ(german->GetString(IDS_LANGUAGE_RESTART).find(L"\\n"), std::wstring::npos);
}

TEST(ShippedLanguageFile, MenusKeepTheirCommandsAndChangeTheirTexts) {
    ShippedLanguage english(L"en");
    ShippedLanguage german(L"de");
    ASSERT_TRUE(english.Ready());
    ASSERT_TRUE(german.Ready());
    for (int id : {IDR_MAINFRAME, IDR_TAB_MENU, IDR_BOOKMARK_MENU, IDR_PAGE_MENU}) {
        SCOPED_TRACE(testing::Message() << "menu " << id);
        const UniqueMenu builtIn(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
        const UniqueMenu en = english->BuildMenu(id);
        const UniqueMenu de = german->BuildMenu(id);
        ASSERT_TRUE(builtIn);
        ASSERT_TRUE(en);
        ASSERT_TRUE(de);
        const std::vector<FlatItem> b = Flatten(builtIn.get());
        const std::vector<FlatItem> e = Flatten(en.get());
        const std::vector<FlatItem> d = Flatten(de.get());
        ASSERT_EQ(e.size(), b.size());
        ASSERT_EQ(d.size(), e.size());
        int translated = 0;
        for (size_t i = 0; i < e.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i);
            EXPECT_EQ(e[i].depth, b[i].depth);
            EXPECT_EQ(e[i].separator, b[i].separator);
            EXPECT_EQ(e[i].popup, b[i].popup);
            EXPECT_EQ(e[i].id, b[i].id);
            EXPECT_EQ(e[i].text, b[i].text);
            EXPECT_EQ(d[i].depth, e[i].depth);
            EXPECT_EQ(d[i].separator, e[i].separator);
            EXPECT_EQ(d[i].popup, e[i].popup);
            EXPECT_EQ(d[i].id, e[i].id);
            translated += d[i].text != e[i].text ? 1 : 0;
        }
        EXPECT_GT(translated, 0);
    }
}

TEST(ShippedLanguageFile, DialogsKeepTheirControlsAndChangeTheirCaptions) {
    ShippedLanguage english(L"en");
    ShippedLanguage german(L"de");
    ASSERT_TRUE(english.Ready());
    ASSERT_TRUE(german.Ready());
    for (int id : {IDD_GOTO_PAGE, IDD_BOOKMARK, IDD_VIEW_SETTINGS, IDD_ABOUT, IDD_OPTIONS,
                   IDD_OPTIONS_GENERAL, IDD_SEARCH_PANE}) {
        SCOPED_TRACE(testing::Message() << "dialog " << id);
        const vyrdapp::DialogTemplate en = english->BuildDialogTemplate(id);
        const vyrdapp::DialogTemplate de = german->BuildDialogTemplate(id);
        ASSERT_TRUE(en);
        ASSERT_TRUE(de);
        const langtest::ParsedDialog e = langtest::ParseDialogTemplate(en.Bytes());
        const langtest::ParsedDialog d = langtest::ParseDialogTemplate(de.Bytes());
        ASSERT_TRUE(e.complete);
        ASSERT_TRUE(d.complete);
        EXPECT_EQ(e.count, BuiltInControlCount(id));
        ASSERT_EQ(d.controls.size(), e.controls.size());
        for (size_t i = 0; i < e.controls.size(); ++i) {
            EXPECT_EQ(d.controls[i].id, e.controls[i].id) << "control " << i;
            EXPECT_EQ(d.controls[i].style, e.controls[i].style) << "control " << i;
        }
        if (!e.title.empty()) {
            EXPECT_NE(d.title, e.title);
        }
    }

    // The Go To Page dialog as the user sees it: built-in and English agree,
    // German differs.
    const LanguageResources builtIn;
    const UniqueWindow b(builtIn.CreateModelessDialog(IDD_GOTO_PAGE, nullptr, QuietDialogProc, 0));
    const UniqueWindow e(english->CreateModelessDialog(IDD_GOTO_PAGE, nullptr, QuietDialogProc, 0));
    const UniqueWindow d(german->CreateModelessDialog(IDD_GOTO_PAGE, nullptr, QuietDialogProc, 0));
    ASSERT_TRUE(b);
    ASSERT_TRUE(e);
    ASSERT_TRUE(d);
    EXPECT_EQ(WindowText(e.get()), WindowText(b.get()));
    EXPECT_NE(WindowText(d.get()), WindowText(e.get()));
    EXPECT_FALSE(WindowText(d.get()).empty());
}

}  // namespace
