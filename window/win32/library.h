#pragma once

#include <windows.h>

namespace korvane::win32 {

// A function of a loaded DLL, or nullptr when the DLL has none of that name. For what only
// newer Windows has, and for what the program loads only when it is needed.
template <typename F> F LibraryFunction(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // Through void(*)(): the one cast between function pointer types GCC does not warn of.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace korvane::win32
