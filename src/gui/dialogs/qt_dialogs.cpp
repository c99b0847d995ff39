#include "gui/dialogs/qt_dialogs.h"

#include <QMenu>

#include "core/platform/serial_port.h"
#include "core/resources/resource_ids.h"
#include "gui/app/main_window.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/coordinate_dialog.h"
#include "gui/dialogs/options_sheet.h"
#include "gui/dialogs/search_dialog.h"
#include "gui/platform/message_box.h"

namespace zentorak {

void QtDialogs::NotAvailableYet(const QString& title) {
    ShowMessage(&window_, QStringLiteral("この機能はまだ使用できません。"), title,
                MessageIcon::Information);
}

int QtDialogs::Details(int) {
    NotAvailableYet(QStringLiteral("詳細情報"));
    return 0;
}

int QtDialogs::FavoriteName(std::u16string_view title, FavoriteRecord&) {
    NotAvailableYet(QString::fromStdU16String(std::u16string(title)));
    return 0;
}

void QtDialogs::OrganizeFavorites() {
    NotAvailableYet(QStringLiteral("お気に入りの整理"));
}

int QtDialogs::MapConfirmation(Settings&, int&, int&) {
    NotAvailableYet(QStringLiteral("地図表示確認"));
    return 0;
}

bool QtDialogs::Options() {
    bool applied = false;
    ShowOptionsSheet(&window_, 0, window_.State(), PortLinkFolder(), applied);
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
