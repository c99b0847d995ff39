#include "gui/dialogs/qt_dialogs.h"

#include <QMenu>

#include "core/platform/app_folder.h"
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
    AppState& state = host_.State();
    DetailsForm form = DetailsFormFor(state.settings);
    if (form == DetailsForm::kNone || target < 0 || target >= state.found.count) {
        return 0;
    }
    const TargetRecord* record = state.found.targets[static_cast<size_t>(target)];
    DetailsActions actions{
        [this, record] { host_.AddFavoriteWithDialog(host_.TargetAsFavorite(record)); },
        [this, record] { host_.ShowTargetOnMap(record->lat, record->lon); },
        [this, record] {
            int now = CurrentIndexOf(host_.State().found, record);
            if (now < 0) {
                ShowNotice(host_.DialogOwner(), NoItemSelectedNotice());
                return;
            }
            host_.State().selectedTarget = now;
            PhoneCall(now);
        },
    };
    return RunDetailsDialog(host_.DialogOwner(), form, DetailsRows(state.columns, *record), actions,
                            state.dpi);
}

int QtDialogs::FavoriteName(std::u16string_view title, FavoriteRecord& record) {
    const AppState& state = host_.State();
    return RunFavoriteNameDialog(host_.DialogOwner(), title, record, state.columns, state.favorites,
                                 state.dpi);
}

void QtDialogs::OrganizeFavorites() {
    OrganizeFavoritesDialog dialog(host_.DialogOwner(), host_.State().favorites,
                                   {[this](int index) { return host_.RenameFavorite(index); },
                                    [this](int index) { return host_.DeleteFavorite(index); }});
    dialog.exec();
}

int QtDialogs::MapConfirmation(Settings& settings, int& service, int& scaleIndex) {
    return RunMapConfirmDialog(host_.DialogOwner(), settings, host_.State().dpi, service,
                               scaleIndex);
}

bool QtDialogs::Options() {
    bool applied = false;
    ShowOptionsSheet(host_.DialogOwner(), 0, host_.State(), ProgramAppFolder().path, applied);
    return applied;
}

int QtDialogs::CoordinateEntry(DmsAngle& lat, DmsAngle& lon, Settings& settings) {
    const ColumnMap& columns = host_.State().columns;
    return RunCoordinateDialog(host_.DialogOwner(), lat, lon, settings.SrchAfterJump,
                               columns.columnCaption[0], columns.columnCaption[1]);
}

void QtDialogs::About() {
    RunAboutDialog(host_.DialogOwner());
}

int QtDialogs::Search(SearchTexts& texts) {
    return RunSearchDialog(host_.DialogOwner(), host_.State().columns, texts);
}

// The chosen item dispatches its own command (the menus are built with the window's sink).
void QtDialogs::PopupMenu(int menuId, PixelPoint screenPoint) {
    host_.PopupMenu(menuId)->exec(QPoint(screenPoint.x, screenPoint.y));
}

int QtDialogs::PhoneCall(int target) {
    host_.PlaceCall(target);
    return 0;
}

}  // namespace zentorak
