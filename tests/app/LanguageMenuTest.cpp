// Menus built from the language file, read back item by item with
// GetMenuItemInfoW: types, command identifiers, texts, grayed states and
// nested popups.

#include "LanguageFixture.h"
#include "LanguageTestIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using langtest::LanguagesXml;
using langtest::LanguageXml;
using langtest::LoadedLanguage;
using vyrdapp::UniqueMenu;

enum class Kind { kString, kSeparator, kPopup };

struct ExpectedItem {
    Kind kind;
    UINT id;  // checked for strings only
    std::wstring text;
    bool grayed;
    std::vector<ExpectedItem> submenu;
};

ExpectedItem String(UINT id, std::wstring text, bool grayed = false) {
    return {Kind::kString, id, std::move(text), grayed, {}};
}
ExpectedItem Separator() {
    return {Kind::kSeparator, 0, L"", false, {}};
}
ExpectedItem Popup(std::wstring text, bool grayed, std::vector<ExpectedItem> items) {
    return {Kind::kPopup, 0, std::move(text), grayed, std::move(items)};
}

std::wstring ItemText(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) {
        return L"<no item>";
    }
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    GetMenuItemInfoW(menu, position, TRUE, &info);
    text.resize(wcslen(text.c_str()));
    return text;
}

void ExpectMenu(HMENU menu, const std::vector<ExpectedItem>& expected, const std::string& where) {
    ASSERT_TRUE(IsMenu(menu)) << where;
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size())) << where;
    for (UINT i = 0; i < expected.size(); ++i) {
        const ExpectedItem& want = expected[i];
        const std::string at = where + "/" + std::to_string(i);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info)) << at;
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, want.kind == Kind::kSeparator) << at;
        EXPECT_EQ(info.hSubMenu != nullptr, want.kind == Kind::kPopup) << at;
        if (want.kind != Kind::kSeparator) {
            // The system reports every separator as disabled; only items have a
            // grayed state of their own.
            EXPECT_EQ((info.fState & MFS_GRAYED) != 0, want.grayed) << at;
        }
        if (want.kind == Kind::kString) {
            EXPECT_EQ(info.wID, want.id) << at;
        }
        if (want.kind != Kind::kSeparator) {
            EXPECT_EQ(ItemText(menu, i), want.text) << at;
        }
        if (want.kind == Kind::kPopup && info.hSubMenu) {
            ExpectMenu(info.hSubMenu, want.submenu, at);
        }
    }
}

const wchar_t kMenus[] =
    L"<Menus>"
    L"<Menu ID=\"60019\"><MenuItem ID=\"1\" Data=\"Wrong menu\"/></Menu>"
    L"<Menu ID=\"60020\">"
    L"  <MenuItem Popup=\"1\" Data=\"&amp;File\">"
    L"    <MenuItem ID=\"40001\" Data=\"&amp;Open...\\tCtrl+O\"/>"
    L"    <MenuItem ID=\"-1\" Data=\"-\"/>"
    L"    <MenuItem ID=\"0\" Data=\"-\"/>"
    L"    <MenuItem ID=\"40002\" Data=\"-\"/>"
    L"    <MenuItem ID=\"-1\" Data=\"--\"/>"
    L"    <MenuItem ID=\"40003\" Grayed=\"1\" Data=\"&amp;Close\"/>"
    L"    <MenuItem ID=\"40004\" Grayed=\"2\" Data=\"Grayed by any non-zero\"/>"
    L"    <MenuItem ID=\"40005\" Grayed=\"0\" Data=\"Line\\nbreak stays\"/>"
    L"    <MenuItem Popup=\"1\" Grayed=\"1\" Data=\"&amp;Recent\">"
    L"      <MenuItem ID=\"40006\" Data=\"&#214;ne\"/>"
    L"      <MenuItem Popup=\"1\" Data=\"Deeper\">"
    L"        <MenuItem ID=\"40007\" Data=\"Deepest\"/>"
    L"      </MenuItem>"
    L"    </MenuItem>"
    L"  </MenuItem>"
    L"  <MenuItem Popup=\"0\" ID=\"40010\" Data=\"&amp;Help\">"
    L"    <MenuItem ID=\"40011\" Data=\"Children of a plain item are not read\"/>"
    L"  </MenuItem>"
    L"  <MenuItem Popup=\"1\" Data=\"Empty\"/>"
    L"  <NotAnItem ID=\"40012\" Data=\"Other elements are not items\"/>"
    L"  <MenuItem Data=\"Without attributes\"/>"
    L"</Menu>"
    L"</Menus>";

