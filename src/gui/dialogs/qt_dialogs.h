// The dialogs of the main window as Qt windows, behind the Dialogs interface. What they need of
// the window comes through DialogHost.
#pragma once

#include "core/app/dialogs.h"
#include "gui/dialogs/dialog_host.h"

namespace zentorak {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(DialogHost& host) : host_(host) {}

    int Details(int target) override;
    int FavoriteName(std::u16string_view title, FavoriteRecord& record) override;
    void OrganizeFavorites() override;
    int MapConfirmation(Settings& settings, int& service, int& scaleIndex) override;
    bool Options() override;
    int CoordinateEntry(DmsAngle& lat, DmsAngle& lon, Settings& settings) override;
    void About() override;
    int Search(SearchTexts& texts) override;
    void PopupMenu(int menuId, PixelPoint screenPoint) override;
    int PhoneCall(int target) override;

private:
    DialogHost& host_;
};

}  // namespace zentorak
