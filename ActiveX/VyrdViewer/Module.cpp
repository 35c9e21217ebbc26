// The VyrdViewer in-process server: module entry points and registration.

#include "ClassFactory.h"
#include "ComModule.h"
#include "PageImage.h"
#include "Registration.h"
#include "VyrdViewer.h"

namespace {

const CoClassRegistration kPageImageClass = {
    &CLSID_VyrdPageImage,
    L"VyrdPageImage Class",
    L"VyrdViewer.VyrdPageImage.1",
    L"VyrdViewer.VyrdPageImage",
    L"Apartment",
    &LIBID_VyrdViewerLib,
    L"1.0",
    true,
    false,
    0,
};

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
    if (clsid == CLSID_VyrdPageImage) {
        return GetClassObjectOf<CVyrdPageImage>(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return ComModule::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return RegisterServer({&kPageImageClass, 1});
}

STDAPI DllUnregisterServer() {
    return UnregisterServer({&kPageImageClass, 1});
}
