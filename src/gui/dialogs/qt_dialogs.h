// The dialogs of the main window as Qt windows, behind the Dialogs interface.
#pragma once

#include <QString>

#include "core/app/dialogs.h"

namespace zentorak {

class MainWindow;

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(MainWindow& window) : window_(window) {}

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
    MainWindow& window_;
};

}  // namespace zentorak
