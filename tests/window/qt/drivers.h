#pragma once

// How the window tests give the window a user's keys and clicks: on a real X server as a
// keyboard and a mouse give them (real_input.h), or, on the offscreen platform, to the window
// itself as a window system delivers them to the window they are for, whether it is active or
// not. Either way the keys reach the control that has the window's focus, never a control the
// test picks, and every "Range Error" message is answered with OK as soon as it shows.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

#include "real_input.h"
#include "window_harness.h"

namespace korvane::drive {

// A message the window showed: its title and text, and its description as a screen reader gets
// it.
struct Seen {
    QString title;
    QString text;
    QString description;
};

class Driver {
public:
    virtual ~Driver() = default;
    virtual void click(QWidget* control) = 0;
    // A key with its modifiers; Qt::Key_Backtab comes with Shift held.
    virtual void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) = 0;
    // Types the text character by character.
    virtual void type(const QString& text) = 0;
    // Returns once the window has taken in all input given so far.
    virtual void settle() = 0;
    // Waits until the window is active again, as the window system makes it once a message is
    // gone; false if it does not become so.
    virtual bool waitActive() = 0;
    virtual QList<Seen> messages() const = 0;
};

// Real keys and clicks on a real X server.
class RealDriver : public Driver {
public:
    explicit RealDriver(QWidget& window) { input_.follow(&window); }
    bool ok() const { return input_.ok(); }

    void click(QWidget* control) override { input_.click(control); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers) override {
        input_.key(key, modifiers.testFlag(Qt::ShiftModifier),
                   modifiers.testFlag(Qt::ControlModifier));
    }
    void type(const QString& text) override { input_.type(text); }
    void settle() override { input_.settle(); }
    bool waitActive() override { return input_.waitActive(); }
    QList<Seen> messages() const override {
        QList<Seen> seen;
        for (const auto& message : input_.seen()) {
            seen.append({message.title, message.text, message.description});
        }
        return seen;
    }

private:
    real::Input input_;
};

// Keys and clicks given to the window itself. After each message another window takes the
// activation and keeps it until the user next clicks into the window, as a window system without
// a window manager does: the window takes its input meanwhile all the same.
class WindowDriver : public Driver {
public:
    explicit WindowDriver(QWidget& window) : window_(window) {
        elsewhere_.setWindowTitle(QStringLiteral("another window"));
        elsewhere_.resize(100, 100);
    }

    void click(QWidget* control) override {
        QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          control->mapTo(&window_, control->rect().center()));
        if (!window_.isActiveWindow()) {
            window_.activateWindow();
        }
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers) override {
        if (key == Qt::Key_Backtab) {
            modifiers |= Qt::ShiftModifier;
        }
        QTest::keyClick(window_.windowHandle(), key, modifiers);
    }
    void type(const QString& text) override {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(window_.windowHandle(), static_cast<char>(ch.unicode()));
                continue;
            }
            // A character without a key of its own on this keyboard comes as its text alone.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(window_.windowHandle(), &press);
            QCoreApplication::sendEvent(window_.windowHandle(), &release);
        }
    }
    void settle() override {
        QCoreApplication::processEvents();
        if (answerer_.seen().size() != answered_) {
            answered_ = answerer_.seen().size();
            elsewhere_.show();
            elsewhere_.activateWindow();
            if (!QTest::qWaitForWindowActive(&elsewhere_)) {
                qWarning("the other window did not become active");
            }
        }
    }
    bool waitActive() override {
        window_.activateWindow();
        return QTest::qWaitForWindowActive(&window_);
    }
    QList<Seen> messages() const override {
        QList<Seen> seen;
        for (const auto& message : answerer_.seen()) {
            seen.append({message.title, message.text, message.description});
        }
        return seen;
    }

private:
    QWidget& window_;
    fake::MessageAnswerer answerer_;
    QWidget elsewhere_;
    qsizetype answered_ = 0;
};

// The driver for the platform the test runs on: real input on an X server, the window's own
// input elsewhere. Null when the X server lacks XTEST.
inline std::unique_ptr<Driver> DriverFor(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto real = std::make_unique<RealDriver>(window);
        return real->ok() ? std::move(real) : nullptr;
    }
    return std::make_unique<WindowDriver>(window);
}

} // namespace korvane::drive
