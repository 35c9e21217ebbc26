#include "AppFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace vyrdapp {

namespace {

// CreateDirectoryW takes no longer path without the "\\?\" prefix: MAX_PATH
// less room for an 8.3 file name and its dot.
constexpr size_t kMaxFolderPath = 248;

bool IsDriveName(std::wstring_view folder) {
    return folder.size() == 2 && folder[1] == L':';
}

bool IsUsableDrive(std::wstring_view drive) {
    const std::wstring root = std::wstring(drive) + L'\\';
    switch (GetDriveTypeW(root.c_str())) {
        case DRIVE_REMOVABLE:
        case DRIVE_FIXED:
        case DRIVE_REMOTE:
            return true;
        default:
            return false;
    }
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ApplicationFolder() {
    wchar_t module[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring path(module, n < MAX_PATH ? n : MAX_PATH);
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring UserDataFolder() {
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) {
        return ApplicationFolder();
    }
    std::wstring folder = std::wstring(documents) + L"\\VyrdViewer\\";
    CreateFolderWithParents(folder);
    return folder;
}

bool CreateFolderWithParents(std::wstring_view path) {
    if (path.size() > kMaxFolderPath) {
        return false;
    }
    if (!path.empty() && path.back() == L'\\') {
        path.remove_suffix(1);
    }
    if (path.empty()) {
        return false;
    }
    if (IsDriveName(path)) {
        return IsUsableDrive(path);
    }
    const std::wstring folder(path);
    if (IsFolder(folder)) {
        return true;
    }
    // The parent ends at the last backslash or colon; a colon stays with it
    // so that "C:" is what remains of "C:\folder" and "C:folder".
    const size_t cut = path.find_last_of(L"\\:");
    if (cut != std::wstring_view::npos) {
        const std::wstring_view parent = path.substr(0, path[cut] == L':' ? cut + 1 : cut);
        if (!parent.empty() && !CreateFolderWithParents(parent)) {
            return false;
        }
    }
    if (CreateDirectoryW(folder.c_str(), nullptr)) {
        return true;
    }
    // Someone else may have made it meanwhile; a file of that name does not count.
    return GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(folder);
}

}  // namespace vyrdapp
