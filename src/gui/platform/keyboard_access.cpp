#include "gui/platform/keyboard_access.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace zentorak {
namespace {

// A combo box named by its own accessible name or its label, its value being the current text.
// (Qt's own interface here reports the current text as the name, so that a row of combo boxes
// reads "35", "40", "41" with nothing to tell them apart.)
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }
    QString text(QAccessible::Text t) const override {
        auto* box = static_cast<QComboBox*>(widget());
        if (t == QAccessible::Value) {
            return box->currentText();
        }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            static_cast<QComboBox*>(widget())->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
};

QAccessibleInterface* ComboFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    if (box == nullptr || !box->isWidgetType()) {
        return nullptr;
    }
    return new NamedComboBox(box);
}

// Shift+F10 asks the focused control for its menu as the menu key does.
class MenuKeyAlias : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        // The first to see a key is the control with the focus; the key is not passed on.
        auto* key = static_cast<QKeyEvent*>(event);
        auto* focus = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier ||
            focus == nullptr || !focus->isEnabled()) {
            return false;
        }
        const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

class ReturnClicks : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button == nullptr || (key != Qt::Key_Return && key != Qt::Key_Enter)) {
            return false;
        }
        button->click();
        return true;
    }
};

}  // namespace

void InstallKeyboardAccess() {
    static bool installed = false;
    if (installed || qApp == nullptr) {
        return;
    }
    installed = true;
    QAccessible::installFactory(ComboFactory);
    qApp->installEventFilter(new MenuKeyAlias(qApp));
}

void ClickOnReturn(QAbstractButton* button) {
    button->installEventFilter(new ReturnClicks(button));
}

}  // namespace zentorak
