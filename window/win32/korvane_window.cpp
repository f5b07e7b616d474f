#include "window/win32/korvane_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/control_names.h"
#include "window/win32/resource.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

using layout::Align;
using layout::Control;
using layout::In;
using layout::Kind;

constexpr wchar_t kWindowClass[] = L"Korvane";
constexpr wchar_t kPictureClass[] = L"KorvanePicture";

// Posted when the focus has left a box for another control of the window; wParam holds the
// box's Order. Posted rather than run at once: no window may be shown while the focus is
// changing, and a posted message still comes before the next key or click is taken.
constexpr UINT kLostFocus = WM_APP + 1;

// Posted once the window has first been drawn: the pictures are decoded and drawn then.
constexpr UINT kLoadPictures = WM_APP + 2;

// The functions for per-monitor dots per inch, which Windows before 10 (1607) does not have.
struct DpiFunctions {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    UINT(WINAPI* forSystem)() = nullptr;
    BOOL(WINAPI* adjustRect)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename F> F Function(HMODULE module, const char* name) {
    // Through void(*)(): the one cast between function pointer types GCC does not warn of.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions& Dpi() {
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
            f.forWindow = Function<decltype(f.forWindow)>(user, "GetDpiForWindow");
            f.forSystem = Function<decltype(f.forSystem)>(user, "GetDpiForSystem");
            f.adjustRect = Function<decltype(f.adjustRect)>(user, "AdjustWindowRectExForDpi");
        }
        return f;
    }();
    return functions;
}

UINT SystemDpi() {
    if (Dpi().forSystem != nullptr) {
        return Dpi().forSystem();
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND hwnd) {
    return Dpi().forWindow != nullptr ? Dpi().forWindow(hwnd) : SystemDpi();
}

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The outer size of the window whose client area is the layout's at that dpi.
SIZE WindowSize(UINT dpi) {
    RECT rect{0, 0, MulDiv(layout::kClientWidth, static_cast<int>(dpi), 1440),
              MulDiv(layout::kClientHeight, static_cast<int>(dpi), 1440)};
    if (Dpi().adjustRect != nullptr) {
        Dpi().adjustRect(&rect, kWindowStyle, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&rect, kWindowStyle, FALSE, 0);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

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

UINT DrawAlignment(Align align) {
    switch (align) {
    case Align::Right:
        return DT_RIGHT;
    case Align::Centre:
        return DT_CENTER;
    case Align::Left:
    case Align::None:
        break;
    }
    return DT_LEFT;
}

HFONT MakeFont(const layout::FontFace& font, UINT dpi, BYTE charset) {
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, Widen(font.face).c_str());
}

// Whether a window is this one or lies inside it.
bool IsWithin(HWND window, HWND hwnd) {
    return hwnd != nullptr && (hwnd == window || IsChild(window, hwnd));
}

} // namespace

// ---- Creation -----------------------------------------------------------------------------

Korvane::Korvane(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);

    WNDCLASSEXW main{};
    if (GetClassInfoExW(instance, kWindowClass, &main) == FALSE) {
        main.cbSize = sizeof(main);
        main.lpfnWndProc = WindowProc;
        main.hInstance = instance;
        main.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        main.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        main.lpszClassName = kWindowClass;
        main.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KORVANE_IDI_ICON),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), LR_SHARED));
        main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KORVANE_IDI_ICON),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), LR_SHARED));
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

    resultBrush_ = CreateSolidBrush(
        RGB(layout::kResultBack.red, layout::kResultBack.green, layout::kResultBack.blue));

    items_.reserve(layout::kControls.size());
    for (const Control& control : layout::kControls) {
        items_.push_back(Item{&control, nullptr, {}, COLOR_BTNFACE});
    }
    std::sort(items_.begin(), items_.end(),
              [](const Item& a, const Item& b) { return a.control->order < b.control->order; });

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
    CreateControls(instance);

    wiring_.Form_Load();
}

Korvane::~Korvane() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    DeleteObject(font_);
    DeleteObject(descriptionFont_);
    DeleteObject(resultBrush_);
}

