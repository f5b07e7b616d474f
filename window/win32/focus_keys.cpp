// Focus, keys and typed text: Tab, Shift+Tab, Enter and Escape as the window's rules say, the
// focus given back where the wiring says it belongs, and whatever is typed into a box, by any
// path, through the wiring's rule of typed text.

#include "window/win32/win32_window.h"

#include <imm.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "window/win32/library.h"

namespace korvane::win32 {

namespace {

// The text an input method has just committed in a window. imm32.dll is loaded whenever an
// input method composes anything, so it is only looked up, not loaded.
std::u16string CompositionResult(HWND hwnd) {
    using Context = HIMC(WINAPI*)(HWND);
    using Result = LONG(WINAPI*)(HIMC, DWORD, void*, DWORD);
    using Release = BOOL(WINAPI*)(HWND, HIMC);
    HMODULE imm = GetModuleHandleW(L"imm32.dll");
    const auto getContext = LibraryFunction<Context>(imm, "ImmGetContext");
    const auto getResult = LibraryFunction<Result>(imm, "ImmGetCompositionStringW");
    const auto release = LibraryFunction<Release>(imm, "ImmReleaseContext");
    if (getContext == nullptr || getResult == nullptr || release == nullptr) {
        return {};
    }
    std::u16string result;
    if (HIMC context = getContext(hwnd)) {
        const LONG bytes = getResult(context, GCS_RESULTSTR, nullptr, 0);
        if (bytes > 0) {
            result.resize(static_cast<std::size_t>(bytes) / sizeof(char16_t));
            const LONG got = getResult(context, GCS_RESULTSTR, result.data(),
                                       static_cast<DWORD>(result.size() * sizeof(char16_t)));
            result.resize(static_cast<std::size_t>(std::max(got, LONG{0})) / sizeof(char16_t));
        }
        release(hwnd, context);
    }
    return result;
}

// Whether a window is this one or lies inside it.
bool IsWithin(HWND window, HWND hwnd) {
    return hwnd != nullptr && (hwnd == window || IsChild(window, hwnd));
}

} // namespace

bool Win32Window::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || hwnd_ == nullptr || !IsWithin(hwnd_, message.hwnd)) {
        return false;
    }
    return HandleKey(message.wParam);
}

bool Win32Window::HandleKey(WPARAM key) {
    WindowKey windowKey = WindowKey::Escape;
    switch (key) {
    case VK_TAB:
        windowKey = GetKeyState(VK_SHIFT) < 0 ? WindowKey::BackTab : WindowKey::Tab;
        break;
    case VK_RETURN:
        windowKey = WindowKey::Enter;
        break;
    case VK_ESCAPE:
        break;
    default:
        return false;
    }
    const FocusMove move =
        wiring_.Key(windowKey, [this](std::string_view c) { return IsEnabledNow(c); });
    const HWND to = ControlWindow(move.to);
    if (to != nullptr) {
        SetFocus(to);
        if (move.selectText) {
            SendMessageW(to, EM_SETSEL, 0, -1);
        }
    }
    return true;
}

void Win32Window::RestoreFocus() {
    SetFocus(ControlWindow(
        wiring_.FocusOnReturn([this](std::string_view c) { return IsEnabledNow(c); })));
}

bool Win32Window::IsEnabledNow(std::string_view control) const {
    const HWND hwnd = ControlWindow(control);
    return hwnd != nullptr && IsWindowEnabled(hwnd) != FALSE;
}

void Win32Window::TypeCharacters(Item& box, std::u16string_view units, LPARAM lParam) {
    for (const char16_t unit : wiring_.Typed(box.control->name, units)) {
        CallBase(box, WM_CHAR, unit, lParam);
    }
}

// The messages by which characters reach a box: their result once handled here, nothing when
// the box's own window procedure is to have them.
std::optional<LRESULT> Win32Window::OnBoxTyping(Item& box, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        // Every typed character goes through KeyPress first, control characters too (Ctrl+V
        // types one); the edit's own handling of WM_IME_CHAR would skip it.
        TypeCharacters(box, std::u16string(1, static_cast<char16_t>(wParam)), lParam);
        return 0;
    case WM_UNICHAR:
        if (wParam == UNICODE_NOCHAR) {
            return TRUE;
        }
        if (wParam > 0xFFFF && wParam <= 0x10FFFF) {
            // A character beyond the 16-bit range arrives as its two surrogates, each typed.
            const WPARAM offset = wParam - 0x10000;
            TypeCharacters(box,
                           std::u16string{static_cast<char16_t>(0xD800 + (offset >> 10)),
                                          static_cast<char16_t>(0xDC00 + (offset & 0x3FF))},
                           lParam);
        } else if (wParam <= 0xFFFF) {
            TypeCharacters(box, std::u16string(1, static_cast<char16_t>(wParam)), lParam);
        }
        return FALSE;
    case WM_IME_COMPOSITION:
        // In a box that filters its keys, what an input method commits is typed as a whole,
        // and the rest of the composition is the system's to show; the edit would insert the
        // result without asking.
        if (!Wiring::FiltersKeys(box.control->name)) {
            return std::nullopt;
        }
        if ((lParam & GCS_RESULTSTR) != 0) {
            TypeCharacters(box, CompositionResult(box.hwnd), 1);
            lParam &= ~static_cast<LPARAM>(GCS_RESULTSTR | GCS_RESULTCLAUSE | GCS_RESULTREADSTR |
                                           GCS_RESULTREADCLAUSE);
            if (lParam == 0) {
                return 0;
            }
        }
        return DefWindowProcW(box.hwnd, message, wParam, lParam);
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        if (Wiring::FiltersKeys(box.control->name)) {
            return DefWindowProcW(box.hwnd, message, wParam, lParam);
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace korvane::win32
