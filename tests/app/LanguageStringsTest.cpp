// The string side of the language resources: loading the file, choosing a
// language, the string table with its escapes and duplicates, the fallback to
// the built-in string table per identifier, formatting, and the language list.

#include "LanguageFixture.h"
#include "LanguageTestIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using langtest::LanguagesXml;
using langtest::LanguageXml;
using langtest::LoadedLanguage;
using vyrdapp::LanguageResources;

const std::wstring kBuiltInHello = L"Built-in hello";
const std::wstring kBuiltInGoodbye = L"Built-in goodbye";

// A language that translates everything the test program has built in, so that
// any accidental selection of it shows.
std::wstring GermanWithEverything() {
    return LanguageXml(
        L"de",
        L"<Strings>"
        L"<String ID=\"60001\" Data=\"Hallo\"/>"
        L"<String ID=\"60002\" Data=\"Tsch&#252;s\"/>"
        L"</Strings>"
        L"<Menus><Menu ID=\"60020\"><MenuItem ID=\"40001\" Data=\"&amp;&#214;ffnen\"/>"
        L"</Menu></Menus>"
        L"<Dialogs><Dialog ID=\"60030\" Style=\"-2134376256\" Width=\"100\" "
        L"Height=\"50\" Caption=\"Deutsch\"/></Dialogs>");
}

TEST(LanguageStrings, DataEscapesBecomeControlCharacters) {
    struct Case {
        const wchar_t* data;  // attribute text as written in the file
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {L"Line one\\nLine two", L"Line one\nLine two"},
        {L"a\\r\\nb", L"a\r\nb"},
        {L"Name:\\tValue", L"Name:\tValue"},
        {L"\\n\\n", L"\n\n"},
        // No escape for the backslash itself: the second backslash starts "\n".
        {L"\\\\n", L"\\\n"},
        // Other letters, capitals and a lone trailing backslash stay as written.
        {L"C:\\x\\y", L"C:\\x\\y"},
        {L"\\N\\R\\T", L"\\N\\R\\T"},
        {L"end\\", L"end\\"},
        // The file's own character reference for the backslash is resolved by
        // the parser first, so it still forms an escape.
        {L"&#92;t", L"\t"},
        {L"100%", L"100%"},
        {L"&#214;ffnen&#8230;", L"\u00D6ffnen\u2026"},
    };
    std::wstring strings;
    for (size_t i = 0; i < cases.size(); ++i) {
        strings += L"<S ID=\"" + std::to_wstring(100 + i) + L"\" Data=\"" + cases[i].data + L"\"/>";
    }
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"en", L"<Strings>" + strings + L"</Strings>")), L"en");
    ASSERT_TRUE(language.Loaded());
    ASSERT_TRUE(language.Selected());
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(language->GetString(static_cast<int>(100 + i)), cases[i].expected)
            << "Data=\"" << cases[i].data << "\"";
    }
}

TEST(LanguageStrings, LaterDuplicateWinsWhateverTheElementName) {
    LoadedLanguage language(LanguagesXml(LanguageXml(L"en",
                                                     L"<Strings>"
                                                     L"<String ID=\"60001\" Data=\"first\"/>"
                                                     L"<Item ID=\"60002\" Data=\"other\"/>"
                                                     L"<!-- a comment is not an entry -->"
                                                     L"<Entry ID=\"60001\" Data=\"second\"/>"
                                                     L"</Strings>")),
                            L"en");
    ASSERT_TRUE(language.Selected());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), L"second");
    EXPECT_EQ(language->GetString(IDS_TEST_GOODBYE), L"other");
}

TEST(LanguageStrings, IdentifiersAreReadAsCIntegers) {
    struct Case {
        const wchar_t* id;
        int number;
    };
    const std::vector<Case> cases = {
        {L" 201", 201},
        {L"202abc", 202},
        {L"+203", 203},
        {L"0204", 204},
        {L"-205", -205},
        // Beyond 32 bits the value wraps: 2^32 + 206.
        {L"4294967502", 206},
    };
    std::wstring strings;
    for (const Case& c : cases) {
        strings += L"<S ID=\"" + std::wstring(c.id) + L"\" Data=\"entry " + c.id + L"\"/>";
    }
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"en", L"<Strings>" + strings + L"</Strings>")), L"en");
    ASSERT_TRUE(language.Selected());
    for (const Case& c : cases) {
        EXPECT_EQ(language->GetString(c.number), std::wstring(L"entry ") + c.id) << c.id;
    }
}

TEST(LanguageStrings, MissingEntriesFallBackPerIdentifier) {
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"en",
                                 L"<Strings><S ID=\"60001\" Data=\"Translated hello\"/>"
                                 L"<S ID=\"60004\" Data=\"\"/></Strings>")),
        L"en");
    ASSERT_TRUE(language.Selected());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), L"Translated hello");
    EXPECT_EQ(language->GetString(IDS_TEST_GOODBYE), kBuiltInGoodbye);
    // An entry that is present but empty is a translation to the empty text.
    EXPECT_EQ(language->GetString(IDS_TEST_MULTILINE), L"");
    EXPECT_EQ(language->GetString(IDS_TEST_ABSENT), L"");
}

