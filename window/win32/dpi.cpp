#include "window/win32/dpi.h"

#include "window/win32/library.h"
#include "window/win32/utf.h"
#include "window/win32/win32_window.h"

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

HFONT MakeFont(const layout::FontFace& font, UINT dpi, BYTE charset) {
    // A negative height asks for the height of the characters themselves, as points measure.
    const int height = -layout::FontPixels(font, static_cast<int>(dpi));
    return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, Widen(font.face).c_str());
}

void Win32Window::MakeFonts() {
    DeleteObject(font_);
    DeleteObject(descriptionFont_);
    font_ = MakeFont(layout::kDefaultFont, dpi_, DEFAULT_CHARSET);
    descriptionFont_ = MakeFont(layout::kDescriptionFont, dpi_, ANSI_CHARSET);
}

HFONT Win32Window::FontFor(const layout::Control& control) const {
    return &layout::FontOf(control) == &layout::kDescriptionFont ? descriptionFont_ : font_;
}

// Each edge is scaled on its own, so that controls that meet in twips meet on screen.
RECT Win32Window::ScaledRect(const layout::Control& c) const {
    if (c.kind == layout::Kind::Line) {
        // A line's two end points, from the first to the second.
        return {Scale(c.ends.x1, dpi_), Scale(c.ends.y1, dpi_), Scale(c.ends.x2, dpi_),
                Scale(c.ends.y2, dpi_)};
    }
    const layout::Place& p = c.place;
    return {Scale(p.left, dpi_), Scale(p.top, dpi_), Scale(p.left + p.width, dpi_),
            Scale(p.top + p.height, dpi_)};
}

// After a change of dots per inch: every control in its new place with its new font.
void Win32Window::PlaceControls() {
    for (const Item& item : items_) {
        if (item.hwnd == nullptr) {
            continue;
        }
        const RECT rect = ScaledRect(*item.control);
        SetWindowPos(item.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*item.control)),
                     FALSE);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace korvane::win32
