#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QGroupBox>
#include <QLine>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>

namespace korvane::qt {

// A solid line one pixel wide, drawn on its container between two points given in the
// container's coordinates. It covers just the bounding box of the line, lets every mouse event
// through to what lies beneath and never takes the focus.
class LineItem : public QWidget {
    Q_OBJECT
public:
    LineItem(QWidget* parent, const QLine& line);

    // The two end points, in the container's coordinates.
    QLine line() const { return line_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine line_;
};

// A picture box: the picture at its own pixel size at the top-left corner, the rest of the box
// in its background colour. No border, never takes the focus.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QPixmap& picture, const QColor& background);

    const QPixmap& picture() const { return picture_; }
    QColor background() const { return background_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QColor background_;
};

// An image control: the picture scaled to fill the control's rectangle exactly. It is scaled
// smoothly, once for each size and device pixel ratio, and then drawn pixel for pixel.
class ImageItem : public QWidget {
    Q_OBJECT
public:
    ImageItem(QWidget* parent, const QPixmap& picture);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QPixmap scaled_;
};

// A frame: an etched group border whose caption stands in its top edge, over an opaque
// interior that hides whatever its container draws beneath it. Never takes the focus.
class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    FrameBox(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A box whose text can be read, selected and copied, not edited: a passage-time box. It shows a
// caret while it has the focus, as a read-only box of the system's own does, so that the focus
// shows on it as on every other box; the caret blinks at the desktop's rate, or stays when the
// desktop has blinking off. Its maker names it and then makes it read-only: assistive
// technology may ask for it as soon as it is read-only, and finds it by its name.
class ReadOnlyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ReadOnlyBox(QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QBasicTimer blink_;
    bool caretShown_ = false;
};

} // namespace korvane::qt
