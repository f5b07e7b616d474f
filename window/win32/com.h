#pragma once

#include <objbase.h>

// COM as the window uses it: on its one thread, for the pictures' decoder and for screen
// readers, each started only when first needed.
namespace korvane::win32 {

// COM initialised on this thread, as a single-threaded apartment, from Start until this goes.
// Every successful start is ended again, one that found COM already running too.
class ComApartment {
public:
    ComApartment() = default;
    ~ComApartment() {
        if (started_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    void Start() {
        if (!started_) {
            started_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        }
    }

private:
    bool started_ = false;
};

// Holds one reference to a COM interface and releases it.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Out() { return &p_; }

private:
    T* p_ = nullptr;
};

} // namespace korvane::win32
