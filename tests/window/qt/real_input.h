#pragma once

// Real input for the window tests on a real X server: keys and clicks go to the X server through
// its XTEST extension, exactly as a keyboard and a mouse give them, so that they reach the window
// through the window system's own focus and activation; nothing is sent to a widget directly.
// "Range Error" messages are answered by a real click on their OK button as soon as they show,
// or by a real key once they have the keyboard (answerBy).
// The X11 headers stay in real_input.cpp: their macros (None, KeyPress, FocusIn, ...) would
// clash with Qt's names.

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class QMessageBox;
class QWidget;

namespace korvane::real {

// A message the window showed, as the user saw it, and its description as a screen reader gets
// it.
struct SeenMessage {
    QString text;
    QString title;
    QString description;
};

class Input : public QObject, public QAbstractNativeEventFilter {
public:
    Input();
    ~Input() override;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Whether there is an X server with the XTEST extension to give input to.
    bool ok() const;

    // The window whose event queue settle() follows.
    void follow(QWidget* window) { window_ = window; }

    void click(const QWidget* widget);
    // A key, with Shift or Control held when asked; Qt::Key_Backtab is Tab with Shift.
    void key(Qt::Key key, bool shift = false, bool control = false);
    // Types the text character by character; a character the keyboard map lacks is put on a
    // spare key for the moment, as a keyboard of another layout would have it.
    void type(const QString& text);

    // Waits until the application has taken in all input given so far, and answered any
    // message it brought.
    void settle();
    // Waits until the window system has made the window active again, as it does once a
    // message is gone; false if it does not within two seconds.
    bool waitActive();

    const QList<SeenMessage>& seen() const { return seen_; }

    // Answers the messages from now on by that key (Enter, Escape) once each has the keyboard,
    // instead of by a click on OK; Qt::Key_unknown goes back to clicks.
    void answerBy(Qt::Key key) { answerKey_ = key; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    struct X;
    void press(unsigned long sym, bool shift, bool control);
    void answer();

    std::unique_ptr<X> x_;
    long markerSent_ = 0;
    long markerSeen_ = 0;
    QWidget* window_ = nullptr;
    QTimer timer_;
    QList<SeenMessage> seen_;
    QPointer<QMessageBox> answered_;
    Qt::Key answerKey_ = Qt::Key_unknown;
};

} // namespace korvane::real
