// Move-only owning pointer to a COM interface: releases its reference on
// destruction. Not thread-aware; use it on one thread like the object it holds.
#pragma once

#include <unknwn.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller owns (a fresh CoCreateInstance or QueryInterface result).
    static ComPtr Adopt(T* p) {
        ComPtr r;
        r.ptr_ = p;
        return r;
    }
    // Adds a reference of its own to a borrowed pointer.
    static ComPtr Share(T* p) {
        if (p) {
            p->AddRef();
        }
        return Adopt(p);
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // Releases the current reference and returns the slot for an out parameter.
    T** Put() {
        Reset();
        return &ptr_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        if (T* p = std::exchange(ptr_, nullptr)) {
            p->Release();
        }
    }
    // Hands the reference to the caller (for [out] parameters).
    T* Detach() { return std::exchange(ptr_, nullptr); }

    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> r;
        if (ptr_) {
            ptr_->QueryInterface(iid, r.PutVoid());
        }
        return r;
    }

private:
    T* ptr_ = nullptr;
};
