#include "qt_window.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <vector>

#include "accessible.h"
#include "drawn_items.h"
#include "model/control_names.h"
#include "window/layout.h"

namespace korvane {

namespace {

using layout::Align;
using layout::Control;
using layout::In;
using layout::Kind;

constexpr int px(int twips) {
    return layout::Pixels(twips);
}

QRect rectOf(const layout::Place& place) {
    return {px(place.left), px(place.top), px(place.width), px(place.height)};
}

QColor toQt(layout::Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QString pictureFile(layout::Picture picture) {
    switch (picture) {
    case layout::Picture::Signal:
        return QStringLiteral(":/images/signal.jpg");
    case layout::Picture::Truck:
        return QStringLiteral(":/images/truck.gif");
    case layout::Picture::Locomotive:
        return QStringLiteral(":/images/locomotive.gif");
    case layout::Picture::None:
        break;
    }
    return {};
}

Qt::Alignment toQt(Align align) {
    switch (align) {
    case Align::Right:
        return Qt::AlignRight;
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Left:
    case Align::None:
        break;
    }
    return Qt::AlignLeft;
}

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

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

void QtWindow::buildControls() {
    QGroupBox* frame = nullptr;
    std::vector<std::pair<const Control*, QWidget*>> created;

    // The frame first, so that its children have their container.
    for (const Control& c : layout::kControls) {
        if (c.kind == Kind::Frame) {
            frame = new FrameBox(qs(c.text), this);
            frame->setObjectName(qs(c.name));
            frame->setGeometry(rectOf(c.place));
            created.emplace_back(&c, frame);
        }
    }

    for (const Control& c : layout::kControls) {
        QWidget* container = c.in == In::Frame1 ? static_cast<QWidget*>(frame) : this;
        QWidget* w = nullptr;
        const QRect rect = rectOf(c.place);
        switch (c.kind) {
        case Kind::Frame:
            continue;
        case Kind::TextBox:
        case Kind::ResultBox:
        case Kind::FreeText: {
            auto* edit = new QLineEdit(container);
            edit->setObjectName(qs(c.name));
            edit->setText(qs(c.text));
            edit->setAlignment(toQt(c.align) | Qt::AlignVCenter);
            edit->setAcceptDrops(false);
            // A box takes text of any length; nothing typed or pasted is cut off.
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setGeometry(rect);
            if (c.kind == Kind::ResultBox) {
                QPalette pal = edit->palette();
                pal.setColor(QPalette::Base, toQt(layout::kResultBack));
                edit->setPalette(pal);
            }
            if (c.access == layout::Access::Disabled) {
                edit->setEnabled(false);
                edit->setFocusPolicy(Qt::NoFocus);
            } else if (c.access == layout::Access::ReadOnly) {
                edit->setReadOnly(true);
                edit->setFocusPolicy(Qt::ClickFocus);
            }
            if (!c.advisory.empty()) {
                edit->setToolTip(qs(c.advisory));
            }
            boxes_.emplace(c.name, edit);
            w = edit;
            break;
        }
        case Kind::Label: {
            auto* label = new QLabel(container);
            label->setObjectName(qs(c.name));
            label->setText(qs(c.text));
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(toQt(c.align) | Qt::AlignTop);
            label->setMargin(0);
            label->setIndent(0);
            label->setAutoFillBackground(true);
            label->setGeometry(rect);
            if (c.font == layout::Font::Description) {
                const layout::FontFace& face = layout::FontOf(c);
                QFont font = label->font();
                font.setPixelSize(layout::FontPixels(face, layout::kLayoutDpi));
                font.setWeight(static_cast<QFont::Weight>(face.weight));
                // Hinted only vertically, the description keeps the glyph widths, and so the
                // line breaks, of the unhinted face; full hinting would move "warning".
                font.setHintingPreference(QFont::PreferVerticalHinting);
                label->setFont(font);
            }
            w = label;
            break;
        }
        case Kind::PictureBox: {
            const QColor back =
                c.back == layout::Back::Menu ? MenuColour() : palette().color(QPalette::Window);
            w = new PictureBox(container, QPixmap(pictureFile(c.picture)), back);
            w->setObjectName(qs(c.name));
            w->setGeometry(rect);
            break;
        }
        case Kind::Button: {
            command1_ = new QPushButton(container);
            command1_->setObjectName(qs(c.name));
            command1_->setText(qs(c.text));
            // Enter presses it wherever the focus is (keyPressEvent), so it looks the default
            // button of the style.
            command1_->setAutoDefault(false);
            command1_->setDefault(true);
            command1_->setGeometry(rect);
            w = command1_;
            break;
        }
        case Kind::Image:
            w = new ImageItem(container, QPixmap(pictureFile(c.picture)));
            w->setObjectName(qs(c.name));
            w->setGeometry(rect);
            break;
        case Kind::Line:
            w = new LineItem(container,
                             QLine(px(c.ends.x1), px(c.ends.y1), px(c.ends.x2), px(c.ends.y2)));
            w->setObjectName(qs(c.name));
            break;
        }
        created.emplace_back(&c, w);
    }

    // What a screen reader is told: the name and description the window's rules give each
    // control (accessible.cpp presents the rest).
    for (const auto& [c, w] : created) {
        if (c->tab >= 0) {
            w->setProperty("tabIndex", c->tab);
        }
        const layout::Spoken spoken = layout::SpokenOf(*c);
        if (spoken.role != layout::Role::None) {
            w->setAccessibleName(QString::fromStdString(spoken.name));
            w->setAccessibleDescription(QString::fromStdString(spoken.description));
        }
    }

    // Stacking: within each container the drawn items (labels, lines, the image) lie beneath
    // the windowed controls; within each group the lower Order lies on top. Raising in
    // descending Order, drawn items first, leaves exactly that.
    std::sort(created.begin(), created.end(), [](const auto& a, const auto& b) {
        const bool aw = layout::IsWindowed(a.first->kind);
        const bool bw = layout::IsWindowed(b.first->kind);
        if (aw != bw) {
            return !aw;
        }
        return a.first->order > b.first->order;
    });
    for (const auto& entry : created) {
        entry.second->raise();
    }

    // Events: every box reports its changes, typed keys and lost focus to the wiring, which
    // knows which of them it handles.
    for (const auto& [name, edit] : boxes_) {
        connect(edit, &QLineEdit::textChanged, this,
                [this, control = name] { wiring_.Change(control); });
        edit->installEventFilter(this);
    }
    connect(command1_, &QPushButton::clicked, this, [this] { wiring_.Command1_Click(); });
    command1_->installEventFilter(this);

    findChild<QWidget*>(qs(wiring_.Focused()))->setFocus();
}

QLineEdit* QtWindow::box(std::string_view control) const {
    const auto it = boxes_.find(control);
    return it == boxes_.end() ? nullptr : it->second;
}

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

std::string QtWindow::AdvisoryText(std::string_view control) const {
    return std::string(layout::AdvisoryOf(control));
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

// ---- Events -------------------------------------------------------------------------------

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

bool QtWindow::isEnabledNow(std::string_view control) const {
    const QWidget* widget = findChild<QWidget*>(qs(control));
    return widget != nullptr && widget->isEnabled();
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

} // namespace korvane
