// Self-registration of VyrdDjVuFile.dll: the keys and values an installer and
// COM rely on, the registered type library, and unregistration removing
// exactly what registration wrote.

#include "Contract.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace testwin;

std::optional<std::wstring> RegString(const std::wstring& key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text.data(),
                     &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t) - 1);
    return text;
}

bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring ReaderDllPath() {
    return ProgramDir() + L"\\" + contract::kReaderDll;
}

// One registry entry: a key, a value of it (null: the default value), and the
// text expected there. A null expectation only asks for the key.
struct Entry {
    std::wstring key;
    const wchar_t* name;
    const wchar_t* text;
    bool isPath = false;  // compared case-insensitively with the DLL's path
};

std::vector<Entry> ReaderEntries() {
    const std::wstring file = std::wstring(L"CLSID\\") + contract::kClsidDjVuFile;
    const std::wstring item = std::wstring(L"CLSID\\") + contract::kClsidContentItem;
    const std::wstring lib = std::wstring(L"TypeLib\\") + contract::kLibIdReader + L"\\1.0";
    return {
        {file, nullptr, L"CDjVuFile Object"},
        {file + L"\\InprocServer32", nullptr, nullptr, true},
        {file + L"\\InprocServer32", L"ThreadingModel", L"apartment"},
        {file + L"\\ProgID", nullptr, L"VyrdDjVuFile.DjVuFile.1"},
        {file + L"\\VersionIndependentProgID", nullptr, L"VyrdDjVuFile.DjVuFile"},
        {file + L"\\Programmable", nullptr, nullptr},
        {file + L"\\TypeLib", nullptr, contract::kLibIdReader},
        {L"VyrdDjVuFile.DjVuFile.1", nullptr, L"CDjVuFile Object"},
        {L"VyrdDjVuFile.DjVuFile.1\\CLSID", nullptr, contract::kClsidDjVuFile},
        {L"VyrdDjVuFile.DjVuFile", nullptr, L"CDjVuFile Object"},
        {L"VyrdDjVuFile.DjVuFile\\CLSID", nullptr, contract::kClsidDjVuFile},
        {L"VyrdDjVuFile.DjVuFile\\CurVer", nullptr, L"VyrdDjVuFile.DjVuFile.1"},
        {item, nullptr, L"CDjVuFileContentItem Object"},
        {item + L"\\InprocServer32", nullptr, nullptr, true},
        {item + L"\\InprocServer32", L"ThreadingModel", L"apartment"},
        {item + L"\\ProgID", nullptr, L"VyrdDjVuFile.CDjVuFileContentItem.1"},
        {item + L"\\VersionIndependentProgID", nullptr, L"VyrdDjVuFile.CDjVuFileContentItem"},
        {item + L"\\Programmable", nullptr, nullptr},
        {item + L"\\TypeLib", nullptr, contract::kLibIdReader},
        {L"VyrdDjVuFile.CDjVuFileContentItem.1", nullptr, L"CDjVuFileContentItem Object"},
        {L"VyrdDjVuFile.CDjVuFileContentItem.1\\CLSID", nullptr, contract::kClsidContentItem},
        {L"VyrdDjVuFile.CDjVuFileContentItem", nullptr, L"CDjVuFileContentItem Object"},
        {L"VyrdDjVuFile.CDjVuFileContentItem\\CLSID", nullptr, contract::kClsidContentItem},
        {L"VyrdDjVuFile.CDjVuFileContentItem\\CurVer", nullptr,
         L"VyrdDjVuFile.CDjVuFileContentItem.1"},
        // The module's AppID is empty: its key is HKCR\AppID itself.
        {L"AppID\\VyrdDjVuFile.DLL", L"AppID", L""},
        {L"AppID", nullptr, L"VyrdDjVuFile"},
        {lib, nullptr, L"VyrdDjVuFile 1.0 Type Library"},
        {lib + L"\\409\\win64", nullptr, nullptr, true},
        {std::wstring(L"Interface\\") + contract::kIidVyrdFile + L"\\TypeLib", nullptr,
         contract::kLibIdReader},
        {std::wstring(L"Interface\\") + contract::kIidVyrdFileText + L"\\TypeLib", nullptr,
         contract::kLibIdReader},
    };
}

