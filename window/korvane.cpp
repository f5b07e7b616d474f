#include "korvane.h"

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
#include <array>
#include <limits>
#include <vector>

#include "checks/check_range.h"
#include "checks/num_only.h"
#include "drawn_items.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace korvane {

namespace {

// Positions and sizes are kept in twips, as the layout was drawn; 15 twips make one pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) {
    return twips / kTwipsPerPixel;
}

const QColor kResultBack(192, 255, 255);

enum class Kind { TextBox, ResultBox, FreeText, Label, PictureBox, Frame, Button, Image, Line };
enum class In { Window, Frame1 };
enum class Align { None, Left, Right, Centre };

// One control of the window. Order decides which of two overlapping controls lies on top (the
// lower number); lines use Left/Top/Width/Height as X1/Y1/X2/Y2.
struct ControlSpec {
    int order;
    const char* name;
    Kind kind;
    In in;
    int left, top, width, height;
    int tab; // -1: none
    const char* text;
    Align align;
};

// clang-format off
constexpr std::array kControls{
    ControlSpec{1, "txtDirection", Kind::FreeText, In::Window, 960, 2520, 975, 285, 2, "", Align::Left},
    ControlSpec{2, "txtLocation", Kind::FreeText, In::Window, 960, 2040, 2415, 285, 1, "", Align::Left},
    ControlSpec{3, "txtEffAccel", Kind::ResultBox, In::Window, 2160, 4680, 495, 285, 20, "0", Align::Right},
    ControlSpec{4, "txtSpd", Kind::TextBox, In::Window, 5040, 3600, 735, 285, 8, "22", Align::Right},
    ControlSpec{5, "txtGrade", Kind::TextBox, In::Window, 2160, 4200, 495, 285, 5, " 0", Align::Right},
    ControlSpec{6, "txtExitPass", Kind::ResultBox, In::Window, 6600, 5640, 735, 285, 9, " ", Align::Right},
    ControlSpec{7, "txtEntryPass", Kind::ResultBox, In::Window, 4560, 5640, 735, 285, 0, " ", Align::Right},
    ControlSpec{8, "txtAccel", Kind::TextBox, In::Window, 1680, 3720, 495, 285, 4, "0.5", Align::Right},
    ControlSpec{9, "txtLength", Kind::TextBox, In::Window, 2520, 3240, 1215, 285, 3, " ", Align::Centre},
    ControlSpec{10, "txtExitPos", Kind::TextBox, In::Window, 3960, 4800, 2655, 285, 7, "77", Align::Centre},
    ControlSpec{11, "txtEntryPos", Kind::TextBox, In::Window, 3960, 4440, 615, 285, 6, "11", Align::Centre},
    ControlSpec{12, "Picture3", Kind::PictureBox, In::Window, 2520, 3600, 1335, 495, 22, ":/images/truck.gif", Align::None},
    ControlSpec{13, "Picture1", Kind::PictureBox, In::Window, 4080, 1920, 855, 1095, 19, ":/images/signal.jpg", Align::None},
    ControlSpec{14, "Picture2", Kind::PictureBox, In::Window, 6000, 1920, 855, 1095, 18, ":/images/signal.jpg", Align::None},
    ControlSpec{15, "Frame1", Kind::Frame, In::Window, 1320, 5280, 6615, 1095, 11, " Results ", Align::None},
    ControlSpec{16, "Command1", Kind::Button, In::Frame1, 4080, 240, 1095, 495, 29, "Compute", Align::None},
    ControlSpec{17, "Label13", Kind::Label, In::Frame1, 5400, 720, 495, 255, 28, "T'p", Align::Left},
    ControlSpec{18, "Label12", Kind::Label, In::Frame1, 3360, 720, 375, 255, 27, "Tp", Align::Left},
    ControlSpec{19, "Label6", Kind::Label, In::Frame1, 720, 240, 2295, 495, 10, "Passage times for the rear end of the vehicle to clear the gates", Align::Right},
    ControlSpec{20, "Line7", Kind::Line, In::Frame1, 5280, 360, 5280, 120, -1, "", Align::None},
    ControlSpec{21, "Line5", Kind::Line, In::Frame1, 3240, 240, 3240, 120, -1, "", Align::None},
    ControlSpec{22, "Label16", Kind::Label, In::Window, 120, 2550, 735, 255, 32, "Direction", Align::Left},
    ControlSpec{23, "Label15", Kind::Label, In::Window, 120, 2070, 855, 255, 31, "Location", Align::Left},
    ControlSpec{24, "Label14", Kind::Label, In::Window, 5880, 3630, 495, 255, 30, "mph", Align::Left},
    ControlSpec{25, "Line22", Kind::Line, In::Window, 5160, 2400, 5640, 2400, -1, "", Align::None},
    ControlSpec{26, "Line21", Kind::Line, In::Window, 5160, 2520, 5640, 2520, -1, "", Align::None},
    ControlSpec{27, "Line20", Kind::Line, In::Window, 5160, 2640, 5640, 2640, -1, "", Align::None},
    ControlSpec{28, "Line19", Kind::Line, In::Window, 5160, 2760, 5640, 2760, -1, "", Align::None},
    ControlSpec{29, "Line18", Kind::Line, In::Window, 5160, 2880, 5640, 2880, -1, "", Align::None},
    ControlSpec{30, "Line17", Kind::Line, In::Window, 5160, 3000, 5640, 3000, -1, "", Align::None},
    ControlSpec{31, "Line16", Kind::Line, In::Window, 5160, 3120, 5640, 3120, -1, "", Align::None},
    ControlSpec{32, "Line15", Kind::Line, In::Window, 5160, 3240, 5640, 3240, -1, "", Align::None},
    ControlSpec{33, "Line14", Kind::Line, In::Window, 5160, 3960, 5640, 3960, -1, "", Align::None},
    ControlSpec{34, "Line13", Kind::Line, In::Window, 5160, 4080, 5640, 4080, -1, "", Align::None},
    ControlSpec{35, "Line12", Kind::Line, In::Window, 5160, 4200, 5640, 4200, -1, "", Align::None},
    ControlSpec{36, "Line11", Kind::Line, In::Window, 5160, 4320, 5640, 4320, -1, "", Align::None},
    ControlSpec{37, "Image1", Kind::Image, In::Window, 5160, 1680, 495, 705, -1, ":/images/locomotive.gif", Align::None},
    ControlSpec{38, "Line8", Kind::Line, In::Window, 3240, 4080, 960, 4080, -1, "", Align::None},
    ControlSpec{39, "Label1", Kind::Label, In::Window, 3480, 1440, 495, 375, 17, "Stop Line", Align::Right},
    ControlSpec{40, "Label11", Kind::Label, In::Window, 6120, 1440, 615, 375, 15, "Exit Gate", Align::Centre},
    ControlSpec{41, "Label10", Kind::Label, In::Window, 3960, 1440, 975, 375, 16, "Entrance Gate", Align::Centre},
    ControlSpec{42, "Label9", Kind::Label, In::Window, 480, 4680, 1575, 255, 26, "Effective Acceleration", Align::Left},
    ControlSpec{43, "Label8", Kind::Label, In::Window, 4680, 3360, 1815, 375, 14, "Max Veh Crossing Speed", Align::Left},
    ControlSpec{44, "Label7", Kind::Label, In::Window, 2760, 4230, 735, 255, 25, "Grade %", Align::Left},
    ControlSpec{45, "Line4", Kind::Line, In::Window, 1560, 4440, 3240, 4080, -1, "", Align::None},
    ControlSpec{46, "Label5", Kind::Label, In::Window, 480, 3600, 975, 495, 24, "Max Level Acceleration", Align::Centre},
    ControlSpec{47, "Label4", Kind::Label, In::Window, 2520, 3000, 1215, 285, 23, "Vehicle Length", Align::Centre},
    ControlSpec{48, "Label3", Kind::Label, In::Window, 6720, 4830, 1815, 255, 13, "Exit Gate Position", Align::Left},
    ControlSpec{49, "Label2", Kind::Label, In::Window, 4680, 4470, 1695, 255, 12, "Entrance Gate Position", Align::Left},
    ControlSpec{50, "Line3", Kind::Line, In::Window, 3960, 1920, 3960, 5160, -1, "", Align::None},
    ControlSpec{51, "Line2", Kind::Line, In::Window, 6600, 2880, 6600, 5760, -1, "", Align::None},
    ControlSpec{52, "Line1", Kind::Line, In::Window, 4560, 2880, 4560, 5760, -1, "", Align::None},
    ControlSpec{53, "frmMainLabel", Kind::Label, In::Window, 360, 120, 7575, 1215, 21,
                "Computes the passage times for a vehicle through a highway-railroad grade crossing "
                "under the forseeable worst-case scenario.The worst-case scenario involves a heavy "
                "truck starting from a stopped position at the stop line at the instant the "
                "warning signals are activated.",
                Align::Centre},
    ControlSpec{54, "Line10", Kind::Line, In::Window, 5520, 2400, 5520, 4320, -1, "", Align::None},
    ControlSpec{55, "Line9", Kind::Line, In::Window, 5280, 2400, 5280, 4320, -1, "", Align::None},
};
// clang-format on

