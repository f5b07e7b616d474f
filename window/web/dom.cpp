#include "dom.h"

#include <cstddef>

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
std::size_t korvane_dom_value_size(const char* id, std::size_t idLength);
void korvane_dom_copy_value(const char* id, std::size_t idLength, char* buffer, std::size_t size);
void korvane_dom_set_disabled(const char* id, std::size_t idLength, int disabled);
void korvane_dom_set_title(const char* text, std::size_t textLength);
void korvane_dom_ready();
void korvane_picture_show(const char* id, std::size_t idLength, const unsigned char* bytes,
                          std::size_t size, const char* type, std::size_t typeLength);
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
    std::string value(korvane_dom_value_size(id.data(), id.size()), '\0');
    korvane_dom_copy_value(id.data(), id.size(), value.data(), value.size());
    return value;
}

void SetDisabled(std::string_view id, bool disabled) {
    korvane_dom_set_disabled(id.data(), id.size(), disabled ? 1 : 0);
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

} // namespace korvane::web::dom
