// The two folders of the application: the program folder (the executable and
// the files shipped beside it) and the per-user data folder (settings,
// bookmarks, view states). Paths are full Windows paths that end with a
// backslash. UI thread only; nothing here throws.
#pragma once

#include <string>
#include <string_view>

namespace vyrdapp {

// The folder of the running executable, up to and including the last backslash.
std::wstring ApplicationFolder();

// The user's documents folder + "VyrdViewer\", created with every missing
// parent; ApplicationFolder() when the documents folder is unknown.
std::wstring UserDataFolder();

// Creates `path` and every missing parent. A trailing backslash is ignored;
// paths longer than 248 characters are refused. A drive root counts as present
// when it is a removable, fixed or remote drive. True when the folder exists
// afterwards (an existing folder is not an error).
bool CreateFolderWithParents(std::wstring_view path);

}  // namespace vyrdapp
