#pragma once
// Intrusive reference counting for the objects of the DjVu core.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace vyrd {

// Base of every reference-counted object of the core. A new object starts with
// one reference, owned by whoever created it; Release deletes the object when
// the last reference goes. The count itself is atomic, so references may be
// taken and dropped on any thread; the objects are otherwise used by one thread
// at a time (the reader object serialises its calls).
class CRefCounted {
public:
    CRefCounted() noexcept = default;
    CRefCounted(const CRefCounted&) = delete;
    CRefCounted& operator=(const CRefCounted&) = delete;

    virtual ~CRefCounted() = default;

    // Returns the new count.
    virtual int32_t AddRef() noexcept {
        return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
    }

    // Returns the new count; the object is gone when it is 0.
    virtual int32_t Release() noexcept {
        const int32_t left = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // The current count; meaningful only while no other thread holds a reference.
    int32_t RefCount() const noexcept { return refCount_.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> refCount_{1};
};

// Owning pointer to a reference-counted object: holds exactly one reference.
// Copies take a reference of their own, moves hand the reference over.
// A raw pointer never becomes a RefPtr implicitly: say whether the reference is
// adopted (Adopt: the caller's reference moves in) or shared (Share: AddRef).
template <class T>
class RefPtr {
public:
    RefPtr() noexcept = default;
    RefPtr(std::nullptr_t) noexcept {}

    // Takes over a reference the caller already owns (typically `new T`).
    [[nodiscard]] static RefPtr Adopt(T* p) noexcept {
        RefPtr r;
        r.p_ = p;
        return r;
    }

    // Takes a new reference to an object someone else keeps alive.
    [[nodiscard]] static RefPtr Share(T* p) noexcept {
        if (p != nullptr) {
            p->AddRef();
        }
        return Adopt(p);
    }

    RefPtr(const RefPtr& other) noexcept : p_(other.p_) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    RefPtr(RefPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(const RefPtr<U>& other) noexcept : p_(other.get()) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(RefPtr<U>&& other) noexcept : p_(other.detach()) {}

    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    ~RefPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Drops the held reference (if any).
    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }

    // Hands the held reference to the caller, who must release it; leaves this null.
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

    friend bool operator==(const RefPtr& a, const RefPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const RefPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// Creates a T with its initial reference owned by the returned pointer.
template <class T, class... Args>
[[nodiscard]] RefPtr<T> MakeRef(Args&&... args) {
    return RefPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace vyrd
