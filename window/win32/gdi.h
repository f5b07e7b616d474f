#pragma once

#include <windows.h>

#include <utility>

// Small owners of GDI resources, so that whatever the window makes is given back however it
// leaves the scope that made it.
namespace korvane::win32 {

// Owns one GDI object (a font, a brush, a pen, a bitmap) and deletes it when it goes.
template <typename Handle> class Gdi {
public:
    Gdi() = default;
    explicit Gdi(Handle handle) : handle_(handle) {}
    ~Gdi() { Reset(); }
    Gdi(Gdi&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Gdi& operator=(Gdi&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    Handle Get() const { return handle_; }

private:
    void Reset() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
            handle_ = nullptr;
        }
    }

    Handle handle_ = nullptr;
};

// Gives a device context back its state (selected objects, colours, modes) when it goes; made
// after the objects it selects, so that they are deselected before they are deleted.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDc() { RestoreDC(dc_, saved_); }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

} // namespace korvane::win32