TEST(LanguageStrings, BuiltInTableIsReadInFull) {
    LanguageResources resources;
    EXPECT_EQ(resources.GetString(IDS_TEST_MULTILINE), L"Built-in first line\nsecond line");
    EXPECT_EQ(resources.GetString(IDS_TEST_ABSENT), L"");
}

TEST(LanguageStrings, BuiltInStringsComeFromTheGivenModule) {
    // The program's strings are not in a system library: a resources object
    // pointed there finds none of them.
    const LanguageResources other(GetModuleHandleW(L"kernel32.dll"));
    ASSERT_NE(other.Module(), nullptr);
    EXPECT_EQ(other.GetString(IDS_TEST_HELLO), L"");
    EXPECT_EQ(other.FormatString(IDS_TEST_FORMAT, 1, L"x"), L"");
    const LanguageResources own;
    EXPECT_EQ(own.Module(), GetModuleHandleW(nullptr));
    EXPECT_EQ(own.GetString(IDS_TEST_HELLO), kBuiltInHello);
}

// Every way of ending up without a language: the strings, menus and dialogs
// all come from the built-in resources.
TEST(LanguageStrings, WithoutALanguageEverythingIsBuiltIn) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: no file at all
        const wchar_t* language;
        bool loads;
    };
    const std::vector<uint8_t> german = langtest::Utf8(LanguagesXml(GermanWithEverything()));
    const std::string notXml = "This is not XML <Languages>";
    const std::vector<Case> cases = {
        {"missing file", {}, L"de", false},
        {"not XML", std::vector<uint8_t>(notXml.begin(), notXml.end()), L"de", false},
        {"unclosed element", langtest::Utf8(L"<Languages><Language ID=\"de\">"), L"de", false},
        {"another root", langtest::Utf8(L"<Setting>" + GermanWithEverything() + L"</Setting>"),
         L"de", true},
        {"unknown language", german, L"fr", true},
        {"identifiers compare as text, case and all", german, L"DE", true},
        {"empty identifier", german, L"", true},
        {"empty identifier with an empty ID in the file",
         langtest::Utf8(LanguagesXml(LanguageXml(L"",
                                                 L"<Strings><S ID=\"60001\" Data=\"x\"/>"
                                                 L"</Strings>"))),
         L"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path;
        std::unique_ptr<testwin::TempFile> file;
        if (c.bytes.empty()) {
            path = testwin::TempFile::UniquePath(L".xml");
        } else {
            file = std::make_unique<testwin::TempFile>(c.bytes, L".xml");
            path = file->Path();
        }
        LanguageResources resources;
        EXPECT_EQ(resources.Load(path), c.loads);
        resources.SetLanguage(c.language);
        EXPECT_FALSE(resources.SelectLanguage());
        EXPECT_EQ(resources.GetString(IDS_TEST_HELLO), kBuiltInHello);
        EXPECT_EQ(resources.GetString(IDS_TEST_GOODBYE), kBuiltInGoodbye);
        EXPECT_FALSE(resources.BuildMenu(IDR_TEST_MENU));
        EXPECT_FALSE(resources.BuildDialogTemplate(IDD_TEST_DIALOG));
        EXPECT_EQ(resources.BuildDialogTemplate(IDD_TEST_DIALOG).Get(), nullptr);
    }
}

TEST(LanguageStrings, TheSameFileServesTheLanguageAskedFor) {
    LoadedLanguage language(
        LanguagesXml(LanguageXml(L"en", L"<Strings><S ID=\"60001\" Data=\"Hello\"/></Strings>") +
                     GermanWithEverything()),
        L"de");
    ASSERT_TRUE(language.Selected());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), L"Hallo");
    EXPECT_EQ(language->GetString(IDS_TEST_GOODBYE), L"Tsch\u00FCs");

    // Choosing again replaces the table: nothing of "de" stays behind.
    language->SetLanguage(L"en");
    EXPECT_TRUE(language->SelectLanguage());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), L"Hello");
    EXPECT_EQ(language->GetString(IDS_TEST_GOODBYE), kBuiltInGoodbye);
    EXPECT_FALSE(language->BuildMenu(IDR_TEST_MENU));

    language->SetLanguage(L"fr");
    EXPECT_FALSE(language->SelectLanguage());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), kBuiltInHello);
}

TEST(LanguageStrings, LanguageWithoutStringsStillHasItsMenusAndDialogs) {
    LoadedLanguage language(
        LanguagesXml(LanguageXml(
            L"de", L"<Menus><Menu ID=\"60020\"><MenuItem ID=\"1\" Data=\"x\"/></Menu></Menus>")),
        L"de");
    ASSERT_TRUE(language.Selected());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), kBuiltInHello);
    EXPECT_TRUE(language->BuildMenu(IDR_TEST_MENU));
}

