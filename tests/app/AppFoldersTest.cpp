// The program folder, the user data folder and the creation of a folder with
// its parents, on the real file system under Wine.
#include "AppFolders.h"
#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>

namespace {

using namespace vyrdapp;
using settingstest::Exists;
using settingstest::IsFolder;
using settingstest::TempFolder;

TEST(ApplicationFolder, IsTheFolderOfTheExecutableWithItsBackslash) {
    EXPECT_EQ(ApplicationFolder(), testwin::ProgramDir() + L"\\");
}

// Points the user's documents folder elsewhere for the life of the object, so
// that the test does not create folders among the user's documents (under Wine
// that folder is often the Unix home folder itself).
class DocumentsFolderRedirect {
public:
    explicit DocumentsFolderRedirect(const std::wstring& folder) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot open the shell folder key";
            key_ = nullptr;
            return;
        }
        wchar_t old[1024] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        if (RegQueryValueExW(key_, L"Personal", nullptr, &oldType_, reinterpret_cast<BYTE*>(old),
                             &size) == ERROR_SUCCESS) {
            old_ = std::wstring(old);
        }
        Set(folder, REG_EXPAND_SZ);
    }
    ~DocumentsFolderRedirect() {
        if (!key_) {
            return;
        }
        if (old_) {
            Set(*old_, oldType_);
        } else {
            RegDeleteValueW(key_, L"Personal");
        }
        RegCloseKey(key_);
    }
    DocumentsFolderRedirect(const DocumentsFolderRedirect&) = delete;
    DocumentsFolderRedirect& operator=(const DocumentsFolderRedirect&) = delete;

private:
    static constexpr wchar_t kUserShellFolders[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    void Set(const std::wstring& value, DWORD type) {
        EXPECT_EQ(
            RegSetValueExW(key_, L"Personal", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
    }

    HKEY key_ = nullptr;
    DWORD oldType_ = REG_EXPAND_SZ;
    std::optional<std::wstring> old_;
};

TEST(UserDataFolder, IsVyrdViewerInTheDocumentsFolderAndIsCreated) {
    TempFolder documents;
    DocumentsFolderRedirect redirect(documents.Path());
    wchar_t reported[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, reported),
              S_OK);
    ASSERT_EQ(std::wstring(reported), documents.Path()) << "the documents folder is not redirected";

    const std::wstring folder = UserDataFolder();
    EXPECT_EQ(folder, documents.Path() + L"\\VyrdViewer\\");
    EXPECT_TRUE(IsFolder(folder));
    // Asking again finds it in place.
    EXPECT_EQ(UserDataFolder(), folder);
}

TEST(CreateFolderWithParents, CreatesEveryMissingLevel) {
    TempFolder temp;
    struct Case {
        const wchar_t* relative;
        const wchar_t* deepest;  // the folder that must exist afterwards
    };
    const Case cases[] = {
        {L"a", L"a"},
        {L"b\\c\\d\\e", L"b\\c\\d\\e"},
        {L"f\\g\\h\\", L"f\\g\\h"},
        {L"b\\c\\x", L"b\\c\\x"},        // parents already there
        {L"b\\c\\d\\e", L"b\\c\\d\\e"},  // the folder already there
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(CreateFolderWithParents(temp / c.relative)) << c.relative;
        EXPECT_TRUE(IsFolder(temp / c.deepest)) << c.relative;
    }
    EXPECT_TRUE(IsFolder(temp / L"b\\c\\d"));
    EXPECT_TRUE(IsFolder(temp / L"f\\g"));
}

TEST(CreateFolderWithParents, FailsWhereAFileBlocksThePath) {
    TempFolder temp;
    settingstest::WriteBytes(temp / L"file", "x");
    EXPECT_FALSE(CreateFolderWithParents(temp / L"file"));
    EXPECT_FALSE(CreateFolderWithParents(temp / L"file\\below\\deeper"));
    EXPECT_FALSE(Exists(temp / L"file\\below"));
    EXPECT_FALSE(IsFolder(temp / L"file"));
}

TEST(CreateFolderWithParents, RefusesPathsLongerThan248Characters) {
    TempFolder temp;
    // Levels of 20 characters under the temporary folder, cut to the length wanted.
    auto pathOfLength = [&](size_t length, wchar_t top) {
        std::wstring path = temp.Path() + L"\\" + top;
        while (path.size() < length) {
            path += L"\\level_0123456789abc";
        }
        path.resize(length);
        if (path.back() == L'\\') {
            path.back() = L'z';
        }
        return path;
    };
    ASSERT_LT(temp.Path().size() + 30, 248u) << "the temporary folder is too deep for this test";

    const std::wstring tooLong = pathOfLength(249, L'L');
    EXPECT_FALSE(CreateFolderWithParents(tooLong));
    EXPECT_FALSE(Exists(temp / L"L")) << "nothing of a refused path is created";
    EXPECT_FALSE(CreateFolderWithParents(tooLong.substr(0, 248) + L"\\"));
    EXPECT_FALSE(Exists(temp / L"L"));

    const std::wstring longest = pathOfLength(248, L'M');
    EXPECT_TRUE(CreateFolderWithParents(longest));
    EXPECT_TRUE(IsFolder(longest));
}

TEST(CreateFolderWithParents, AcceptsDriveRootsOfUsableDrives) {
    EXPECT_TRUE(CreateFolderWithParents(L"C:\\"));
    EXPECT_TRUE(CreateFolderWithParents(L"C:"));
    // A drive letter that names no drive.
    wchar_t letter = 0;
    for (wchar_t c = L'Y'; c >= L'D'; --c) {
        const wchar_t root[] = {c, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) {
            letter = c;
            break;
        }
    }
    if (letter == 0) {
        GTEST_SKIP() << "every drive letter is in use";
    }
    const std::wstring drive = {letter, L':'};
    EXPECT_FALSE(CreateFolderWithParents(drive + L"\\"));
    EXPECT_FALSE(CreateFolderWithParents(drive + L"\\VyrdViewer\\below"));
}

}  // namespace
