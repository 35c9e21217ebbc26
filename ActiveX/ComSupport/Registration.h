// Self-registration of the classes and the type library of an in-process server
// under HKEY_CLASSES_ROOT. Every function returns an HRESULT and leaves no handle open.
#pragma once

#include <windows.h>

#include <span>
#include <string>

struct CoClassRegistration {
    const CLSID* clsid;
    const wchar_t* description;  // default value of the class and ProgID keys
    const wchar_t* progId;       // versioned, e.g. "Product.Class.1"
    const wchar_t* versionIndependentProgId;
    const wchar_t* threadingModel;  // value "ThreadingModel" under InprocServer32
    const GUID* typeLib;            // written as the class's TypeLib key; may be null
    const wchar_t* typeLibVersion;  // written as the class's Version key; may be null
    bool programmable;              // writes the empty "Programmable" key
    bool control;                   // writes the "Control" key and MiscStatus
    DWORD miscStatus;               // OLEMISC_* flags, when control is set
};

// Writes the class under HKCR\CLSID and its two ProgIDs, with modulePath as the
// InprocServer32 default value.
HRESULT RegisterCoClass(const CoClassRegistration& cls, const std::wstring& modulePath);
// Removes what RegisterCoClass wrote. Keys that are already gone are not an error.
HRESULT UnregisterCoClass(const CoClassRegistration& cls);

// What DllRegisterServer and DllUnregisterServer of a module do: register the
// type library linked into the module, then each class (stopping at the first
// failure); or remove each class and the type library (attempting everything and
// reporting the first failure). No exception leaves either function.
HRESULT RegisterServer(std::span<const CoClassRegistration> classes) noexcept;
HRESULT UnregisterServer(std::span<const CoClassRegistration> classes) noexcept;

// Registers (or removes) the type library linked into the module as resource TYPELIB 1.
HRESULT RegisterModuleTypeLib(const std::wstring& modulePath);
HRESULT UnregisterModuleTypeLib(const std::wstring& modulePath);

// Registry primitives shared by the servers' own extra entries.
HRESULT SetRegistryString(HKEY root, const std::wstring& subKey, const wchar_t* valueName,
                          const std::wstring& value);
HRESULT DeleteRegistryTree(HKEY root, const std::wstring& subKey);
// Reads a REG_SZ value (valueName null: the default value); false when the key or
// value is missing or is not a string.
bool ReadRegistryString(HKEY root, const std::wstring& subKey, const wchar_t* valueName,
                        std::wstring& value);
// Deletes one value (valueName null: the default value) and leaves the key. A
// value or key that is already gone is not an error.
HRESULT DeleteRegistryValue(HKEY root, const std::wstring& subKey, const wchar_t* valueName);
std::wstring GuidToString(const GUID& guid);
