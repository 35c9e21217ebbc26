// The VyrdDjVuFile in-process server: module entry points, class objects and
// self-registration.

#include "ClassFactory.h"
#include "ComBoundary.h"
#include "ComModule.h"
#include "ContentItem.h"
#include "DjVuFile.h"
#include "Registration.h"
#include "VyrdFilesFormat.h"

namespace {

const CoClassRegistration kClasses[] = {
    {
        &CLSID_CDjVuFile,
        L"CDjVuFile Object",
        L"VyrdDjVuFile.DjVuFile.1",
        L"VyrdDjVuFile.DjVuFile",
        L"apartment",
        &LIBID_VyrdDjVuFileLib,
        nullptr,
        true,
        false,
        0,
    },
    {
        &CLSID_CDjVuFileContentItem,
        L"CDjVuFileContentItem Object",
        L"VyrdDjVuFile.CDjVuFileContentItem.1",
        L"VyrdDjVuFile.CDjVuFileContentItem",
        L"apartment",
        &LIBID_VyrdDjVuFileLib,
        nullptr,
        true,
        false,
        0,
    },
};

// The module's AppID entries. The module's AppID is the empty string, so the key
// named by the AppID is HKCR\AppID itself: the module name becomes that key's
// default value, and "VyrdDjVuFile.DLL" points back to the (empty) AppID.
constexpr wchar_t kAppIdRoot[] = L"AppID";
constexpr wchar_t kAppIdModuleKey[] = L"AppID\\VyrdDjVuFile.DLL";
constexpr wchar_t kAppId[] = L"";
constexpr wchar_t kModuleName[] = L"VyrdDjVuFile";

HRESULT RegisterAppId() {
    HRESULT hr = SetRegistryString(HKEY_CLASSES_ROOT, kAppIdRoot, nullptr, kModuleName);
    if (SUCCEEDED(hr)) {
        hr = SetRegistryString(HKEY_CLASSES_ROOT, kAppIdModuleKey, L"AppID", kAppId);
    }
    return hr;
}

HRESULT UnregisterAppId() {
    HRESULT hr = DeleteRegistryTree(HKEY_CLASSES_ROOT, kAppIdModuleKey);
    // HKCR\AppID is shared by every server: only the description this module
    // wrote goes, never the key, and not a value someone else put there since.
    std::wstring description;
    if (ReadRegistryString(HKEY_CLASSES_ROOT, kAppIdRoot, nullptr, description) &&
        description == kModuleName) {
        const HRESULT hrValue = DeleteRegistryValue(HKEY_CLASSES_ROOT, kAppIdRoot, nullptr);
        if (SUCCEEDED(hr)) {
            hr = hrValue;
        }
    }
    return hr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ComModule::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (clsid == CLSID_CDjVuFile) {
        return GetClassObjectOf<CDjVuFile>(iid, ppv);
    }
    if (clsid == CLSID_CDjVuFileContentItem) {
        return GetClassObjectOf<CDjVuFileContentItem>(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return ComModule::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    HRESULT hr = RegisterServer(kClasses);
    if (SUCCEEDED(hr)) {
        hr = ComBoundary(RegisterAppId);
    }
    return hr;
}

STDAPI DllUnregisterServer() {
    // Everything is attempted; the first failure is reported.
    const HRESULT hrServer = UnregisterServer(kClasses);
    const HRESULT hrAppId = ComBoundary(UnregisterAppId);
    return FAILED(hrServer) ? hrServer : hrAppId;
}
