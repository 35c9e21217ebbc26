// Dialog templates written from the language file: the exact bytes of a small
// dialog, the font rules, class and title ordinals, 32-bit styles written
// unsigned, exact block sizes, and real dialogs created from the blocks, modal
// and modeless, with the built-in dialog as fallback.

#include "DialogTemplateReader.h"
#include "LanguageFixture.h"
#include "LanguageTestIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using langtest::LanguagesXml;
using langtest::LanguageXml;
using langtest::LoadedLanguage;
using langtest::ParsedDialog;
using langtest::ParseDialogTemplate;
using vyrdapp::DialogTemplate;

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, as the
// resource compiler writes it for a usual dialog.
constexpr uint32_t kDialogStyle = 0x80C800C0;
// The same style without DS_SETFONT.
constexpr uint32_t kDialogStyleNoFont = 0x80C80080;

std::wstring DialogsXml(std::wstring_view dialogs) {
    return LanguagesXml(LanguageXml(L"de", L"<Dialogs>" + std::wstring(dialogs) + L"</Dialogs>"));
}

// Little-endian bytes written out by hand for the expected blocks.
class Bytes {
public:
    Bytes& U16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& U32(uint32_t v) {
        return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
    }
    Bytes& Text(std::wstring_view text) {
        for (wchar_t c : text) {
            U16(static_cast<uint16_t>(c));
        }
        return U16(0);
    }
    Bytes& Zeros(size_t n) {
        bytes_.insert(bytes_.end(), n, 0);
        return *this;
    }
    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Get() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

const wchar_t kSmallDialog[] =
    L"<Dialog ID=\"60030\" Style=\"2160591040\" ExtStyle=\"0\" X=\"10\" Y=\"20\" Width=\"160\" "
    L"Height=\"80\" Caption=\"Ab\">"
    L"<Font Size=\"9\" Name=\"Tahoma\"/>"
    L"<Control ID=\"1\" Style=\"1342242816\" ExtStyle=\"4\" X=\"5\" Y=\"6\" Width=\"50\" "
    L"Height=\"14\" SystemClass=\"128\" ClassName=\"BUTTON\" CaptionID=\"0\" Caption=\"OK\"/>"
    L"<Control ID=\"60032\" Style=\"1350631552\" ExtStyle=\"512\" X=\"5\" Y=\"24\" Width=\"100\" "
    L"Height=\"12\" SystemClass=\"0\" ClassName=\"Edit\" CaptionID=\"0\" Caption=\"\"/>"
    L"<Control ID=\"3\" Style=\"1342177283\" X=\"-3\" Y=\"40\" Width=\"20\" Height=\"20\" "
    L"SystemClass=\"130\" CaptionID=\"101\" Caption=\"ignored\"/>"
    L"</Dialog>";

TEST(LanguageDialogs, SmallDialogByteForByte) {
    LoadedLanguage language(DialogsXml(kSmallDialog), L"de");
    ASSERT_TRUE(language.Selected());
    const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
    ASSERT_TRUE(block);

    Bytes expected;
    // Header: style, extended style, 3 controls, x 10, y 20, 160 x 80.
    expected.U32(kDialogStyle).U32(0).U16(3).U16(10).U16(20).U16(160).U16(80);
    expected.U16(0).U16(0);  // no menu, standard class
    expected.Text(L"Ab");
    expected.U16(9).Text(L"Tahoma");
    ASSERT_EQ(expected.Size(), 44u);  // already on a 4-byte boundary
    // Button: the atom, not the class name.
    expected.U32(0x50010000).U32(4).U16(5).U16(6).U16(50).U16(14).U16(1);
    expected.U16(0xFFFF).U16(0x0080).Text(L"OK").U16(0);
    expected.Zeros(2);
    ASSERT_EQ(expected.Size(), 76u);
    // Edit by class name, empty title; 32 bytes, no padding.
    expected.U32(0x50810080).U32(0x200).U16(5).U16(24).U16(100).U16(12).U16(60032);
    expected.Text(L"Edit").Text(L"").U16(0);
    ASSERT_EQ(expected.Size(), 108u);
    // Static icon: class atom 0x82, title ordinal 101, x of -3.
    expected.U32(0x50000003).U32(0).U16(0xFFFD).U16(40).U16(20).U16(20).U16(3);
    expected.U16(0xFFFF).U16(0x0082).U16(0xFFFF).U16(101).U16(0);
    ASSERT_EQ(expected.Size(), 136u);

    const std::vector<uint8_t> actual(block.Bytes().begin(), block.Bytes().end());
    EXPECT_EQ(actual, expected.Get());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block.Get()) % 4, 0u);
}

