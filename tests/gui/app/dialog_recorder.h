// The dialogs replaced by a recorder: each call is counted, and what a dialog answers comes from
// a script (a function the test sets), cancel when the test sets none. Pop-up menus are not
// shown; the test reads the window's menu to see what it would have offered.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "core/app/dialogs.h"

namespace zentorak::testing {

class DialogRecorder : public Dialogs {
public:
    int Details(int target) override {
        details.push_back(target);
        return 0;
    }
    int FavoriteName(std::u16string_view title, FavoriteRecord& record) override {
        favoriteTitles.emplace_back(title);
        return nameFavorite ? nameFavorite(record) : 0;
    }
    void OrganizeFavorites() override { ++organizes; }
    int MapConfirmation(Settings& settings, int& service, int& scaleIndex) override {
        ++mapConfirmations;
        return confirmMap ? confirmMap(settings, service, scaleIndex) : 0;
    }
    bool Options() override { return applyOptions ? applyOptions() : false; }
    int CoordinateEntry(DmsAngle& lat, DmsAngle& lon, Settings& settings) override {
        coordinateStarts.push_back({lat, lon});
        return enterCoordinates ? enterCoordinates(lat, lon, settings) : 0;
    }
    void About() override { ++abouts; }
    int Search(SearchTexts& texts) override {
        ++searches;
        return search ? search(texts) : 0;
    }
    void PopupMenu(int menuId, PixelPoint screenPoint) override {
        popups.push_back({menuId, screenPoint});
        if (onPopup) {
            onPopup(menuId);
        }
    }
    int PhoneCall(int target) override {
        calls.push_back(target);
        return 0;
    }

    // Scripts.
    std::function<int(FavoriteRecord&)> nameFavorite;
    std::function<int(Settings&, int&, int&)> confirmMap;
    std::function<bool()> applyOptions;
    std::function<int(DmsAngle&, DmsAngle&, Settings&)> enterCoordinates;
    std::function<int(SearchTexts&)> search;
    std::function<void(int menuId)> onPopup;

    // What was asked.
    std::vector<int> details;
    std::vector<std::u16string> favoriteTitles;
    int organizes = 0;
    int mapConfirmations = 0;
    std::vector<std::pair<DmsAngle, DmsAngle>> coordinateStarts;
    int abouts = 0;
    int searches = 0;
    std::vector<std::pair<int, PixelPoint>> popups;
    std::vector<int> calls;
};

}  // namespace zentorak::testing
