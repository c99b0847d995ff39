#include "gui/dialogs/qt_dialogs.h"

#include <QMenu>

#include "core/platform/app_folder.h"
#include "core/resources/resource_ids.h"
#include "gui/app/main_window.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/coordinate_dialog.h"
#include "gui/dialogs/details_dialog.h"
#include "gui/dialogs/favorite_name_dialog.h"
#include "gui/dialogs/map_confirm_dialog.h"
#include "gui/dialogs/options_sheet.h"
#include "gui/dialogs/organize_favorites_dialog.h"
#include "gui/dialogs/search_dialog.h"
#include "gui/platform/message_box.h"

namespace zentorak {

// The periodic update may search again while the dialog is open: the actions follow the
// target shown, not the row number it had.
int QtDialogs::Details(int target) {
    AppState& state = window_.State();
    DetailsForm form = DetailsFormFor(state.settings);
    if (form == DetailsForm::kNone || target < 0 || target >= state.found.count) {
        return 0;
    }
    const TargetRecord* record = state.found.targets[static_cast<size_t>(target)];
    DetailsActions actions{
        [this, record] { window_.AddFavoriteWithDialog(window_.TargetAsFavorite(record)); },
        [this, record] { window_.ShowTargetOnMap(record->lat, record->lon); },
        [this, record] {
            int now = CurrentIndexOf(window_.State().found, record);
            if (now < 0) {
                ShowNotice(&window_, NoItemSelectedNotice());
                return;
            }
            window_.State().selectedTarget = now;
            PhoneCall(now);
        },
    };
    return RunDetailsDialog(&window_, form, DetailsRows(state.columns, *record), actions,
                            state.dpi);
}

int QtDialogs::FavoriteName(std::u16string_view title, FavoriteRecord& record) {
    const AppState& state = window_.State();
    return RunFavoriteNameDialog(&window_, title, record, state.columns, state.favorites,
                                 state.dpi);
}

void QtDialogs::OrganizeFavorites() {
    OrganizeFavoritesDialog dialog(&window_, window_.State().favorites,
                                   {[this](int index) { return window_.RenameFavorite(index); },
                                    [this](int index) { return window_.DeleteFavorite(index); }});
    dialog.exec();
}

int QtDialogs::MapConfirmation(Settings& settings, int& service, int& scaleIndex) {
    return RunMapConfirmDialog(&window_, settings, window_.State().dpi, service, scaleIndex);
}

bool QtDialogs::Options() {
    bool applied = false;
    ShowOptionsSheet(&window_, 0, window_.State(), ProgramAppFolder().path, applied);
    return applied;
}

int QtDialogs::CoordinateEntry(DmsAngle& lat, DmsAngle& lon, Settings& settings) {
    const ColumnMap& columns = window_.State().columns;
    return RunCoordinateDialog(&window_, lat, lon, settings.SrchAfterJump, columns.columnCaption[0],
                               columns.columnCaption[1]);
}

void QtDialogs::About() {
    RunAboutDialog(&window_);
}

int QtDialogs::Search(SearchTexts& texts) {
    return RunSearchDialog(&window_, window_.State().columns, texts);
}

// The chosen item dispatches its own command (the menus are built with the window's sink).
void QtDialogs::PopupMenu(int menuId, PixelPoint screenPoint) {
    QMenu* menu = menuId == res::IDR_LIST_POPUP ? window_.ListPopup() : window_.RadarPopup();
    menu->exec(QPoint(screenPoint.x, screenPoint.y));
}

// The call belongs to the update cycle: it stops a running periodic update first.
int QtDialogs::PhoneCall(int target) {
    window_.Updates().PlaceCall(target);
    return 0;
}

}  // namespace zentorak
