// The settings file "VyrdViewerSetting.xml": its values in memory and the XML
// document they are read from and written back to.
//
// The values are plain fields: the main frame, the tab strip, the recent file
// list and the options dialog read and change them directly while the program
// runs, and the file is written once, at shutdown. The document stays loaded
// between Load and Save so that the search pane can keep its own element
// ("SearchSetting") in it. UI thread only; nothing here throws except
// std::bad_alloc.
#pragma once

#include "XmlStore.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace vyrdapp {

class SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Releases any loaded document, creates a skeleton file at `path` when
    // there is none, loads it and reads every value found in it. False when
    // the file cannot be loaded or has no "Setting" root; the values are then
    // left as they were.
    bool Load(const std::wstring& path);

    // Loads the file again when the document was released (a file that still
    // does not load is left untouched), writes every value into the document
    // and saves it to the path of the last Load. True when the file was written.
    bool Save();

    // Releases the document and its root element.
    void Close() { store_.Close(); }

    const std::wstring& GetLanguage() const { return language; }

    // The document and the "Setting" root, shared with the search pane.
    XmlStore& Store() { return store_; }

    // MainWindow
    bool maximized = true;
    bool closeByEsc = false;  // read, never written: the file keeps its own value
    RECT rect = {0, 0, 799, 599};
    bool topToolbarVisible = true;
    bool bottomToolbarVisible = true;
    int splitterPos = 300;
    bool leftPaneVisible = true;
    int currentLeftPaneTab = 0;
    std::array<int, 3> leftPaneTabIndex = {0, 1, 2};
    // General
    std::wstring language;
    int recentMaxCount = 5;  // 0..10
    bool tabsAtBottom = false;
    bool oneOpenDocShow = false;
    bool dblClickClose = false;
    // RecentFiles, most recent first
    std::vector<std::wstring> recentFiles;

private:
    void ReadMainWindow();
    void ReadRecentFiles();
    void ReadGeneral();
    void WriteMainWindow();
    void WriteRecentFiles();
    void WriteGeneral();

    XmlStore store_;
};

}  // namespace vyrdapp
