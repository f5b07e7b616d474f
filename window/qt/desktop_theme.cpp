// The theme the desktop publishes to X programs: the XSETTINGS protocol's Net/ThemeName, which
// GTK programs take their theme from, read over the application's own X connection.

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "look.h"

namespace korvane::qt {

namespace {

// The reply of an xcb request, freed when it goes.
template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> own(Reply* reply) {
    return {reply, &std::free};
}

// The screen number of the display name ":0.1" (0 when it names none).
int screenOf(const QByteArray& display) {
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    if (dot < 0) {
        return 0;
    }
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

// Bytes of a settings property in the byte order it declares.
class Reader {
public:
    Reader(std::string_view data, bool msbFirst) : data_(data), msbFirst_(msbFirst) {}

    bool has(std::size_t count) const { return count <= data_.size() - at_; }
    std::uint32_t card(std::size_t bytes) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            const auto byte =
                static_cast<unsigned char>(data_[at_ + (msbFirst_ ? i : bytes - 1 - i)]);
            value = (value << 8U) | byte;
        }
        at_ += bytes;
        return value;
    }
    std::string_view take(std::size_t count) {
        const std::string_view part = data_.substr(at_, count);
        at_ += count;
        return part;
    }
    // Skips a field of `count` bytes padded to a multiple of four; false when it runs past
    // the end.
    bool skipPadded(std::size_t count, std::string_view* field = nullptr) {
        if (!has(count)) {
            return false;
        }
        const std::string_view part = take(count);
        if (field != nullptr) {
            *field = part;
        }
        const std::size_t pad = (4 - count % 4) % 4;
        if (!has(pad)) {
            return false;
        }
        at_ += pad;
        return true;
    }

private:
    std::string_view data_;
    bool msbFirst_;
    std::size_t at_ = 0;
};

} // namespace

// The property: byte order (0 least significant byte first, 1 most), three bytes unused, a
// serial, the number of settings, then each setting: its type (0 integer, 1 string, 2 colour),
// one byte unused, the length of its name, the name padded to four bytes, the serial of its last
// change, and its value: an integer in four bytes, a string as its length and its bytes padded
// to four, a colour in four 16-bit channels.
std::string XSettingsString(std::string_view data, std::string_view name) {
    if (data.size() < 12 || (data[0] != 0 && data[0] != 1)) {
        return {};
    }
    Reader in(data, data[0] == 1);
    in.take(8);
    const std::uint32_t count = in.card(4);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!in.has(4)) {
            return {};
        }
        const auto type = static_cast<unsigned char>(in.take(1)[0]);
        in.take(1);
        const std::uint32_t nameLength = in.card(2);
        std::string_view settingName;
        if (!in.skipPadded(nameLength, &settingName) || !in.has(4)) {
            return {};
        }
        in.take(4);
        switch (type) {
        case 0:
            if (!in.skipPadded(4)) {
                return {};
            }
            break;
        case 1: {
            if (!in.has(4)) {
                return {};
            }
            const std::uint32_t length = in.card(4);
            std::string_view value;
            if (!in.skipPadded(length, &value)) {
                return {};
            }
            if (settingName == name) {
                return std::string(value);
            }
            break;
        }
        case 2:
            if (!in.skipPadded(8)) {
                return {};
            }
            break;
        default:
            return {};
        }
    }
    return {};
}

std::string PublishedTheme() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return {};
    }
    const std::string selection = "_XSETTINGS_S" + std::to_string(screenOf(qgetenv("DISPLAY")));
    constexpr std::string_view property = "_XSETTINGS_SETTINGS";
    // Both names asked at once, then the owner, then the settings: three round trips.
    const xcb_intern_atom_cookie_t selectionCookie = xcb_intern_atom(
        connection, 1, static_cast<std::uint16_t>(selection.size()), selection.data());
    const xcb_intern_atom_cookie_t propertyCookie = xcb_intern_atom(
        connection, 1, static_cast<std::uint16_t>(property.size()), property.data());
    const auto selectionAtom = own(xcb_intern_atom_reply(connection, selectionCookie, nullptr));
    const auto propertyAtom = own(xcb_intern_atom_reply(connection, propertyCookie, nullptr));
    if (!selectionAtom || !propertyAtom || selectionAtom->atom == XCB_ATOM_NONE ||
        propertyAtom->atom == XCB_ATOM_NONE) {
        return {}; // no settings manager ever ran on this display
    }
    const auto owner = own(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selectionAtom->atom), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return {};
    }
    // A settings property of up to a mebibyte, far more than any desktop publishes.
    const auto settings =
        own(xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, owner->owner, propertyAtom->atom,
                                                    propertyAtom->atom, 0, 1U << 18U),
                                   nullptr));
    if (!settings || settings->format != 8) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(settings.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(settings.get()));
    return XSettingsString(std::string_view(bytes, length), "Net/ThemeName");
}

} // namespace korvane::qt
