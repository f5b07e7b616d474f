#pragma once

#include <string>
#include <string_view>

// The DOM events of the page as events.js delivers them, one at a time, to the C++ side, which
// decides everything about them: the script only listens, hands each event over and does what
// it is told (Take). While the window's message is open the page's code waits for it, and the
// script delivers nothing: the window lies inert under the modal message then, and an event
// during which the message opened goes no further.
namespace korvane::web::events {

// What the page's code is told of. Each handler reads what it needs of the event first, before
// anything it does may open the message: the event is gone once the message is dismissed.
class Sink {
public:
    virtual void Deliver() = 0;

protected:
    Sink() = default;
    ~Sink() = default;
    Sink(const Sink&) = default;
    Sink& operator=(const Sink&) = default;
};

// Where a kind of event is listened for.
enum class On {
    Page,   // the whole page: keys, which act from the window's focus wherever the page's is
    Window, // the window's element and everything in it
};

// From now on, events of that DOM type reach `sink`. A deferred one reaches it once the browser
// has finished the task that raised it (a focus move, which the browser makes in steps and
// which must not open the message half-way).
void Listen(Sink& sink, std::string_view type, On on, bool deferred);

// ---- The event being delivered ------------------------------------------------------------

// Its DOM type (u"keydown", u"beforeinput", ...).
std::u16string Type();
// The id of the element it is for, or of the nearest element around it with one; empty when
// none has one.
std::string Target();
// One of its string properties ("key", "inputType", "data"), as UTF-16 code units; empty when
// it has none.
std::u16string Text(std::string_view property);
// One of its true-or-false properties ("shiftKey", "ctrlKey", "isComposing", ...).
bool Flag(std::string_view property);
// Keeps the browser from acting on it (preventDefault).
void Take();

} // namespace korvane::web::events
