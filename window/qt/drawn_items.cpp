#include "drawn_items.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>

namespace korvane::qt {

LineItem::LineItem(QWidget* parent, const QLine& line) : QWidget(parent), line_(line) {
    const int left = std::min(line.x1(), line.x2());
    const int top = std::min(line.y1(), line.y2());
    const int right = std::max(line.x1(), line.x2());
    const int bottom = std::max(line.y1(), line.y2());
    setGeometry(left, top, right - left + 1, bottom - top + 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineItem::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    // Drawn through the pixel centres, so that at any device pixel ratio the pen stays
    // inside the widget and the line keeps its full weight.
    painter.drawLine(QLineF(line_.translated(-pos())).translated(0.5, 0.5));
}

PictureBox::PictureBox(QWidget* parent, const QPixmap& picture, const QColor& background)
    : QWidget(parent), picture_(picture), background_(background) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.drawPixmap(0, 0, picture_);
}

ImageItem::ImageItem(QWidget* parent, const QPixmap& picture) : QWidget(parent), picture_(picture) {
    setFocusPolicy(Qt::NoFocus);
}

void ImageItem::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (scaled_.isNull() || scaled_.devicePixelRatio() != ratio ||
        scaled_.deviceIndependentSize() != QSizeF(size())) {
        const QSize pixels = (QSizeF(size()) * ratio).toSize();
        scaled_ = picture_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled_.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaled_);
}

FrameBox::FrameBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect border(0, top, width() - 2, height() - top - 2);
    const QRectF outer = QRectF(border).translated(0.5, 0.5);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(outer);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(outer.translated(1, 1));

    const QString caption = title();
    const QRect captionRect(8, 0, metrics.horizontalAdvance(caption), metrics.height());
    painter.fillRect(captionRect, palette().color(QPalette::Window));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
}

ReadOnlyBox::ReadOnlyBox(QWidget* parent) : QLineEdit(parent) {}

void ReadOnlyBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    caretShown_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash >= 2) {
        blink_.start(flash / 2, this);
    }
    update();
}

void ReadOnlyBox::focusOutEvent(QFocusEvent* event) {
    blink_.stop();
    caretShown_ = false;
    QLineEdit::focusOutEvent(event);
    update();
}

void ReadOnlyBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) {
        QLineEdit::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    update();
}

void ReadOnlyBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!caretShown_ || !hasFocus()) {
        return;
    }
    // Where an editable box draws its caret: one pixel wide, in the middle of the cursor's
    // rectangle, over the text's height.
    const QRect around = cursorRect();
    QPainter painter(this);
    painter.fillRect(QRect(around.left() + around.width() / 2, around.top(), 1, around.height()),
                     palette().color(QPalette::Text));
}

} // namespace korvane::qt
