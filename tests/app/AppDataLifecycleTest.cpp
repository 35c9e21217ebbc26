// Start-up and shutdown of the application's data files, with a temporary
// program folder and user folder on the real file system.
#include "AppDataLifecycle.h"
#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace vyrdapp;
using settingstest::AttrAt;
using settingstest::Exists;
using settingstest::LoadDocument;
using settingstest::ReadBytes;
using settingstest::TempFolder;
using settingstest::WriteBytes;

const char kSkeleton[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Setting>\r\n</Setting>";

std::string SettingsXml(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Setting>\r\n" + std::string(body) +
           "\r\n</Setting>\r\n";
}

// A program folder and a user folder, and the language steps as the
// application would hand them over, recording what the sequence asks of them.
class DataFiles : public testing::Test {
protected:
    DataFiles() : programDir_(folders_ / L"program"), userDir_(folders_ / L"user\\VyrdViewer") {
        CreateDirectoryW(programDir_.c_str(), nullptr);
        CreateDirectoryW((folders_ / L"user").c_str(), nullptr);
        CreateDirectoryW(userDir_.c_str(), nullptr);
        folders.program = programDir_ + L"\\";
        folders.userData = userDir_ + L"\\";
        steps.load = [this](const std::wstring& path) {
            events.push_back(L"load " + path);
            return resourcesLoad;
        };
        steps.selectLanguage = [this](const std::wstring& language) {
            events.push_back(L"select " + language);
        };
        steps.release = [this] {
            // Released before anything is written.
            events.push_back(L"release, settings " +
                             std::wstring(ReadBytes(SettingsPath()) == settingsAtStart
                                              ? L"unchanged"
                                              : L"changed"));
        };
    }

    std::wstring SettingsPath() const { return folders.userData + L"VyrdViewerSetting.xml"; }
    std::wstring DefaultPath() const { return folders.program + L"VyrdViewerSetting_def.xml"; }
    std::wstring ResourcePath() const { return folders.program + L"VyrdViewerResource.xml"; }

    // The default file as the build ships it.
    std::string ShippedDefault() const {
        const auto bytes = ReadBytes(testwin::ProgramDir() + L"\\VyrdViewerSetting_def.xml");
        EXPECT_TRUE(bytes) << "the default file is shipped beside the program";
        return bytes.value_or("");
    }

    bool StartUp() {
        const bool loaded = AppDataStartUp(settings, folders, steps);
        settingsAtStart = ReadBytes(SettingsPath());
        return loaded;
    }

    TempFolder folders_;
    std::wstring programDir_;
    std::wstring userDir_;

public:
    AppDataFolders folders;
    LanguageResourceSteps steps;
    bool resourcesLoad = true;
    std::vector<std::wstring> events;
    std::optional<std::string> settingsAtStart;
    SettingsStore settings;
};

TEST_F(DataFiles, FirstRunCopiesTheDefaultFileByteForByte) {
    const std::string shipped = ShippedDefault();
    WriteBytes(DefaultPath(), shipped);
    ASSERT_FALSE(Exists(SettingsPath()));
    EXPECT_TRUE(StartUp());
    EXPECT_EQ(ReadBytes(SettingsPath()), shipped);
    EXPECT_EQ(settings.GetLanguage(), L"en");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load " + ResourcePath(), L"select en"}));
    EXPECT_EQ(ReadBytes(DefaultPath()), shipped);
}

TEST_F(DataFiles, AnExistingSettingsFileIsUsedAsItIs) {
    WriteBytes(DefaultPath(), ShippedDefault());
    const std::string mine =
        SettingsXml("<MainWindow Maximized=\"0\"/><General><Language ID=\"de\"/></General>");
    WriteBytes(SettingsPath(), mine);
    EXPECT_TRUE(StartUp());
    EXPECT_EQ(ReadBytes(SettingsPath()), mine);
    EXPECT_FALSE(settings.maximized);
    EXPECT_EQ(settings.GetLanguage(), L"de");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load " + ResourcePath(), L"select de"}));
}

TEST_F(DataFiles, WithoutADefaultFileASkeletonIsWritten) {
    EXPECT_TRUE(StartUp());
    EXPECT_EQ(ReadBytes(SettingsPath()), std::string(kSkeleton));
    SettingsStore initial;
    EXPECT_EQ(settings.maximized, initial.maximized);
    EXPECT_EQ(settings.splitterPos, initial.splitterPos);
    EXPECT_EQ(settings.recentMaxCount, initial.recentMaxCount);
    EXPECT_EQ(settings.GetLanguage(), L"");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load " + ResourcePath(), L"select "}));
}

TEST_F(DataFiles, AnEmptyLanguageIsTakenFromTheDefaultFile) {
    const std::string defaults = SettingsXml(
        "<MainWindow Maximized=\"0\"/><General><Language ID=\"de\"/>"
        "<RecentFileList MaxCount=\"9\"/></General>");
    WriteBytes(DefaultPath(), defaults);
    WriteBytes(SettingsPath(), SettingsXml("<General><Language ID=\"\"/></General>"));
    EXPECT_TRUE(StartUp());
    EXPECT_EQ(settings.GetLanguage(), L"de");
    // Only the language comes from the default file.
    EXPECT_TRUE(settings.maximized);
    EXPECT_EQ(settings.recentMaxCount, 5);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load " + ResourcePath(), L"select de"}));

    AppDataShutDown(settings, steps, nullptr, nullptr);
    EXPECT_EQ(AttrAt(LoadDocument(SettingsPath()).Get(), L"Setting/General/Language", L"ID"),
              L"de");
    EXPECT_EQ(ReadBytes(DefaultPath()), defaults);
}

TEST_F(DataFiles, NoLanguageIsSelectedWhenTheResourcesDoNotLoad) {
    WriteBytes(DefaultPath(), ShippedDefault());
    resourcesLoad = false;
    EXPECT_TRUE(StartUp());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load " + ResourcePath()}));
}

TEST_F(DataFiles, ABrokenSettingsFileSurvivesStartUpAndShutdown) {
    WriteBytes(DefaultPath(), ShippedDefault());
    const std::string broken = "<Setting><MainWindow Maximized=\"0\">";
    WriteBytes(SettingsPath(), broken);
    EXPECT_FALSE(StartUp());
    EXPECT_TRUE(settings.maximized);
    EXPECT_EQ(settings.GetLanguage(), L"en");
    settings.maximized = false;
    settings.recentFiles = {L"C:\\new.djvu"};
    AppDataShutDown(settings, steps, nullptr, nullptr);
    EXPECT_EQ(ReadBytes(SettingsPath()), broken);
}

TEST_F(DataFiles, ShutdownWritesEveryLoadedDocumentBack) {
    WriteBytes(DefaultPath(), ShippedDefault());
    ASSERT_TRUE(StartUp());
    events.clear();

    const std::wstring bookmarkPath = folders.userData + L"Bookmark.xml";
    const std::wstring viewPath = folders.userData + L"FilesViewerState.xml";
    const std::wstring unusedPath = folders.userData + L"Unused.xml";
    WriteBytes(bookmarkPath, "<Bookmarks/>");
    WriteBytes(viewPath, "<FilesViewerState/>");
    XmlStore bookmarks(bookmarkPath);
    XmlStore viewStates(viewPath);
    ASSERT_TRUE(bookmarks.EnsureLoaded(L"Bookmarks"));
    ASSERT_TRUE(viewStates.EnsureLoaded(L"FilesViewerState"));
    XmlCreateElement(L"File", bookmarks.Document(), bookmarks.Root());
    XmlSetAttrInt(viewStates.Root(), L"Count", 3);
    settings.maximized = false;
    settings.recentFiles = {L"C:\\last.djvu"};

    AppDataShutDown(settings, steps, &bookmarks, &viewStates);

    EXPECT_EQ(events, (std::vector<std::wstring>{L"release, settings unchanged"}));
    EXPECT_FALSE(bookmarks.IsLoaded());
    EXPECT_FALSE(viewStates.IsLoaded());
    EXPECT_FALSE(settings.Store().IsLoaded());
    EXPECT_TRUE(settingstest::Select(LoadDocument(bookmarkPath).Get(), L"Bookmarks/File"));
    EXPECT_EQ(AttrAt(LoadDocument(viewPath).Get(), L"FilesViewerState", L"Count"), L"3");
    const ComPtr<IXMLDOMDocument> saved = LoadDocument(SettingsPath());
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/MainWindow", L"Maximized"), L"0");
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/RecentFiles/File", L"FilePath"), L"C:\\last.djvu");
    // The part of the default file that the search pane owns is still there.
    EXPECT_EQ(AttrAt(saved.Get(), L"Setting/SearchSetting/ListView", L"TextColumn"), L"250");

    // A document that was never opened is neither written nor created.
    XmlStore unused(unusedPath);
    SettingsStore other;
    AppDataShutDown(other, LanguageResourceSteps{}, &unused, nullptr);
    EXPECT_FALSE(Exists(unusedPath));
}

}  // namespace
