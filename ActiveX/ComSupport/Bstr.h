// Move-only owner of a BSTR: SysFreeString on destruction.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

class Bstr {
public:
    Bstr() = default;
    // Copies the text; Get() is null when the allocation failed (check before use).
    explicit Bstr(std::wstring_view text)
        : str_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    static Bstr Adopt(BSTR s) {
        Bstr r;
        r.str_ = s;
        return r;
    }
    Bstr(Bstr&& other) noexcept : str_(std::exchange(other.str_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(str_);
            str_ = std::exchange(other.str_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(str_); }

    BSTR Get() const { return str_; }
    BSTR* Put() {
        SysFreeString(str_);
        str_ = nullptr;
        return &str_;
    }
    BSTR Detach() { return std::exchange(str_, nullptr); }
    std::wstring_view View() const { return {str_ ? str_ : L"", SysStringLen(str_)}; }

private:
    BSTR str_ = nullptr;
};