TEST(LanguageMenus, ItemsFollowTheItemRule) {
    LoadedLanguage language(LanguagesXml(LanguageXml(L"de", kMenus)), L"de");
    ASSERT_TRUE(language.Selected());
    const UniqueMenu menu = language->BuildMenu(IDR_TEST_MENU);
    ASSERT_TRUE(menu);
    const std::vector<ExpectedItem> expected = {
        Popup(L"&File", false,
              {
                  String(40001, L"&Open...\tCtrl+O"),
                  Separator(),
                  String(0, L"-"),
                  String(40002, L"-"),
                  String(static_cast<UINT>(-1), L"--"),
                  String(40003, L"&Close", true),
                  String(40004, L"Grayed by any non-zero", true),
                  String(40005, L"Line\\nbreak stays"),
                  Popup(L"&Recent", true,
                        {
                            String(40006, L"\u00D6ne"),
                            Popup(L"Deeper", false, {String(40007, L"Deepest")}),
                        }),
              }),
        String(40010, L"&Help"),
        Popup(L"Empty", false, {}),
        String(0, L"Without attributes"),
    };
    ExpectMenu(menu.get(), expected, "menu");
}

TEST(LanguageMenus, OnlyMenusOfTheLanguageAreBuilt) {
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"de", kMenus) +
                     LanguageXml(L"en",
                                 L"<Menus><Menu ID=\"60021\"><MenuItem ID=\"7\" "
                                 L"Data=\"English only\"/></Menu></Menus>")),
        L"de");
    ASSERT_TRUE(language.Selected());
    EXPECT_FALSE(language->BuildMenu(60021));
    EXPECT_FALSE(language->BuildMenu(0));
    EXPECT_FALSE(language->BuildMenu(-1));
    const UniqueMenu other = language->BuildMenu(60019);
    ASSERT_TRUE(other);
    ExpectMenu(other.get(), {String(1, L"Wrong menu")}, "60019");

    language->SetLanguage(L"en");
    ASSERT_TRUE(language->SelectLanguage());
    EXPECT_FALSE(language->BuildMenu(IDR_TEST_MENU));
    const UniqueMenu english = language->BuildMenu(60021);
    ASSERT_TRUE(english);
    ExpectMenu(english.get(), {String(7, L"English only")}, "60021");
}

TEST(LanguageMenus, MenuWithoutItemsIsAnEmptyMenu) {
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"de", L"<Menus><Menu ID=\"60020\"/></Menus>")), L"de");
    const UniqueMenu menu = language->BuildMenu(IDR_TEST_MENU);
    ASSERT_TRUE(menu);
    EXPECT_EQ(GetMenuItemCount(menu.get()), 0);
}

TEST(LanguageMenus, OwnerDestroysTheMenuAndItsSubmenus) {
    LoadedLanguage language(LanguagesXml(LanguageXml(L"de", kMenus)), L"de");
    UniqueMenu menu = language->BuildMenu(IDR_TEST_MENU);
    ASSERT_TRUE(menu);
    const HMENU top = menu.get();
    const HMENU file = GetSubMenu(top, 0);
    ASSERT_TRUE(file);
    const HMENU recent = GetSubMenu(file, 8);
    ASSERT_TRUE(recent);
    menu.reset();
    EXPECT_FALSE(IsMenu(top));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(IsMenu(recent));
}

TEST(LanguageMenus, BuiltInMenuIsTheCallersFallback) {
    // Without a language the caller loads the menu of the same identifier from
    // the program; the identifiers of the file and the program agree.
    vyrdapp::LanguageResources resources;
    EXPECT_FALSE(resources.BuildMenu(IDR_TEST_MENU));
    const UniqueMenu builtIn(LoadMenuW(resources.Module(), MAKEINTRESOURCEW(IDR_TEST_MENU)));
    ASSERT_TRUE(builtIn);
    ExpectMenu(builtIn.get(), {Popup(L"&Built-in", false, {String(40001, L"&Open\tCtrl+O")})},
               "built-in");
}

}  // namespace
