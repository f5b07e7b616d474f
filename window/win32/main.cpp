// Korvane: passage times of a vehicle through a gated highway-railway grade crossing.

#include <windows.h>

#include "window/win32/korvane_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int show) {
    korvane::win32::Korvane window(instance);
    window.Show(show);
    return korvane::win32::RunMessageLoop(window);
}
