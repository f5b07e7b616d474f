#include "window/win32/dpi.h"

#include "window/win32/library.h"

namespace korvane::win32 {

namespace {

// The functions for per-monitor dots per inch, which Windows before 10 (1607) does not have.
struct DpiFunctions {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    UINT(WINAPI* forSystem)() = nullptr;
    BOOL(WINAPI* adjustRect)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        HMODULE user = GetModuleHandleW(L"user32.dll");
        f.forWindow = LibraryFunction<decltype(f.forWindow)>(user, "GetDpiForWindow");
        f.forSystem = LibraryFunction<decltype(f.forSystem)>(user, "GetDpiForSystem");
        f.adjustRect = LibraryFunction<decltype(f.adjustRect)>(user, "AdjustWindowRectExForDpi");
        return f;
    }();
    return functions;
}

} // namespace

UINT SystemDpi() {
    if (Functions().forSystem != nullptr) {
        return Functions().forSystem();
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND hwnd) {
    return Functions().forWindow != nullptr ? Functions().forWindow(hwnd) : SystemDpi();
}

SIZE WindowSize(UINT dpi) {
    RECT rect{0, 0, Scale(layout::kClientWidth, dpi), Scale(layout::kClientHeight, dpi)};
    if (Functions().adjustRect != nullptr) {
        Functions().adjustRect(&rect, kWindowStyle, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&rect, kWindowStyle, FALSE, 0);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

int Scale(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT Scaled(const layout::Control& control, UINT dpi) {
    if (control.kind == layout::Kind::Line) {
        const layout::Ends& e = control.ends;
        return {Scale(e.x1, dpi), Scale(e.y1, dpi), Scale(e.x2, dpi), Scale(e.y2, dpi)};
    }
    const layout::Place& p = control.place;
    return {Scale(p.left, dpi), Scale(p.top, dpi), Scale(p.left + p.width, dpi),
            Scale(p.top + p.height, dpi)};
}

} // namespace korvane::win32
