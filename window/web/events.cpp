#include "events.h"

#include <cstddef>

#include "transfer.h"
#include "window/layout.h"

// The functions of events.js.
extern "C" {
void korvane_events_listen(const char* type, std::size_t typeLength, const char* root,
                           std::size_t rootLength, int deferred);
std::size_t korvane_event_target(char* buffer, std::size_t capacity);
std::size_t korvane_event_text(const char* property, std::size_t propertyLength, char16_t* buffer,
                               std::size_t capacity);
int korvane_event_flag(const char* property, std::size_t propertyLength);
void korvane_event_take();
}

namespace korvane::web::events {

namespace {

// Every kind of event goes to the one window of the page.
Sink* delivered = nullptr;

} // namespace

void Listen(Sink& sink, std::string_view type, On on, bool deferred) {
    delivered = &sink;
    const std::string_view root = on == On::Window ? layout::kWindowName : std::string_view();
    korvane_events_listen(type.data(), type.size(), root.data(), root.size(), deferred ? 1 : 0);
}

std::u16string Type() {
    return Text("type");
}

std::string Target() {
    return Fetched<std::string>(
        [](char* buffer, std::size_t capacity) { return korvane_event_target(buffer, capacity); });
}

std::u16string Text(std::string_view property) {
    return Fetched<std::u16string>([property](char16_t* buffer, std::size_t capacity) {
        return korvane_event_text(property.data(), property.size(), buffer, capacity);
    });
}

bool Flag(std::string_view property) {
    return korvane_event_flag(property.data(), property.size()) != 0;
}

void Take() {
    korvane_event_take();
}

} // namespace korvane::web::events

// Called by events.js for every event it delivers; kept and exported as emscripten's
// EMSCRIPTEN_KEEPALIVE keeps a function, whose header clang-tidy's own compiler does not find.
extern "C" __attribute__((used)) void korvane_event() {
    if (korvane::web::events::delivered != nullptr) {
        korvane::web::events::delivered->Deliver();
    }
}