void Korvane::CreateControls(HINSTANCE instance) {
    // Each control is made in its place and with its font, so that nothing is laid out twice.
    const auto create = [&](Item& item, const wchar_t* cls, DWORD style, DWORD exStyle, HWND parent,
                            void* param) {
        const Control& c = *item.control;
        const RECT rect = ScaledRect(c);
        item.hwnd = CreateWindowExW(
            exStyle, cls, Widen(c.text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout::ControlId(c))), instance, param);
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    };
    // In Order: a new child window goes below its siblings, so that within each container the
    // lower Order lies on top (the result boxes over the frame); the frame comes before its
    // children.
    for (Item& item : items_) {
        const Control& c = *item.control;
        HWND parent = c.in == In::Frame1 ? frame_ : hwnd_;
        switch (c.kind) {
        case Kind::TextBox:
        case Kind::FreeText:
        case Kind::ResultBox: {
            DWORD style = ES_AUTOHSCROLL | TextAlignment(c.align);
            if (c.kind == Kind::ResultBox) {
                // The effective acceleration is disabled; the passage times can be selected
                // and copied but not edited.
                style |= c.name == ctl::txtEffAccel ? DWORD{WS_DISABLED} : DWORD{ES_READONLY};
            } else {
                style |= WS_TABSTOP;
            }
            create(item, L"EDIT", style, WS_EX_CLIENTEDGE, parent, nullptr);
            // A box takes text of any length.
            SendMessageW(item.hwnd, EM_SETLIMITTEXT, 0, 0);
            item.text = WindowText(item.hwnd);
            Subclass(item, BoxProc);
            break;
        }
        case Kind::Button:
            create(item, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, parent, nullptr);
            command1_ = item.hwnd;
            Subclass(item, ButtonProc);
            break;
        case Kind::PictureBox:
            item.pictureColour = c.back == layout::Back::Menu ? COLOR_MENU : COLOR_BTNFACE;
            create(item, kPictureClass, 0, 0, parent, this);
            break;
        case Kind::Frame:
            create(item, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent,
                   nullptr);
            frame_ = item.hwnd;
            Subclass(item, FrameProc);
            break;
        case Kind::Label:
        case Kind::Image:
        case Kind::Line:
            break;
        }
    }

    // Tab visits the input boxes and Compute by their tab indexes.
    for (const Item& item : items_) {
        const Kind kind = item.control->kind;
        if (kind == Kind::TextBox || kind == Kind::FreeText || kind == Kind::Button) {
            ring_.push_back(&item);
        }
    }
    std::sort(ring_.begin(), ring_.end(),
              [](const Item* a, const Item* b) { return a->control->tab < b->control->tab; });
    lastFocus_ = ring_.front()->hwnd;
}

