// Renames and deletes favourites: the list of their names, "名前の変更" and "削除", enabled while
// a row is selected. Asks before deleting; the renaming itself, the list and the menu are the
// caller's (the actions it is given).
#pragma once

#include <functional>

#include "core/favorites/favorite_list.h"
#include "gui/platform/full_screen_dialog.h"

class QListWidget;
class QPushButton;

namespace zentorak {

struct OrganizeActions {
    std::function<bool(int index)> rename;  // true when favourite `index` got a new name
    std::function<bool(int index)> remove;  // true when favourite `index` was deleted
};

class OrganizeFavoritesDialog : public FullScreenDialog {
    Q_OBJECT
public:
    OrganizeFavoritesDialog(QWidget* owner, const FavoriteList& favorites, OrganizeActions actions);
    QListWidget* List() const { return list_; }
    QPushButton* RenameButton() const { return rename_; }
    QPushButton* DeleteButton() const { return delete_; }
    void Rename();
    void Delete();

private:
    void UpdateButtons();

    const FavoriteList& favorites_;
    OrganizeActions actions_;
    QListWidget* list_;
    QPushButton* rename_;
    QPushButton* delete_;
};

}  // namespace zentorak
