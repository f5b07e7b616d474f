#include "dom.h"

#include <cstddef>

#include "transfer.h"

// The functions of dom.js and pictures.js, which the linker takes from those libraries.
extern "C" {
void korvane_dom_create(const char* tag, std::size_t tagLength, const char* id,
                        std::size_t idLength, const char* parent, std::size_t parentLength);
void korvane_dom_set_attribute(const char* id, std::size_t idLength, const char* name,
                               std::size_t nameLength, const char* value, std::size_t valueLength);
void korvane_dom_set_style(const char* id, std::size_t idLength, const char* name,
                           std::size_t nameLength, const char* value, std::size_t valueLength);
void korvane_dom_set_text(const char* id, std::size_t idLength, const char* text,
                          std::size_t textLength);
std::size_t korvane_dom_value(const char* id, std::size_t idLength, char* buffer,
                              std::size_t capacity);
void korvane_dom_set_disabled(const char* id, std::size_t idLength, int disabled);
int korvane_dom_is_disabled(const char* id, std::size_t idLength);
void korvane_dom_set_title(const char* text, std::size_t textLength);
void korvane_dom_ready();
void korvane_picture_show(const char* id, std::size_t idLength, const unsigned char* bytes,
                          std::size_t size, const char* type, std::size_t typeLength);
void korvane_dom_focus(const char* id, std::size_t idLength);
std::size_t korvane_dom_focused(const char* root, std::size_t rootLength, char* buffer,
                                std::size_t capacity);
void korvane_dom_select_all(const char* id, std::size_t idLength);
std::size_t korvane_dom_selection(const char* id, std::size_t idLength, int end);
void korvane_dom_replace(const char* id, std::size_t idLength, std::size_t start, std::size_t end,
                         const char16_t* units, std::size_t length);
}

namespace korvane::web::dom {

void Create(std::string_view tag, std::string_view id, std::string_view parent) {
    korvane_dom_create(tag.data(), tag.size(), id.data(), id.size(), parent.data(), parent.size());
}

void SetAttribute(std::string_view id, std::string_view name, std::string_view value) {
    korvane_dom_set_attribute(id.data(), id.size(), name.data(), name.size(), value.data(),
                              value.size());
}

void SetStyle(std::string_view id, std::string_view property, std::string_view value) {
    korvane_dom_set_style(id.data(), id.size(), property.data(), property.size(), value.data(),
                          value.size());
}

void SetText(std::string_view id, std::string_view text) {
    korvane_dom_set_text(id.data(), id.size(), text.data(), text.size());
}

std::string Value(std::string_view id) {
    return Fetched<std::string>([id](char* buffer, std::size_t capacity) {
        return korvane_dom_value(id.data(), id.size(), buffer, capacity);
    });
}

void SetDisabled(std::string_view id, bool disabled) {
    korvane_dom_set_disabled(id.data(), id.size(), disabled ? 1 : 0);
}

bool IsDisabled(std::string_view id) {
    return korvane_dom_is_disabled(id.data(), id.size()) != 0;
}

void SetTitle(std::string_view text) {
    korvane_dom_set_title(text.data(), text.size());
}

void ShowPicture(std::string_view id, const unsigned char* bytes, std::size_t size,
                 std::string_view type) {
    korvane_picture_show(id.data(), id.size(), bytes, size, type.data(), type.size());
}

void Ready() {
    korvane_dom_ready();
}

void Focus(std::string_view id) {
    korvane_dom_focus(id.data(), id.size());
}

std::string Focused(std::string_view root) {
    return Fetched<std::string>([root](char* buffer, std::size_t capacity) {
        return korvane_dom_focused(root.data(), root.size(), buffer, capacity);
    });
}

void SelectAll(std::string_view id) {
    korvane_dom_select_all(id.data(), id.size());
}

Range Selection(std::string_view id) {
    return {korvane_dom_selection(id.data(), id.size(), 0),
            korvane_dom_selection(id.data(), id.size(), 1)};
}

void Replace(std::string_view id, Range range, std::u16string_view units) {
    korvane_dom_replace(id.data(), id.size(), range.start, range.end, units.data(), units.size());
}

} // namespace korvane::web::dom