// The control's own window procedure is kept in the item and called through CallBase. Plain
// subclassing rather than SetWindowSubclass: that looks its data up in a window property on every
// message, which under Wine is a round trip to the server each time.
void Korvane::Subclass(Item& item, WNDPROC proc) {
    SetWindowLongPtrW(item.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    item.baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(item.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// The window that subclassed the control.
Korvane& Korvane::Owner(HWND control) {
    return *reinterpret_cast<Korvane*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

LRESULT Korvane::CallBase(const Item& item, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(item.baseProc, item.hwnd, message, wParam, lParam);
}

// Made when first needed, which is when the mouse first moves over a box: not at start-up.
HWND Korvane::ToolTips() {
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
        tool.uFlags = TTF_IDISHWND; // the boxes relay their mouse messages (OnBoxMessage)
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(item.hwnd);
        tool.lpszText = text.data();
        SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return toolTips_;
}

void Korvane::MakeFonts() {
    DeleteObject(font_);
    DeleteObject(descriptionFont_);
    font_ = MakeFont(layout::kDefaultFont, dpi_, DEFAULT_CHARSET);
    descriptionFont_ = MakeFont(layout::kDescriptionFont, dpi_, ANSI_CHARSET);
}

int Korvane::Scale(int twips) const {
    return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

// Each edge is scaled on its own, so that controls that meet in twips meet on screen.
RECT Korvane::ScaledRect(const Control& c) const {
    if (c.kind == Kind::Line) {
        return {Scale(c.left), Scale(c.top), Scale(c.width), Scale(c.height)};
    }
    return {Scale(c.left), Scale(c.top), Scale(c.left + c.width), Scale(c.top + c.height)};
}

void Korvane::PlaceControls() {
    for (const Item& item : items_) {
        if (item.hwnd == nullptr) {
            continue;
        }
        const RECT rect = ScaledRect(*item.control);
        SetWindowPos(item.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Korvane::Show(int how) {
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    PostMessageW(hwnd_, kLoadPictures, 0, 0);
}

// Decoding the pictures loads the Windows Imaging Component through COM, which would hold up the
// window's first paint by several DLLs: they are decoded once the window has been drawn (the
// picture boxes show their background until then) and drawn at once.
void Korvane::LoadPictures() {
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
            InvalidateRect(item.control->in == In::Frame1 ? frame_ : hwnd_, &rect, TRUE);
        }
    }
}

// ---- Lookups ------------------------------------------------------------------------------

Korvane::Item* Korvane::Find(std::string_view control) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [control](const Item& i) { return i.control->name == control; });
    return it == items_.end() ? nullptr : &*it;
}

const Korvane::Item* Korvane::Find(std::string_view control) const {
    return const_cast<Korvane*>(this)->Find(control);
}

Korvane::Item* Korvane::FindWindow(HWND hwnd) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [hwnd](const Item& i) { return i.hwnd == hwnd; });
    return hwnd == nullptr || it == items_.end() ? nullptr : &*it;
}

HWND Korvane::ControlWindow(std::string_view control) const {
    const Item* item = Find(control);
    return item != nullptr ? item->hwnd : nullptr;
}

std::wstring Korvane::WindowText(HWND hwnd) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

// ---- Window operations --------------------------------------------------------------------

std::string Korvane::Text(std::string_view control) const {
    const Item* item = Find(control);
    if (item == nullptr || !layout::IsTextBox(item->control->kind)) {
        return {};
    }
    return Narrow(WindowText(item->hwnd));
}

void Korvane::SetText(std::string_view control, std::string_view text) {
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

std::string Korvane::AdvisoryText(std::string_view control) const {
    const Item* item = Find(control);
    return item != nullptr ? std::string(item->control->advisory) : std::string();
}

void Korvane::SetEnabled(std::string_view control, bool enabled) {
    const Item* item = Find(control);
    if (item == nullptr || item->hwnd == nullptr) {
        return;
    }
    // A disabled control keeps no focus: it moves on as Tab would take it.
    if (!enabled && (GetFocus() == item->hwnd || lastFocus_ == item->hwnd)) {
        const HWND next = NextInRing(item->hwnd, false);
        const bool focused = GetFocus() == item->hwnd;
        lastFocus_ = next;
        EnableWindow(item->hwnd, FALSE);
        if (focused) {
            SetFocus(next);
        }
        return;
    }
    EnableWindow(item->hwnd, enabled ? TRUE : FALSE);
}

void Korvane::ShowMessage(std::string_view text, std::string_view title) {
    MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_OK);
}

void Korvane::Beep() {
    ++beeps_;
    MessageBeep(MB_OK);
}

// ---- Events -------------------------------------------------------------------------------

void Korvane::Changed(Item& box) {
    std::wstring text = WindowText(box.hwnd);
    if (text == box.text) {
        return; // an edit that left the text as it was
    }
    box.text = std::move(text);
    wiring_.Change(box.control->name);
}

void Korvane::TypeCharacter(Item& box, WPARAM code, UINT message, LPARAM lParam) {
    auto KeyAscii = static_cast<std::int16_t>(static_cast<std::uint16_t>(code));
    wiring_.KeyPress(box.control->name, KeyAscii);
    if (KeyAscii == 0) {
        return; // refused
    }
    CallBase(box, message, static_cast<std::uint16_t>(KeyAscii), lParam);
}

bool Korvane::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || hwnd_ == nullptr || !IsWithin(hwnd_, message.hwnd)) {
        return false;
    }
    return HandleKey(message.wParam);
}

bool Korvane::HandleKey(WPARAM key) {
    switch (key) {
    case VK_TAB:
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_RETURN:
        // Enter presses Compute. No focus moves, so no range check runs first.
        PressCompute();
        return true;
    case VK_ESCAPE:
        return true;
    default:
        return false;
    }
}

HWND Korvane::NextInRing(HWND from, bool backwards) const {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [from](const Item& i) { return i.hwnd == from; });
    // From outside the ring the next stop is by the tab index of the control, if it has one.
    const int tab = it != items_.end() ? it->control->tab : (backwards ? 1 << 30 : -1);
    const Item* found = nullptr;
    const auto usable = [](const Item* item) { return IsWindowEnabled(item->hwnd) != FALSE; };
    if (!backwards) {
        for (const Item* item : ring_) {
            if (usable(item) && item->control->tab > tab) {
                found = item;
                break;
            }
        }
        if (found == nullptr) {
            const auto first = std::find_if(ring_.begin(), ring_.end(), usable);
            found = first != ring_.end() ? *first : nullptr;
        }
    } else {
        const auto before = std::find_if(ring_.rbegin(), ring_.rend(), [&](const Item* item) {
            return usable(item) && item->control->tab < tab;
        });
        found = before != ring_.rend() ? *before : nullptr;
        if (found == nullptr) {
            const auto last = std::find_if(ring_.rbegin(), ring_.rend(), usable);
            found = last != ring_.rend() ? *last : nullptr;
        }
    }
    return found != nullptr ? found->hwnd : nullptr;
}

