// The dialogs the main window opens, one pure virtual function each, so that a dialog nobody
// provides is a compile error rather than a command that silently does nothing. The Qt
// implementation (gui/dialogs/qt_dialogs.h) shows the real windows; tests use a recorder.
// Every call is made on the window's thread, and each dialog is modal over the main window.
#pragma once

#include <string_view>

#include "core/app/radar_geometry.h"
#include "core/favorites/favorite_list.h"
#include "core/settings/settings_store.h"
#include "core/targets/search.h"

namespace zentorak {

inline constexpr std::u16string_view kAddFavoriteTitle = u"お気に入りの追加";
inline constexpr std::u16string_view kRenameFavoriteTitle = u"お気に入り名の変更";

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // All items of found target `target` (AppState::selectedTarget), in the form DtlDlgMode
    // names; 1 after OK, 0 after cancel or close.
    virtual int Details(int target) = 0;

    // Names a favourite: `title` is kAddFavoriteTitle or kRenameFavoriteTitle, `record.name`
    // the proposed name. 1 with record.name replaced by the name entered; 0 after cancel.
    virtual int FavoriteName(std::u16string_view title, FavoriteRecord& record) = 0;

    // Rename and delete favourites (the favourites menu follows the changes).
    virtual void OrganizeFavorites() = 0;

    // Confirms a map display. Reads MapSiteNo and MapScaleIx (an unknown service becomes 1) and
    // sets ConfBfrMapDispMode on OK. 1 with the chosen service (1..7) and scale index (1-based);
    // 0 after cancel, with nothing changed.
    virtual int MapConfirmation(Settings& settings, int& service, int& scaleIndex) = 0;

    // The options sheet; true when the settings were changed (the caller then reloads).
    virtual bool Options() = 0;

    // Coordinate entry, starting at `lat`/`lon` (the view centre). 1 with the chosen position
    // (milliseconds 0) in `lat`/`lon` and SrchAfterJump set from its check box; 0 after cancel.
    virtual int CoordinateEntry(DmsAngle& lat, DmsAngle& lon, Settings& settings) = 0;

    // The version box.
    virtual void About() = 0;

    // The search conditions: 1 with `texts` filled, 0 when closed.
    virtual int Search(SearchTexts& texts) = 0;

    // Pop-up menu `menuId` (res::IDR_RADAR_POPUP or res::IDR_LIST_POPUP) at a point in screen
    // coordinates; a chosen item's command reaches the window's dispatch as any menu command.
    virtual void PopupMenu(int menuId, PixelPoint screenPoint) = 0;

    // Telephones found target `target` (its text in the telephone column); 0 when the call was
    // handed on, a negative code after the failure was shown.
    virtual int PhoneCall(int target) = 0;
};

}  // namespace zentorak
