// The window itself: its creation, its window procedure, the window operations the model and
// the checks use, and the message loop.

#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>

#include "model/control_names.h"
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

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

} // namespace

void Win32Window::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW main{};
    if (GetClassInfoExW(instance, kWindowClass, &main) == FALSE) {
        main.cbSize = sizeof(main);
        main.lpfnWndProc = WindowProc;
        main.hInstance = instance;
        main.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        main.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        main.lpszClassName = kWindowClass;
        main.hIcon = ProgramIcon(instance, GetSystemMetrics(SM_CXICON));
        main.hIconSm = ProgramIcon(instance, GetSystemMetrics(SM_CXSMICON));
        RegisterClassExW(&main);
    }
    WNDCLASSEXW picture{};
    if (GetClassInfoExW(instance, kPictureClass, &picture) == FALSE) {
        picture.cbSize = sizeof(picture);
        picture.lpfnWndProc = PictureProc;
        picture.hInstance = instance;
        picture.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        picture.lpszClassName = kPictureClass;
        RegisterClassExW(&picture);
    }
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
    resultBrush_ = CreateSolidBrush(
        RGB(layout::kResultBack.red, layout::kResultBack.green, layout::kResultBack.blue));
    ReadColourScheme();

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
    MakeFonts();
    CreateControls();

    wiring_.Form_Load();
}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    DeleteObject(font_);
    DeleteObject(descriptionFont_);
    DeleteObject(resultBrush_);
    if (comStarted_) {
        CoUninitialize();
    }
}

void Win32Window::Show(int how) {
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    PostMessageW(hwnd_, kLoadPictures, 0, 0);
}

// Decoding the pictures loads the Windows Imaging Component through COM, which would hold up the
// window's first paint by several DLLs: they are decoded once the window has been drawn (the
// picture boxes show their background until then) and drawn at once.
void Win32Window::LoadPictures() {
    if (picturesLoaded_) {
        return;
    }
    picturesLoaded_ = true;
    PictureDecoder decoder;
    signal_ = decoder.Load(instance_, KORVANE_IDR_SIGNAL);
    truck_ = decoder.Load(instance_, KORVANE_IDR_TRUCK);
    locomotive_ = decoder.Load(instance_, KORVANE_IDR_LOCOMOTIVE);
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
    case WM_CTLCOLORSTATIC:
        if (const Item* box = ItemOf(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = ResultColours(*box, reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd_, &paint);
        PaintWindow(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        auto dc = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        PaintWindow(dc);
        return 0;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // High contrast switched on or off, or another colour scheme.
        ReadColourScheme();
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
    case WM_DPICHANGED: {
        dpi_ = LOWORD(wParam);
        MakeFonts();
        PlaceControls();
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
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

// ---- Window operations --------------------------------------------------------------------

std::string Win32Window::Text(std::string_view control) const {
    const Item* item = Find(control);
    if (item == nullptr || !layout::IsTextBox(item->control->kind)) {
        return {};
    }
    return Narrow(WindowText(item->hwnd));
}

void Win32Window::SetText(std::string_view control, std::string_view text) {
    Item* item = Find(control);
    if (item == nullptr || !layout::IsTextBox(item->control->kind)) {
        return;
    }
    const std::wstring value = Widen(text);
    if (WindowText(item->hwnd) == value) {
        return;
    }
    // The edit reports EN_CHANGE from inside this call, and the Change runs there. Should it
    // not, the Change runs here, still before this returns; it never runs twice.
    SetWindowTextW(item->hwnd, value.c_str());
    Changed(*item);
}

std::string Win32Window::AdvisoryText(std::string_view control) const {
    return std::string(layout::AdvisoryOf(control));
}

void Win32Window::SetEnabled(std::string_view control, bool enabled) {
    const Item* item = Find(control);
    if (item == nullptr || item->hwnd == nullptr) {
        return;
    }
    const bool focused = GetFocus() == item->hwnd;
    EnableWindow(item->hwnd, enabled ? TRUE : FALSE);
    // A disabled control keeps no focus: it moves on as Tab would take it. In the background it
    // moves on once the window is active again (RestoreFocus).
    if (!enabled && focused) {
        RestoreFocus();
    }
}

void Win32Window::ShowMessage(std::string_view text, std::string_view title) {
    MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_OK);
}

void Win32Window::Beep() {
    MessageBeep(MB_OK);
}

// ---- Events -------------------------------------------------------------------------------

void Win32Window::Changed(Item& box) {
    std::wstring text = WindowText(box.hwnd);
    if (text == box.text) {
        return; // an edit that left the text as it was
    }
    box.text = std::move(text);
    wiring_.Change(box.control->name);
}

int RunMessageLoop(Win32Window& window) {
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
