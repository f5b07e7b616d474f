#pragma once

#include <array>
#include <string>
#include <string_view>

#include "dom.h"
#include "events.h"
#include "window/window_base.h"

// The window on the page: the model and the checks reach its boxes and its Compute button by
// their control names, which are the ids of their elements. Every DOM event of the window comes
// to it (events.h), and it tells the wiring what happened and does what the wiring answers.
namespace korvane::web {

class WebWindow : public WindowBase, private events::Sink {
public:
    // Builds the page from the layout table, runs Form_Load, listens to the page's events and
    // gives the focus to where the window first shows it.
    WebWindow();

    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    // A control that is disabled while it has the focus hands it on, as after a message.
    void SetEnabled(std::string_view control, bool enabled) override;
    // Opens the message as a modal <dialog> and returns once the user has dismissed it; the
    // focus then goes back where the user sent it.
    void ShowMessage(std::string_view text, std::string_view title) override;
    // A short tone through WebAudio.
    void Beep() override;

private:
    // ---- Events (focus_keys.cpp) ----
    // Which handler takes which DOM event, and where it is listened for.
    struct Route {
        std::string_view type;
        events::On on;
        bool deferred;
        void (WebWindow::*handler)();
    };
    static const std::array<Route, 8> kRoutes;

    void Deliver() override;
    void FocusChanged();
    void KeyDown();
    void BeforeInput();
    void Input();
    void CompositionStart();
    void CompositionEnd();
    void MouseDown();
    void Click();

    // Input to a control counts as a move there first, also before the browser's focus event
    // has been delivered. False when that move opened the message, which took the input.
    bool InputTo(std::string_view control);
    // Puts what the wiring lets enter of the typed `units` into the box in place of `range`.
    void Enter(std::string_view box, dom::Range range, std::u16string_view units);
    void MoveFocus(std::string_view to, bool selectText);
    void ReturnFocus();
    bool IsEnabledNow(std::string_view control) const;
    layout::IsEnabled Enabled() const;

    // Messages shown so far: a handler sees by it whether the message opened meanwhile.
    int messages_ = 0;
    // The last key pressed may type what the next insertion brings: a key's own character
    // arrives as that insertion.
    bool keyTyping_ = false;
    // The text of the box an input method composes in, as it was before the composition.
    std::string beforeComposition_;
};

} // namespace korvane::web
