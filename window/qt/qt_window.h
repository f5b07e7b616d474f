#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "look.h"
#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/window_base.h"

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace korvane::qt {

// The program's one window: a schematic plan of a grade crossing whose boxes hold the inputs
// and the results, built from the layout table. It forwards its native events to the wiring,
// which owns the calculator state, and lets the model and the checks reach its boxes and its
// Compute button by their control names.
class QtWindow : public QWidget, public WindowBase {
    Q_OBJECT
public:
    // Creates the window with all its controls and runs Form_Load; the window is not shown.
    explicit QtWindow(QWidget* parent = nullptr);
    ~QtWindow() override;

    // WindowOps
    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Beep() override;

    // How many times the window has sounded the beep since it was created.
    int beepCount() const { return beepCount_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QLineEdit* box(std::string_view control) const;
    bool isEnabledNow(std::string_view control) const;
    // A key typed into a box: what it types goes through the wiring; true when the window has
    // put what enters into the box itself, and the key is not to reach it.
    bool typeKey(QLineEdit* edit, const QKeyEvent* event);
    void typeComposed(const QLineEdit* edit, QInputMethodEvent* event);
    static std::u16string unitsTyped(const QKeyEvent* event);
    static void enter(QLineEdit* edit, std::u16string_view units);

    std::map<std::string, QLineEdit*, std::less<>> boxes_;
    QPushButton* command1_ = nullptr;
    int beepCount_ = 0;
    // The window asked to be active again after a message and the window system has not yet
    // made it so.
    bool activationPending_ = false;
};

} // namespace korvane::qt
