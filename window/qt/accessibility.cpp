#include "accessibility.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "window/layout.h"

namespace korvane::qt {

namespace {

// The control of the layout table a widget stands for, or nullptr.
const layout::Control* controlOf(const QObject* object) {
    return layout::Find(object->objectName().toStdString());
}

// A container whose children are the controls it holds that a screen reader is told of: not the
// lines, which are drawing only.
class Container : public QAccessibleWidget {
public:
    Container(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(shown().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = shown();
        if (index < 0 || index >= children.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        return static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> shown() const {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            const layout::Control* control = child != nullptr ? controlOf(child) : nullptr;
            if (control != nullptr && !child->isWindow() &&
                layout::SpokenOf(*control).role != layout::Role::None) {
                children.append(child);
            }
        }
        return children;
    }
};

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

// The controls related to a control, as the interfaces a screen reader reaches them by.
void relate(Relations& relations, const std::vector<const layout::Control*>& controls,
            const QWidget* within, QAccessible::Relation relation) {
    for (const layout::Control* control : controls) {
        auto* widget = within->window()->findChild<QWidget*>(
            QString::fromUtf8(control->name.data(), static_cast<qsizetype>(control->name.size())));
        if (QAccessibleInterface* iface =
                widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr) {
            relations.append({iface, relation});
        }
    }
}

// A box as a screen reader reads it: an editable text, with the text of the box, its caret and
// its selection, labelled by the captions the window's rules give it (LABELLED_BY on AT-SPI),
// and related to nothing else. A box the user may type into also takes text from assistive
// technology, which counts as an assignment to the box, running its Change as the program's own
// assignments do; a read-only or disabled box takes none, as it takes no typing. Qt's bridge
// offers the editing calls of every box alike; the box's state says whether it is editable.
class Box : public QAccessibleWidget,
            public QAccessibleTextInterface,
            public QAccessibleEditableTextInterface {
public:
    Box(QLineEdit* edit, const layout::Control& control)
        : QAccessibleWidget(edit, QAccessible::EditableText), control_(control) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return edit()->text();
        }
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString& text) override {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
        } else if (editable()) {
            edit()->setText(text);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = edit()->isReadOnly();
        state.editable = editable();
        state.selectableText = true;
        return state;
    }

    Relations relations(QAccessible::Relation match) const override {
        Relations relations;
        if ((match & QAccessible::Label) != 0) {
            relate(relations, layout::LabelsOf(control_), widget(), QAccessible::Label);
        }
        return relations;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (t == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTextInterface. Offsets from assistive technology may be anything: each is
    // brought into the text first.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && edit()->hasSelectedText()) {
            *startOffset = edit()->selectionStart();
            *endOffset = edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) {
            edit()->deselect();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) {
            const int start = bounded(startOffset);
            edit()->setSelection(start, bounded(endOffset) - start);
        }
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(bounded(position)); }
    QString text(int startOffset, int endOffset) const override {
        const int start = bounded(startOffset);
        const int end = bounded(endOffset);
        return end > start ? edit()->text().mid(start, end - start) : QString();
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override {
        return QAccessibleTextInterface::textBeforeOffset(at(offset), boundaryType, startOffset,
                                                          endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override {
        return QAccessibleTextInterface::textAfterOffset(at(offset), boundaryType, startOffset,
                                                         endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override {
        return QAccessibleTextInterface::textAtOffset(at(offset), boundaryType, startOffset,
                                                      endOffset);
    }
    int characterCount() const override { return static_cast<int>(edit()->text().size()); }
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        edit()->setCursorPosition(bounded(endIndex));
        edit()->setCursorPosition(bounded(startIndex));
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset; // a box's text has no attributes
        return {};
    }

    // QAccessibleEditableTextInterface: changes the text only while the box is editable.
    void deleteText(int startOffset, int endOffset) override {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (!editable()) {
            return;
        }
        const int start = bounded(startOffset);
        const int end = std::max(start, bounded(endOffset));
        edit()->setText(edit()->text().replace(start, end - start, text));
    }

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
    bool editable() const { return edit()->isEnabled() && !edit()->isReadOnly(); }
    int bounded(int offset) const { return std::clamp(offset, 0, characterCount()); }
    // -2 stands for the caret, as assistive technology asks for it.
    int at(int offset) const { return offset == -2 ? cursorPosition() : bounded(offset); }
    // The smallest x in the box whose nearest caret position is at least `position`.
    int firstXAt(int position) const;

    const layout::Control& control_;
};

int Box::firstXAt(int position) const {
    const int y = edit()->height() / 2;
    // The text may be scrolled far to either side of the box: the search spans all of it.
    int low = -(1 << 24);
    int high = 1 << 24;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (edit()->cursorPositionAt(QPoint(middle, y)) >= position) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// The box finds the caret position nearest a point, and from the point where it turns from one
// character's start to the next, halfway across the character, the character's left edge lies
// half its width back.
QRect Box::characterRect(int offset) const {
    const QString ch = text(offset, offset + 1);
    if (ch.isEmpty()) {
        return {};
    }
    const QFontMetrics metrics(edit()->font());
    const int width = metrics.horizontalAdvance(ch);
    const int left = firstXAt(offset + 1) - width / 2;
    const int top = (edit()->height() - metrics.height()) / 2;
    return {edit()->mapToGlobal(QPoint(left, top)), QSize(width, metrics.height())};
}

// A caption as a screen reader reads it: static text, the label of the boxes the window's rules
// give it (LABEL_FOR on AT-SPI), and related to nothing else.
class Caption : public QAccessibleWidget {
public:
    Caption(QWidget* label, const layout::Control& control)
        : QAccessibleWidget(label, QAccessible::StaticText), control_(control) {}

    Relations relations(QAccessible::Relation match) const override {
        Relations relations;
        if ((match & QAccessible::Labelled) != 0) {
            relate(relations, layout::LabelledBy(control_), widget(), QAccessible::Labelled);
        }
        return relations;
    }

private:
    const layout::Control& control_;
};

// Each control is presented in the role the window's rules give it: the boxes and the captions
// here, related to each other as the rules say, as are the window, the frame and the pictures;
// the button keeps Qt's own presentation, which has that role already, and its press action.
QAccessibleInterface* interfaceFor(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QString window = QString::fromUtf8(layout::kWindowName.data(),
                                             static_cast<qsizetype>(layout::kWindowName.size()));
    if (widget->isWindow() && widget->objectName() == window) {
        return new Container(widget, QAccessible::Window);
    }
    const layout::Control* control = controlOf(widget);
    if (control == nullptr) {
        return nullptr;
    }
    switch (layout::SpokenOf(*control).role) {
    case layout::Role::Grouping:
        return new Container(widget, QAccessible::Grouping);
    case layout::Role::Graphic:
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    case layout::Role::EditableText:
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            return new Box(edit, *control);
        }
        break;
    case layout::Role::StaticText:
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            return new Caption(widget, *control);
        }
        break;
    case layout::Role::PushButton:
    case layout::Role::None:
        break;
    }
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
}

} // namespace korvane::qt