void ExpectRegistered() {
    for (const Entry& e : ReaderEntries()) {
        SCOPED_TRACE(testing::Message() << e.key << " : " << (e.name ? e.name : L"(default)"));
        if (e.isPath) {
            const std::optional<std::wstring> value = RegString(e.key, e.name);
            ASSERT_TRUE(value.has_value());
            EXPECT_TRUE(SameText(*value, ReaderDllPath())) << *value;
        } else if (e.text) {
            EXPECT_EQ(RegString(e.key, e.name), std::optional<std::wstring>(e.text));
        } else {
            EXPECT_TRUE(KeyExists(e.key));
        }
    }
}

void ExpectUnregistered() {
    for (const Entry& e : ReaderEntries()) {
        SCOPED_TRACE(testing::Message() << e.key << " : " << (e.name ? e.name : L"(default)"));
        if (e.key == L"AppID") {
            // The shared key stays; only the description goes.
            EXPECT_TRUE(KeyExists(e.key));
            EXPECT_FALSE(RegString(e.key, e.name).has_value());
        } else {
            EXPECT_FALSE(KeyExists(e.key));
        }
    }
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + contract::kLibIdReader));
}

// The server's own registration exports, loaded into this process.
class ServerExports {
public:
    ServerExports() : module_(LoadLibraryW(ReaderDllPath().c_str())) {
        EXPECT_NE(module_, nullptr);
        if (module_) {
            register_ = Export("DllRegisterServer");
            unregister_ = Export("DllUnregisterServer");
        }
    }
    ~ServerExports() {
        // Whatever a test did, the server ends registered for the other tests.
        if (register_) {
            EXPECT_EQ(register_(), S_OK);
        }
        if (module_) {
            FreeLibrary(module_);
        }
    }
    ServerExports(const ServerExports&) = delete;
    ServerExports& operator=(const ServerExports&) = delete;

    bool Loaded() const { return register_ && unregister_; }
    HRESULT Register() const { return register_(); }
    HRESULT Unregister() const { return unregister_(); }

private:
    using Entry = HRESULT(STDAPICALLTYPE*)();
    Entry Export(const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    HMODULE module_;
    Entry register_ = nullptr;
    Entry unregister_ = nullptr;
};

TEST(Registration, RegisteredServerHasEveryKey) {
    ExpectRegistered();
}

TEST(Registration, RegisteredTypeLibraryIsTheIdlsLibrary) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(Guid(contract::kLibIdReader), 1, 0, 1033, lib.Put()), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(contract::kLibIdReader)));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 1033u);
    EXPECT_EQ(attr->syskind, SYS_WIN64);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr;
    BSTR doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(doc, L"VyrdDjVuFile 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);
}

TEST(Registration, UnregisterRemovesWhatRegisterWrote) {
    ServerExports server;
    ASSERT_TRUE(server.Loaded());
    const std::wstring viewerClass =
        std::wstring(L"CLSID\\") + contract::kClsidPageImage + L"\\InprocServer32";
    ASSERT_TRUE(KeyExists(viewerClass));

    EXPECT_EQ(server.Unregister(), S_OK);
    ExpectUnregistered();
    // Another server's entries are not touched.
    EXPECT_TRUE(KeyExists(viewerClass));
    CLSID clsid = GUID_NULL;
    EXPECT_NE(CLSIDFromProgID(L"VyrdDjVuFile.DjVuFile", &clsid), S_OK);
    // Unregistering what is gone is fine.
    EXPECT_EQ(server.Unregister(), S_OK);

    EXPECT_EQ(server.Register(), S_OK);
    ExpectRegistered();
    EXPECT_EQ(CLSIDFromProgID(L"VyrdDjVuFile.DjVuFile", &clsid), S_OK);
}

TEST(Registration, UnregisterKeepsAnotherModulesAppIdDescription) {
    ServerExports server;
    ASSERT_TRUE(server.Loaded());
    HKEY appId = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"AppID", 0, KEY_SET_VALUE, &appId), ERROR_SUCCESS);
    const wchar_t other[] = L"SomeOtherServer";
    ASSERT_EQ(RegSetValueExW(appId, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other),
                             sizeof(other)),
              ERROR_SUCCESS);
    RegCloseKey(appId);

    EXPECT_EQ(server.Unregister(), S_OK);
    EXPECT_EQ(RegString(L"AppID", nullptr), std::optional<std::wstring>(other));
    EXPECT_FALSE(KeyExists(L"AppID\\VyrdDjVuFile.DLL"));
}

}  // namespace
