// What the dialogs need from the main window, as one small interface: the program's state, the
// widget they stand over, and the window's actions that their buttons start (favourites, the
// map, a call, the popup menus). The main window implements it; a dialog never sees the window.
#pragma once

#include "core/app/app_state.h"

class QMenu;
class QWidget;

namespace zentorak {

class DialogHost {
public:
    virtual ~DialogHost() = default;

    // The widget every dialog and message box is owned by, so that it stands over the window.
    virtual QWidget* DialogOwner() = 0;
    virtual AppState& State() = 0;

    // A found target as a favourite candidate: its position and its name column's text.
    virtual FavoriteRecord TargetAsFavorite(const TargetRecord* t) const = 0;
    // Names the record in the favourite dialog and adds it with its menu item.
    virtual void AddFavoriteWithDialog(FavoriteRecord record) = 0;
    // The organise dialog's actions: favourite `index` renamed through the name dialog, or
    // deleted; the menu follows and the settings file is written. True when changed.
    virtual bool RenameFavorite(int index) = 0;
    virtual bool DeleteFavorite(int index) = 0;
    // "地図表示" for a point.
    virtual void ShowTargetOnMap(const DmsAngle& lat, const DmsAngle& lon) = 0;
    // The call belongs to the update cycle: a running periodic update stops first.
    virtual void PlaceCall(int target) = 0;
    // The popup menu `menuId` (the radar's or the list's); its items dispatch their own commands.
    virtual QMenu* PopupMenu(int menuId) = 0;
};

}  // namespace zentorak
