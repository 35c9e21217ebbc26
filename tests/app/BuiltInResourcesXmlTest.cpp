// The language file shipped beside the program, VyrdViewerResource.xml, read
// with the real MSXML: it offers English and German, and each language has an
// entry for every built-in string and the same menus and dialog layouts as the
// built-in resources, so that a translated menu or dialog behaves like the
// built-in one (same commands, same controls, same styles).

#include "BuiltInResources.h"
#include "Bstr.h"
#include "ComPtr.h"
#include "Resource.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <cwchar>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace restest {
namespace {

// The version-independent DOMDocument class (MinGW's import library lacks it).
constexpr CLSID kClsidDomDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

ComPtr<IXMLDOMDocument> LoadLanguageFile() {
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IXMLDOMDocument, document.PutVoid()))) {
        ADD_FAILURE() << "no DOMDocument";
        return {};
    }
    document->put_async(VARIANT_FALSE);
    Bstr path(testwin::ProgramDir() + L"\\VyrdViewerResource.xml");
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = path.Get();  // borrowed: load only reads it
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->load(source, &loaded)) || loaded != VARIANT_TRUE) {
        ADD_FAILURE() << "VyrdViewerResource.xml does not load beside the program";
        return {};
    }
    return document;
}

std::vector<ComPtr<IXMLDOMNode>> Select(IXMLDOMNode* node, const std::wstring& query) {
    std::vector<ComPtr<IXMLDOMNode>> nodes;
    ComPtr<IXMLDOMNodeList> list;
    Bstr text(query);
    if (!node || FAILED(node->selectNodes(text.Get(), list.Put())) || !list) {
        return nodes;
    }
    long length = 0;
    list->get_length(&length);
    for (long i = 0; i < length; ++i) {
        ComPtr<IXMLDOMNode> item;
        if (SUCCEEDED(list->get_item(i, item.Put())) && item) {
            nodes.push_back(std::move(item));
        }
    }
    return nodes;
}

// The attribute's text; nullopt when the element lacks it.
std::optional<std::wstring> Attr(IXMLDOMNode* node, const wchar_t* name) {
    ComPtr<IXMLDOMElement> element;
    if (!node || FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()))) {
        return std::nullopt;
    }
    Bstr attrName{std::wstring_view(name)};
    VARIANT value;
    VariantInit(&value);
    if (element->getAttribute(attrName.Get(), &value) != S_OK || V_VT(&value) != VT_BSTR) {
        VariantClear(&value);
        return std::nullopt;
    }
    std::wstring text(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    VariantClear(&value);
    return text;
}

std::wstring Text(IXMLDOMNode* node, const wchar_t* name) {
    return Attr(node, name).value_or(L"");
}

// Numbers as the language class reads them: decimal, 32 bits wrapping.
uint32_t Number(IXMLDOMNode* node, const wchar_t* name) {
    const std::wstring text = Text(node, name);
    if (!text.empty() && text[0] == L'-') {
        return static_cast<uint32_t>(std::wcstoll(text.c_str(), nullptr, 10));
    }
    return static_cast<uint32_t>(std::wcstoull(text.c_str(), nullptr, 10));
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to) {
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

// "Data" of a string: backslash-r, -n and -t, replaced in that order.
std::wstring UnescapeString(const std::wstring& data) {
    return ReplaceAll(ReplaceAll(ReplaceAll(data, L"\\r", L"\r"), L"\\n", L"\n"), L"\\t", L"\t");
}

ComPtr<IXMLDOMNode> OnlyOne(std::vector<ComPtr<IXMLDOMNode>> nodes, const std::wstring& what) {
    EXPECT_EQ(nodes.size(), 1u) << what;
    return nodes.size() == 1 ? std::move(nodes[0]) : ComPtr<IXMLDOMNode>();
}

struct Language {
    std::wstring id;
    ComPtr<IXMLDOMNode> node;
};

std::vector<Language> Languages(IXMLDOMDocument* document) {
    std::vector<Language> languages;
    for (auto& node : Select(document, L"Languages/Language")) {
        languages.push_back({Text(node.Get(), L"ID"), std::move(node)});
    }
    return languages;
}

// The printf conversions of a text ("%d", "%s"...), in order; "%%" and a
// percent sign that starts no conversion are left out.
std::wstring Conversions(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && (std::iswdigit(text[j]) || text[j] == L'.' || text[j] == L'-')) {
            ++j;
        }
        if (j < text.size() && (text[j] == L'l' || text[j] == L'h')) {
            ++j;
        }
        if (j < text.size() && std::wcschr(L"dsuxXcSf", text[j])) {
            out += text.substr(i, j - i + 1);
            i = j;
        } else if (j < text.size() && text[j] == L'%') {
            i = j;
        }
    }
    return out;
}

