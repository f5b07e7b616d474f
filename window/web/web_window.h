#pragma once

#include <string>
#include <string_view>

#include "window/window_base.h"

// The window on the page: the model and the checks reach its boxes and its Compute button by
// their control names, which are the ids of their elements.
namespace korvane::web {

class WebWindow : public WindowBase {
public:
    // Builds the page from the layout table and runs Form_Load.
    WebWindow();

    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    void SetEnabled(std::string_view control, bool enabled) override;
    // Opens the message as a modal <dialog> and returns at once: the page's code runs on while
    // it is open, unlike a desktop message box.
    void ShowMessage(std::string_view text, std::string_view title) override;
    // A short tone through WebAudio.
    void Beep() override;

    Wiring& Events() { return wiring_; }
};

} // namespace korvane::web
