#include "gui/resources/menu_builder.h"

#include <QAction>
#include <QMenu>

// The resource file is compiled into a static library, so it must be registered by hand.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

namespace zentorak::res {
namespace {

QString FromTable(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QAction* AddCommand(QMenu* menu, int id, const QString& text, const CommandSink& sink) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    QObject::connect(action, &QAction::triggered, menu, [sink, id] { sink(id); });
    return action;
}

void FillMenu(QMenu* menu, std::span<const MenuItem> items, const CommandSink& sink) {
    for (const MenuItem& item : items) {
        if (!item.children.empty()) {
            QMenu* sub = menu->addMenu(FromTable(item.text));
            FillMenu(sub, item.children, sink);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            AddCommand(menu, item.id, FromTable(item.text), sink);
        }
    }
}

void InsertPopup(QMenu* menu, int position, QMenu* popup, const QString& text) {
    popup->setTitle(text);
    const QList<QAction*> actions = menu->actions();
    if (position >= 0 && position < actions.size()) {
        menu->insertMenu(actions[position], popup);
    } else {
        menu->addMenu(popup);
    }
}

QAction* FindCommand(const QMenu* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindCommand(action->menu(), id)) {
                return found;
            }
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

QString ResourceString(int id) {
    return FromTable(LoadResourceString(id));
}

QIcon AppIcon() {
    static const bool registered = (RegisterResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/zentorak/icon.png"));
}

}  // namespace zentorak::res
