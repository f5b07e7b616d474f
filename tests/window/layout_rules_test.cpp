// The layout table both adapters build from, and the rules of the window that follow from it
// alone: the Tab ring, what a screen reader is told, fonts in pixels, readable text colours.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "model/control_names.h"
#include "window/layout.h"

namespace korvane {
namespace {

// The table both adapters build from: what would silently break a window if mistyped.
TEST(LayoutTableTest, OrdersNamesTabIndexesAndCaptionsAreConsistent) {
    std::set<std::string_view> names;
    std::vector<int> tabs;
    int order = 0;
    for (const layout::Control& c : layout::kControls) {
        EXPECT_EQ(c.order, ++order) << c.name;
        EXPECT_TRUE(names.insert(c.name).second) << "two controls named " << c.name;
        if (c.tab >= 0) {
            tabs.push_back(c.tab);
        }
        for (const std::string_view label : {c.labelledBy, c.unitLabel}) {
            if (!label.empty()) {
                const layout::Control* caption = layout::Find(label);
                ASSERT_NE(caption, nullptr) << c.name << " is labelled by " << label;
                EXPECT_EQ(caption->kind, layout::Kind::Label) << label;
            }
        }
        EXPECT_EQ(!c.advisory.empty(), c.kind == layout::Kind::TextBox) << c.name;
        EXPECT_EQ(layout::Find(c.name), &c);
    }
    // The tab indexes run from 0 to 32, each used once.
    std::sort(tabs.begin(), tabs.end());
    ASSERT_EQ(tabs.size(), 33U);
    for (int i = 0; i < 33; ++i) {
        EXPECT_EQ(tabs[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(layout::Find("NoSuchControl"), nullptr);
    EXPECT_EQ(layout::AdvisoryOf("txtLocation"), "");
}

// What a screen reader is told of each control, and how the boxes take the focus: the same on
// every platform, as the window shows it. States: D default button, R read-only, U unavailable.
TEST(LayoutTableTest, WhatAScreenReaderIsToldAndHowControlsTakeTheFocus) {
    using layout::Access;
    using layout::Role;
    struct Row {
        std::string_view control;
        Role role;
        std::string_view name;
        std::string_view description;
        std::string_view states;
        Access access;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtSpd, Role::EditableText, "Max Veh Crossing Speed (mph)", "Vehicle will try to accelerate to this speed (5 to 35) mph", "", Access::Tab},
        {ctl::txtAccel, Role::EditableText, "Max Level Acceleration", "Maximum acceleration on level grade  (0.25 to 10)  f/s/s ", "", Access::Tab},
        {ctl::txtGrade, Role::EditableText, "Grade %", "Percent grade (-5  to  5)%", "", Access::Tab},
        {ctl::txtLength, Role::EditableText, "Vehicle Length", "Design vehicle length (10 to 120)  ft)", "", Access::Tab},
        {ctl::txtEntryPos, Role::EditableText, "Entrance Gate Position", "Stop line to entrance gate distance (2 to 40) ft.", "", Access::Tab},
        {ctl::txtExitPos, Role::EditableText, "Exit Gate Position", "Stop line to exit gate distance (20 to 500) ft.", "", Access::Tab},
        {ctl::txtLocation, Role::EditableText, "Location", "", "", Access::Tab},
        {ctl::txtDirection, Role::EditableText, "Direction", "", "", Access::Tab},
        {ctl::txtEffAccel, Role::EditableText, "Effective Acceleration", "", "U", Access::Disabled},
        {ctl::txtEntryPass, Role::EditableText, "Tp", "", "R", Access::ReadOnly},
        {ctl::txtExitPass, Role::EditableText, "T'p", "", "R", Access::ReadOnly},
        {"Picture1", Role::Graphic, "Entrance gate crossing signal", "", "", Access::None},
        {"Picture2", Role::Graphic, "Exit gate crossing signal", "", "", Access::None},
        {"Picture3", Role::Graphic, "Design vehicle: truck at the stop line", "", "", Access::None},
        {"Image1", Role::Graphic, "Locomotive on the track", "", "", Access::None},
        {"Frame1", Role::Grouping, "Results", "", "", Access::None},
        {ctl::Command1, Role::PushButton, "Compute", "", "D", Access::Tab},
        {"Label8", Role::StaticText, "Max Veh Crossing Speed", "", "", Access::None},
        {"frmMainLabel", Role::StaticText, std::string_view(layout::Find("frmMainLabel")->text), "", "", Access::None},
        {"Line9", Role::None, "", "", "", Access::None},
    };
    // clang-format on
    for (const Row& row : rows) {
        const layout::Control* c = layout::Find(row.control);
        ASSERT_NE(c, nullptr) << row.control;
        const layout::Spoken spoken = layout::SpokenOf(*c);
        EXPECT_EQ(spoken.role, row.role) << row.control;
        EXPECT_EQ(spoken.name, row.name) << row.control;
        EXPECT_EQ(spoken.description, row.description) << row.control;
        std::string states;
        states += spoken.isDefault ? "D" : "";
        states += spoken.readOnly ? "R" : "";
        states += spoken.unavailable ? "U" : "";
        EXPECT_EQ(states, row.states) << row.control;
        EXPECT_EQ(c->access, row.access) << row.control;
    }
    // Every control the table holds is presented, but the lines.
    for (const layout::Control& c : layout::kControls) {
        EXPECT_EQ(layout::SpokenOf(c).role == Role::None, c.kind == layout::Kind::Line) << c.name;
    }
    EXPECT_EQ(layout::FindById(1016), layout::Find(ctl::Command1));
    EXPECT_EQ(layout::FindById(1000), nullptr);
    EXPECT_EQ(layout::FindById(1056), nullptr);
}

// Tab and Shift+Tab from no control of the ring at all (a name outside it, or none) go to its
// first or its last stop that can take the focus, as the system's own dialogs do.
TEST(LayoutTableTest, TabFromNoControlGoesToTheFirstOrLastStop) {
    struct Row {
        std::string_view from;
        bool backwards;
        bool computeEnabled;
        std::string_view to;
    };
    const Row rows[] = {
        {"", false, false, "txtLocation"},
        {"", true, false, "txtSpd"},
        {"", true, true, "Command1"},
        {"NoSuchControl", true, false, "txtSpd"},
    };
    for (const Row& row : rows) {
        const std::string_view to =
            layout::NextInTabRing(row.from, row.backwards, [&](std::string_view c) {
                return c != "Command1" || row.computeEnabled;
            });
        EXPECT_EQ(to, row.to) << "from \"" << row.from << "\"";
    }
}

// Font heights in whole pixels, rounded to the nearest: truncating would make the 8-point face
// 10 pixels at 96 dpi. Only the description is bold.
TEST(LayoutTableTest, FontsInPixels) {
    struct Row {
        std::string_view control;
        int dpi;
        int pixels;
        int weight;
    };
    const Row rows[] = {
        {"Label1", 96, 11, 400},     {"frmMainLabel", 96, 13, 700},
        {"Label1", 120, 13, 400},    {"frmMainLabel", 120, 16, 700},
        {"Label1", 144, 16, 400},    {"frmMainLabel", 144, 20, 700},
        {ctl::txtSpd, 192, 21, 400}, {"frmMainLabel", 192, 26, 700},
    };
    for (const Row& row : rows) {
        const layout::FontFace& font = layout::FontOf(*layout::Find(row.control));
        EXPECT_EQ(layout::FontPixels(font, row.dpi), row.pixels) << row.control << " " << row.dpi;
        EXPECT_EQ(font.weight, row.weight) << row.control;
        EXPECT_EQ(font.face, "MS Sans Serif");
    }
}

// Text on the result boxes' light cyan keeps the scheme's text colour while it is readable
// there, and turns black when it is not (white, or a light grey, of a dark scheme).
TEST(LayoutTableTest, TextReadableOnTheResultBoxes) {
    struct Row {
        layout::Rgb preferred;
        layout::Rgb shown;
    };
    const Row rows[] = {
        {{0, 0, 0}, {0, 0, 0}},
        {{255, 255, 255}, {0, 0, 0}},
        {{200, 200, 200}, {0, 0, 0}},
        {{0, 0, 128}, {0, 0, 128}},
        {{128, 0, 0}, {128, 0, 0}},
        {{0, 200, 0}, {0, 0, 0}},
        // About 4:1 on the cyan: not readable enough, black instead; about 5.2:1 stays.
        {{118, 118, 118}, {0, 0, 0}},
        {{100, 100, 100}, {100, 100, 100}},
    };
    for (const Row& row : rows) {
        const layout::Rgb shown = layout::ReadableOn(layout::kResultBack, row.preferred);
        EXPECT_TRUE(shown == row.shown) << int(row.preferred.red) << "," << int(row.preferred.green)
                                        << "," << int(row.preferred.blue);
    }
}

} // namespace
} // namespace korvane