TEST(LanguageStrings, CloseReturnsToTheBuiltInResources) {
    LoadedLanguage language(LanguagesXml(GermanWithEverything()), L"de");
    ASSERT_TRUE(language.Selected());
    ASSERT_EQ(language->GetString(IDS_TEST_HELLO), L"Hallo");
    language->Close();
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), kBuiltInHello);
    EXPECT_FALSE(language->BuildMenu(IDR_TEST_MENU));
    EXPECT_FALSE(language->BuildDialogTemplate(IDD_TEST_DIALOG));
    EXPECT_FALSE(language->SelectLanguage());
}

TEST(LanguageStrings, LanguagesAreListedInDocumentOrder) {
    const std::wstring xml = LanguagesXml(
        L"<Language ID=\"en\" Name=\"English\"/>"
        L"<Language ID=\"de\" Name=\"Deutsch\"/>"
        L"<Other ID=\"xx\" Name=\"Not a language\"/>"
        L"<Language ID=\"ru\" Name=\"&#1056;&#1091;&#1089;&#1089;&#1082;&#1080;&#1081;\"/>"
        L"<Language Name=\"No identifier\"/>"
        L"<Language ID=\"fr\"/>");
    LoadedLanguage language(xml, L"de");
    ASSERT_TRUE(language.Loaded());
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"English", L"en"},
        {L"Deutsch", L"de"},
        {L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439", L"ru"},
        {L"No identifier", L""},
        {L"", L"fr"},
    };
    const auto& languages = language->Languages();
    ASSERT_EQ(languages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(languages[i].name, expected[i].first) << i;
        EXPECT_EQ(languages[i].id, expected[i].second) << i;
    }

    // Loading another file lists that file's languages only; a failed load
    // lists none.
    testwin::TempFile other(langtest::Utf8(LanguagesXml(GermanWithEverything())), L".xml");
    ASSERT_TRUE(language->Load(other.Path()));
    ASSERT_EQ(language->Languages().size(), 1u);
    EXPECT_EQ(language->Languages()[0].id, L"de");
    EXPECT_EQ(language->Languages()[0].name, L"Test de");
    EXPECT_FALSE(language->Load(testwin::TempFile::UniquePath(L".xml")));
    EXPECT_TRUE(language->Languages().empty());
}

TEST(LanguageStrings, LoadForgetsTheSelectedLanguage) {
    LoadedLanguage language(LanguagesXml(GermanWithEverything()), L"de");
    ASSERT_EQ(language->GetString(IDS_TEST_HELLO), L"Hallo");
    testwin::TempFile other(langtest::Utf8(LanguagesXml(GermanWithEverything())), L".xml");
    ASSERT_TRUE(language->Load(other.Path()));
    // Until the language is selected again, nothing is translated.
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), kBuiltInHello);
    EXPECT_FALSE(language->BuildMenu(IDR_TEST_MENU));
    EXPECT_EQ(language->Language(), L"de");
    EXPECT_TRUE(language->SelectLanguage());
    EXPECT_EQ(language->GetString(IDS_TEST_HELLO), L"Hallo");
}

TEST(LanguageStrings, FormatStringUsesWideStringsAndNeverCutsShort) {
    const std::wstring longArgument(20000, L'w');
    LoadedLanguage language(LanguagesXml(LanguageXml(L"de",
                                                     L"<Strings>"
                                                     L"<S ID=\"1\" Data=\"Seite %d von %s\"/>"
                                                     L"<S ID=\"2\" Data=\"[%5d|%-4s|%c]\"/>"
                                                     L"<S ID=\"3\" Data=\"100%% in %s\\n\"/>"
                                                     L"<S ID=\"4\" Data=\"&lt;%s&gt;\"/>"
                                                     L"<S ID=\"5\" Data=\"no arguments\"/>"
                                                     L"</Strings>")),
                            L"de");
    ASSERT_TRUE(language.Selected());
    const LanguageResources& r = language.Resources();
    EXPECT_EQ(r.FormatString(1, 3, L"Handbuch"), L"Seite 3 von Handbuch");
    EXPECT_EQ(r.FormatString(1, -12, L"\u00C4rger \u20AC"), L"Seite -12 von \u00C4rger \u20AC");
    EXPECT_EQ(r.FormatString(2, 42, L"ab", L'z'), L"[   42|ab  |z]");
    EXPECT_EQ(r.FormatString(3, L"C:\\Docs"), L"100% in C:\\Docs\n");
    const std::wstring long_ = r.FormatString(4, longArgument.c_str());
    EXPECT_EQ(long_.size(), longArgument.size() + 2);
    EXPECT_TRUE(long_ == L"<" + longArgument + L">");
    EXPECT_EQ(r.FormatString(5), L"no arguments");
    // Formats from the built-in table work the same way.
    EXPECT_EQ(r.FormatString(IDS_TEST_FORMAT, 7, L"sample.djvu"),
              L"Built-in page 7 of sample.djvu");
    // No format at all gives the empty text.
    EXPECT_EQ(r.FormatString(IDS_TEST_ABSENT, 1, L"x"), L"");
}

}  // namespace
