// What screen readers are told of each window of the program: the presentation that the
// layout's rules give each control (layout::SpokenOf), in MSAA's terms, laid over the system's
// object for it (msaa_object.h).

#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string_view>
#include <utility>

#include "window/win32/msaa_object.h"
#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

// MSAA's role for each role of the layout; a role not here is left to the system.
constexpr std::pair<layout::Role, long> kMsaaRoles[] = {
    {layout::Role::EditableText, ROLE_SYSTEM_TEXT},
    {layout::Role::StaticText, ROLE_SYSTEM_STATICTEXT},
    {layout::Role::PushButton, ROLE_SYSTEM_PUSHBUTTON},
    {layout::Role::Grouping, ROLE_SYSTEM_GROUPING},
    {layout::Role::Graphic, ROLE_SYSTEM_GRAPHIC}};

long MsaaRole(layout::Role role) {
    for (const auto& [of, msaa] : kMsaaRoles) {
        if (of == role) {
            return msaa;
        }
    }
    return 0;
}

// The message box being shown on this thread, while MessageBoxW runs.
struct MessageBeingShown {
    ComApartment* com;
    std::wstring description;
    HWND box = nullptr;
};
thread_local MessageBeingShown* messageBeingShown = nullptr;

// The message box's own procedure, subclassed: its object for screen readers is the system's,
// with the description laid over it.
LRESULT CALLBACK DescribedMessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) {
    const auto* shown = reinterpret_cast<const MessageBeingShown*>(data);
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        shown->com->Start();
        Presentation presentation;
        presentation.description = shown->description;
        if (const LRESULT answer = AnswerGetObject(hwnd, wParam, lParam, std::move(presentation))) {
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, DescribedMessageProc, id);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Watches the windows this thread creates for the message box's dialog, the first one.
LRESULT CALLBACK WatchForTheMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    MessageBeingShown* shown = messageBeingShown;
    if (code == HCBT_CREATEWND && shown != nullptr && shown->box == nullptr) {
        const auto hwnd = reinterpret_cast<HWND>(wParam);
        wchar_t cls[8] = {};
        GetClassNameW(hwnd, cls, 8);
        if (std::wstring_view(cls) == L"#32770" &&
            SetWindowSubclass(hwnd, DescribedMessageProc, 1, reinterpret_cast<DWORD_PTR>(shown)) !=
                FALSE) {
            shown->box = hwnd;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void Win32Window::ShowDescribedMessage(const std::wstring& text, const std::wstring& title,
                                       std::wstring description) {
    MessageBeingShown shown{&screenReaders_, std::move(description)};
    HHOOK hook = nullptr;
    if (!shown.description.empty()) {
        messageBeingShown = &shown;
        hook = SetWindowsHookExW(WH_CBT, WatchForTheMessageBox, nullptr, GetCurrentThreadId());
    }
    MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_OK);
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
    messageBeingShown = nullptr;
}

LRESULT Win32Window::OnGetObject(const Item* item, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) {
        return 0;
    }
    // The object goes to the screen reader through COM.
    screenReaders_.Start();
    const HWND hwnd = item != nullptr ? item->hwnd : hwnd_;
    Presentation presentation;
    layout::In drawnBy = layout::In::Window;
    if (item == nullptr) {
        presentation.name = Widen(layout::kCaption);
    } else {
        const layout::Control& c = *item->control;
        const layout::Spoken spoken = layout::SpokenOf(c);
        presentation.name = Widen(spoken.name);
        presentation.description = Widen(spoken.description);
        // Narrator reads UI Automation's HelpText, which comes from MSAA's help, not from the
        // description that NVDA and JAWS read: the advisory text is both.
        presentation.help = presentation.description;
        presentation.role = MsaaRole(spoken.role);
        presentation.isDefault = spoken.isDefault;
        if (spoken.role == layout::Role::PushButton) {
            presentation.defaultAction = L"Press";
        }
        drawnBy = layout::In::Frame1;
        if (c.kind != layout::Kind::Frame) {
            return AnswerGetObject(hwnd, wParam, lParam, std::move(presentation));
        }
    }
    for (const Item& drawn : items_) {
        const layout::Control& c = *drawn.control;
        const layout::Spoken spoken = layout::SpokenOf(c);
        if (c.in == drawnBy && !layout::IsWindowed(c.kind) && spoken.role != layout::Role::None) {
            presentation.drawn.push_back(
                DrawnChild{Widen(spoken.name), MsaaRole(spoken.role), ScaledRect(c)});
        }
    }
    return AnswerGetObject(hwnd, wParam, lParam, std::move(presentation));
}

} // namespace korvane::win32
