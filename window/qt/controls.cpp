// The controls of the Qt window, made from the layout table: each in its place and container,
// with its text, alignment, colours, font, access and name, stacked in Order, and its events
// reported to the window.

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "convert.h"
#include "drawn_items.h"
#include "qt_window.h"
#include "window/layout.h"

namespace korvane::qt {

namespace {

using layout::Align;
using layout::Control;
using layout::In;
using layout::Kind;

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

Qt::Alignment alignmentOf(Align align) {
    return align == Align::Right ? Qt::AlignRight
                                 : (align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
}

} // namespace

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
            auto* edit = c.access == layout::Access::ReadOnly ? new ReadOnlyBox(container)
                                                              : new QLineEdit(container);
            edit->setObjectName(qs(c.name));
            edit->setReadOnly(c.access == layout::Access::ReadOnly);
            edit->setText(qs(c.text));
            edit->setAlignment(alignmentOf(c.align) | Qt::AlignVCenter);
            edit->setAcceptDrops(false);
            // A box takes text of any length; nothing typed or pasted is cut off.
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setGeometry(rect);
            // The result boxes are light cyan with text readable there, unless the desktop asks
            // for high contrast: then they keep its colours, as every other box does.
            if (c.kind == Kind::ResultBox && !HighContrastLook()) {
                QPalette pal = edit->palette();
                pal.setColor(QPalette::Base, toQt(layout::kResultBack));
                for (const auto group :
                     {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                    const QColor text = pal.color(group, QPalette::Text);
                    const layout::Rgb readable = layout::ReadableOn(
                        layout::kResultBack, {static_cast<std::uint8_t>(text.red()),
                                              static_cast<std::uint8_t>(text.green()),
                                              static_cast<std::uint8_t>(text.blue())});
                    pal.setColor(group, QPalette::Text, toQt(readable));
                }
                edit->setPalette(pal);
            }
            // A read-only box takes the focus by Tab and by a click, as an input box does.
            if (c.access == layout::Access::Disabled) {
                edit->setEnabled(false);
                edit->setFocusPolicy(Qt::NoFocus);
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
            label->setAlignment(alignmentOf(c.align) | Qt::AlignTop);
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

} // namespace korvane::qt
