#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/window_ops.h"

namespace korvane::fake {

// In-memory stand-in for the window: boxes by control name, the Compute button's state, the
// messages shown and the beeps sounded. A Change handler can be attached to a box; it runs
// inside SetText when the text changes, as the real window does.
class FakeWindow : public WindowOps {
public:
    struct Message {
        std::string text;
        std::string title;
    };

    std::string Text(std::string_view control) const override {
        auto it = texts.find(std::string(control));
        return it == texts.end() ? std::string() : it->second;
    }

    void SetText(std::string_view control, std::string_view text) override {
        std::string& slot = texts[std::string(control)];
        if (slot == text) {
            return;
        }
        slot = std::string(text);
        ++writes[std::string(control)];
        auto handler = onChange.find(std::string(control));
        if (handler != onChange.end()) {
            handler->second();
        }
    }

    std::string AdvisoryText(std::string_view control) const override {
        auto it = advisory.find(std::string(control));
        return it == advisory.end() ? std::string() : it->second;
    }

    void SetEnabled(std::string_view control, bool isEnabled) override {
        enabled[std::string(control)] = isEnabled;
    }

    void ShowMessage(std::string_view text, std::string_view title) override {
        messages.push_back({std::string(text), std::string(title)});
        if (onMessage) {
            onMessage();
        }
    }

    void Beep() override { ++beeps; }

    bool IsEnabled(std::string_view control) const {
        auto it = enabled.find(std::string(control));
        return it != enabled.end() && it->second;
    }

    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, std::string, std::less<>> advisory;
    std::map<std::string, bool, std::less<>> enabled;
    std::map<std::string, int, std::less<>> writes;
    std::map<std::string, std::function<void()>, std::less<>> onChange;
    std::vector<Message> messages;
    // Runs while each message is shown, as if the user looked at the window then.
    std::function<void()> onMessage;
    int beeps = 0;
};

} // namespace korvane::fake
