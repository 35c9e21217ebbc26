// Initialises COM on the current thread for the life of the object, and
// uninitialises it only when this initialisation succeeded (S_OK, or S_FALSE
// for a thread that was already initialised in the same mode). A thread that
// was initialised in the other mode keeps that mode: Result() is then
// RPC_E_CHANGED_MODE and the destructor does nothing.
#pragma once

#include <objbase.h>

class ComInit {
public:
    explicit ComInit(DWORD mode = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, mode)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_)) {
            CoUninitialize();
        }
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};
