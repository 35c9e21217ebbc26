// Class factory for a creatable COM class T. T must be default-constructible,
// start with a reference count of 1 and implement QueryInterface. Its
// constructor may throw; CreateInstance then returns the mapped HRESULT.
// Aggregation is not supported.
#pragma once

#include "ComBoundary.h"
#include "ComModule.h"

#include <unknwn.h>

#include <new>

template <class T>
class ClassFactory final : public IClassFactory {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) {
            delete this;
        }
        return n;
    }

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

private:
    ComModule::ObjectLock moduleLock_;
    LONG refs_ = 1;
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
