// The settings file: every value, its default, what a save keeps and drops,
// and broken files, against the real MSXML and real files.
#include "SettingsStore.h"
#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

using namespace vyrdapp;
using settingstest::AttrAt;
using settingstest::ChildElementNames;
using settingstest::LoadDocument;
using settingstest::ReadBytes;
using settingstest::Select;
using settingstest::TempFolder;
using settingstest::WriteBytes;

const char kSkeleton[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Setting>\r\n</Setting>";

std::string SettingsXml(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Setting>\n" + std::string(body) +
           "\n</Setting>\n";
}

// Every value in one line, so that a comparison shows all differences at once.
std::wstring Describe(const SettingsStore& s) {
    std::wostringstream out;
    out << L"maximized=" << s.maximized << L" closeByEsc=" << s.closeByEsc << L" rect="
        << s.rect.left << L',' << s.rect.top << L',' << s.rect.right << L',' << s.rect.bottom
        << L" top=" << s.topToolbarVisible << L" bottom=" << s.bottomToolbarVisible << L" splitter="
        << s.splitterPos << L" pane=" << s.leftPaneVisible << L" tab=" << s.currentLeftPaneTab
        << L" order=" << s.leftPaneTabIndex[0] << L',' << s.leftPaneTabIndex[1] << L','
        << s.leftPaneTabIndex[2] << L" language=" << s.language << L" max=" << s.recentMaxCount
        << L" tabsBottom=" << s.tabsAtBottom << L" oneDoc=" << s.oneOpenDocShow << L" dblClick="
        << s.dblClickClose << L" recent=[";
    for (size_t i = 0; i < s.recentFiles.size(); ++i) {
        out << (i ? L"|" : L"") << s.recentFiles[i];
    }
    out << L"]";
    return out.str();
}

const wchar_t kInitial[] =
    L"maximized=1 closeByEsc=0 rect=0,0,799,599 top=1 bottom=1 splitter=300 pane=1 tab=0 "
    L"order=0,1,2 language= max=5 tabsBottom=0 oneDoc=0 dblClick=0 recent=[]";

const char kFullFile[] = R"(
  <MainWindow Maximized="0" CloseByEsc="1">
    <Rect Left="10" Top="20" Right="1010" Bottom="720"/>
    <TopToolbar Visible="0"/>
    <BottomToolbar Visible="0"/>
    <LeftPane Visible="0" SplitterPos="180" CurrentTab="2" TabIndex0="2" TabIndex1="0" TabIndex2="1"/>
  </MainWindow>
  <RecentFiles>
    <File FilePath="C:\a.djvu"/>
    <File FilePath="D:\B&#xFC;cher\b.pdf"/>
    <File FilePath="E:\c.tif"/>
  </RecentFiles>
  <General>
    <Language ID="de"/>
    <RecentFileList MaxCount="7"/>
    <TabsSetting Bottom="1" OneOpenDocShow="1" DblClickClose="1"/>
  </General>)";

const wchar_t kFullValues[] =
    L"maximized=0 closeByEsc=1 rect=10,20,1010,720 top=0 bottom=0 splitter=180 pane=0 tab=2 "
    L"order=2,0,1 language=de max=7 tabsBottom=1 oneDoc=1 dblClick=1 "
    L"recent=[C:\\a.djvu|D:\\B\u00FCcher\\b.pdf|E:\\c.tif]";

TEST(SettingsStore, StartsWithTheInitialValues) {
    const SettingsStore settings;
    EXPECT_EQ(Describe(settings), kInitial);
    EXPECT_EQ(settings.GetLanguage(), L"");
    EXPECT_FALSE(const_cast<SettingsStore&>(settings).Store().IsLoaded());
}

TEST(SettingsStore, LoadReadsEveryValue) {
    TempFolder folder;
    const std::wstring path = folder / L"VyrdViewerSetting.xml";
    WriteBytes(path, SettingsXml(kFullFile));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    EXPECT_EQ(Describe(settings), kFullValues);
    EXPECT_EQ(settings.GetLanguage(), L"de");
}

