// The tool tips that show the advisory texts of the numeric boxes.

#include "window/win32/win32_window.h"

#include <commctrl.h>

#include "window/win32/utf.h"

namespace korvane::win32 {

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
