// IDispatch for one dual interface Itf of a COM object, answered from the type
// library linked into the module's own file (resource TYPELIB 1).
//
// A class with several dual interfaces derives from one DispatchImpl per interface:
// each base overrides the IDispatch slots of its own interface table only. A class
// that needs its own name mapping for one interface overrides GetIDsOfNames in an
// intermediate class that derives from that DispatchImpl alone.
#pragma once

#include "ComModule.h"
#include "ComPtr.h"

#include <oleauto.h>

// Loads the type information of interface iid from the module's own file.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info);

template <class Itf>
class DispatchImpl : public Itf {
public:
    using Interface = Itf;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) {
            return E_POINTER;
        }
        *info = nullptr;
        if (index != 0) {
            return DISP_E_BADINDEX;
        }
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) {
            return hr;
        }
        typeInfo_->AddRef();
        *info = typeInfo_.Get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) {
            return hr;
        }
        return typeInfo_->GetIDsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
        if (riid != IID_NULL) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) {
            return hr;
        }
        return typeInfo_->Invoke(static_cast<Itf*>(this), id, flags, params, result, excepInfo,
                                 argErr);
    }

protected:
    HRESULT EnsureTypeInfo() {
        if (typeInfo_) {
            return S_OK;
        }
        return LoadModuleTypeInfo(__uuidof(Itf), typeInfo_.Put());
    }

private:
    ComPtr<ITypeInfo> typeInfo_;
};
