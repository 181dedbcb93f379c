// Owners for what COM and OLE automation hand out: a BSTR, freed with
// SysFreeString, and an interface pointer, released with Release. Each
// frees on every path; release() hands the raw value on.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace quillon::win32 {

class BstrOwner {
public:
    BstrOwner() = default;
    explicit BstrOwner(BSTR text) : text_(text) {}
    BstrOwner(BstrOwner&& other) noexcept : text_(other.release()) {}
    BstrOwner& operator=(BstrOwner&& other) noexcept {
        reset(other.release());
        return *this;
    }
    BstrOwner(const BstrOwner&) = delete;
    BstrOwner& operator=(const BstrOwner&) = delete;
    ~BstrOwner() { reset(); }

    BSTR get() const { return text_; }
    BSTR* put() {
        reset();
        return &text_;
    }
    BSTR release() { return std::exchange(text_, nullptr); }
    void reset(BSTR text = nullptr) {
        if (text_ != nullptr) ::SysFreeString(text_);
        text_ = text;
    }

private:
    BSTR text_ = nullptr;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(Interface* pointer) : pointer_(pointer) {}
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_ != nullptr) pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(other.release()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For out parameters: releases what is held first.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    Interface* release() { return std::exchange(pointer_, nullptr); }
    void reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace quillon::win32
