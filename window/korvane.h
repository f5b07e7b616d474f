#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "model/calculator_state.h"
#include "model/window_ops.h"

class QApplication;
class QColor;
class QLineEdit;
class QPushButton;

namespace korvane {

// Gives the application the look the window is laid out for, the same on every desktop: the
// bundled Liberation Sans faces, the Fusion style and a fixed palette. Call once, right after
// the QApplication exists and before the window is created.
void ApplyLook(QApplication& app);

// The platform's menu colour in the fixed palette (the truck picture's background).
QColor menuColour();

// The program's one window: a schematic plan of a grade crossing whose boxes hold the inputs
// and the results. It owns the calculator state and lets the model and the checks reach its
// boxes and its Compute button by their control names.
class Korvane : public QWidget, public WindowOps {
    Q_OBJECT
public:
    // Creates the window with all its controls and runs Form_Load; the window is not shown.
    explicit Korvane(QWidget* parent = nullptr);
    ~Korvane() override;

    // WindowOps
    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    std::string AdvisoryText(std::string_view control) const override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Beep() override;

    // How many times the window has sounded the beep since it was created.
    int beepCount() const { return beepCount_; }

    const CalculatorState& state() const { return state_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QLineEdit* box(std::string_view control) const;

    void Form_Load();

    void txtSpd_Change();
    void txtAccel_Change();
    void txtGrade_Change();
    void txtLength_Change();
    void txtEntryPos_Change();
    void txtExitPos_Change();

    void txtSpd_KeyPress(std::int16_t& KeyAscii);
    void txtAccel_KeyPress(std::int16_t& KeyAscii);
    void txtLength_KeyPress(std::int16_t& KeyAscii);
    void txtEntryPos_KeyPress(std::int16_t& KeyAscii);
    void txtExitPos_KeyPress(std::int16_t& KeyAscii);

    void txtSpd_LostFocus();
    void txtAccel_LostFocus();
    void txtGrade_LostFocus();
    void txtLength_LostFocus();
    void txtEntryPos_LostFocus();
    void txtExitPos_LostFocus();

    void Command1_Click();

    // The range check shared by the six LostFocus handlers.
    void checkRangeOf(std::string_view control);
    // Runs a typed key through a box's KeyPress handler; true when the key is to be dropped.
    bool filterKey(QLineEdit* edit, QKeyEvent* event);

    CalculatorState state_{};
    std::map<std::string, QLineEdit*, std::less<>> boxes_;
    QPushButton* command1_ = nullptr;
    std::map<QObject*, void (Korvane::*)(std::int16_t&)> keyPressHandlers_;
    std::map<QObject*, void (Korvane::*)()> lostFocusHandlers_;
    int beepCount_ = 0;
};

} // namespace korvane
