#include "window/win32/running_mark.h"

#include <windows.h>

// KORVANE_APP_ID comes from the build (CMakeLists.txt), which gives the installer the same name.
#ifndef KORVANE_APP_ID
#error "KORVANE_APP_ID must be defined by the build"
#endif

namespace korvane::win32 {

void MarkRunning() {
    // The handles stay open on purpose: the marks last as long as the process, and the system
    // closes them when it ends, however it ends.
    CreateMutexW(nullptr, FALSE, L"Local\\" KORVANE_APP_ID);
    CreateMutexW(nullptr, FALSE, L"Global\\" KORVANE_APP_ID);
}

} // namespace korvane::win32