// The advisory texts of the six numeric boxes. They also hold each box's permitted range,
// which the range check reads back, so every blank counts.
struct Advisory {
    const char* box;
    const char* text;
};
constexpr std::array kAdvisories{
    Advisory{"txtSpd", "Vehicle will try to accelerate to this speed (5 to 35) mph"},
    Advisory{"txtGrade", "Percent grade (-5  to  5)%"},
    Advisory{"txtAccel", "Maximum acceleration on level grade  (0.25 to 10)  f/s/s "},
    Advisory{"txtLength", "Design vehicle length (10 to 120)  ft)"},
    Advisory{"txtExitPos", "Stop line to exit gate distance (20 to 500) ft."},
    Advisory{"txtEntryPos", "Stop line to entrance gate distance (2 to 40) ft."},
};

// What assistive technology announces for each box: the caption that stands beside it.
struct AccessibleName {
    const char* box;
    const char* name;
};
constexpr std::array kAccessibleNames{
    AccessibleName{"txtSpd", "Max Veh Crossing Speed (mph)"},
    AccessibleName{"txtAccel", "Max Level Acceleration"},
    AccessibleName{"txtGrade", "Grade %"},
    AccessibleName{"txtLength", "Vehicle Length"},
    AccessibleName{"txtEntryPos", "Entrance Gate Position"},
    AccessibleName{"txtExitPos", "Exit Gate Position"},
    AccessibleName{"txtLocation", "Location"},
    AccessibleName{"txtDirection", "Direction"},
    AccessibleName{"txtEffAccel", "Effective Acceleration"},
    AccessibleName{"txtEntryPass", "Tp"},
    AccessibleName{"txtExitPass", "T'p"},
};

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

