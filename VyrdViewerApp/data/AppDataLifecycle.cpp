#include "AppDataLifecycle.h"

#include "AppFolders.h"

#include <windows.h>
#include <shlwapi.h>

namespace vyrdapp {

namespace {

void SaveAndClose(XmlStore* store) {
    if (store && store->IsLoaded()) {
        store->Save();
        store->Close();
    }
}

}  // namespace

AppDataFolders CurrentAppDataFolders() {
    return {ApplicationFolder(), UserDataFolder()};
}

bool AppDataStartUp(SettingsStore& settings, const AppDataFolders& folders,
                    const LanguageResourceSteps& language) {
    const std::wstring settingsPath = folders.userData + kSettingsFileName;
    const std::wstring defaultPath = folders.program + kDefaultSettingsFileName;
    if (!PathFileExistsW(settingsPath.c_str())) {
        // A missing default copies nothing; Load then writes a skeleton file.
        CopyFileW(defaultPath.c_str(), settingsPath.c_str(), TRUE);
    }
    const bool loaded = settings.Load(settingsPath);

    // A user file without a language (a skeleton, or one saved before a
    // language was chosen) takes the shipped default's.
    if (settings.language.empty() && PathFileExistsW(defaultPath.c_str())) {
        SettingsStore defaults;
        if (defaults.Load(defaultPath)) {
            settings.language = defaults.GetLanguage();
        }
    }

    if (language.load && language.load(folders.program + kResourceFileName) &&
        language.selectLanguage) {
        language.selectLanguage(settings.GetLanguage());
    }
    return loaded;
}

void AppDataShutDown(SettingsStore& settings, const LanguageResourceSteps& language,
                     XmlStore* bookmarks, XmlStore* viewStates) {
    if (language.release) {
        language.release();
    }
    SaveAndClose(bookmarks);
    SaveAndClose(viewStates);
    settings.Save();
    settings.Close();
}

}  // namespace vyrdapp
