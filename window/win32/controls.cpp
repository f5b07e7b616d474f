// The native controls: made from the layout table, each subclassed onto the one window
// procedure of the program's controls, which finds the control's item in GWLP_USERDATA. What
// every control answers alike (a screen reader's request, the focus arriving, the window's own
// keys, painting) is handled once; the rest is its kind's.

#include "window/win32/win32_window.h"

#include <optional>

#include "window/win32/dpi.h"
#include "window/win32/messages.h"
#include "window/win32/styles.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

using layout::Access;
using layout::Control;
using layout::Kind;

// How a box takes the focus: by Tab, only when clicked (its text can be selected and copied
// but not edited), or not at all.
DWORD AccessStyle(Access access) {
    return access == Access::Tab        ? WS_TABSTOP
           : access == Access::ReadOnly ? ES_READONLY
           : access == Access::Disabled ? WS_DISABLED
                                        : 0;
}

// The native window of each kind of control, by its class and styles.
struct Native {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
    bool subclassed;
};

Native NativeOf(const Control& c) {
    switch (c.kind) {
    case Kind::TextBox:
    case Kind::FreeText:
    case Kind::ResultBox:
        return {L"EDIT", ES_AUTOHSCROLL | AlignmentOf(c.align).edit | AccessStyle(c.access),
                WS_EX_CLIENTEDGE, true};
    case Kind::Button:
        // The default push button: Enter presses it wherever the focus is.
        return {L"BUTTON", BS_DEFPUSHBUTTON | AccessStyle(c.access), 0, true};
    case Kind::Frame:
        return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true};
    case Kind::PictureBox:
        return {kPictureClass, 0, 0, false};
    case Kind::Label:
    case Kind::Image:
    case Kind::Line:
        break;
    }
    return {nullptr, 0, 0, false};
}

} // namespace

// Each control is made in its place and with its font, so that nothing is laid out twice; in
// Order: a new child window goes below its siblings, so that within each container the lower
// Order lies on top (the result boxes over the frame); the frame comes before its children.
//
// A subclassed control's own window procedure is kept in its item and called through
// CallBase. Plain subclassing rather than SetWindowSubclass: that looks its data up in a window
// property on every message, which under Wine is a round trip to the server each time.
void Win32Window::CreateControls() {
    for (Item& item : items_) {
        const Control& c = *item.control;
        const Native native = NativeOf(c);
        if (native.windowClass == nullptr) {
            continue; // drawn by its container
        }
        const RECT rect = ScaledRect(c);
        item.hwnd = CreateWindowExW(
            native.exStyle, native.windowClass, Widen(c.text).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | native.style, rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top,
            c.in == layout::In::Frame1 ? frame_ : hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout::ControlId(c))), instance_, &item);
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(c)), FALSE);
        if (layout::IsTextBox(c.kind)) {
            // A box takes text of any length.
            SendMessageW(item.hwnd, EM_SETLIMITTEXT, 0, 0);
            item.text = Widen(c.text);
        } else if (c.kind == Kind::Button) {
            command1_ = item.hwnd;
        } else if (c.kind == Kind::Frame) {
            frame_ = item.hwnd;
        }
        if (native.subclassed) {
            SetWindowLongPtrW(item.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&item));
            item.baseProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                item.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
        }
    }
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
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(*item.control)),
                     FALSE);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- The one window procedure of the controls ----------------------------------------------

LRESULT CALLBACK Win32Window::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // Only a window of the program's own class, the picture box, is here from its start; it
        // brings its item as it is made.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* item = reinterpret_cast<Item*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (item == nullptr || item->hwnd != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam); // before CreateWindowEx returned
    }
    return item->owner->OnControlMessage(*item, message, wParam, lParam);
}

// The control's own window procedure; the picture box, of the program's own class, has none but
// the system's default.
LRESULT Win32Window::CallBase(const Item& item, UINT message, WPARAM wParam, LPARAM lParam) {
    return item.baseProc != nullptr
               ? CallWindowProcW(item.baseProc, item.hwnd, message, wParam, lParam)
               : DefWindowProcW(item.hwnd, message, wParam, lParam);
}

LRESULT Win32Window::OnControlMessage(Item& item, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (const LRESULT answer = OnGetObject(&item, wParam, lParam)) {
            return answer;
        }
        break;
    case WM_SETFOCUS:
        // The wiring decides whether a box was left; the control takes the focus all the same.
        PostMessageW(hwnd_, kFocusMoved, static_cast<WPARAM>(item.control->order), 0);
        break;
    case WM_KEYDOWN:
        // The message loop takes the window's own keys before they reach a control; this is
        // for keys sent to the control directly.
        if (HandleKey(wParam)) {
            return 0;
        }
        break;
    default:
        break;
    }
    std::optional<LRESULT> own;
    switch (item.control->kind) {
    case Kind::TextBox:
    case Kind::FreeText:
    case Kind::ResultBox:
        if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
            RelayToToolTips(item, message, wParam, lParam);
        }
        own = OnBoxTyping(item, message, wParam, lParam);
        break;
    case Kind::Frame:
        own = OnFrameMessage(item, message, wParam, lParam);
        break;
    case Kind::PictureBox:
        own = OnPaintMessage(&item, message, wParam);
        break;
    default:
        break;
    }
    return own ? *own : CallBase(item, message, wParam, lParam);
}

std::optional<LRESULT> Win32Window::OnFrameMessage(Item& frame, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (const std::optional<LRESULT> painted = OnPaintMessage(&frame, message, wParam)) {
        return painted;
    }
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
        // The frame's child, Compute, reports to the frame; the window handles it.
        return SendMessageW(hwnd_, message, wParam, lParam);
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
    case WM_SETTEXT: {
        // The group box would draw itself at once on these; draw it the window's way instead.
        const LRESULT result = CallBase(frame, message, wParam, lParam);
        InvalidateRect(frame.hwnd, nullptr, TRUE);
        return result;
    }
    default:
        return std::nullopt;
    }
}

} // namespace korvane::win32