void Korvane::MoveFocus(bool backwards) {
    const HWND next = NextInRing(GetFocus(), backwards);
    if (next == nullptr) {
        return;
    }
    SetFocus(next);
    // As in a dialog, a box reached by Tab has its whole text selected.
    if (next != command1_) {
        SendMessageW(next, EM_SETSEL, 0, -1);
    }
}

void Korvane::PressCompute() {
    if (IsWindowEnabled(command1_) != FALSE) {
        wiring_.Command1_Click();
    }
}

LRESULT Korvane::OnBoxMessage(Item& box, UINT message, WPARAM wParam, LPARAM lParam) {
    // The tool tips learn where the mouse is from the boxes' mouse messages.
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        MSG relayed{};
        relayed.hwnd = box.hwnd;
        relayed.message = message;
        relayed.wParam = wParam;
        relayed.lParam = lParam;
        SendMessageW(ToolTips(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_KEYDOWN:
        // The message loop takes these keys before they reach a box; this is for keys sent to
        // the box directly.
        if (HandleKey(wParam)) {
            return 0;
        }
        break;
    case WM_CHAR:
    case WM_IME_CHAR:
        // Every typed character goes through KeyPress first; the edit's own handling of
        // WM_IME_CHAR would skip it.
        TypeCharacter(box, wParam, WM_CHAR, lParam);
        return 0;
    case WM_UNICHAR:
        if (wParam == UNICODE_NOCHAR) {
            return TRUE;
        }
        // A character beyond the 16-bit range arrives as its two surrogates, each typed.
        if (wParam > 0xFFFF && wParam <= 0x10FFFF) {
            const WPARAM offset = wParam - 0x10000;
            SendMessageW(box.hwnd, WM_CHAR, 0xD800 + (offset >> 10), lParam);
            SendMessageW(box.hwnd, WM_CHAR, 0xDC00 + (offset & 0x3FF), lParam);
        } else if (wParam <= 0xFFFF) {
            SendMessageW(box.hwnd, WM_CHAR, wParam, lParam);
        }
        return FALSE;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        // In a box that filters its keys, what an input method composes is typed in full
        // and arrives as WM_IME_CHAR, one character at a time; the edit would insert it
        // without asking.
        if (Wiring::FiltersKeys(box.control->name)) {
            return DefWindowProcW(box.hwnd, message, wParam, lParam);
        }
        break;
    case WM_SETFOCUS:
        lastFocus_ = box.hwnd;
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = CallBase(box, message, wParam, lParam);
        // The box is left only when another control of this window takes the focus: not when
        // a message box, another program or the desktop does.
        const auto to = reinterpret_cast<HWND>(wParam);
        if (to != box.hwnd && to != hwnd_ && IsWithin(hwnd_, to)) {
            PostMessageW(hwnd_, kLostFocus, static_cast<WPARAM>(box.control->order), 0);
        }
        return result;
    }
    default:
        break;
    }
    return CallBase(box, message, wParam, lParam);
}

LRESULT CALLBACK Korvane::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Korvane& window = Owner(hwnd);
    return window.OnBoxMessage(*window.FindWindow(hwnd), message, wParam, lParam);
}

LRESULT CALLBACK Korvane::ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Korvane& window = Owner(hwnd);
    const Item& button = *window.FindWindow(hwnd);
    switch (message) {
    case WM_KEYDOWN:
        if (window.HandleKey(wParam)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        window.lastFocus_ = hwnd;
        break;
    default:
        break;
    }
    return CallBase(button, message, wParam, lParam);
}