bool isWindowed(Kind kind) {
    return kind != Kind::Label && kind != Kind::Line && kind != Kind::Image;
}

} // namespace

Korvane::Korvane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Korvane"));
    setWindowTitle(QStringLiteral("KORVANE"));
    setWindowIcon(QIcon(QStringLiteral(":/images/signal.jpg")));
    setAutoFillBackground(true);
    resize(px(8445), px(6870));
    buildControls();
    Form_Load();
}

Korvane::~Korvane() = default;

void Korvane::buildControls() {
    QGroupBox* frame = nullptr;
    std::vector<std::pair<const ControlSpec*, QWidget*>> created;

    // The frame first, so that its children have their container.
    for (const ControlSpec& c : kControls) {
        if (c.kind == Kind::Frame) {
            frame = new FrameBox(qs(c.text), this);
            frame->setObjectName(QString::fromLatin1(c.name));
            frame->setGeometry(px(c.left), px(c.top), px(c.width), px(c.height));
            frame->setProperty("tabIndex", c.tab);
            created.emplace_back(&c, frame);
        }
    }

    for (const ControlSpec& c : kControls) {
        QWidget* container = c.in == In::Frame1 ? static_cast<QWidget*>(frame) : this;
        QWidget* w = nullptr;
        const QRect rect(px(c.left), px(c.top), px(c.width), px(c.height));
        switch (c.kind) {
        case Kind::Frame:
            continue;
        case Kind::TextBox:
        case Kind::ResultBox:
        case Kind::FreeText: {
            auto* edit = new QLineEdit(qs(c.text), container);
            edit->setAlignment(toQt(c.align) | Qt::AlignVCenter);
            edit->setAcceptDrops(false);
            // A box takes text of any length; nothing typed or pasted is cut off.
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setGeometry(rect);
            if (c.kind == Kind::ResultBox) {
                QPalette pal = edit->palette();
                pal.setColor(QPalette::Base, kResultBack);
                edit->setPalette(pal);
                if (c.name == ctl::txtEffAccel) {
                    edit->setEnabled(false);
                    edit->setFocusPolicy(Qt::NoFocus);
                } else {
                    edit->setReadOnly(true);
                    edit->setFocusPolicy(Qt::ClickFocus);
                }
            }
            boxes_.emplace(c.name, edit);
            w = edit;
            break;
        }
        case Kind::Label: {
            auto* label = new QLabel(qs(c.text), container);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(toQt(c.align) | Qt::AlignTop);
            label->setMargin(0);
            label->setIndent(0);
            label->setAutoFillBackground(true);
            label->setGeometry(rect);
            if (std::string_view(c.name) == "frmMainLabel") {
                QFont font = label->font();
                font.setPixelSize(13);
                font.setBold(true);
                label->setFont(font);
            }
            w = label;
            break;
        }
        case Kind::PictureBox: {
            const QColor back = std::string_view(c.name) == "Picture3"
                                    ? menuColour()
                                    : palette().color(QPalette::Window);
            w = new PictureBox(container, QPixmap(QString::fromLatin1(c.text)), back);
            w->setGeometry(rect);
            break;
        }
        case Kind::Button: {
            command1_ = new QPushButton(qs(c.text), container);
            command1_->setAutoDefault(false);
            command1_->setDefault(false);
            command1_->setGeometry(rect);
            command1_->setAccessibleName(QStringLiteral("Compute"));
            w = command1_;
            break;
        }
        case Kind::Image:
            w = new ImageItem(container, QPixmap(QString::fromLatin1(c.text)));
            w->setGeometry(rect);
            break;
        case Kind::Line:
            w = new LineItem(container, QLine(px(c.left), px(c.top), px(c.width), px(c.height)));
            break;
        }
        w->setObjectName(QString::fromLatin1(c.name));
        if (c.tab >= 0) {
            w->setProperty("tabIndex", c.tab);
        }
        created.emplace_back(&c, w);
    }

    // Stacking: within each container the drawn items (labels, lines, the image) lie beneath
    // the windowed controls; within each group the lower Order lies on top. Raising in
    // descending Order, drawn items first, leaves exactly that.
    std::sort(created.begin(), created.end(), [](const auto& a, const auto& b) {
        const bool aw = isWindowed(a.first->kind);
        const bool bw = isWindowed(b.first->kind);
        if (aw != bw) {
            return !aw;
        }
        return a.first->order > b.first->order;
    });
    for (const auto& entry : created) {
        entry.second->raise();
    }

    for (const Advisory& a : kAdvisories) {
        boxes_.at(a.box)->setToolTip(QString::fromLatin1(a.text));
        boxes_.at(a.box)->setAccessibleDescription(QString::fromLatin1(a.text));
    }
    for (const AccessibleName& a : kAccessibleNames) {
        boxes_.at(a.box)->setAccessibleName(QString::fromLatin1(a.name));
    }

    // Tab runs through the eight input boxes and Compute; the result boxes, the pictures, the
    // labels and the frame are left out.
    const std::array<QWidget*, 9> chain{
        box(ctl::txtLocation), box(ctl::txtDirection), box(ctl::txtLength),
        box(ctl::txtAccel),    box(ctl::txtGrade),     box(ctl::txtEntryPos),
        box(ctl::txtExitPos),  box(ctl::txtSpd),       command1_};
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i], chain[i + 1]);
    }

    // Events.
    const auto change = [this](std::string_view name, void (Korvane::*handler)()) {
        connect(box(name), &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
    };
    change(ctl::txtSpd, &Korvane::txtSpd_Change);
    change(ctl::txtAccel, &Korvane::txtAccel_Change);
    change(ctl::txtGrade, &Korvane::txtGrade_Change);
    change(ctl::txtLength, &Korvane::txtLength_Change);
    change(ctl::txtEntryPos, &Korvane::txtEntryPos_Change);
    change(ctl::txtExitPos, &Korvane::txtExitPos_Change);

    keyPressHandlers_ = {
        {box(ctl::txtSpd), &Korvane::txtSpd_KeyPress},
        {box(ctl::txtAccel), &Korvane::txtAccel_KeyPress},
        {box(ctl::txtLength), &Korvane::txtLength_KeyPress},
        {box(ctl::txtEntryPos), &Korvane::txtEntryPos_KeyPress},
        {box(ctl::txtExitPos), &Korvane::txtExitPos_KeyPress},
    };
    lostFocusHandlers_ = {
        {box(ctl::txtSpd), &Korvane::txtSpd_LostFocus},
        {box(ctl::txtAccel), &Korvane::txtAccel_LostFocus},
        {box(ctl::txtGrade), &Korvane::txtGrade_LostFocus},
        {box(ctl::txtLength), &Korvane::txtLength_LostFocus},
        {box(ctl::txtEntryPos), &Korvane::txtEntryPos_LostFocus},
        {box(ctl::txtExitPos), &Korvane::txtExitPos_LostFocus},
    };
    for (const auto& [object, handler] : lostFocusHandlers_) {
        object->installEventFilter(this);
    }

    connect(command1_, &QPushButton::clicked, this, &Korvane::Command1_Click);

    box(ctl::txtLocation)->setFocus();
}

