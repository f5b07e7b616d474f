// The window operations the model and the checks use, and the Change of a box's text.

#include "window/win32/win32_window.h"

#include <algorithm>
#include <utility>

#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

} // namespace

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
    // The message's text stays the check's own; a screen reader is told which box it is about.
    ShowDescribedMessage(Widen(text), Widen(title), Widen(wiring_.MessageDescription()));
}

void Win32Window::Beep() {
    MessageBeep(MB_OK);
}

void Win32Window::Changed(Item& box) {
    std::wstring text = WindowText(box.hwnd);
    if (text == box.text) {
        return; // an edit that left the text as it was
    }
    box.text = std::move(text);
    wiring_.Change(box.control->name);
}

} // namespace korvane::win32