TEST(LanguageFileMatchesBuiltIn, OffersEnglishAndGerman) {
    auto document = LoadLanguageFile();
    ASSERT_TRUE(document);
    std::vector<std::pair<std::wstring, std::wstring>> offered;
    for (const Language& language : Languages(document.Get())) {
        offered.emplace_back(language.id, Text(language.node.Get(), L"Name"));
    }
    EXPECT_EQ(offered, (std::vector<std::pair<std::wstring, std::wstring>>{{L"en", L"English"},
                                                                           {L"de", L"Deutsch"}}));
}

TEST(LanguageFileMatchesBuiltIn, EveryBuiltInStringIsTranslatedOnceAndEnglishMatches) {
    auto document = LoadLanguageFile();
    ASSERT_TRUE(document);
    const std::vector<UINT> builtIn = BuiltInStringIds();
    ASSERT_FALSE(builtIn.empty());
    std::map<std::wstring, std::map<UINT, std::wstring>> byLanguage;
    for (const Language& language : Languages(document.Get())) {
        SCOPED_TRACE(testing::Message() << "language " << testing::PrintToString(language.id));
        std::map<UINT, std::wstring>& strings = byLanguage[language.id];
        for (const auto& entry : Select(language.node.Get(), L"Strings/*")) {
            const UINT id = Number(entry.Get(), L"ID");
            const auto data = Attr(entry.Get(), L"Data");
            ASSERT_TRUE(data.has_value()) << "string " << id << " has no Data";
            EXPECT_TRUE(strings.emplace(id, UnescapeString(*data)).second)
                << "string " << id << " appears twice";
        }
        std::vector<UINT> ids;
        for (const auto& [id, text] : strings) {
            ids.push_back(id);
            EXPECT_FALSE(text.empty()) << "string " << id;
        }
        EXPECT_EQ(ids, builtIn);
    }
    ASSERT_EQ(byLanguage.count(L"en"), 1u);
    ASSERT_EQ(byLanguage.count(L"de"), 1u);
    for (UINT id : builtIn) {
        EXPECT_EQ(byLanguage[L"en"][id], BuiltInString(id)) << "string " << id;
        // A translation that drops or reorders an argument breaks formatting.
        EXPECT_EQ(Conversions(byLanguage[L"de"][id]), Conversions(BuiltInString(id)))
            << "string " << id;
    }
}

// One menu of the file as a tree of the same shape as a built-in menu.
std::vector<MenuEntry> ReadXmlMenu(IXMLDOMNode* parent) {
    std::vector<MenuEntry> items;
    for (const auto& node : Select(parent, L"MenuItem")) {
        MenuEntry entry;
        const std::wstring data = Text(node.Get(), L"Data");
        entry.popup = Number(node.Get(), L"Popup") != 0;
        entry.grayed = Number(node.Get(), L"Grayed") != 0;
        entry.id = Number(node.Get(), L"ID");
        entry.separator = !entry.popup && entry.id == static_cast<UINT>(-1) && data == L"-";
        if (!entry.separator) {
            entry.text = ReplaceAll(data, L"\\t", L"\t");
        }
        if (entry.popup) {
            entry.items = ReadXmlMenu(node.Get());
        }
        items.push_back(std::move(entry));
    }
    return items;
}