// The font block follows DS_SETFONT alone.
TEST(LanguageDialogs, FontBlockFollowsTheStyle) {
    struct Case {
        const char* name;
        uint32_t style;
        const wchar_t* font;  // the `Font` element, or empty
        bool hasFont;
        uint16_t pointSize;
        const wchar_t* face;
    };
    const std::vector<Case> cases = {
        {"no DS_SETFONT, Font element present", kDialogStyleNoFont,
         L"<Font Size=\"12\" Name=\"Arial\"/>", false, 0, L""},
        {"no DS_SETFONT, no Font element", kDialogStyleNoFont, L"", false, 0, L""},
        {"DS_SETFONT without Font element", kDialogStyle, L"", true, 8, L"MS Shell Dlg"},
        {"DS_SETFONT with Font element", kDialogStyle, L"<Font Size=\"11\" Name=\"Segoe UI\"/>",
         true, 11, L"Segoe UI"},
        {"DS_SETFONT with an empty Font element", kDialogStyle, L"<Font/>", true, 0, L""},
        {"DS_SETFONT alone", DS_SETFONT, L"", true, 8, L"MS Shell Dlg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring xml = DialogsXml(
            L"<Dialog ID=\"60030\" Style=\"" + std::to_wstring(c.style) + L"\" Caption=\"Title\">" +
            c.font +
            L"<Control ID=\"7\" Style=\"1342242816\" SystemClass=\"128\" Caption=\"Go\"/>"
            L"</Dialog>");
        LoadedLanguage language(xml, L"de");
        const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
        ASSERT_TRUE(block);
        const ParsedDialog d = ParseDialogTemplate(block.Bytes());
        ASSERT_TRUE(d.complete);
        EXPECT_EQ(d.style, c.style);
        EXPECT_EQ(d.title, L"Title");
        EXPECT_EQ(d.hasFont, c.hasFont);
        EXPECT_EQ(d.pointSize, c.pointSize);
        EXPECT_EQ(d.face, c.face);
        // The only control must sit right after the header, not after a font
        // block that the style does not announce.
        ASSERT_EQ(d.controls.size(), 1u);
        EXPECT_EQ(d.controls[0].id, 7);
        EXPECT_EQ(d.controls[0].title.text, L"Go");
        EXPECT_EQ(d.end, block.Bytes().size());
    }
}

