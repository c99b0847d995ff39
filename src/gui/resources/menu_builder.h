// Builds QMenus from the menu tables; every action carries its command id (QAction::data) and
// reports it through one callback, so the window dispatches by id. Also the program's icon.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <span>

#include "core/resources/menu_tables.h"

class QAction;
class QMenu;
class QWidget;

namespace zentorak::res {

using CommandSink = std::function<void(int id)>;

// Builds the popup's items into menu.
void FillMenu(QMenu* menu, std::span<const MenuItem> items, const CommandSink& sink);
// A command item with its id.
QAction* AddCommand(QMenu* menu, int id, const QString& text, const CommandSink& sink);
// Inserts popup before the item at position (appends when position is past the end).
void InsertPopup(QMenu* menu, int position, QMenu* popup, const QString& text);
// The first action with this command id in the menu or its sub-menus, or null.
QAction* FindCommand(const QMenu* menu, int id);

QString ResourceString(int id);
QIcon AppIcon();

}  // namespace zentorak::res
