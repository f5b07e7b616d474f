// Painting: what the window, the frame and the picture boxes draw themselves (the labels, the
// lines and the locomotive of each container, the frame's border and caption, the pictures).

#include "window/win32/win32_window.h"

#include <algorithm>

#include "window/win32/gdi.h"
#include "window/win32/styles.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

using layout::Control;
using layout::Kind;

// The messages by which a window that draws itself is drawn: its paint, a print of its client
// area (WM_PRINTCLIENT), and for the frame and the picture boxes the erasing of the background,
// which their paint fills itself. The main window's background is its class's.
std::optional<LRESULT> Win32Window::OnPaintMessage(const Item* item, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_ERASEBKGND:
        if (item != nullptr) {
            return 1;
        }
        return std::nullopt;
    case WM_PAINT: {
        const HWND hwnd = item != nullptr ? item->hwnd : hwnd_;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        Paint(item, dc, false);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(item, reinterpret_cast<HDC>(wParam), true);
        return 0;
    default:
        return std::nullopt;
    }
}

void Win32Window::Paint(const Item* item, HDC dc, bool printing) {
    if (item == nullptr) {
        if (printing) {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(dc, &client, Colours::Face());
        }
        DrawItems(dc, layout::In::Window);
    } else if (item->control->kind == Kind::Frame) {
        PaintFrame(*item, dc);
    } else {
        PaintPicture(*item, dc);
    }
}

// The labels, lines and image of one container, in descending Order so that the lower Order
// ends on top. The windowed controls clip them (WS_CLIPCHILDREN), so they lie above them all.
void Win32Window::DrawItems(HDC dc, layout::In container) {
    const int lineWidth = std::max(1, static_cast<int>(dpi_) / 96);
    const Gdi<HPEN> pen(CreatePen(PS_SOLID, lineWidth, Colours::Line()));
    const SavedDc saved(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colours::Caption());
    SelectObject(dc, pen.Get());
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
        if (c.kind == Kind::Line) {
            MoveToEx(dc, rect.left, rect.top, nullptr);
            LineTo(dc, rect.right, rect.bottom);
            if (lineWidth == 1) {
                SetPixelV(dc, rect.right, rect.bottom, Colours::Line());
            }
        } else if (c.kind == Kind::Label) {
            FillRect(dc, &rect, Colours::Face());
            SelectObject(dc, fonts_.For(c));
            const std::wstring text = Widen(c.text);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                      DT_WORDBREAK | DT_NOPREFIX | AlignmentOf(c.align).drawn);
        } else if (c.kind == Kind::Image) {
            pictures_.Of(c.picture).Draw(dc, rect);
        }
    });
}

// An etched border whose top runs through the middle of the caption, as a group box has, then
// what the frame holds.
void Win32Window::PaintFrame(const Item& frame, HDC dc) {
    RECT client;
    GetClientRect(frame.hwnd, &client);
    FillRect(dc, &client, Colours::Face());
    {
        const SavedDc saved(dc);
        SelectObject(dc, fonts_.Default());
        const std::wstring caption = Widen(frame.control->text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT border = client;
        border.top += metrics.tmHeight / 2 - 1;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const int indent = MulDiv(7, static_cast<int>(dpi_), 96);
        RECT text{indent, 0, indent + extent.cx, metrics.tmHeight};
        FillRect(dc, &text, Colours::Face());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Colours::Caption());
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX); // left and top: flags of value 0
    }
    DrawItems(dc, layout::In::Frame1);
}

// A picture box shows its picture at the top left, at its own size, on its background colour.
void Win32Window::PaintPicture(const Item& box, HDC dc) {
    RECT client;
    GetClientRect(box.hwnd, &client);
    FillRect(dc, &client, Colours::Back(box.control->back));
    const Picture& picture = pictures_.Of(box.control->picture);
    // The picture keeps its own size in pixels at 96 dpi and grows with the window's dpi.
    const RECT target{0, 0, MulDiv(picture.Width(), static_cast<int>(dpi_), 96),
                      MulDiv(picture.Height(), static_cast<int>(dpi_), 96)};
    picture.Draw(dc, target);
}

} // namespace korvane::win32
