#include "web_window.h"

#include <cstddef>
#include <string>

#include "dom.h"
#include "page.h"
#include "window/layout.h"

// The functions of message.js and sound.js.
extern "C" {
void korvane_message_show(const char* text, std::size_t textLength, const char* title,
                          std::size_t titleLength);
void korvane_beep();
}

namespace korvane::web {

WebWindow::WebWindow() {
    BuildPage();
    wiring_.Form_Load();
    for (const Route& route : kRoutes) {
        events::Listen(*this, route.type, route.on, route.deferred);
    }
    dom::Focus(wiring_.Focused());
}

std::string WebWindow::Text(std::string_view control) const {
    return dom::Value(control);
}

void WebWindow::SetText(std::string_view control, std::string_view text) {
    if (dom::Value(control) == text) {
        return;
    }
    dom::SetText(control, text);
    wiring_.Change(control); // an assigned text raises Change, as typing does
}

void WebWindow::SetEnabled(std::string_view control, bool enabled) {
    const bool focused = dom::Focused(layout::kWindowName) == control;
    dom::SetDisabled(control, !enabled);
    if (!enabled && focused) {
        ReturnFocus();
    }
}

void WebWindow::ShowMessage(std::string_view text, std::string_view title) {
    ++messages_;
    korvane_message_show(text.data(), text.size(), title.data(), title.size());
    ReturnFocus();
}

void WebWindow::Beep() {
    korvane_beep();
}

} // namespace korvane::web
