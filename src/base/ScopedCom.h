// An owned COM interface pointer: released exactly once, when its scope ends
// or it is reset. Move-only, like the handle wrappers of ScopedWin.h.
#pragma once

#include <unknwn.h>

template <typename T>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    ScopedComPtr(ScopedComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ScopedComPtr& operator=(ScopedComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For the out-parameter of CoCreateInstance and QueryInterface: whatever
    // was held is released first.
    void** receive() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};
