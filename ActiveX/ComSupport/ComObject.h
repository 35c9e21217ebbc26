// Identity and lifetime of a COM object: one reference count (starting at 1),
// a module lock held while the object lives, and QueryInterface answered from
// the object's list of interfaces.
//
//   class CThing final : public ComObject<CThing, DispatchImpl<IThing>, IOther> { ... };
//
// The first listed interface also answers IUnknown, and IDispatch when it is a
// dispatch interface. A listed class that wraps an interface (DispatchImpl) is
// answered under the IID of the interface it wraps. Release deletes the object
// as Derived, so Derived needs no virtual destructor.
#pragma once

#include "ComModule.h"

#include <oaidl.h>
#include <unknwn.h>

#include <type_traits>

// The COM interface a listed base stands for: the base itself, or the
// interface it implements when it declares one as `Interface`.
template <class Base>
struct ComInterfaceOf {
    using type = Base;
};
template <class Base>
requires requires {
    typename Base::Interface;
}
struct ComInterfaceOf<Base> {
    using type = typename Base::Interface;
};

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        using FirstInterface = typename ComInterfaceOf<First>::type;
        void* found = nullptr;
        if (iid == IID_IUnknown) {
            found = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        } else if (std::is_base_of_v<IDispatch, FirstInterface> && iid == IID_IDispatch) {
            found = static_cast<FirstInterface*>(this);
        } else {
            (TryInterface<First>(iid, found) || ... || TryInterface<Rest>(iid, found));
        }
        *ppv = found;
        if (!found) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) {
            delete static_cast<Derived*>(this);
        }
        return n;
    }

protected:
    ~ComObject() = default;

private:
    template <class Base>
    bool TryInterface(REFIID iid, void*& found) {
        using Interface = typename ComInterfaceOf<Base>::type;
        if (iid != __uuidof(Interface)) {
            return false;
        }
        found = static_cast<Interface*>(this);
        return true;
    }

    ComModule::ObjectLock moduleLock_;
    LONG refs_ = 1;
};