LRESULT CALLBACK Korvane::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Korvane& window = Owner(hwnd);
    const Item& frame = *window.FindWindow(hwnd);
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills the whole frame
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        window.PaintFrame(hwnd, dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        window.PaintFrame(hwnd, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
        // The frame's child, Compute, reports to the frame; the window handles it.
        return SendMessageW(window.hwnd_, message, wParam, lParam);
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
    case WM_SETTEXT: {
        // The group box would draw itself at once on these; draw it the window's way instead.
        const LRESULT result = CallBase(frame, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return CallBase(frame, message, wParam, lParam);
}

LRESULT CALLBACK Korvane::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Korvane*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PAINTSTRUCT paint;
        HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &paint) : reinterpret_cast<HDC>(wParam);
        const Item* item = window != nullptr ? window->FindWindow(hwnd) : nullptr;
        if (item != nullptr) {
            window->PaintPicture(*item, hwnd, dc);
        }
        if (message == WM_PAINT) {
            EndPaint(hwnd, &paint);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Korvane::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Korvane*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Korvane*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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

LRESULT Korvane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto from = reinterpret_cast<HWND>(lParam);
        const UINT code = HIWORD(wParam);
        if (code == EN_CHANGE) {
            if (Item* box = FindWindow(from);
                box != nullptr && layout::IsTextBox(box->control->kind)) {
                Changed(*box);
            }
            return 0;
        }
        // A click counts only while Compute is enabled and no message box holds the window.
        if (code == BN_CLICKED && from == command1_ && from != nullptr &&
            IsWindowEnabled(command1_) != FALSE && IsWindowEnabled(hwnd_) != FALSE) {
            wiring_.Command1_Click();
            return 0;
        }
        break;
    }
    case kLoadPictures:
        LoadPictures();
        return 0;
    case kLostFocus: {
        const auto order = static_cast<int>(wParam);
        const auto it = std::find_if(items_.begin(), items_.end(),
                                     [order](const Item& i) { return i.control->order == order; });
        if (it != items_.end()) {
            wiring_.LostFocus(it->control->name);
        }
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        // The result boxes are light cyan, also while read-only or disabled.
        const Item* box = FindWindow(reinterpret_cast<HWND>(lParam));
        if (box != nullptr && box->control->kind == Kind::ResultBox) {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, RGB(layout::kResultBack.red, layout::kResultBack.green,
                               layout::kResultBack.blue));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(resultBrush_);
        }
        break;
    }
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
    case WM_ACTIVATE:
        // Back in the window, the focus returns to the control that had it.
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
            SetFocus(lastFocus_ != nullptr ? lastFocus_ : ring_.front()->hwnd);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr) {
            SetFocus(lastFocus_);
        }
        return 0;
    case WM_KEYDOWN:
        if (HandleKey(wParam)) {
            return 0;
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
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---- Painting -----------------------------------------------------------------------------

// The labels, lines and image of one container, in descending Order so that the lower Order
// ends on top. The windowed controls clip them (WS_CLIPCHILDREN), so they lie above them all.
void Korvane::DrawItems(HDC dc, In container) {
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int lineWidth = std::max(1, static_cast<int>(dpi_) / 96);
    HPEN pen = CreatePen(PS_SOLID, lineWidth, GetSysColor(COLOR_WINDOWTEXT));
    SelectObject(dc, pen);
    // In descending Order, so that the lower Order ends on top.
    for (std::size_t i = items_.size(); i-- > 0;) {
        const Control& c = *items_[i].control;
        if (c.in != container || layout::IsWindowed(c.kind)) {
            continue;
        }
        RECT rect = ScaledRect(c);
        // Captions and the image outside the area being painted are left out: laying out a
        // caption's lines is the dearest drawing here.
        if (c.kind != Kind::Line && RectVisible(dc, &rect) == FALSE) {
            continue;
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
            SelectObject(dc, c.font == layout::Font::Description ? descriptionFont_ : font_);
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
    }
    RestoreDC(dc, saved);
    DeleteObject(pen);
}

void Korvane::PaintWindow(HDC dc) {
    DrawItems(dc, In::Window);
}

void Korvane::PaintFrame(HWND frame, HDC dc) {
    RECT client;
    GetClientRect(frame, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    const int saved = SaveDC(dc);
    SelectObject(dc, font_);
    const std::wstring caption = WindowText(frame);
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

    DrawItems(dc, In::Frame1);
}

const Picture& Korvane::PictureOf(layout::Picture picture) const {
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

void Korvane::PaintPicture(const Item& box, HWND hwnd, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(box.pictureColour));
    const Picture& picture = PictureOf(box.control->picture);
    // The picture keeps its own size in pixels at 96 dpi and grows with the window's dpi.
    const RECT target{0, 0, MulDiv(picture.Width(), static_cast<int>(dpi_), 96),
                      MulDiv(picture.Height(), static_cast<int>(dpi_), 96)};
    picture.Draw(dc, target);
}

int RunMessageLoop(Korvane& window) {
    MSG message;
    while (window.IsOpen()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

} // namespace korvane::win32
