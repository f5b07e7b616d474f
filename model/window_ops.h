#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The few things the model and the input checks may do to the window. Every control is named
// by its control name ("txtSpd", "Command1", ...). The Qt window implements this over its
// widgets; the tests use an in-memory stand-in.
class WindowOps {
public:
    virtual ~WindowOps() = default;

    // The current text of a text box, as a copy.
    virtual std::string Text(std::string_view control) const = 0;
    // Replaces the text of a text box. When the text changes, the box's Change handler runs
    // before this returns.
    virtual void SetText(std::string_view control, std::string_view text) = 0;
    // The advisory (tool-tip) text of a text box, as a copy.
    virtual std::string AdvisoryText(std::string_view control) const = 0;
    // Enables or disables a button; a disabled button delivers no Click.
    virtual void SetEnabled(std::string_view control, bool enabled) = 0;
    // Shows a modal message with one OK button and no icon; returns once it is dismissed.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
    // Sounds the platform's default beep.
    virtual void Beep() = 0;
};

} // namespace korvane