void ExpectSameMenu(const std::vector<MenuEntry>& xml, const std::vector<MenuEntry>& builtIn,
                    bool sameTexts) {
    ASSERT_EQ(xml.size(), builtIn.size());
    for (size_t i = 0; i < xml.size(); ++i) {
        SCOPED_TRACE(testing::Message()
                     << "item " << i << " " << testing::PrintToString(builtIn[i].text));
        EXPECT_EQ(xml[i].separator, builtIn[i].separator);
        EXPECT_EQ(xml[i].popup, builtIn[i].popup);
        EXPECT_EQ(xml[i].grayed, builtIn[i].grayed);
        if (builtIn[i].separator) {
            continue;
        }
        EXPECT_FALSE(xml[i].text.empty());
        if (sameTexts) {
            EXPECT_EQ(xml[i].text, builtIn[i].text);
        }
        if (builtIn[i].popup) {
            ExpectSameMenu(xml[i].items, builtIn[i].items, sameTexts);
        } else {
            EXPECT_EQ(xml[i].id, builtIn[i].id);
        }
    }
}

TEST(LanguageFileMatchesBuiltIn, MenusHaveTheBuiltInCommandsInTheSameStructure) {
    auto document = LoadLanguageFile();
    ASSERT_TRUE(document);
    const std::vector<WORD> menus = BuiltInResourceIds(RT_MENU);
    EXPECT_EQ(menus,
              (std::vector<WORD>{IDR_MAINFRAME, IDR_TAB_MENU, IDR_BOOKMARK_MENU, IDR_PAGE_MENU}));
    for (const Language& language : Languages(document.Get())) {
        std::set<UINT> inFile;
        for (const auto& menu : Select(language.node.Get(), L"Menus/Menu")) {
            inFile.insert(Number(menu.Get(), L"ID"));
        }
        EXPECT_EQ(inFile, std::set<UINT>(menus.begin(), menus.end()));
        for (WORD id : menus) {
            SCOPED_TRACE(testing::Message()
                         << "language " << testing::PrintToString(language.id) << ", menu " << id);
            auto menu = OnlyOne(
                Select(language.node.Get(), L"Menus/Menu[@ID=\"" + std::to_wstring(id) + L"\"]"),
                L"one Menu element");
            ASSERT_TRUE(menu);
            ExpectSameMenu(ReadXmlMenu(menu.Get()), ReadBuiltInMenu(id), language.id == L"en");
        }
    }
}

TEST(LanguageFileMatchesBuiltIn, GermanMenuTitlesAreTranslated) {
    auto document = LoadLanguageFile();
    ASSERT_TRUE(document);
    auto german = OnlyOne(Select(document.Get(), L"Languages/Language[@ID=\"de\"]"), L"de");
    ASSERT_TRUE(german);
    for (WORD id : BuiltInResourceIds(RT_MENU)) {
        auto menu = OnlyOne(
            Select(german.Get(), L"Menus/Menu[@ID=\"" + std::to_wstring(id) + L"\"]"), L"menu");
        ASSERT_TRUE(menu);
        const std::vector<MenuEntry> builtIn = ReadBuiltInMenu(id);
        const std::vector<MenuEntry> translated = ReadXmlMenu(menu.Get());
        ASSERT_EQ(translated.size(), builtIn.size());
        for (size_t i = 0; i < builtIn.size(); ++i) {
            EXPECT_NE(translated[i].text, builtIn[i].text) << "menu " << id << " item " << i;
        }
    }
}

// The class of a control description, lower case, as a template would name it.
std::wstring XmlClassName(IXMLDOMNode* control) {
    NameOrOrdinal windowClass;
    const uint32_t atom = Number(control, L"SystemClass");
    windowClass.isOrdinal = atom != 0;
    windowClass.ordinal = static_cast<uint16_t>(atom);
    windowClass.text = Text(control, L"ClassName");
    return ClassNameOf(windowClass);
}

