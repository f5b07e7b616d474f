// Prints the user sessions of tests/window/sessions/focus_sessions.h as JSON for the page's
// browser test, which plays them as both desktop windows do: one session a line.

#include <string>
#include <string_view>

#include "json.h"
#include "sessions/focus_sessions.h"

namespace {

namespace sessions = korvane::sessions;
using korvane::json::PrintLine;
using korvane::json::Quoted;

std::string_view ActName(sessions::Act act) {
    switch (act) {
    case sessions::Act::Type:
        return "type";
    case sessions::Act::Keys:
        return "keys";
    case sessions::Act::Click:
        return "click";
    case sessions::Act::Key:
        return "key";
    case sessions::Act::Chars:
        return "chars";
    }
    return "?";
}

// The key as puppeteer names it.
std::string_view KeyName(sessions::Key key) {
    switch (key) {
    case sessions::Key::Tab:
        return "Tab";
    case sessions::Key::BackTab:
        return "Shift+Tab";
    case sessions::Key::Enter:
        return "Enter";
    case sessions::Key::Escape:
        return "Escape";
    case sessions::Key::Backspace:
        return "Backspace";
    case sessions::Key::Space:
        return "Space";
    case sessions::Key::NoKey:
        break;
    }
    return "";
}

} // namespace

int main() {
    for (const sessions::Session& session : sessions::FocusSessions()) {
        std::string steps;
        for (const sessions::Step& step : session.steps) {
            steps +=
                std::string(steps.empty() ? "" : ", ") + "{\"act\": " + Quoted(ActName(step.act)) +
                ", \"control\": " + Quoted(step.control) + ", \"text\": " + Quoted(step.text) +
                ", \"key\": " + Quoted(KeyName(step.key)) + ", \"focus\": " + Quoted(step.focus) +
                ", \"message\": " + Quoted(step.message) + "}";
        }
        PrintLine("{\"name\": " + Quoted(session.name) + ", \"steps\": [" + steps + "]}");
    }
    return 0;
}
