// Focus, keys, typed text and clicks: every DOM event of the window told to the wiring, which
// decides where the focus goes, what Tab, Shift+Tab, Enter and Escape do and what of a typed
// text enters a box; the page does what it answers.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "dom.h"
#include "events.h"
#include "web_window.h"
#include "window/layout.h"

namespace korvane::web {

namespace {

using events::On;

constexpr std::size_t kNone = std::u16string_view::npos;

// Whether a key's name is the one character it types: a single code unit, or a pair of
// surrogates for a character beyond 16 bits. Keys that type none have names of their own
// ("Enter", "Shift", "Dead", "Process", "Unidentified").
bool IsCharacter(std::u16string_view key) {
    const auto high = [](char16_t u) { return u >= 0xD800 && u < 0xDC00; };
    const auto low = [](char16_t u) { return u >= 0xDC00 && u < 0xE000; };
    return (key.size() == 1 && key[0] >= u' ' && !high(key[0]) && !low(key[0])) ||
           (key.size() == 2 && high(key[0]) && low(key[1]));
}

// The letters with which the platform's command key (Control; Command on a Mac) makes a box act
// itself: select all, copy, paste, cut, undo and redo. With any other letter the key is the
// browser's (Ctrl+L, Ctrl+F, ...) and never reaches a box.
constexpr std::u16string_view kBoxCommands = u"ACVXYZ";

// The control character a key types into a box, as it does on the desktop: the command key with
// one of those letters its control character, Control with Backspace DEL, Backspace code 8.
// None for every other key: a key's own character comes as the insertion that follows it.
std::u16string ControlCharacter(std::u16string_view key, bool command) {
    if (key == u"Backspace") {
        return {command ? u'\x7F' : u'\b'};
    }
    if (command && key.size() == 1) {
        const char16_t letter =
            key[0] >= u'a' && key[0] <= u'z' ? static_cast<char16_t>(key[0] - u'a' + u'A') : key[0];
        if (kBoxCommands.find(letter) != kNone) {
            return {static_cast<char16_t>(letter - u'A' + 1)};
        }
    }
    return {};
}

// The keys the window takes itself. Tab with Control, Alt or Command, and Escape with them, are
// the browser's or the system's.
std::optional<WindowKey> WindowKeyOf(std::u16string_view key, bool shift, bool other) {
    if (key == u"Tab" && !other) {
        return shift ? WindowKey::BackTab : WindowKey::Tab;
    }
    if (key == u"Enter") {
        return WindowKey::Enter;
    }
    if (key == u"Escape" && !other) {
        return WindowKey::Escape;
    }
    return std::nullopt;
}

// What a paste or a drop brings into a box: its first line, up to the first line break (CR, LF
// or both), as a single-line box of the Windows window takes it.
std::u16string_view FirstLine(std::u16string_view text) {
    return text.substr(0, text.find_first_of(u"\r\n"));
}

bool IsBox(std::string_view control) {
    const layout::Control* c = layout::Find(control);
    return c != nullptr && layout::IsTextBox(c->kind);
}

} // namespace

const std::array<WebWindow::Route, 8> WebWindow::kRoutes{{
    // Reported once the browser has finished moving the focus: a message opened half-way
    // would cancel the move, or lose the focus it gives its OK button.
    {"focusin", On::Window, true, &WebWindow::FocusChanged},
    {"keydown", On::Page, false, &WebWindow::KeyDown},
    {"beforeinput", On::Window, false, &WebWindow::BeforeInput},
    {"input", On::Window, false, &WebWindow::Input},
    {"compositionstart", On::Window, false, &WebWindow::CompositionStart},
    {"compositionend", On::Window, false, &WebWindow::CompositionEnd},
    {"mousedown", On::Window, false, &WebWindow::MouseDown},
    {"click", On::Window, false, &WebWindow::Click},
}};

void WebWindow::Deliver() {
    const std::u16string type = events::Type();
    for (const Route& route : kRoutes) {
        if (std::equal(type.begin(), type.end(), route.type.begin(), route.type.end())) {
            (this->*route.handler)();
            return;
        }
    }
}

bool WebWindow::IsEnabledNow(std::string_view control) const {
    return layout::Find(control) != nullptr && !dom::IsDisabled(control);
}

layout::IsEnabled WebWindow::Enabled() const {
    return [this](std::string_view control) { return IsEnabledNow(control); };
}

bool WebWindow::InputTo(std::string_view control) {
    const int before = messages_;
    wiring_.FocusMoved(control);
    return messages_ == before;
}

void WebWindow::MoveFocus(std::string_view to, bool selectText) {
    dom::Focus(to);
    if (selectText) {
        dom::SelectAll(to);
    }
    wiring_.FocusMoved(to);
}

void WebWindow::ReturnFocus() {
    const std::string_view back = wiring_.FocusOnReturn(Enabled());
    if (!back.empty()) {
        dom::Focus(back);
        wiring_.FocusMoved(back);
    }
}

void WebWindow::Enter(std::string_view box, dom::Range range, std::u16string_view units) {
    if (units.empty() && range.start == range.end) {
        return; // nothing enters and nothing is replaced: the text stays as it was
    }
    dom::Replace(box, range, units);
    wiring_.Change(box);
}

// The focus as it stands once the browser has moved it; anywhere outside the window (the
// browser's own parts, another program) leaves nothing.
void WebWindow::FocusChanged() {
    wiring_.FocusMoved(dom::Focused(layout::kWindowName));
}

void WebWindow::KeyDown() {
    const std::string control = events::Target();
    const std::u16string key = events::Text("key");
    const bool shift = events::Flag("shiftKey");
    const bool ctrl = events::Flag("ctrlKey");
    const bool alt = events::Flag("altKey");
    const bool meta = events::Flag("metaKey");
    keyTyping_ = false;
    if (events::Flag("isComposing") || key == u"Process") {
        return; // the input method's key: Enter commits its text, Escape drops it
    }
    if (!InputTo(control)) {
        return;
    }
    if (const std::optional<WindowKey> windowKey = WindowKeyOf(key, shift, ctrl || alt || meta)) {
        events::Take();
        const FocusMove move = wiring_.Key(*windowKey, Enabled());
        if (!move.to.empty()) {
            MoveFocus(move.to, move.selectText);
        }
        return;
    }
    if (!IsBox(control)) {
        return;
    }
    const bool command = (ctrl || meta) && !alt;
    const std::u16string units = ControlCharacter(key, command);
    if (!units.empty()) {
        // A refused one beeps, and the box does not act on the key.
        if (wiring_.Typed(control, units) != units) {
            events::Take();
        }
        return;
    }
    keyTyping_ = !command && IsCharacter(key);
}

void WebWindow::BeforeInput() {
    const std::string box = events::Target();
    const std::u16string type = events::Text("inputType");
    const std::u16string data = events::Text("data");
    const bool typed = std::exchange(keyTyping_, false) && type == u"insertText";
    if (events::Flag("isComposing") || type == u"insertCompositionText" || !IsBox(box)) {
        return; // a composition is typed once committed
    }
    const dom::Range selection = dom::Selection(box);
    if (!InputTo(box)) {
        return;
    }
    if (typed) {
        // A key's character: what the wiring lets enter goes in, each refused one beeping.
        const std::u16string enters = wiring_.Typed(box, data);
        if (enters != data) {
            events::Take();
            if (!enters.empty()) {
                Enter(box, selection, enters);
            }
        }
        return;
    }
    // Text that no key typed, from a paste or a drop, or from a touch keyboard that sends no
    // key codes, goes in as a mouse paste goes on the desktop: past the keystroke filter. Its
    // first line only.
    if (data.find_first_of(u"\r\n") != kNone) {
        events::Take();
        Enter(box, selection, FirstLine(data));
    }
}

void WebWindow::Input() {
    if (!events::Flag("isComposing")) {
        wiring_.Change(events::Target());
    }
}

void WebWindow::CompositionStart() {
    beforeComposition_ = dom::Value(events::Target());
}

// The text an input method commits is typed text: what the wiring lets enter stays in place of
// it, which stands just before the caret.
void WebWindow::CompositionEnd() {
    const std::string box = events::Target();
    const std::u16string data = events::Text("data");
    const std::string before = std::exchange(beforeComposition_, {});
    if (!IsBox(box)) {
        return;
    }
    const std::size_t caret = dom::Selection(box).end;
    InputTo(box); // the committed text is in the box already, and is typed after any message
    const std::u16string enters = wiring_.Typed(box, data);
    if (enters != data) {
        dom::Replace(box, {caret >= data.size() ? caret - data.size() : 0, caret}, enters);
    }
    if (dom::Value(box) != before) {
        wiring_.Change(box);
    }
}

// A press on what takes no focus now leaves the focus where it was: a caption, the frame, a
// picture, a line, the window's own surface, and a disabled control, which lets presses through
// to what lies below it (korvane.css). The browser would move the focus to nothing, and the
// box left would not check its range.
void WebWindow::MouseDown() {
    const std::string control = events::Target();
    const layout::Control* c = layout::Find(control);
    if (c == nullptr || !layout::TakesFocus(c->access) || !IsEnabledNow(control)) {
        events::Take();
    }
}

// A click on Compute, by the mouse or by Space: a move there first, and no click when that
// move brought the message.
void WebWindow::Click() {
    const std::string control = events::Target();
    const layout::Control* c = layout::Find(control);
    if (c != nullptr && c->kind == layout::Kind::Button && InputTo(control) &&
        IsEnabledNow(control)) {
        wiring_.Command1_Click();
    }
}

} // namespace korvane::web