TEST(LanguageDialogs, ClassAndTitleAreOrdinalsOrTexts) {
    struct Case {
        const wchar_t* attributes;
        bool classIsAtom;
        uint16_t atom;
        const wchar_t* className;
        bool titleIsOrdinal;
        uint16_t ordinal;
        const wchar_t* title;
    };
    const std::vector<Case> cases = {
        {L"SystemClass=\"128\" ClassName=\"BUTTON\" Caption=\"OK\"", true, 0x80, L"", false, 0,
         L"OK"},
        {L"SystemClass=\"0\" ClassName=\"BUTTON\" Caption=\"OK\"", false, 0, L"BUTTON", false, 0,
         L"OK"},
        {L"ClassName=\"SysListView32\"", false, 0, L"SysListView32", false, 0, L""},
        {L"SystemClass=\"133\"", true, 0x85, L"", false, 0, L""},
        {L"SystemClass=\"130\" CaptionID=\"200\" Caption=\"ignored\"", true, 0x82, L"", true, 200,
         L""},
        {L"SystemClass=\"130\" CaptionID=\"0\" Caption=\"&#196;hnlich\"", true, 0x82, L"", false, 0,
         L"\u00C4hnlich"},
        // Ordinals keep the low 16 bits of the number.
        {L"SystemClass=\"65665\" CaptionID=\"65537\"", true, 0x81, L"", true, 1, L""},
    };
    std::wstring controls;
    for (size_t i = 0; i < cases.size(); ++i) {
        controls +=
            L"<Control ID=\"" + std::to_wstring(i + 1) + L"\" " + cases[i].attributes + L"/>";
    }
    LoadedLanguage language(DialogsXml(L"<Dialog ID=\"60030\">" + controls + L"</Dialog>"), L"de");
    const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
    ASSERT_TRUE(block);
    const ParsedDialog d = ParseDialogTemplate(block.Bytes());
    ASSERT_TRUE(d.complete);
    EXPECT_EQ(d.end, block.Bytes().size());
    ASSERT_EQ(d.count, cases.size());
    ASSERT_EQ(d.controls.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << i);
        const Case& c = cases[i];
        const langtest::ParsedControl& control = d.controls[i];
        EXPECT_EQ(control.offset % 4, 0u);
        EXPECT_EQ(control.id, i + 1);
        EXPECT_EQ(control.windowClass.isOrdinal, c.classIsAtom);
        EXPECT_EQ(control.windowClass.ordinal, c.atom);
        EXPECT_EQ(control.windowClass.text, c.className);
        EXPECT_EQ(control.title.isOrdinal, c.titleIsOrdinal);
        EXPECT_EQ(control.title.ordinal, c.ordinal);
        EXPECT_EQ(control.title.text, c.title);
        EXPECT_EQ(control.creationDataSize, 0);
    }
}

TEST(LanguageDialogs, StylesAreThirtyTwoBitsAndCoordinatesSixteen) {
    struct Case {
        const wchar_t* text;
        uint32_t style;
    };
    const std::vector<Case> cases = {
        {L"2160591040", kDialogStyle},   // above 2^31, written unsigned
        {L"-2134376256", kDialogStyle},  // the same bits written signed
        {L"6455558336", kDialogStyle},   // beyond 32 bits: wraps around
        {L"4294967295", 0xFFFFFFFF},    {L"2147483648", 0x80000000}, {L"", 0}, {L"abc", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Style=\"" << c.text << "\"");
        const std::wstring xml = DialogsXml(
            std::wstring(L"<Dialog ID=\"60030\" Style=\"") + c.text + L"\" ExtStyle=\"" + c.text +
            L"\" X=\"-1\" Y=\"65546\" Width=\"70000\" Height=\"32768\">"
            L"<Control ID=\"65535\" Style=\"" +
            c.text + L"\" ExtStyle=\"" + c.text +
            L"\" X=\"-32768\" Y=\"32767\" Width=\"65535\" Height=\"1\"/></Dialog>");
        LoadedLanguage language(xml, L"de");
        const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
        ASSERT_TRUE(block);
        const ParsedDialog d = ParseDialogTemplate(block.Bytes());
        ASSERT_TRUE(d.complete);
        EXPECT_EQ(d.style, c.style);
        EXPECT_EQ(d.extStyle, c.style);
        EXPECT_EQ(d.x, -1);
        EXPECT_EQ(d.y, 10);
        EXPECT_EQ(d.width, 4464);
        EXPECT_EQ(d.height, -32768);
        ASSERT_EQ(d.controls.size(), 1u);
        EXPECT_EQ(d.controls[0].style, c.style);
        EXPECT_EQ(d.controls[0].extStyle, c.style);
        EXPECT_EQ(d.controls[0].id, 0xFFFF);
        EXPECT_EQ(d.controls[0].x, -32768);
        EXPECT_EQ(d.controls[0].y, 32767);
        EXPECT_EQ(d.controls[0].width, -1);
        EXPECT_EQ(d.controls[0].height, 1);
    }
}

