// The shared XML operations against the real MSXML and real files.
#include "SettingsTestSupport.h"
#include "XmlStore.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace vyrdapp;
using settingstest::AttrAt;
using settingstest::ChildElementNames;
using settingstest::ReadBytes;
using settingstest::Select;
using settingstest::TempFolder;
using settingstest::WriteBytes;
using settingstest::XmlOf;

// A document parsed from text, for the node operations.
ComPtr<IXMLDOMDocument> Parse(std::wstring_view xml) {
    ComPtr<IXMLDOMDocument> document = CreateDomDocument();
    if (!document) {
        ADD_FAILURE() << "no DOMDocument";
        return document;
    }
    Bstr text(xml);
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(document->loadXML(text.Get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    return document;
}

TEST(XmlParseInt, FollowsTheCConversionWithWrapAround) {
    struct Case {
        const wchar_t* text;
        int expected;
    };
    const Case cases[] = {
        {L"", 0},
        {L"0", 0},
        {L"42", 42},
        {L"007", 7},
        {L"   42", 42},
        {L"\t\n\v\f\r 7", 7},
        {L"+15", 15},
        {L"-15", -15},
        {L"12abc", 12},
        {L"1.9", 1},
        {L"5 6", 5},
        {L"abc", 0},
        {L"-", 0},
        {L"+", 0},
        {L"- 5", 0},
        {L"--5", 0},
        {L"+-5", 0},
        {L"x12", 0},
        {L"2147483647", INT_MAX},
        {L"-2147483647", -INT_MAX},
        {L"2147483648", INT_MIN},
        {L"-2147483648", INT_MIN},
        {L"-2147483649", INT_MAX},
        {L"4294967295", -1},
        {L"4294967296", 0},
        {L"4294967297", 1},
        {L"-4294967297", -1},
        {L"99999999999", 1215752191},
        {L"00000000000000000000000000000012", 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlParseInt(c.text), c.expected)
            << "text \"" << testing::PrintToString(std::wstring(c.text)) << "\"";
    }
}

TEST(XmlCreateFileIfMissing, WritesTheSkeletonInTextMode) {
    TempFolder folder;
    struct Case {
        const wchar_t* root;
        const char* expected;
    };
    const Case cases[] = {
        {L"Setting", "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Setting>\r\n</Setting>"},
        {L"Bookmarks",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Bookmarks>\r\n</Bookmarks>"},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / (std::wstring(c.root) + L".xml");
        XmlCreateFileIfMissing(path, c.root);
        EXPECT_EQ(ReadBytes(path), std::string(c.expected));
        // The skeleton is a document with that root.
        XmlStore store(path);
        EXPECT_TRUE(store.EnsureLoaded(c.root));
    }
}

TEST(XmlCreateFileIfMissing, LeavesAnExistingFileAlone) {
    TempFolder folder;
    for (const std::string& bytes : {std::string(), std::string("not xml"),
                                     std::string("<Other/>\n"), std::string("\0\1\2", 3)}) {
        const std::wstring path = folder / L"present.xml";
        WriteBytes(path, bytes);
        XmlCreateFileIfMissing(path, L"Setting");
        EXPECT_EQ(ReadBytes(path), bytes);
    }
}

TEST(XmlCreateFileIfMissing, IgnoresAFolderThatDoesNotExist) {
    TempFolder folder;
    const std::wstring path = folder / L"missing\\settings.xml";
    XmlCreateFileIfMissing(path, L"Setting");
    EXPECT_FALSE(settingstest::Exists(path));
    EXPECT_FALSE(settingstest::Exists(folder / L"missing"));
}

TEST(XmlStoreEnsureLoaded, SelectsTheNamedRoot) {
    TempFolder folder;
    const std::wstring path = folder / L"good.xml";
    WriteBytes(path,
               "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Setting Mark=\"outer\">"
               "<Setting Mark=\"inner\"/></Setting>");
    XmlStore store(path);
    EXPECT_FALSE(store.IsLoaded());
    ASSERT_TRUE(store.EnsureLoaded(L"Setting"));
    EXPECT_TRUE(store.IsLoaded());
    ASSERT_NE(store.Root(), nullptr);
    EXPECT_EQ(XmlGetAttr(store.Root(), L"Mark", L""), L"outer");
}

TEST(XmlStoreEnsureLoaded, FailsWithoutTheRootOrAParsableFile) {
    TempFolder folder;
    struct Case {
        const char* name;
        std::string bytes;  // empty name: no file at all
    };
    const Case cases[] = {
        {"no file", {}},
        {"empty file", ""},
        {"not XML", "settings: yes"},
        {"unclosed root", "<?xml version=\"1.0\" ?>\n<Setting>\n"},
        {"other root", "<Settings><Setting/></Settings>"},
        {"root in other case", "<setting/>"},
        {"binary", std::string("\xFF\xFE\0<", 4)},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring path = folder / (L"case" + std::to_wstring(n++) + L".xml");
        if (std::string_view(c.name) != "no file") {
            WriteBytes(path, c.bytes);
        }
        XmlStore store(path);
        EXPECT_FALSE(store.EnsureLoaded(L"Setting")) << c.name;
        EXPECT_FALSE(store.IsLoaded()) << c.name;
        EXPECT_EQ(store.Root(), nullptr) << c.name;
        EXPECT_EQ(store.Document(), nullptr) << c.name;
    }
}

TEST(XmlStoreEnsureLoaded, KeepsTheLoadedDocumentUntilClosed) {
    TempFolder folder;
    const std::wstring path = folder / L"kept.xml";
    WriteBytes(path, "<Setting Version=\"1\"/>");
    XmlStore store(path);
    ASSERT_TRUE(store.EnsureLoaded(L"Setting"));
    IXMLDOMDocument* const first = store.Document();

    // The file changes on disk: the loaded document is not read again.
    WriteBytes(path, "broken");
    EXPECT_TRUE(store.EnsureLoaded(L"Setting"));
    EXPECT_EQ(store.Document(), first);
    EXPECT_EQ(XmlGetAttr(store.Root(), L"Version", L""), L"1");

    store.Close();
    EXPECT_FALSE(store.IsLoaded());
    EXPECT_EQ(store.Root(), nullptr);
    EXPECT_FALSE(store.EnsureLoaded(L"Setting"));

    WriteBytes(path, "<Setting Version=\"2\"/>");
    ASSERT_TRUE(store.EnsureLoaded(L"Setting"));
    EXPECT_EQ(XmlGetAttr(store.Root(), L"Version", L""), L"2");
}

TEST(XmlStoreSave, WritesTheDocumentToItsPath) {
    TempFolder folder;
    const std::wstring path = folder / L"saved.xml";
    XmlStore store(path);
    EXPECT_FALSE(store.Save()) << "nothing loaded, nothing to save";
    EXPECT_FALSE(settingstest::Exists(path));

    WriteBytes(path, "<Setting/>");
    ASSERT_TRUE(store.EnsureLoaded(L"Setting"));
    XmlSetAttrText(store.Root(), L"Name", L"B\u00FCcher \u4E66");
    EXPECT_TRUE(store.Save());
    store.Close();

    XmlStore again(path);
    ASSERT_TRUE(again.EnsureLoaded(L"Setting"));
    EXPECT_EQ(XmlGetAttr(again.Root(), L"Name", L""), L"B\u00FCcher \u4E66");
}

TEST(XmlCreateElement, AppendsToTheParentOrTheDocument) {
    ComPtr<IXMLDOMDocument> document = Parse(L"<Setting><First/></Setting>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);

    const ComPtr<IXMLDOMNode> added = XmlCreateElement(L"Second", document.Get(), root.Get());
    ASSERT_TRUE(added);
    EXPECT_EQ(XmlOf(added.Get()), L"<Second/>");
    EXPECT_EQ(ChildElementNames(root.Get()), (std::vector<std::wstring>{L"First", L"Second"}));
    // The returned node is the one in the tree.
    XmlSetAttrInt(added.Get(), L"N", 3);
    EXPECT_EQ(AttrAt(document.Get(), L"Setting/Second", L"N"), L"3");

    // Without a parent the element goes to the document itself.
    ComPtr<IXMLDOMDocument> empty = CreateDomDocument();
    ASSERT_TRUE(empty);
    const ComPtr<IXMLDOMNode> top = XmlCreateElement(L"Setting", empty.Get(), nullptr);
    ASSERT_TRUE(top);
    ComPtr<IXMLDOMElement> documentElement;
    ASSERT_EQ(empty->get_documentElement(documentElement.Put()), S_OK);
    EXPECT_EQ(XmlOf(documentElement.Get()), L"<Setting/>");
}

TEST(XmlCreateElement, MakesADocumentOfItsOwnWhenNoneIsGiven) {
    const ComPtr<IXMLDOMNode> alone = XmlCreateElement(L"Alone", nullptr, nullptr);
    ASSERT_TRUE(alone);
    EXPECT_EQ(XmlOf(alone.Get()), L"<Alone/>");
    ComPtr<IXMLDOMDocument> owner;
    ASSERT_EQ(alone->get_ownerDocument(owner.Put()), S_OK);
    ComPtr<IXMLDOMElement> documentElement;
    ASSERT_EQ(owner->get_documentElement(documentElement.Put()), S_OK);
    EXPECT_EQ(XmlOf(documentElement.Get()), L"<Alone/>");
}

TEST(XmlGetChild, FindsCreatesAndClears) {
    ComPtr<IXMLDOMDocument> document = Parse(
        L"<Setting><Group Keep=\"yes\" Other=\"2\"><A/>text<B><C/></B></Group>"
        L"<Group Second=\"1\"/></Setting>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);
    const std::wstring before = XmlOf(root.Get());

    EXPECT_FALSE(XmlGetChild(nullptr, L"Group", document.Get(), true, true));

    // Found: the first element of that name, untouched.
    const ComPtr<IXMLDOMNode> found =
        XmlGetChild(root.Get(), L"Group", document.Get(), true, false);
    ASSERT_TRUE(found);
    EXPECT_EQ(XmlGetAttr(found.Get(), L"Keep", L""), L"yes");
    EXPECT_EQ(XmlOf(root.Get()), before);

    // Missing and not to be created: nothing happens.
    EXPECT_FALSE(XmlGetChild(root.Get(), L"Absent", document.Get(), false, false));
    EXPECT_FALSE(XmlGetChild(root.Get(), L"Absent", document.Get(), false, true));
    EXPECT_EQ(XmlOf(root.Get()), before);

    // Missing and to be created: appended after the other children.
    const ComPtr<IXMLDOMNode> created =
        XmlGetChild(root.Get(), L"Absent", document.Get(), true, false);
    ASSERT_TRUE(created);
    EXPECT_EQ(ChildElementNames(root.Get()),
              (std::vector<std::wstring>{L"Group", L"Group", L"Absent"}));
    // Found again, not created twice.
    const ComPtr<IXMLDOMNode> again =
        XmlGetChild(root.Get(), L"Absent", document.Get(), true, false);
    EXPECT_EQ(ChildElementNames(root.Get()),
              (std::vector<std::wstring>{L"Group", L"Group", L"Absent"}));

    // Cleared: children and text go, attributes stay; the second Group is not touched.
    const ComPtr<IXMLDOMNode> cleared =
        XmlGetChild(root.Get(), L"Group", document.Get(), false, true);
    ASSERT_TRUE(cleared);
    EXPECT_TRUE(ChildElementNames(cleared.Get()).empty());
    Bstr text;
    cleared->get_text(text.Put());
    EXPECT_EQ(text.View(), L"");
    EXPECT_EQ(XmlGetAttr(cleared.Get(), L"Keep", L""), L"yes");
    EXPECT_EQ(XmlGetAttr(cleared.Get(), L"Other", L""), L"2");
    EXPECT_EQ(AttrAt(root.Get(), L"Group[@Second]", L"Second"), L"1");
    EXPECT_EQ(ChildElementNames(root.Get()),
              (std::vector<std::wstring>{L"Group", L"Group", L"Absent"}));
}

TEST(XmlGetChild, CreatesUnderAParentWithoutTheDocumentGiven) {
    ComPtr<IXMLDOMDocument> document = Parse(L"<Setting/>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);
    const ComPtr<IXMLDOMNode> child = XmlGetChild(root.Get(), L"Made", nullptr, true, false);
    ASSERT_TRUE(child);
    EXPECT_EQ(ChildElementNames(root.Get()), (std::vector<std::wstring>{L"Made"}));
}

TEST(XmlGetAttr, ReturnsTheTextOrTheDefault) {
    ComPtr<IXMLDOMDocument> document =
        Parse(L"<Setting Value=\"12\" Empty=\"\" Spaced=\" a b \">text</Setting>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);
    ComPtr<IXMLDOMNode> textNode;
    ASSERT_EQ(root->get_firstChild(textNode.Put()), S_OK);
    IXMLDOMNode* const documentNode = document.Get();

    struct Case {
        const char* what;
        IXMLDOMNode* node;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"present", root.Get(), L"Value", L"12"},
        {"present and empty", root.Get(), L"Empty", L""},
        {"white space kept", root.Get(), L"Spaced", L" a b "},
        {"absent", root.Get(), L"Missing", L"dflt"},
        {"other case", root.Get(), L"value", L"dflt"},
        {"empty name", root.Get(), L"", L"dflt"},
        {"null node", nullptr, L"Value", L"dflt"},
        {"text node", textNode.Get(), L"Value", L"dflt"},
        {"document node", documentNode, L"Value", L"dflt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlGetAttr(c.node, c.name, L"dflt"), c.expected) << c.what;
    }
}

TEST(XmlSetAttr, WritesTextIntegersAndBooleans) {
    ComPtr<IXMLDOMDocument> document = Parse(L"<Setting Old=\"x\">text</Setting>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);

    XmlSetAttrText(root.Get(), L"Text", L"C:\\Docs\\a \"b\" <c>.djvu");
    XmlSetAttrText(root.Get(), L"Old", L"");
    XmlSetAttrInt(root.Get(), L"Zero", 0);
    XmlSetAttrInt(root.Get(), L"Negative", -123);
    XmlSetAttrInt(root.Get(), L"Min", INT_MIN);
    XmlSetAttrInt(root.Get(), L"Max", INT_MAX);
    XmlSetAttrBool(root.Get(), L"True", true);
    XmlSetAttrBool(root.Get(), L"False", false);

    struct Case {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Text", L"C:\\Docs\\a \"b\" <c>.djvu"},
        {L"Old", L""},
        {L"Zero", L"0"},
        {L"Negative", L"-123"},
        {L"Min", L"-2147483648"},
        {L"Max", L"2147483647"},
        {L"True", L"1"},
        {L"False", L"0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AttrAt(root.Get(), L".", c.name), std::wstring(c.expected)) << c.name;
    }
}

TEST(XmlSetAttr, IgnoresNodesThatAreNotElements) {
    ComPtr<IXMLDOMDocument> document = Parse(L"<Setting A=\"1\">text</Setting>");
    ASSERT_TRUE(document);
    const ComPtr<IXMLDOMNode> root = Select(document.Get(), L"Setting");
    ASSERT_TRUE(root);
    ComPtr<IXMLDOMNode> textNode;
    ASSERT_EQ(root->get_firstChild(textNode.Put()), S_OK);
    const std::wstring before = XmlOf(document.Get());

    for (IXMLDOMNode* node : {static_cast<IXMLDOMNode*>(document.Get()), textNode.Get(),
                              static_cast<IXMLDOMNode*>(nullptr)}) {
        XmlSetAttrText(node, L"T", L"x");
        XmlSetAttrInt(node, L"I", 5);
        XmlSetAttrBool(node, L"B", true);
    }
    EXPECT_EQ(XmlOf(document.Get()), before);
}

}  // namespace
