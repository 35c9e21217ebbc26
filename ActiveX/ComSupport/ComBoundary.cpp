#include "ComBoundary.h"

#include "HResultError.h"

#include <new>
#include <stdexcept>

HRESULT HResultFromCurrentException() noexcept {
    try {
        throw;
    } catch (const vyrd::HResultError& e) {
        return static_cast<HRESULT>(e.Code());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        // A container asked to grow past its limit: memory that cannot be had.
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
