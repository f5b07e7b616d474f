// What screen readers are told of each window of the program: the presentation that the
// layout's rules give each control (layout::SpokenOf), in MSAA's terms, laid over the system's
// object for it (msaa_object.h).

#include "window/win32/win32_window.h"

#include <oleacc.h>

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

} // namespace

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
        presentation.role = MsaaRole(spoken.role);
        presentation.isDefault = spoken.isDefault;
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
