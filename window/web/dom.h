#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The page's elements, reached through the functions of dom.js and pictures.js. Elements are
// named by their id, which for a control is its control name; every text goes over whole, as
// UTF-8 of its own length, or as UTF-16 code units where a box's positions count in them.
namespace korvane::web::dom {

// Makes an element of that tag ("svg" and "line" in the SVG namespace) with that id (none when
// empty) as the last child of the element `parent`, or of the body when `parent` is empty.
void Create(std::string_view tag, std::string_view id, std::string_view parent);
void SetAttribute(std::string_view id, std::string_view name, std::string_view value);
void SetStyle(std::string_view id, std::string_view property, std::string_view value);
// A box's value, or any other element's text content.
void SetText(std::string_view id, std::string_view text);
// A box's value.
std::string Value(std::string_view id);
void SetDisabled(std::string_view id, bool disabled);
bool IsDisabled(std::string_view id);
// The page's title, as the browser shows it in its tab.
void SetTitle(std::string_view text);
// Shows the picture of that image type (a MIME type such as "image/gif") in the image `id`.
void ShowPicture(std::string_view id, const unsigned char* bytes, std::size_t size,
                 std::string_view type);
// Marks the page loaded: data-korvane="ready" on its root element.
void Ready();

// Gives the element the focus; the browser reports the move as a focus event.
void Focus(std::string_view id);
// The id of the element inside `root` that has the focus, or empty.
std::string Focused(std::string_view root);
// Selects the whole text of a box.
void SelectAll(std::string_view id);

// A stretch of a box's value in UTF-16 code units, from `start` up to `end`.
struct Range {
    std::size_t start = 0;
    std::size_t end = 0;
};
// A box's selection, or its caret as an empty one.
Range Selection(std::string_view id);
// Puts `units` in place of the stretch `range` of a box's value, with the caret after them.
void Replace(std::string_view id, Range range, std::u16string_view units);

} // namespace korvane::web::dom
