// Korvane: passage times of a vehicle through a gated highway-railway grade crossing.

#include <windows.h>

#include "window/win32/running_mark.h"
#include "window/win32/win32_window.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int nShowCmd) {
    korvane::win32::MarkRunning();
    korvane::win32::Win32Window window(hInstance);
    window.Show(nShowCmd);
    return korvane::win32::RunMessageLoop(window);
}
