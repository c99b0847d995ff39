#include "gui/controls/item_list_accessible.h"

#include <QAccessibleWidget>
#include <vector>

#include "core/itemlist/item_store.h"
#include "gui/controls/item_list_view.h"
#include "gui/platform/qt_text.h"

namespace zentorak {
namespace {

class ListAccessible;

// One row; it lives as long as the list's interface and is no longer valid once the list holds
// fewer rows than its index.
class RowAccessible : public QAccessibleInterface {
public:
    RowAccessible(ListAccessible* list, int index) : list_(list), index_(index) {}
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    ListAccessible* list_;
    int index_;
};

class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(ItemListView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListAccessible() override {
        for (RowAccessible* row : rows_) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(row));
        }
    }
    ItemListView* View() const { return static_cast<ItemListView*>(widget()); }
    int childCount() const override { return View()->Core().Count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        while (static_cast<int>(rows_.size()) <= index) {
            auto* row = new RowAccessible(const_cast<ListAccessible*>(this),
                                          static_cast<int>(rows_.size()));
            QAccessible::registerAccessibleInterface(row);
            rows_.push_back(row);
        }
        return rows_[static_cast<size_t>(index)];
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i] == child) {
                return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = View()->Core().TopIndex(); i >= 0 && i < childCount(); ++i) {
            QRect r = RowRect(i);
            if (r.top() > rect().bottom()) {
                break;
            }
            if (r.contains(x, y)) {
                return child(i);
            }
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return View()->hasFocus() ? child(View()->Core().TopIndex()) : nullptr;
    }
    // On the screen, from the top row down (the rows above it are scrolled away upward).
    QRect RowRect(int index) const {
        ItemListView* view = View();
        const int top = view->Core().TopIndex();
        auto height = [view](int i) {
            return static_cast<int>(view->SendMessage(ILVM_GETITEMHEIGHT, i));
        };
        int y = 0;
        for (int i = top; i < index; ++i) {
            y += height(i);
        }
        for (int i = index; i < top; ++i) {
            y -= height(i);
        }
        return QRect(view->mapToGlobal(QPoint(0, y)), QSize(view->width(), height(index)));
    }
    QString RowText(int index) const {
        InertListItem item;
        if (View()->SendMessage(ILVM_GETITEM, index, reinterpret_cast<MsgLParam>(&item)) != 0) {
            return {};
        }
        QString text = item.text != nullptr ? ToQString(std::u16string_view(item.text)) : QString();
        FreeItemText(item.text);
        return text;
    }

private:
    mutable std::vector<RowAccessible*> rows_;
};

bool RowAccessible::isValid() const {
    return list_->isValid() && index_ < list_->childCount();
}
QWindow* RowAccessible::window() const {
    return list_->window();
}
QAccessibleInterface* RowAccessible::parent() const {
    return list_;
}
QString RowAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name && isValid() ? list_->RowText(index_) : QString();
}
QRect RowAccessible::rect() const {
    return isValid() ? list_->RowRect(index_) : QRect();
}
QAccessible::State RowAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    if (!isValid()) {
        s.invisible = true;
        return s;
    }
    const bool current = list_->View()->Core().TopIndex() == index_;
    s.selected = current;
    s.focused = current && list_->View()->hasFocus();
    s.offscreen = !list_->rect().intersects(rect());
    return s;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ItemListView*>(object)) {
        return new ListAccessible(view);
    }
    return nullptr;
}

}  // namespace

void InstallItemListAccessible() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(Factory);
    }
}

void AnnounceItemListRow(ItemListView* view, int row) {
    if (!QAccessible::isActive() || row < 0 || row >= view->Core().Count()) {
        return;
    }
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(row);
    QAccessible::updateAccessibility(&focus);
    QAccessibleEvent selection(view, QAccessible::Selection);
    selection.setChild(row);
    QAccessible::updateAccessibility(&selection);
}

}  // namespace zentorak
