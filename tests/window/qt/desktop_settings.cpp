#include "desktop_settings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace korvane::desktop {

namespace {

void Card(std::string& out, std::uint32_t value, int bytes, bool msbFirst) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (msbFirst ? bytes - 1 - i : i);
        out.push_back(static_cast<char>((value >> shift) & 0xFFU));
    }
}

void Padded(std::string& out, const std::string& bytes) {
    out += bytes;
    out.append((4 - bytes.size() % 4) % 4, '\0');
}

} // namespace

std::string XSettingsBytes(const std::vector<Setting>& settings, bool msbFirst) {
    std::string out;
    out.push_back(msbFirst ? 1 : 0);
    out.append(3, '\0');
    Card(out, 7, 4, msbFirst); // serial
    Card(out, static_cast<std::uint32_t>(settings.size()), 4, msbFirst);
    for (const Setting& s : settings) {
        out.push_back(static_cast<char>(s.type));
        out.push_back('\0');
        Card(out, static_cast<std::uint32_t>(s.name.size()), 2, msbFirst);
        Padded(out, s.name);
        Card(out, 3, 4, msbFirst); // last change
        switch (s.type) {
        case Setting::Integer:
            Card(out, static_cast<std::uint32_t>(s.value), 4, msbFirst);
            break;
        case Setting::String:
            Card(out, static_cast<std::uint32_t>(s.text.size()), 4, msbFirst);
            Padded(out, s.text);
            break;
        case Setting::Colour:
            for (int channel = 0; channel < 4; ++channel) {
                Card(out, static_cast<std::uint32_t>(s.value), 2, msbFirst);
            }
            break;
        }
    }
    return out;
}

bool PublishFontDpi(int dpi) {
    static Display* const display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    const std::string resources = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                    static_cast<int>(resources.size()));
    XSync(display, False);
    return true;
}

struct SettingsManager::X {
    Display* display = nullptr;
    Window window = 0;
};

SettingsManager::SettingsManager(const std::vector<Setting>& settings) : x_(std::make_unique<X>()) {
    x_->display = XOpenDisplay(nullptr);
    if (x_->display == nullptr) {
        return;
    }
    Display* display = x_->display;
    x_->window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom selection = XInternAtom(display, "_XSETTINGS_S0", False);
    const Atom property = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
    const std::string bytes = XSettingsBytes(settings, false);
    XChangeProperty(display, x_->window, property, property, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<int>(bytes.size()));
    XSetSelectionOwner(display, selection, x_->window, CurrentTime);
    XSync(display, False);
}

SettingsManager::~SettingsManager() {
    if (x_->display != nullptr) {
        XDestroyWindow(x_->display, x_->window); // gives up the selection with it
        XSync(x_->display, False);
        XCloseDisplay(x_->display);
    }
}

bool SettingsManager::ok() const {
    return x_->display != nullptr &&
           XGetSelectionOwner(x_->display, XInternAtom(x_->display, "_XSETTINGS_S0", False)) ==
               x_->window;
}

} // namespace korvane::desktop
