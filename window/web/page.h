#pragma once

// The page as the window is created: every control of the layout table as an element whose id
// is its control name, at its place, with its caption or creation text, advisory text, picture
// and what a screen reader is told of it; and the window's message, closed. No handler is
// attached here.
namespace korvane::web {

void BuildPage();

} // namespace korvane::web
