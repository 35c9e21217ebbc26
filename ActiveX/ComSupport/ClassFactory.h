// Class factory for a creatable COM class T. T must be default-constructible
// and start with a reference count of 1 (ComObject does). Its
// constructor may throw; CreateInstance then returns the mapped HRESULT.
// Aggregation is not supported.
#pragma once

#include "ComBoundary.h"
#include "ComModule.h"
#include "ComObject.h"

#include <unknwn.h>

#include <new>

template <class T>
class ClassFactory final : public ComObject<ClassFactory<T>, IClassFactory> {
public:
    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        *ppv = nullptr;
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        // A constructor may throw (a member that allocates): ComBoundary maps it.
        return ComBoundary([&]() -> HRESULT {
            T* object = new T();
            HRESULT hr = object->QueryInterface(iid, ppv);
            object->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ComModule::Lock();
        } else {
            ComModule::Unlock();
        }
        return S_OK;
    }
};

// Answers DllGetClassObject for class T.
template <class T>
HRESULT GetClassObjectOf(REFIID iid, void** ppv) {
    auto* factory = new (std::nothrow) ClassFactory<T>();
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = factory->QueryInterface(iid, ppv);
    factory->Release();
    return hr;
}