// Every combination of odd and even text lengths: the block is exactly as
// long as its header and items, each item on a 4-byte boundary.
TEST(LanguageDialogs, BlockHasExactlyTheSizeOfItsParts) {
    for (size_t caption = 0; caption < 4; ++caption) {
        for (size_t face = 0; face < 3; ++face) {
            for (size_t text = 0; text < 4; ++text) {
                SCOPED_TRACE(testing::Message() << "caption " << caption << ", face " << face
                                                << ", control texts " << text);
                const std::wstring xml = DialogsXml(
                    L"<Dialog ID=\"60030\" Style=\"64\" Caption=\"" + std::wstring(caption, L'c') +
                    L"\"><Font Size=\"8\" Name=\"" + std::wstring(face, L'f') + L"\"/>" +
                    L"<Control ID=\"1\" ClassName=\"" + std::wstring(text, L'k') +
                    L"\" Caption=\"" + std::wstring(text + 1, L't') + L"\"/>" +
                    L"<Control ID=\"2\" SystemClass=\"128\" Caption=\"" + std::wstring(text, L't') +
                    L"\"/>" + L"<Control ID=\"3\" ClassName=\"" + std::wstring(text + 1, L'k') +
                    L"\" CaptionID=\"5\"/></Dialog>");
                LoadedLanguage language(xml, L"de");
                const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
                ASSERT_TRUE(block);
                const ParsedDialog d = ParseDialogTemplate(block.Bytes());
                ASSERT_TRUE(d.complete);
                EXPECT_EQ(d.title.size(), caption);
                EXPECT_EQ(d.face.size(), face);
                ASSERT_EQ(d.controls.size(), 3u);
                EXPECT_EQ(d.controls[0].windowClass.text.size(), text);
                EXPECT_EQ(d.controls[0].title.text.size(), text + 1);
                EXPECT_EQ(d.controls[2].windowClass.text.size(), text + 1);
                EXPECT_EQ(d.controls[2].title.ordinal, 5);
                EXPECT_EQ(d.end, block.Bytes().size());
                vyrdapp::DialogDescription header;
                header.style = DS_SETFONT;
                header.caption.assign(caption, L'c');
                header.fontName.assign(face, L'f');
                EXPECT_EQ(vyrdapp::DialogHeaderSize(header), d.headerEnd);
            }
        }
    }
}

TEST(LanguageDialogs, OnlyControlElementsAreCounted) {
    LoadedLanguage language(
        DialogsXml(L"<Dialog ID=\"60030\" Caption=\"x\">"
                   L"<Control ID=\"1\"/><Font/><Other ID=\"9\"/><!-- note --><Control ID=\"2\"/>"
                   L"</Dialog>"
                   L"<Dialog ID=\"60031\" Caption=\"empty\"/>"),
        L"de");
    const DialogTemplate block = language->BuildDialogTemplate(IDD_TEST_DIALOG);
    ASSERT_TRUE(block);
    const ParsedDialog d = ParseDialogTemplate(block.Bytes());
    ASSERT_TRUE(d.complete);
    EXPECT_EQ(d.count, 2);
    ASSERT_EQ(d.controls.size(), 2u);
    EXPECT_EQ(d.controls[1].id, 2);

    const DialogTemplate empty = language->BuildDialogTemplate(60031);
    ASSERT_TRUE(empty);
    const ParsedDialog e = ParseDialogTemplate(empty.Bytes());
    EXPECT_EQ(e.count, 0);
    EXPECT_EQ(e.title, L"empty");
    EXPECT_EQ(empty.Bytes().size(), 36u);  // 18 + 4 + 12 for "empty", padded to 4
    EXPECT_FALSE(language->BuildDialogTemplate(60032));
}

TEST(LanguageDialogs, TemplateOwnershipMovesAlong) {
    LoadedLanguage language(DialogsXml(kSmallDialog), L"de");
    DialogTemplate first = language->BuildDialogTemplate(IDD_TEST_DIALOG);
    ASSERT_TRUE(first);
    const DLGTEMPLATE* block = first.Get();
    DialogTemplate second = std::move(first);
    EXPECT_EQ(second.Get(), block);
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_TRUE(first.Bytes().empty());
}

}  // namespace
