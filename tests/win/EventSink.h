#pragma once
// A test sink for event interfaces: an IDispatch that records the calls it gets
// and, when told so, answers QueryInterface for one event interface.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <vector>

namespace testwin {

class EventSink final : public IDispatch {
public:
    // `eventIid` may be GUID_NULL: the sink then offers no event interface.
    explicit EventSink(const GUID& eventIid) : eventIid_(eventIid) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch ||
            (eventIid_ != GUID_NULL && iid == eventIid_)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the stack

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        Call call{id, flags, {}};
        for (UINT i = 0; params && i < params->cArgs; ++i) {
            call.args.push_back(V_VT(&params->rgvarg[i]) == VT_I4 ? V_I4(&params->rgvarg[i]) : -1);
        }
        calls.push_back(call);
        if (onInvoke) {
            onInvoke();
        }
        return S_OK;
    }

    ULONG Refs() const { return refs_; }

    struct Call {
        DISPID id;
        WORD flags;
        std::vector<LONG> args;  // as received in rgvarg (reverse order)
    };
    std::vector<Call> calls;
    std::function<void()> onInvoke;

private:
    GUID eventIid_;
    ULONG refs_ = 1;
};

}  // namespace testwin
