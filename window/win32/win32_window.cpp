// The window itself: its classes, its creation, its window procedure and the message loop.

#include "window/win32/win32_window.h"

#include <commctrl.h>

#include "window/win32/dpi.h"
#include "window/win32/messages.h"
#include "window/win32/resource.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

HICON ProgramIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KORVANE_IDI_ICON), IMAGE_ICON,
                                         size, size, LR_SHARED));
}

// Registers a window class of the program once; later windows find it registered.
void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, bool main) {
    WNDCLASSEXW known{};
    if (GetClassInfoExW(instance, name, &known) != FALSE) {
        return;
    }
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = proc;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    c.lpszClassName = name;
    if (main) {
        c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        c.hIcon = ProgramIcon(instance, GetSystemMetrics(SM_CXICON));
        c.hIconSm = ProgramIcon(instance, GetSystemMetrics(SM_CXSMICON));
    }
    RegisterClassExW(&c);
}

} // namespace

void Win32Window::RegisterClasses(HINSTANCE instance) {
    Register(instance, kWindowClass, WindowProc, true);
    Register(instance, kPictureClass, ControlProc, false);
}

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    RegisterClasses(instance);

    for (const layout::Control& control : layout::kControls) {
        Item& item = items_[static_cast<std::size_t>(control.order - 1)];
        item.control = &control;
        item.owner = this;
    }

    dpi_ = SystemDpi();
    const SIZE size = WindowSize(dpi_);
    hwnd_ = CreateWindowExW(0, kWindowClass, Widen(layout::kCaption).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr,
                            instance, this);
    if (hwnd_ == nullptr) {
        return; // IsOpen() tells the caller
    }
    // The window may stand on a monitor of another dpi than the system's.
    const UINT dpi = WindowDpi(hwnd_);
    if (dpi != dpi_) {
        dpi_ = dpi;
        const SIZE scaled = WindowSize(dpi_);
        SetWindowPos(hwnd_, nullptr, 0, 0, scaled.cx, scaled.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fonts_ = Fonts(dpi_);
    CreateControls();

    wiring_.Form_Load();
}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void Win32Window::Show(int how) {
    if (hwnd_ == nullptr) {
        // Without its window the program can do nothing: it says so, and its loop ends at once.
        MessageBoxW(nullptr, L"Korvane could not create its window.", L"Korvane",
                    MB_OK | MB_ICONERROR);
        return;
    }
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    PostMessageW(hwnd_, kLoadPictures, 0, 0);
}

// Decoding the pictures loads the Windows Imaging Component through COM, which would hold up the
// window's first paint by several DLLs: they are decoded once the window has been drawn (the
// picture boxes show their background until then) and drawn at once.
void Win32Window::LoadPictures() {
    if (!pictures_.Load(instance_)) {
        return;
    }
    for (const Item& item : items_) {
        if (item.control->picture == layout::Picture::None) {
            continue;
        }
        if (item.hwnd != nullptr) {
            InvalidateRect(item.hwnd, nullptr, TRUE);
        } else {
            const RECT rect = ScaledRect(*item.control);
            InvalidateRect(item.control->in == layout::In::Frame1 ? frame_ : hwnd_, &rect, TRUE);
        }
    }
}

// ---- The main window's messages ------------------------------------------------------------

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32Window*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->OnMessage(message, wParam, lParam);
}

LRESULT Win32Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> painted = OnPaintMessage(nullptr, message, wParam)) {
        return *painted;
    }
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case kLoadPictures:
        LoadPictures();
        return 0;
    case kFocusMoved:
        // wParam: the Order of the control that took the focus.
        if (wParam >= 1 && wParam <= items_.size()) {
            wiring_.FocusMoved(items_[wParam - 1].control->name);
        }
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        const Item* box = ItemOf(reinterpret_cast<HWND>(lParam));
        if (box != nullptr && box->control->kind == layout::Kind::ResultBox) {
            if (HBRUSH brush = colours_.ResultBox(reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // High contrast switched on or off, or another colour scheme.
        colours_.Read();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case WM_ACTIVATE:
        // Back in the window, the focus returns to the control that had it.
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
            RestoreFocus();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_KEYDOWN:
        if (HandleKey(wParam)) {
            return 0;
        }
        break;
    case WM_GETOBJECT:
        if (const LRESULT answer = OnGetObject(nullptr, wParam, lParam)) {
            return answer;
        }
        break;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::OnCommand(WPARAM wParam, LPARAM lParam) {
    Item* from = ItemById(LOWORD(wParam));
    if (from == nullptr || from->hwnd != reinterpret_cast<HWND>(lParam)) {
        return;
    }
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
        if (layout::IsTextBox(from->control->kind)) {
            Changed(*from);
        }
        break;
    case BN_CLICKED:
        // A click counts only while Compute is enabled and no message box holds the window.
        if (from->hwnd == command1_ && IsWindowEnabled(command1_) != FALSE &&
            IsWindowEnabled(hwnd_) != FALSE) {
            wiring_.Command1_Click();
        }
        break;
    default:
        break;
    }
}

// Moved to a monitor of another dpi: every control in its new place with its new font, and the
// window at the size the system suggests.
void Win32Window::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    fonts_ = Fonts(dpi_);
    PlaceControls();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Lookups -------------------------------------------------------------------------------

Item* Win32Window::Find(std::string_view control) {
    const layout::Control* c = layout::Find(control);
    return c != nullptr ? &items_[static_cast<std::size_t>(c->order - 1)] : nullptr;
}

const Item* Win32Window::Find(std::string_view control) const {
    return const_cast<Win32Window*>(this)->Find(control);
}

Item* Win32Window::ItemById(int id) {
    const layout::Control* c = layout::FindById(id);
    return c != nullptr ? &items_[static_cast<std::size_t>(c->order - 1)] : nullptr;
}

Item* Win32Window::ItemOf(HWND hwnd) {
    if (hwnd == nullptr || (GetParent(hwnd) != hwnd_ && GetParent(hwnd) != frame_)) {
        return nullptr;
    }
    Item* item = ItemById(GetDlgCtrlID(hwnd));
    return item != nullptr && item->hwnd == hwnd ? item : nullptr;
}

HWND Win32Window::ControlWindow(std::string_view control) const {
    const Item* item = Find(control);
    return item != nullptr ? item->hwnd : nullptr;
}

RECT Win32Window::ScaledRect(const layout::Control& control) const {
    return Scaled(control, dpi_);
}

// ---- The message loop ----------------------------------------------------------------------

int RunMessageLoop(Win32Window& window) {
    if (!window.IsOpen()) {
        return 1;
    }
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam); // the window was closed
        }
        if (got == -1) {
            return 1;
        }
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace korvane::win32
