// The one place where C++ exceptions turn into HRESULTs.
//
// Every COM method whose body can throw runs that body through ComBoundary:
// whatever escapes it is caught there and mapped by HResultFromCurrentException,
// so no exception ever crosses a COM boundary:
//   vyrd::HResultError (the DjVu core's error)  -> the HRESULT it carries
//   std::bad_alloc, std::length_error           -> E_OUTOFMEMORY
//   anything else                               -> E_UNEXPECTED
// The thread's error information (SetErrorInfo) is left as the failing call set
// it, so an error raised with another object's HRESULT keeps that object's
// description.
#pragma once

#include <windows.h>

#include <utility>

// Maps the exception being handled to an HRESULT. Call only from a catch block.
HRESULT HResultFromCurrentException() noexcept;

// Runs body() (which returns an HRESULT) and returns its result, or the
// HRESULT of the exception that escaped it.
template <class Body>
HRESULT ComBoundary(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return HResultFromCurrentException();
    }
}