QLineEdit* Korvane::box(std::string_view control) const {
    const auto it = boxes_.find(control);
    return it == boxes_.end() ? nullptr : it->second;
}

// ---- Window operations --------------------------------------------------------------------

std::string Korvane::Text(std::string_view control) const {
    const QLineEdit* edit = box(control);
    return edit != nullptr ? edit->text().toStdString() : std::string();
}

void Korvane::SetText(std::string_view control, std::string_view text) {
    QLineEdit* edit = box(control);
    if (edit == nullptr) {
        return;
    }
    const QString value = qs(text);
    if (edit->text() != value) {
        edit->setText(value); // the box's Change handler runs inside this call
    }
}

std::string Korvane::AdvisoryText(std::string_view control) const {
    const QLineEdit* edit = box(control);
    return edit != nullptr ? edit->toolTip().toStdString() : std::string();
}

void Korvane::SetEnabled(std::string_view control, bool enabled) {
    if (control == ctl::Command1) {
        command1_->setEnabled(enabled);
    } else if (QLineEdit* edit = box(control)) {
        edit->setEnabled(enabled);
    }
}

void Korvane::ShowMessage(std::string_view text, std::string_view title) {
    QMessageBox message(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Ok, this);
    message.setTextFormat(Qt::PlainText);
    const bool wasActive = isActiveWindow();
    message.exec();
    // Give the focus back to the window, to the control the user sent it to, even where the
    // window system leaves no window active once the message is gone. The window system may
    // hand the activation over only after exec() has returned, so ask for it in any case.
    if (wasActive && isVisible()) {
        activateWindow();
    }
}

