#include "Registration.h"

#include "ComBoundary.h"
#include "ComModule.h"
#include "ComPtr.h"

#include <oleauto.h>
#include <olectl.h>

#include <utility>

namespace {

// Owns an open registry key.
class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    HKEY* Put() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

HRESULT FromWin32(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace

std::wstring GuidToString(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT SetRegistryString(HKEY root, const std::wstring& subKey, const wchar_t* valueName,
                          const std::wstring& value) {
    RegKey key;
    LSTATUS status = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_WRITE, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return FromWin32(status);
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return FromWin32(RegSetValueExW(key.Get(), valueName, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

HRESULT DeleteRegistryTree(HKEY root, const std::wstring& subKey) {
    LSTATUS status = RegDeleteTreeW(root, subKey.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        status = RegDeleteKeyW(root, subKey.c_str());
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        return S_OK;
    }
    return FromWin32(status);
}

bool ReadRegistryString(HKEY root, const std::wstring& subKey, const wchar_t* valueName,
                        std::wstring& value) {
    DWORD bytes = 0;
    if (RegGetValueW(root, subKey.c_str(), valueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    // The value may change between the two calls; retry while it grows.
    for (;;) {
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(root, subKey.c_str(), valueName, RRF_RT_REG_SZ, nullptr,
                                            text.data(), &size);
        if (status == ERROR_MORE_DATA) {
            bytes = size;
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return false;
        }
        // size counts the terminating zero that RegGetValueW guarantees.
        text.resize(size / sizeof(wchar_t) > 0 ? size / sizeof(wchar_t) - 1 : 0);
        value = std::move(text);
        return true;
    }
}

HRESULT DeleteRegistryValue(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
    RegKey key;
    LSTATUS status = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key.Get(), valueName);
    }
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(status);
}

HRESULT RegisterCoClass(const CoClassRegistration& cls, const std::wstring& modulePath) {
    const std::wstring clsid = GuidToString(*cls.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring progId = cls.progId;
    const std::wstring viProgId = cls.versionIndependentProgId;

    struct Entry {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    };
    std::wstring miscStatus = std::to_wstring(cls.miscStatus);
    Entry entries[] = {
        {progId, nullptr, cls.description},
        {progId + L"\\CLSID", nullptr, clsid},
        {viProgId, nullptr, cls.description},
        {viProgId + L"\\CLSID", nullptr, clsid},
        {viProgId + L"\\CurVer", nullptr, progId},
        {classKey, nullptr, cls.description},
        {classKey + L"\\ProgID", nullptr, progId},
        {classKey + L"\\VersionIndependentProgID", nullptr, viProgId},
        {classKey + L"\\InprocServer32", nullptr, modulePath},
        {classKey + L"\\InprocServer32", L"ThreadingModel", cls.threadingModel},
    };
    for (const Entry& e : entries) {
        if (HRESULT hr = SetRegistryString(HKEY_CLASSES_ROOT, e.key, e.name, e.value); FAILED(hr)) {
            return SELFREG_E_CLASS;
        }
    }
    HRESULT hr = S_OK;
    if (cls.programmable) {
        RegKey key;
        hr = FromWin32(RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey + L"\\Programmable").c_str(), 0,
                                       nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                       key.Put(), nullptr));
    }
    if (SUCCEEDED(hr) && cls.typeLib) {
        hr = SetRegistryString(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", nullptr,
                               GuidToString(*cls.typeLib));
    }
    if (SUCCEEDED(hr) && cls.typeLibVersion) {
        hr = SetRegistryString(HKEY_CLASSES_ROOT, classKey + L"\\Version", nullptr,
                               cls.typeLibVersion);
    }
    if (SUCCEEDED(hr) && cls.control) {
        RegKey key;
        hr = FromWin32(RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey + L"\\Control").c_str(), 0,
                                       nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                       key.Put(), nullptr));
        if (SUCCEEDED(hr)) {
            hr = SetRegistryString(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus", nullptr, L"0");
        }
        if (SUCCEEDED(hr)) {
            hr = SetRegistryString(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus\\1", nullptr,
                                   miscStatus);
        }
    }
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterCoClass(const CoClassRegistration& cls) {
    HRESULT hr = S_OK;
    for (const std::wstring& key :
         {std::wstring(L"CLSID\\") + GuidToString(*cls.clsid), std::wstring(cls.progId),
          std::wstring(cls.versionIndependentProgId)}) {
        if (FAILED(DeleteRegistryTree(HKEY_CLASSES_ROOT, key))) {
            hr = SELFREG_E_CLASS;
        }
    }
    return hr;
}

HRESULT RegisterModuleTypeLib(const std::wstring& modulePath) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, lib.Put());
    if (FAILED(hr)) {
        return SELFREG_E_TYPELIB;
    }
    std::wstring path = modulePath;  // the API takes a non-const string
    hr = RegisterTypeLib(lib.Get(), path.data(), nullptr);
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT UnregisterModuleTypeLib(const std::wstring& modulePath) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, lib.Put());
    if (FAILED(hr)) {
        return SELFREG_E_TYPELIB;
    }
    TLIBATTR* attr = nullptr;
    hr = lib->GetLibAttr(&attr);
    if (FAILED(hr)) {
        return SELFREG_E_TYPELIB;
    }
    // A library that is not registered (any more) is already in the state asked
    // for; platforms differ in what UnRegisterTypeLib says about it, so look first.
    const std::wstring versionKey = L"TypeLib\\" + GuidToString(attr->guid) + L"\\" +
                                    std::to_wstring(attr->wMajorVerNum) + L"." +
                                    std::to_wstring(attr->wMinorVerNum);
    RegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, versionKey.c_str(), 0, KEY_READ, key.Put()) ==
        ERROR_FILE_NOT_FOUND) {
        lib->ReleaseTLibAttr(attr);
        return S_OK;
    }
    hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                           attr->syskind);
    lib->ReleaseTLibAttr(attr);
    return SUCCEEDED(hr) || hr == TYPE_E_REGISTRYACCESS ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT RegisterServer(std::span<const CoClassRegistration> classes) noexcept {
    return ComBoundary([&]() -> HRESULT {
        const std::wstring path = ComModule::FilePath();
        HRESULT hr = RegisterModuleTypeLib(path);
        for (const CoClassRegistration& cls : classes) {
            if (FAILED(hr)) {
                break;
            }
            hr = RegisterCoClass(cls, path);
        }
        return hr;
    });
}

HRESULT UnregisterServer(std::span<const CoClassRegistration> classes) noexcept {
    return ComBoundary([&]() -> HRESULT {
        HRESULT first = S_OK;
        for (const CoClassRegistration& cls : classes) {
            const HRESULT hr = UnregisterCoClass(cls);
            if (SUCCEEDED(first)) {
                first = hr;
            }
        }
        const HRESULT hrLib = UnregisterModuleTypeLib(ComModule::FilePath());
        return FAILED(first) ? first : hrLib;
    });
}
