// Focus, keys and typed text: where the focus goes as the wiring says, Tab and Shift+Tab along
// the Tab ring, Enter and Escape, and every character typed into a box by any path through the
// wiring's typed-text rule.

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "convert.h"
#include "qt_window.h"

namespace korvane::qt {

namespace {

bool IsArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (control == nullptr || control->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    const std::string name = control->objectName().toStdString();
    switch (event->type()) {
    case QEvent::FocusIn:
        wiring_.FocusMoved(name);
        break;
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
        // Input reaches the control the window system gave the focus to, also while the
        // window is not active yet and the move was not reported: it counts as a move there
        // first, so that the box left checks its range before this input acts. A disabled
        // control is shown its clicks too, and takes no focus.
        if (!control->isEnabled()) {
            break;
        }
        wiring_.FocusMoved(name);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            if (event->type() == QEvent::KeyPress) {
                return typeKey(edit, static_cast<QKeyEvent*>(event));
            }
            if (event->type() == QEvent::InputMethod) {
                typeComposed(edit, static_cast<QInputMethodEvent*>(event));
            }
        } else if (event->type() == QEvent::KeyPress &&
                   IsArrow(static_cast<QKeyEvent*>(event)->key())) {
            return true; // only Tab and Shift+Tab move the focus on from the button
        }
        break;
    case QEvent::FocusOut: {
        // Where the focus went; the wiring decides whether that leaves the box. The control
        // takes its leave first (caret and selection go), so that it looks left while a range
        // message is open; the control the focus went to shows its caret only once the check
        // is over.
        const QWidget* to = QApplication::focusWidget();
        if (to != nullptr && to != watched && to->window() == this) {
            watched->event(event);
            wiring_.FocusMoved(to->objectName().toStdString());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// The UTF-16 code units a key types into a box, as Windows types them: Control with a letter or
// one of @[\]^_ the matching control character, Control with Backspace DEL, Backspace code 8.
// None for the keys that type no character (arrows, Home, End, Delete, Tab, Enter, Escape).
std::u16string QtWindow::unitsTyped(const QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return {};
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            return {static_cast<char16_t>(key - Qt::Key_A + 1)};
        }
        if (key >= Qt::Key_BracketLeft && key <= Qt::Key_Underscore) {
            return {static_cast<char16_t>(key - Qt::Key_At)};
        }
        if (key == Qt::Key_Backspace) {
            return {u'\x7F'};
        }
    }
    if (key == Qt::Key_Backspace) {
        return {u'\b'};
    }
    return event->text().toStdU16String();
}

// What enters the box the wiring says, each character in turn; Backspace as the box's own.
// Nothing entering leaves the text untouched: an empty insertion would still report a change.
void QtWindow::enter(QLineEdit* edit, std::u16string_view units) {
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty()) {
            edit->insert(run);
            run.clear();
        }
    };
    for (const char16_t unit : units) {
        if (unit == u'\b') {
            flush();
            edit->backspace();
        } else {
            run.append(QChar(unit));
        }
    }
    flush();
}

bool QtWindow::typeKey(QLineEdit* edit, const QKeyEvent* event) {
    const std::u16string units = unitsTyped(event);
    if (units.empty()) {
        return false;
    }
    const std::u16string enters = wiring_.Typed(edit->objectName().toStdString(), units);
    if (enters == units) {
        return false; // the box takes the key as usual
    }
    enter(edit, enters);
    return true;
}

// Text an input method commits is typed text too: what the wiring lets enter goes in, in place
// of the composition.
void QtWindow::typeComposed(const QLineEdit* edit, QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        return;
    }
    const std::u16string units = commit.toStdU16String();
    const std::u16string enters = wiring_.Typed(edit->objectName().toStdString(), units);
    if (enters != units) {
        event->setCommitString(QString::fromStdU16String(enters), event->replacementStart(),
                               event->replacementLength());
    }
}

// Enter and Escape, which no box takes for itself, come up to the window.
void QtWindow::keyPressEvent(QKeyEvent* event) {
    WindowKey key = WindowKey::Escape;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = WindowKey::Enter;
        break;
    case Qt::Key_Escape:
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    wiring_.Key(key, [this](std::string_view control) { return isEnabledNow(control); });
    event->accept();
}

// Tab and Shift+Tab from any control, and a focused Compute being disabled, end up here.
bool QtWindow::focusNextPrevChild(bool next) {
    const FocusMove move =
        wiring_.Key(next ? WindowKey::Tab : WindowKey::BackTab,
                    [this](std::string_view control) { return isEnabledNow(control); });
    QWidget* target = move.to.empty() ? nullptr : findChild<QWidget*>(qs(move.to));
    if (target == nullptr) {
        return false;
    }
    // The focus moves by the keyboard: the window shows the marks of a keyboard focus.
    setAttribute(Qt::WA_KeyboardFocusChange);
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // Unless the range check of the box left sent the focus on (it disabled Compute), the focus
    // is on the target now, as the window will show it once it is active: while it is not, Qt
    // reports no move, so the move is reported here. The box's text is selected here too, for
    // a box that shows the focus only after a message or once the window is active again.
    if (focusWidget() == target) {
        wiring_.FocusMoved(move.to);
        if (auto* edit = qobject_cast<QLineEdit*>(target); edit != nullptr && move.selectText) {
            edit->selectAll();
        }
    }
    return true;
}

void QtWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        activationPending_ = false;
    }
    QWidget::changeEvent(event);
}

} // namespace korvane::qt