void ExpectSameDialog(IXMLDOMNode* dialog, const DialogTemplateData& builtIn, bool english) {
    EXPECT_EQ(Number(dialog, L"Style"), builtIn.style);
    EXPECT_EQ(Number(dialog, L"ExtStyle"), builtIn.extStyle);
    EXPECT_EQ(static_cast<int16_t>(Number(dialog, L"X")), builtIn.x);
    EXPECT_EQ(static_cast<int16_t>(Number(dialog, L"Y")), builtIn.y);
    EXPECT_EQ(static_cast<int16_t>(Number(dialog, L"Width")), builtIn.width);
    EXPECT_EQ(static_cast<int16_t>(Number(dialog, L"Height")), builtIn.height);
    if (english) {
        EXPECT_EQ(Text(dialog, L"Caption"), builtIn.caption);
    } else {
        EXPECT_EQ(Text(dialog, L"Caption").empty(), builtIn.caption.empty());
    }
    const auto fonts = Select(dialog, L"Font");
    if (builtIn.hasFont) {
        ASSERT_EQ(fonts.size(), 1u);
        EXPECT_EQ(Number(fonts[0].Get(), L"Size"), builtIn.pointSize);
        EXPECT_EQ(Text(fonts[0].Get(), L"Name"), builtIn.face);
    }

    const auto controls = Select(dialog, L"Control");
    ASSERT_EQ(controls.size(), builtIn.controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        IXMLDOMNode* control = controls[i].Get();
        const TemplateControl& expected = builtIn.controls[i];
        SCOPED_TRACE(testing::Message()
                     << "control " << i << " id " << static_cast<int16_t>(expected.id));
        EXPECT_EQ(static_cast<uint16_t>(Number(control, L"ID")),
                  static_cast<uint16_t>(expected.id));
        EXPECT_EQ(Number(control, L"Style"), expected.style);
        EXPECT_EQ(Number(control, L"ExtStyle"), expected.extStyle);
        EXPECT_EQ(static_cast<int16_t>(Number(control, L"X")), expected.x);
        EXPECT_EQ(static_cast<int16_t>(Number(control, L"Y")), expected.y);
        EXPECT_EQ(static_cast<int16_t>(Number(control, L"Width")), expected.width);
        EXPECT_EQ(static_cast<int16_t>(Number(control, L"Height")), expected.height);
        EXPECT_EQ(XmlClassName(control), ClassNameOf(expected.windowClass));
        const uint32_t captionId = Number(control, L"CaptionID");
        EXPECT_EQ(captionId, expected.title.isOrdinal ? expected.title.ordinal : 0u);
        if (captionId == 0) {
            const std::wstring caption = Text(control, L"Caption");
            if (english) {
                EXPECT_EQ(caption, expected.title.text);
            } else {
                EXPECT_EQ(caption.empty(), expected.title.text.empty());
            }
        }
    }
}

TEST(LanguageFileMatchesBuiltIn, DialogsHaveTheBuiltInLayoutControlsAndStyles) {
    auto document = LoadLanguageFile();
    ASSERT_TRUE(document);
    const std::vector<WORD> dialogs = BuiltInResourceIds(RT_DIALOG);
    ASSERT_FALSE(dialogs.empty());
    for (const Language& language : Languages(document.Get())) {
        std::set<UINT> inFile;
        for (const auto& dialog : Select(language.node.Get(), L"Dialogs/Dialog")) {
            inFile.insert(Number(dialog.Get(), L"ID"));
        }
        EXPECT_EQ(inFile, std::set<UINT>(dialogs.begin(), dialogs.end()));
        for (WORD id : dialogs) {
            SCOPED_TRACE(testing::Message() << "language " << testing::PrintToString(language.id)
                                            << ", dialog " << id);
            const auto builtIn = BuiltInDialog(id);
            ASSERT_TRUE(builtIn.has_value());
            auto dialog = OnlyOne(Select(language.node.Get(),
                                         L"Dialogs/Dialog[@ID=\"" + std::to_wstring(id) + L"\"]"),
                                  L"one Dialog element");
            ASSERT_TRUE(dialog);
            ExpectSameDialog(dialog.Get(), *builtIn, language.id == L"en");
        }
    }
}

}  // namespace
}  // namespace restest