void Korvane::Beep() {
    ++beepCount_;
    QApplication::beep();
}

// ---- Events -------------------------------------------------------------------------------

bool Korvane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (keyPressHandlers_.count(watched) != 0) {
            return filterKey(static_cast<QLineEdit*>(watched), static_cast<QKeyEvent*>(event));
        }
        break;
    case QEvent::InputMethod:
        if (const auto it = keyPressHandlers_.find(watched); it != keyPressHandlers_.end()) {
            // Text composed by an input method is typed text too: every character of it
            // passes the box's filter, and a refused one drops the whole composition.
            const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
            bool refused = false;
            for (const QChar unit : commit) {
                auto KeyAscii = static_cast<std::int16_t>(unit.unicode());
                (this->*(it->second))(KeyAscii);
                refused = refused || KeyAscii != static_cast<std::int16_t>(unit.unicode());
            }
            return refused;
        }
        break;
    case QEvent::FocusOut:
        if (const auto it = lostFocusHandlers_.find(watched); it != lostFocusHandlers_.end()) {
            // Only a move to another control of this window counts as leaving the box: not
            // a message box opening, another application taking over, or the window closing.
            const QWidget* to = QApplication::focusWidget();
            if (to != nullptr && to != watched && to->window() == this) {
                (this->*(it->second))();
            }
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool Korvane::filterKey(QLineEdit* edit, QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false; // these type no character
    default:
        break;
    }

    // The character codes the key types. Control with a letter or one of @[\]^_ types the
    // matching control character, Control with Backspace types DEL.
    std::vector<char16_t> codes;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            codes.push_back(static_cast<char16_t>(key - Qt::Key_A + 1));
        } else if (key >= Qt::Key_BracketLeft && key <= Qt::Key_Underscore) {
            codes.push_back(static_cast<char16_t>(key - Qt::Key_At));
        } else if (key == Qt::Key_Backspace) {
            codes.push_back(127);
        }
    }
    if (codes.empty()) {
        if (key == Qt::Key_Backspace) {
            codes.push_back(8);
        } else {
            for (const QChar unit : event->text()) {
                codes.push_back(unit.unicode());
            }
        }
    }
    if (codes.empty()) {
        return false; // arrows, Home, End and the like
    }

    const auto handler = keyPressHandlers_.at(edit);
    QString kept;
    bool changed = false;
    for (const char16_t code : codes) {
        auto KeyAscii = static_cast<std::int16_t>(code);
        (this->*handler)(KeyAscii);
        if (KeyAscii != static_cast<std::int16_t>(code)) {
            changed = true;
        }
        if (KeyAscii != 0) {
            kept.append(QChar(static_cast<char16_t>(KeyAscii)));
        }
    }
    if (!changed) {
        return false; // the box handles the key as usual
    }
    if (!kept.isEmpty()) {
        edit->insert(kept);
    }
    return true;
}

