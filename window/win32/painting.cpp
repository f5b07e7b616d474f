// Painting: the labels, lines and the locomotive that the window and the frame draw themselves,
// the pictures, and the colours of the result boxes.

#include "window/win32/win32_window.h"

#include <algorithm>

#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

using layout::Control;
using layout::Kind;

UINT DrawAlignment(layout::Align align) {
    switch (align) {
    case layout::Align::Right:
        return DT_RIGHT;
    case layout::Align::Centre:
        return DT_CENTER;
    case layout::Align::Left:
    case layout::Align::None:
        break;
    }
    return DT_LEFT;
}

COLORREF ToColorRef(layout::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

layout::Rgb ToRgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

} // namespace

// Whether high contrast is on, and the colour of the result boxes' text on their fixed cyan:
// the scheme's window-text colour where it is readable there, black where it is not (the white
// text of a dark scheme).
void Win32Window::ReadColourScheme() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    highContrast_ =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    resultText_ =
        ToColorRef(layout::ReadableOn(layout::kResultBack, ToRgb(GetSysColor(COLOR_WINDOWTEXT))));
}

// The result boxes are light cyan, also while read-only or disabled. With high contrast on,
// every box keeps the system's colours, as Windows asks of every program.
HBRUSH Win32Window::ResultColours(const Item& box, HDC dc) const {
    if (box.control->kind != Kind::ResultBox || highContrast_) {
        return nullptr;
    }
    SetBkColor(dc, ToColorRef(layout::kResultBack));
    SetTextColor(dc, resultText_);
    return resultBrush_;
}

// The labels, lines and image of one container, in descending Order so that the lower Order
// ends on top. The windowed controls clip them (WS_CLIPCHILDREN), so they lie above them all.
void Win32Window::DrawItems(HDC dc, layout::In container) {
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int lineWidth = std::max(1, static_cast<int>(dpi_) / 96);
    HPEN pen = CreatePen(PS_SOLID, lineWidth, GetSysColor(COLOR_WINDOWTEXT));
    SelectObject(dc, pen);
    std::for_each(items_.rbegin(), items_.rend(), [&](const Item& item) {
        const Control& c = *item.control;
        if (c.in != container || layout::IsWindowed(c.kind)) {
            return;
        }
        RECT rect = ScaledRect(c);
        // Captions and the image outside the area being painted are left out: laying out a
        // caption's lines is the dearest drawing here.
        if (c.kind != Kind::Line && RectVisible(dc, &rect) == FALSE) {
            return;
        }
        switch (c.kind) {
        case Kind::Line:
            MoveToEx(dc, rect.left, rect.top, nullptr);
            LineTo(dc, rect.right, rect.bottom);
            if (lineWidth == 1) {
                SetPixelV(dc, rect.right, rect.bottom, GetSysColor(COLOR_WINDOWTEXT));
            }
            break;
        case Kind::Label: {
            FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
            SelectObject(dc, FontFor(c));
            const std::wstring text = Widen(c.text);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                      DT_WORDBREAK | DT_NOPREFIX | DrawAlignment(c.align));
            break;
        }
        case Kind::Image:
            PictureOf(c.picture).Draw(dc, rect);
            break;
        default:
            break;
        }
    });
    RestoreDC(dc, saved);
    DeleteObject(pen);
}

void Win32Window::PaintWindow(HDC dc) {
    DrawItems(dc, layout::In::Window);
}

void Win32Window::PaintFrame(const Item& frame, HDC dc) {
    RECT client;
    GetClientRect(frame.hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    const int saved = SaveDC(dc);
    SelectObject(dc, font_);
    const std::wstring caption = Widen(frame.control->text);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // An etched border whose top runs through the middle of the caption, as a group box has.
    RECT border = client;
    border.top += metrics.tmHeight / 2 - 1;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    const int indent = MulDiv(7, static_cast<int>(dpi_), 96);
    RECT text{indent, 0, indent + extent.cx, metrics.tmHeight};
    FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX); // left and top: flags of value 0
    RestoreDC(dc, saved);

    DrawItems(dc, layout::In::Frame1);
}

const Picture& Win32Window::PictureOf(layout::Picture picture) const {
    switch (picture) {
    case layout::Picture::Signal:
        return signal_;
    case layout::Picture::Truck:
        return truck_;
    case layout::Picture::Locomotive:
        return locomotive_;
    case layout::Picture::None:
        break;
    }
    return none_;
}

// A picture box shows its picture at the top left, at its own size, on its background colour.
void Win32Window::PaintPicture(const Item& box, HDC dc) {
    RECT client;
    GetClientRect(box.hwnd, &client);
    FillRect(
        dc, &client,
        GetSysColorBrush(box.control->back == layout::Back::Menu ? COLOR_MENU : COLOR_BTNFACE));
    const Picture& picture = PictureOf(box.control->picture);
    // The picture keeps its own size in pixels at 96 dpi and grows with the window's dpi.
    const RECT target{0, 0, MulDiv(picture.Width(), static_cast<int>(dpi_), 96),
                      MulDiv(picture.Height(), static_cast<int>(dpi_), 96)};
    picture.Draw(dc, target);
}

} // namespace korvane::win32
