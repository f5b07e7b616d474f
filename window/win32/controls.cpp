// The native controls: made from the layout table, each with a window procedure for its kind
// that finds its item in GWLP_USERDATA; and the tool tips of the numeric boxes.

#include "window/win32/win32_window.h"

#include <commctrl.h>

#include <optional>

#include "window/win32/messages.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

using layout::Access;
using layout::Align;
using layout::Control;
using layout::Kind;

DWORD TextAlignment(Align align) {
    switch (align) {
    case Align::Right:
        return ES_RIGHT;
    case Align::Centre:
        return ES_CENTER;
    case Align::Left:
    case Align::None:
        break;
    }
    return ES_LEFT;
}

// How a box takes the focus: by Tab, only when clicked (its text can be selected and copied
// but not edited), or not at all.
DWORD AccessStyle(Access access) {
    switch (access) {
    case Access::Tab:
        return WS_TABSTOP;
    case Access::ReadOnly:
        return ES_READONLY;
    case Access::Disabled:
        return WS_DISABLED;
    case Access::None:
        break;
    }
    return 0;
}

} // namespace

void Win32Window::CreateControls() {
    // Each control is made in its place and with its font, so that nothing is laid out twice.
    const auto create = [this](Item& item, const wchar_t* cls, DWORD style, DWORD exStyle) {
        const Control& c = *item.control;
        const RECT rect = ScaledRect(c);
        item.hwnd = CreateWindowExW(
            exStyle, cls, Widen(c.text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
            c.in == layout::In::Frame1 ? frame_ : hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout::ControlId(c))), instance_, &item);
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c)), FALSE);
    };
    // In Order: a new child window goes below its siblings, so that within each container the
    // lower Order lies on top (the result boxes over the frame); the frame comes before its
    // children.
    for (Item& item : items_) {
        const Control& c = *item.control;
        switch (c.kind) {
        case Kind::TextBox:
        case Kind::FreeText:
        case Kind::ResultBox:
            create(item, L"EDIT", ES_AUTOHSCROLL | TextAlignment(c.align) | AccessStyle(c.access),
                   WS_EX_CLIENTEDGE);
            // A box takes text of any length.
            SendMessageW(item.hwnd, EM_SETLIMITTEXT, 0, 0);
            item.text = Widen(c.text);
            Subclass(item, BoxProc);
            break;
        case Kind::Button:
            // The default push button: Enter presses it wherever the focus is.
            create(item, L"BUTTON", BS_DEFPUSHBUTTON | AccessStyle(c.access), 0);
            command1_ = item.hwnd;
            Subclass(item, ButtonProc);
            break;
        case Kind::PictureBox:
            create(item, kPictureClass, 0, 0);
            break;
        case Kind::Frame:
            create(item, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
            frame_ = item.hwnd;
            Subclass(item, FrameProc);
            break;
        case Kind::Label:
        case Kind::Image:
        case Kind::Line:
            break;
        }
    }
}

// The control's own window procedure is kept in the item and called through CallBase. Plain
// subclassing rather than SetWindowSubclass: that looks its data up in a window property on every
// message, which under Wine is a round trip to the server each time.
void Win32Window::Subclass(Item& item, WNDPROC proc) {
    SetWindowLongPtrW(item.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&item));
    item.baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(item.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

Item& Win32Window::ItemFrom(HWND control) {
    return *reinterpret_cast<Item*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

LRESULT Win32Window::CallBase(const Item& item, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(item.baseProc, item.hwnd, message, wParam, lParam);
}

// ---- One window procedure for each kind of control -----------------------------------------

LRESULT CALLBACK Win32Window::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Item& box = ItemFrom(hwnd);
    return box.owner->Dispatch(box, message, wParam, lParam, &Win32Window::OnBoxMessage);
}

LRESULT CALLBACK Win32Window::ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Item& button = ItemFrom(hwnd);
    return button.owner->Dispatch(button, message, wParam, lParam, &Win32Window::OnButtonMessage);
}

LRESULT CALLBACK Win32Window::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Item& frame = ItemFrom(hwnd);
    return frame.owner->Dispatch(frame, message, wParam, lParam, &Win32Window::OnFrameMessage);
}

LRESULT CALLBACK Win32Window::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* picture = reinterpret_cast<Item*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (picture == nullptr || picture->hwnd != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam); // before CreateWindowEx returned
    }
    return picture->owner->Dispatch(*picture, message, wParam, lParam,
                                    &Win32Window::OnPictureMessage);
}

// What every kind of control answers alike, a screen reader's request for its object; the
// rest is the kind's own.
LRESULT Win32Window::Dispatch(Item& item, UINT message, WPARAM wParam, LPARAM lParam,
                              Handler handler) {
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer = OnGetObject(&item, wParam, lParam)) {
            return answer;
        }
    }
    return (this->*handler)(item, message, wParam, lParam);
}

LRESULT Win32Window::OnBoxMessage(Item& box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        RelayToToolTips(box, message, wParam, lParam);
    }
    if (const std::optional<LRESULT> result = OnBoxKeysAndFocus(box, message, wParam, lParam)) {
        return *result;
    }
    return CallBase(box, message, wParam, lParam);
}

LRESULT Win32Window::OnButtonMessage(Item& button, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        // The message loop takes these keys before they reach the button; this is for keys
        // sent to it directly.
        if (HandleKey(wParam)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        PostMessageW(hwnd_, kFocusMoved, static_cast<WPARAM>(button.control->order), 0);
        break;
    default:
        break;
    }
    return CallBase(button, message, wParam, lParam);
}

LRESULT Win32Window::OnFrameMessage(Item& frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills the whole frame
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(frame.hwnd, &paint);
        PaintFrame(frame, dc);
        EndPaint(frame.hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintFrame(frame, reinterpret_cast<HDC>(wParam));
        return 0;
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
        break;
    }
    return CallBase(frame, message, wParam, lParam);
}

LRESULT Win32Window::OnPictureMessage(Item& picture, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(picture.hwnd, &paint);
        PaintPicture(picture, dc);
        EndPaint(picture.hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintPicture(picture, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(picture.hwnd, message, wParam, lParam);
}

// ---- Tool tips ------------------------------------------------------------------------------

// Made when first needed, which is when the mouse first moves over a box: not at start-up.
HWND Win32Window::ToolTips() {
    if (toolTips_ != nullptr) {
        return toolTips_;
    }
    toolTips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    for (const Item& item : items_) {
        if (item.hwnd == nullptr || item.control->advisory.empty()) {
            continue;
        }
        std::wstring text = Widen(item.control->advisory);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND; // the boxes relay their mouse messages (RelayToToolTips)
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(item.hwnd);
        tool.lpszText = text.data();
        SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return toolTips_;
}

// The tool tips learn where the mouse is from the boxes' own mouse messages, as the box's.
void Win32Window::RelayToToolTips(const Item& box, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG relayed{};
    relayed.hwnd = box.hwnd;
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    SendMessageW(ToolTips(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

} // namespace korvane::win32