void Korvane::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses Compute. No focus moves, so no range check runs first.
        if (command1_->isEnabled()) {
            Command1_Click();
        }
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// ---- Handlers -----------------------------------------------------------------------------

void Korvane::Form_Load() {
    SetText(ctl::txtSpd, " ");
    SetText(ctl::txtGrade, " ");
    SetText(ctl::txtLength, " ");
    SetText(ctl::txtEntryPos, " ");
    SetText(ctl::txtEntryPass, " ");
    SetText(ctl::txtExitPos, " ");
    SetText(ctl::txtExitPass, " ");
    SetText(ctl::txtAccel, " ");
    CompuCheck(state_, *this);
}

void Korvane::txtSpd_Change() {
    CompuCheck(state_, *this);
}
void Korvane::txtAccel_Change() {
    CompuCheck(state_, *this);
}
void Korvane::txtGrade_Change() {
    CompuCheck(state_, *this);
}
void Korvane::txtLength_Change() {
    CompuCheck(state_, *this);
}
void Korvane::txtEntryPos_Change() {
    CompuCheck(state_, *this);
}
void Korvane::txtExitPos_Change() {
    CompuCheck(state_, *this);
}

void Korvane::txtSpd_KeyPress(std::int16_t& KeyAscii) {
    NumOnly(*this, KeyAscii);
}
void Korvane::txtAccel_KeyPress(std::int16_t& KeyAscii) {
    NumOnly(*this, KeyAscii);
}
void Korvane::txtLength_KeyPress(std::int16_t& KeyAscii) {
    NumOnly(*this, KeyAscii);
}
void Korvane::txtEntryPos_KeyPress(std::int16_t& KeyAscii) {
    NumOnly(*this, KeyAscii);
}
void Korvane::txtExitPos_KeyPress(std::int16_t& KeyAscii) {
    NumOnly(*this, KeyAscii);
}

void Korvane::txtSpd_LostFocus() {
    checkRangeOf(ctl::txtSpd);
}
void Korvane::txtAccel_LostFocus() {
    checkRangeOf(ctl::txtAccel);
}
void Korvane::txtGrade_LostFocus() {
    checkRangeOf(ctl::txtGrade);
}
void Korvane::txtLength_LostFocus() {
    checkRangeOf(ctl::txtLength);
}
void Korvane::txtEntryPos_LostFocus() {
    checkRangeOf(ctl::txtEntryPos);
}
void Korvane::txtExitPos_LostFocus() {
    checkRangeOf(ctl::txtExitPos);
}

void Korvane::checkRangeOf(std::string_view control) {
    std::string ValString = Text(control);
    std::string RangeString = AdvisoryText(control);
    CheckRange(state_, *this, ValString, RangeString);
    if (!state_.RangeOk) {
        SetEnabled(ctl::Command1, false);
    }
}

void Korvane::Command1_Click() {
    ComputePassageTimes(state_, *this);
}

} // namespace korvane
