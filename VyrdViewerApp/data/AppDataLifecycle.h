// What the application object does with its data files when the program starts
// and when it ends: the settings file (copied from the shipped default on the
// first run), the language resources, and the documents other parts opened
// lazily (bookmarks, view states), written back at the end.
//
// The folders come in as parameters; the program passes ApplicationFolder()
// and UserDataFolder(). UI thread only, COM initialised.
#pragma once

#include "SettingsStore.h"
#include "XmlStore.h"

#include <functional>
#include <string>

namespace vyrdapp {

// File names in the two folders.
inline constexpr wchar_t kSettingsFileName[] = L"VyrdViewerSetting.xml";
inline constexpr wchar_t kDefaultSettingsFileName[] = L"VyrdViewerSetting_def.xml";
inline constexpr wchar_t kResourceFileName[] = L"VyrdViewerResource.xml";

struct AppDataFolders {
    std::wstring program;   // the shipped files; ends with a backslash
    std::wstring userData;  // the user's files; ends with a backslash
};

// ApplicationFolder() and UserDataFolder() (which creates the latter).
AppDataFolders CurrentAppDataFolders();

// The steps of the language resources at start-up and shutdown, so that this
// sequence does not depend on their class. Empty functions are skipped.
struct LanguageResourceSteps {
    // Loads the resource file at the given path; true on success.
    std::function<bool(const std::wstring& path)> load;
    // Makes the given language current and loads its strings (after a load that succeeded).
    std::function<void(const std::wstring& language)> selectLanguage;
    // Releases the resource document.
    std::function<void()> release;
};

// Start-up: copies the default settings file into the user folder when the
// user has none, loads the settings, takes the language from the default file
// when the settings name none, and loads the language resources with that
// language. Returns what SettingsStore::Load returned.
bool AppDataStartUp(SettingsStore& settings, const AppDataFolders& folders,
                    const LanguageResourceSteps& language);

// Shutdown: releases the language resources, saves and releases the bookmark
// and view-state documents when given and loaded, saves the settings and
// releases their document.
void AppDataShutDown(SettingsStore& settings, const LanguageResourceSteps& language,
                     XmlStore* bookmarks, XmlStore* viewStates);

}  // namespace vyrdapp