TEST(SettingsStore, TheShippedDefaultFileHoldsTheInitialValues) {
    const std::wstring path = testwin::ProgramDir() + L"\\VyrdViewerSetting_def.xml";
    ASSERT_TRUE(settingstest::Exists(path)) << "the default file is shipped beside the program";
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    SettingsStore expected;
    expected.language = L"en";
    EXPECT_EQ(Describe(settings), Describe(expected));
    // Every element and attribute of the file is present, not merely defaulted.
    IXMLDOMNode* const root = settings.Store().Root();
    for (const auto& [element, attribute] :
         std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{
             {L"MainWindow", L"Maximized"},
             {L"MainWindow", L"CloseByEsc"},
             {L"MainWindow/Rect", L"Left"},
             {L"MainWindow/Rect", L"Bottom"},
             {L"MainWindow/TopToolbar", L"Visible"},
             {L"MainWindow/BottomToolbar", L"Visible"},
             {L"MainWindow/LeftPane", L"SplitterPos"},
             {L"MainWindow/LeftPane", L"TabIndex2"},
             {L"General/Language", L"ID"},
             {L"General/RecentFileList", L"MaxCount"},
             {L"General/TabsSetting", L"DblClickClose"},
             {L"SearchSetting", L"MatchCase"}}) {
        EXPECT_TRUE(AttrAt(root, element, attribute)) << element << L" " << attribute;
    }
    EXPECT_TRUE(Select(root, L"RecentFiles"));
}

TEST(SettingsStore, MissingFileBecomesASkeletonAndValuesStayInitial) {
    TempFolder folder;
    const std::wstring path = folder / L"VyrdViewerSetting.xml";
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    EXPECT_EQ(ReadBytes(path), std::string(kSkeleton));
    EXPECT_EQ(Describe(settings), kInitial);
}

TEST(SettingsStore, MaxCountIsClampedAndDefaultsToFive) {
    TempFolder folder;
    struct Case {
        const char* attribute;  // null: no attribute
        int expected;
    };
    const Case cases[] = {
        {"25", 10},        {"-3", 0},          {nullptr, 5},       {"abc", 0}, {"", 0},
        {"10", 10},        {"11", 10},         {"0", 0},           {"7", 7},   {" 8 files", 8},
        {"4294967301", 5}, {"-2147483648", 0}, {"2147483647", 10},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring path = folder / (L"max" + std::to_wstring(n++) + L".xml");
        const std::string element =
            c.attribute ? "<RecentFileList MaxCount=\"" + std::string(c.attribute) + "\"/>"
                        : "<RecentFileList/>";
        WriteBytes(path, SettingsXml("<General>" + element + "</General>"));
        SettingsStore settings;
        settings.recentMaxCount = 3;  // a present element sets the value, also to its default
        ASSERT_TRUE(settings.Load(path));
        EXPECT_EQ(settings.recentMaxCount, c.expected) << (c.attribute ? c.attribute : "(missing)");
    }
}

TEST(SettingsStore, MissingAttributesReadAsZeroExceptTheTabOrder) {
    TempFolder folder;
    const std::wstring path = folder / L"sparse.xml";
    WriteBytes(path, SettingsXml("<MainWindow><LeftPane/><Rect Left=\"4\"/></MainWindow>"
                                 "<General><Language/><TabsSetting/></General>"));
    SettingsStore settings;
    settings.leftPaneTabIndex = {7, 8, 9};
    settings.language = L"fr";
    settings.tabsAtBottom = true;
    ASSERT_TRUE(settings.Load(path));
    EXPECT_EQ(Describe(settings),
              L"maximized=0 closeByEsc=0 rect=4,0,0,0 top=1 bottom=1 splitter=0 pane=0 tab=0 "
              L"order=0,1,2 language= max=5 tabsBottom=0 oneDoc=0 dblClick=0 recent=[]");
}

TEST(SettingsStore, MissingElementsKeepTheCurrentValues) {
    TempFolder folder;
    const std::wstring path = folder / L"partial.xml";
    WriteBytes(path, SettingsXml("<MainWindow Maximized=\"1\"/><General/>"));
    SettingsStore settings;
    settings.maximized = false;
    settings.rect = {1, 2, 3, 4};
    settings.topToolbarVisible = false;
    settings.splitterPos = 123;
    settings.leftPaneTabIndex = {2, 1, 0};
    settings.language = L"de";
    settings.recentMaxCount = 9;
    settings.dblClickClose = true;
    settings.recentFiles = {L"kept.djvu"};
    ASSERT_TRUE(settings.Load(path));
    EXPECT_EQ(Describe(settings),
              L"maximized=1 closeByEsc=0 rect=1,2,3,4 top=0 bottom=1 splitter=123 pane=1 tab=0 "
              L"order=2,1,0 language=de max=9 tabsBottom=0 oneDoc=0 dblClick=1 recent=[kept.djvu]");
}

