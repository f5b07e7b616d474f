#include "accessibility.h"

#include <QAccessibleWidget>
#include <QList>
#include <QWidget>

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

// Each control is presented in the role the window's rules give it. A box, a caption and the
// button keep Qt's own presentation, which has that role already and the text and action
// interfaces that go with it; the window, the frame and the pictures are presented here.
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
    case layout::Role::StaticText:
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
