// Korvane: passage times of a vehicle through a gated highway-railway grade crossing.

#include <windows.h>

#include "window/win32/running_mark.h"
#include "window/win32/win32_window.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int nShowCmd) {
    korvane::win32::MarkRunning();
    korvane::win32::Win32Window window(hInstance);
    if (!window.IsOpen()) {
        // Without its window the program can do nothing: it says so and ends with a failure.
        MessageBoxW(nullptr, L"Korvane could not create its window.", L"Korvane",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    window.Show(nShowCmd);
    return korvane::win32::RunMessageLoop(window);
}