TEST(SettingsStore, NumbersWrapLikeTheCConversion) {
    TempFolder folder;
    const std::wstring path = folder / L"numbers.xml";
    WriteBytes(path, SettingsXml(R"(<MainWindow>
        <Rect Left="4294967296" Top="4294967295" Right="2147483648" Bottom="-2147483649"/>
        <LeftPane SplitterPos="  +250px" CurrentTab="-4294967294" TabIndex0="1e3"/>
      </MainWindow>)"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    EXPECT_EQ(settings.rect.left, 0);
    EXPECT_EQ(settings.rect.top, -1);
    EXPECT_EQ(settings.rect.right, INT_MIN);
    EXPECT_EQ(settings.rect.bottom, INT_MAX);
    EXPECT_EQ(settings.splitterPos, 250);
    EXPECT_EQ(settings.currentLeftPaneTab, 2);
    EXPECT_EQ(settings.leftPaneTabIndex[0], 1);
}

TEST(SettingsStore, AnyNonZeroNumberIsTrueAndIsWrittenAsOne) {
    TempFolder folder;
    struct Case {
        const char* text;
        bool expected;
        const wchar_t* written;
    };
    const Case cases[] = {
        {"2", true, L"1"}, {"-1", true, L"1"},   {"1", true, L"1"},   {"0", false, L"0"},
        {"", false, L"0"}, {"yes", false, L"0"}, {" 3x", true, L"1"}, {"4294967296", false, L"0"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring path = folder / (L"bool" + std::to_wstring(n++) + L".xml");
        const std::string t = c.text;
        WriteBytes(path, SettingsXml("<MainWindow Maximized=\"" + t + "\"><TopToolbar Visible=\"" +
                                     t + "\"/></MainWindow><General><TabsSetting Bottom=\"" + t +
                                     "\"/></General>"));
        SettingsStore settings;
        settings.maximized = !c.expected;
        ASSERT_TRUE(settings.Load(path));
        EXPECT_EQ(settings.maximized, c.expected) << c.text;
        EXPECT_EQ(settings.topToolbarVisible, c.expected) << c.text;
        EXPECT_EQ(settings.tabsAtBottom, c.expected) << c.text;
        ASSERT_TRUE(settings.Save());
        const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
        EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow", L"Maximized"), c.written) << c.text;
        EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow/TopToolbar", L"Visible"), c.written)
            << c.text;
        EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/TabsSetting", L"Bottom"), c.written)
            << c.text;
    }
}

TEST(SettingsStore, CloseByEscIsReadButNeverWritten) {
    TempFolder folder;
    const std::wstring path = folder / L"esc.xml";
    WriteBytes(path, SettingsXml("<MainWindow Maximized=\"1\" CloseByEsc=\"1\"/>"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    EXPECT_TRUE(settings.closeByEsc);
    settings.closeByEsc = false;
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(AttrAt(LoadDocument(path).Get(), L"Setting/MainWindow", L"CloseByEsc"), L"1");

    // Nor is it added to a file that lacks it.
    const std::wstring bare = folder / L"bare.xml";
    WriteBytes(bare, SettingsXml(""));
    SettingsStore other;
    ASSERT_TRUE(other.Load(bare));
    other.closeByEsc = true;
    ASSERT_TRUE(other.Save());
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(bare);
    EXPECT_TRUE(AttrAt(saved.Get(), L"Setting/MainWindow", L"Maximized"));
    EXPECT_FALSE(AttrAt(saved.Get(), L"Setting/MainWindow", L"CloseByEsc"));
}

TEST(SettingsStore, SaveRebuildsMainWindowAndRecentFilesButKeepsTheRest) {
    TempFolder folder;
    const std::wstring path = folder / L"extras.xml";
    WriteBytes(path, SettingsXml(R"(
  <MainWindow Maximized="0" Theme="dark">
    <Unknown Mark="x"/>
    <LeftPane Visible="1" Width="7"/>
    <Rect Left="1" Top="2" Right="3" Bottom="4"/>
  </MainWindow>
  <RecentFiles Sorted="no">
    <File FilePath="C:\one.djvu"/>
    <Other/>
    <File FilePath="C:\two.djvu"/>
  </RecentFiles>
  <General Flavour="plain">
    <Extra Keep="yes"><Deep/></Extra>
    <Language ID="en" Name="English"/>
  </General>
  <SearchSetting MatchCase="1" WholeWord="0">
    <SearchComboBox><Item Text="needle"/></SearchComboBox>
    <ListView PageColumn="60" TextColumn="240"/>
  </SearchSetting>)"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    ASSERT_TRUE(settings.Save());

    const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
    ASSERT_TRUE(saved);
    const ComPtr<IXMLDOMNode> root = Select(saved.Get(), L"Setting");
    // MainWindow: rebuilt in the fixed order; its own attributes stay.
    EXPECT_EQ(ChildElementNames(Select(root.Get(), L"MainWindow").Get()),
              (std::vector<std::wstring>{L"Rect", L"TopToolbar", L"BottomToolbar", L"LeftPane"}));
    EXPECT_EQ(AttrAt(root.Get(), L"MainWindow", L"Theme"), L"dark");
    EXPECT_FALSE(AttrAt(root.Get(), L"MainWindow/LeftPane", L"Width"));
    // RecentFiles: only the list; its own attributes stay.
    EXPECT_EQ(ChildElementNames(Select(root.Get(), L"RecentFiles").Get()),
              (std::vector<std::wstring>{L"File", L"File"}));
    EXPECT_EQ(AttrAt(root.Get(), L"RecentFiles", L"Sorted"), L"no");
    // General and everything the application does not own survive.
    EXPECT_EQ(
        ChildElementNames(Select(root.Get(), L"General").Get()),
        (std::vector<std::wstring>{L"Extra", L"Language", L"RecentFileList", L"TabsSetting"}));
    EXPECT_EQ(AttrAt(root.Get(), L"General/Extra", L"Keep"), L"yes");
    EXPECT_TRUE(Select(root.Get(), L"General/Extra/Deep"));
    EXPECT_EQ(AttrAt(root.Get(), L"General", L"Flavour"), L"plain");
    EXPECT_EQ(AttrAt(root.Get(), L"General/Language", L"Name"), L"English");
    EXPECT_EQ(AttrAt(root.Get(), L"SearchSetting/SearchComboBox/Item", L"Text"), L"needle");
    EXPECT_EQ(AttrAt(root.Get(), L"SearchSetting/ListView", L"PageColumn"), L"60");
    EXPECT_EQ(
        ChildElementNames(root.Get()),
        (std::vector<std::wstring>{L"MainWindow", L"RecentFiles", L"General", L"SearchSetting"}));
}

TEST(SettingsStore, AMissingGeneralIsCreatedOnLoadAndFilledOnSave) {
    TempFolder folder;
    const std::wstring path = folder / L"nogeneral.xml";
    const std::string bytes = SettingsXml("<MainWindow Maximized=\"1\"/>");
    WriteBytes(path, bytes);
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    // In memory only: loading writes nothing.
    const ComPtr<IXMLDOMNode> general = Select(settings.Store().Root(), L"General");
    ASSERT_TRUE(general);
    EXPECT_TRUE(ChildElementNames(general.Get()).empty());
    EXPECT_EQ(ReadBytes(path), bytes);

    ASSERT_TRUE(settings.Save());
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
    EXPECT_EQ(ChildElementNames(Select(saved.Get(), L"Setting/General").Get()),
              (std::vector<std::wstring>{L"Language", L"RecentFileList", L"TabsSetting"}));
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/Language", L"ID"), L"");
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/RecentFileList", L"MaxCount"), L"5");
    for (const wchar_t* name : {L"Bottom", L"OneOpenDocShow", L"DblClickClose"}) {
        EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/TabsSetting", name), L"0") << name;
    }
}

TEST(SettingsStore, RecentFilesKeepTheirOrderAndCount) {
    TempFolder folder;
    const std::wstring path = folder / L"recent.xml";
    std::string files;
    for (int i = 0; i < 12; ++i) {
        files += "<File FilePath=\"C:\\docs\\" + std::to_string(11 - i) + ".djvu\"/>";
    }
    files += "<File/>";
    WriteBytes(path, SettingsXml("<RecentFiles>" + files + "</RecentFiles>"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    ASSERT_EQ(settings.recentFiles.size(), 13u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(settings.recentFiles[i], L"C:\\docs\\" + std::to_wstring(11 - i) + L".djvu");
    }
    EXPECT_EQ(settings.recentFiles[12], L"");

    settings.recentFiles = {L"Z:\\newest.pdf", L"C:\\B\u00FCcher\\\u4E66.djvu", L"C:\\old.tif"};
    ASSERT_TRUE(settings.Save());
    SettingsStore reloaded;
    ASSERT_TRUE(reloaded.Load(path));
    EXPECT_EQ(reloaded.recentFiles, settings.recentFiles);

    settings.recentFiles.clear();
    ASSERT_TRUE(settings.Save());
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
    ASSERT_TRUE(Select(saved.Get(), L"Setting/RecentFiles"));
    EXPECT_TRUE(ChildElementNames(Select(saved.Get(), L"Setting/RecentFiles").Get()).empty());
}

TEST(SettingsStore, SaveAndLoadGiveBackEveryValue) {
    TempFolder folder;
    const std::wstring path = folder / L"roundtrip.xml";
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    settings.maximized = false;
    settings.rect = {-5, INT_MIN, INT_MAX, 0};
    settings.topToolbarVisible = false;
    settings.bottomToolbarVisible = false;
    settings.splitterPos = 222;
    settings.leftPaneVisible = false;
    settings.currentLeftPaneTab = 1;
    settings.leftPaneTabIndex = {1, 2, 0};
    settings.language = L"de";
    settings.recentMaxCount = 10;
    settings.tabsAtBottom = true;
    settings.oneOpenDocShow = true;
    settings.dblClickClose = true;
    settings.recentFiles = {L"a", L"b"};
    ASSERT_TRUE(settings.Save());

    SettingsStore reloaded;
    ASSERT_TRUE(reloaded.Load(path));
    EXPECT_EQ(Describe(reloaded), Describe(settings));
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow/Rect", L"Left"), L"-5");
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow/Rect", L"Top"), L"-2147483648");
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow/LeftPane", L"TabIndex0"), L"1");
    EXPECT_EQ(ChildElementNames(Select(saved.Get(), L"Setting").Get()),
              (std::vector<std::wstring>{L"General", L"MainWindow", L"RecentFiles"}));
}

TEST(SettingsStore, ABrokenFileIsNeverWritten) {
    TempFolder folder;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"not XML", "Maximized=0\r\nLanguage=de\r\n"},
        {"empty", ""},
        {"wrong root",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Config>\n<MainWindow Maximized=\"0\"/>"
         "\n</Config>\n"},
        {"settings below another root",
         "<Other><Setting><MainWindow Maximized=\"0\"/></Setting></Other>"},
        {"truncated", SettingsXml(kFullFile).substr(0, 200)},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring path = folder / (L"broken" + std::to_wstring(n++) + L".xml");
        WriteBytes(path, c.bytes);
        SettingsStore settings;
        EXPECT_FALSE(settings.Load(path)) << c.what;
        EXPECT_EQ(Describe(settings), kInitial) << c.what;
        settings.maximized = false;
        settings.language = L"de";
        settings.recentFiles = {L"C:\\x.djvu"};
        EXPECT_FALSE(settings.Save()) << c.what;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.what;
    }
}

TEST(SettingsStore, LoadReplacesTheDocumentOfAnEarlierLoad) {
    TempFolder folder;
    const std::wstring first = folder / L"first.xml";
    const std::wstring second = folder / L"second.xml";
    const std::string firstBytes = SettingsXml("<General><Language ID=\"en\"/></General>");
    WriteBytes(first, firstBytes);
    WriteBytes(second, SettingsXml("<General><Language ID=\"de\"/></General>"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(first));
    ASSERT_TRUE(settings.Load(second));
    EXPECT_EQ(settings.GetLanguage(), L"de");
    settings.language = L"fr";
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadBytes(first), firstBytes);
    EXPECT_EQ(AttrAt(LoadDocument(second).Get(), L"Setting/General/Language", L"ID"), L"fr");

    // A failed load releases the earlier document too: nothing is saved over either file.
    const std::wstring broken = folder / L"broken.xml";
    WriteBytes(broken, "broken");
    EXPECT_FALSE(settings.Load(broken));
    EXPECT_FALSE(settings.Store().IsLoaded());
    EXPECT_FALSE(settings.Save());
    EXPECT_EQ(ReadBytes(broken), std::string("broken"));
}

TEST(SettingsStore, SaveLoadsTheFileAgainAfterItWasReleased) {
    TempFolder folder;
    const std::wstring path = folder / L"reload.xml";
    WriteBytes(path, SettingsXml("<General/>"));
    SettingsStore settings;
    ASSERT_TRUE(settings.Load(path));
    settings.Close();
    EXPECT_FALSE(settings.Store().IsLoaded());
    // Someone changed the file meanwhile; the save starts from what is on disk now.
    WriteBytes(path, SettingsXml("<General><Added Mark=\"1\"/></General>"));
    settings.recentMaxCount = 4;
    ASSERT_TRUE(settings.Save());
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(path);
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/Added", L"Mark"), L"1");
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/General/RecentFileList", L"MaxCount"), L"4");
}

}  // namespace
