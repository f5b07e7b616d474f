#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The window as it is created: every control and line with its kind, container, Order, place,
// tab index, text, alignment, advisory text and picture. Both toolkit adapters build their
// window from this one table; nothing here depends on a toolkit.
namespace korvane::layout {

// Places and sizes are in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

inline constexpr std::string_view kWindowName = "Korvane";
inline constexpr std::string_view kCaption = "KORVANE";
inline constexpr int kClientWidth = 8445;
inline constexpr int kClientHeight = 6870;

enum class Kind {
    TextBox,    // a numeric input box
    FreeText,   // a free-text input box (location, direction)
    ResultBox,  // a result box: light cyan, no advisory text, no handlers
    Label,      // a caption drawn by its container
    PictureBox, // a picture at its own size, top-left
    Frame,      // a group border with a caption; a container
    Button,     // a push button
    Image,      // a picture scaled to fill, drawn by its container
    Line,       // a one-pixel line drawn by its container
};

enum class In { Window, Frame1 };
enum class Align { None, Left, Right, Centre };
enum class Picture { None, Signal, Truck, Locomotive };
enum class Back { Face, Menu };
enum class Font { Default, Description };

struct Rgb {
    std::uint8_t red, green, blue;
};

// The back colour of the three result boxes.
inline constexpr Rgb kResultBack{192, 255, 255};

// The window's default font, which every caption and box uses, and the description's own.
struct FontFace {
    std::string_view face;
    double points;
    int weight;
};
inline constexpr FontFace kDefaultFont{"MS Sans Serif", 8.0, 400};
inline constexpr FontFace kDescriptionFont{"MS Sans Serif", 9.75, 700};

// One control or line. Order decides which of two overlapping items of the same group lies on
// top: the lower number. A line's Left/Top/Width/Height hold its end points X1/Y1/X2/Y2.
struct Control {
    int order;
    std::string_view name;
    Kind kind;
    In in;
    int left, top, width, height;
    int tab;               // -1: the control has no tab index
    std::string_view text; // a box's text at creation, or a caption
    Align align;
    std::string_view advisory; // the tool tip; for the numeric boxes it holds the range
    Picture picture;
    Back back;
    Font font;
    // The captions a screen reader names a box by: the label beside it, and a unit label.
    std::string_view labelledBy;
    std::string_view unitLabel;
    // What a screen reader calls a picture, which has no caption: what the picture shows.
    std::string_view spokenName;
};

inline constexpr std::size_t kControlCount = 55;
extern const std::array<Control, kControlCount> kControls;

// The control of that name, or nullptr.
const Control* Find(std::string_view name);

// The advisory text of a control; empty when it has none.
std::string_view AdvisoryOf(std::string_view name);

// Labels, lines and the image are drawn by their container; everything else is a windowed
// control of its own.
constexpr bool IsWindowed(Kind kind) {
    return kind != Kind::Label && kind != Kind::Line && kind != Kind::Image;
}

constexpr bool IsTextBox(Kind kind) {
    return kind == Kind::TextBox || kind == Kind::FreeText || kind == Kind::ResultBox;
}

// Windowed controls carry the control ID 1000 + Order, by which automation finds them.
constexpr int ControlId(const Control& control) {
    return 1000 + control.order;
}

// The whole-pixel size of a length in twips at 96 dpi.
constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

} // namespace korvane::layout
