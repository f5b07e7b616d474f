#pragma once

// Drives a real Korvane window with real key and mouse events, and answers its modal
// messages. Used by the window tests; runs on the offscreen platform.

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

#include "qt_window.h"

namespace korvane::fake {

// A message the window showed, as the user saw it.
struct SeenMessage {
    QString text;
    QString title;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
    // Any picture in the box: beside the text, on a button or in the title bar.
    bool anyIcon = false;
    // What a screen reader is told the message is about.
    QString description;
};

// Watches for modal message boxes and presses OK on each, recording what it showed.
class MessageAnswerer : public QObject {
public:
    MessageAnswerer() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start();
    }

    const QList<SeenMessage>& seen() const { return seen_; }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        bool anyIcon = !box->iconPixmap().isNull() || !box->windowIcon().isNull();
        for (const QAbstractButton* button : box->buttons()) {
            anyIcon = anyIcon || !button->icon().isNull();
        }
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        seen_.append(
            SeenMessage{box->text(), box->windowTitle(), static_cast<int>(box->buttons().size()),
                        box->icon(), box->isModal(), anyIcon,
                        iface != nullptr ? iface->text(QAccessible::Description) : QString()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            box->reject();
        }
    }

    QTimer timer_;
    QList<SeenMessage> seen_;
};

// One freshly created, shown and active window per test.
class Harness {
public:
    Harness() : window_(std::make_unique<qt::QtWindow>()) {
        window_->show();
        window_->activateWindow();
        active_ = QTest::qWaitForWindowActive(window_.get());
    }

    bool active() const { return active_; }
    qt::QtWindow& window() { return *window_; }

    QLineEdit* box(const char* name) const { return window_->findChild<QLineEdit*>(name); }
    QPushButton* compute() const { return window_->findChild<QPushButton*>("Command1"); }
    QString text(const char* name) const { return box(name)->text(); }

    static QString focusName() {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
    }

    // Keys go where the user's keyboard sends them: to the widget that has the focus.
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    // Clicks into a box, selects all it holds and types over it.
    void retype(const char* name, const QString& text) {
        QTest::mouseClick(box(name), Qt::LeftButton);
        box(name)->selectAll();
        if (text.isEmpty()) {
            key(Qt::Key_Delete);
        } else {
            type(text);
        }
    }

    // Sets the inputs of the worked example (22 mph, 0.5 ft/s/s, level, 65 ft, 11 ft, 77 ft)
    // through the window's own text assignment, the way the program writes a box.
    void setExample() {
        window_->SetText("txtSpd", "22");
        window_->SetText("txtAccel", "0.5");
        window_->SetText("txtGrade", "0");
        window_->SetText("txtLength", "65");
        window_->SetText("txtEntryPos", "11");
        window_->SetText("txtExitPos", "77");
    }

    const MessageAnswerer& messages() const { return answerer_; }

private:
    MessageAnswerer answerer_;
    std::unique_ptr<qt::QtWindow> window_;
    bool active_ = false;
};

} // namespace korvane::fake
