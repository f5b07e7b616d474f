#include "qt_window.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "accessibility.h"
#include "convert.h"
#include "model/control_names.h"
#include "window/layout.h"

namespace korvane::qt {

QtWindow::QtWindow(QWidget* parent) : QWidget(parent) {
    InstallAccessibility();
    setObjectName(qs(layout::kWindowName));
    setWindowTitle(qs(layout::kCaption));
    setWindowIcon(QIcon(QStringLiteral(":/images/signal.jpg")));
    setAutoFillBackground(true);
    resize(px(layout::kClientWidth), px(layout::kClientHeight));
    buildControls();
    wiring_.Form_Load();
}

QtWindow::~QtWindow() = default;

// ---- Window operations --------------------------------------------------------------------

std::string QtWindow::Text(std::string_view control) const {
    const QLineEdit* edit = box(control);
    return edit != nullptr ? edit->text().toStdString() : std::string();
}

void QtWindow::SetText(std::string_view control, std::string_view text) {
    QLineEdit* edit = box(control);
    if (edit == nullptr) {
        return;
    }
    const QString value = qs(text);
    if (edit->text() != value) {
        edit->setText(value); // the box's Change handler runs inside this call
    }
}

void QtWindow::SetEnabled(std::string_view control, bool enabled) {
    if (control == ctl::Command1) {
        command1_->setEnabled(enabled);
    } else if (QLineEdit* edit = box(control)) {
        edit->setEnabled(enabled);
    }
}

void QtWindow::ShowMessage(std::string_view text, std::string_view title) {
    QMessageBox message(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Ok, this);
    message.setTextFormat(Qt::PlainText);
    // No icon anywhere: not the one a desktop's style puts on dialog buttons, and not the
    // window's own in the message's title bar.
    for (QAbstractButton* button : message.buttons()) {
        button->setIcon(QIcon());
    }
    message.setWindowIcon(QIcon());
    // A screen reader says which box the message is about: its description is the box's spoken
    // name; what the message shows stays its text.
    message.setAccessibleDescription(qs(wiring_.MessageDescription()));
    // The message takes the activation from the window, which is then to have it back: also
    // when the window was still waiting for it after an earlier message.
    const bool activationOurs = isActiveWindow() || activationPending_;
    message.exec();
    // The focus goes back to the control the user sent it to, and the window asks to be active
    // again. The window system may hand the activation over only later, or, with no window
    // manager, not by itself at all; until it does, keys still reach that control, and the
    // wiring acts from it.
    const std::string_view back =
        wiring_.FocusOnReturn([this](std::string_view control) { return isEnabledNow(control); });
    if (QWidget* control = findChild<QWidget*>(qs(back));
        control != nullptr && control != focusWidget()) {
        control->setFocus(Qt::OtherFocusReason);
        wiring_.FocusMoved(back);
    }
    if (activationOurs && isVisible()) {
        activationPending_ = true;
        activateWindow();
    }
}

void QtWindow::Beep() {
    ++beepCount_;
    QApplication::beep();
}

bool QtWindow::isEnabledNow(std::string_view control) const {
    const QWidget* widget = findChild<QWidget*>(qs(control));
    return widget != nullptr && widget->isEnabled();
}

} // namespace korvane::qt
