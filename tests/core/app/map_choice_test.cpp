#include "core/app/map_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/commands.h"
#include "core/app/dialogs.h"
#include "core/app/position_updates.h"

namespace zentorak {
namespace {

TEST(MapChoice, OpeningFallsBackPerServiceAndScale) {
    struct Row {
        int site, scale;
        MapChoice shown;
        int siteAfter;
    } rows[] = {
        {5, 7, {5, 7}, 5},    // Google 14
        {9, 12, {1, 2}, 1},   // unknown service: Mapion, and 12 is past its table: 1/8000
        {9, 7, {1, 7}, 1},    // unknown service, index 7 is in Mapion's table: 1/90万
        {0, 3, {1, 3}, 1},    // below the range as well
        {2, 12, {2, 12}, 2},  // MapFanWeb's last entry
        {2, 0, {2, 5}, 2},    // index 0 is never in a table
        {3, 10, {3, 4}, 3},   // Yahoo地図 has nine
    };
    for (const Row& row : rows) {
        Settings settings;
        settings.MapSiteNo = row.site;
        settings.MapScaleIx = row.scale;
        EXPECT_EQ(OpeningMapChoice(settings), row.shown) << row.site << "/" << row.scale;
        EXPECT_EQ(settings.MapSiteNo, row.siteAfter);
        EXPECT_EQ(settings.MapScaleIx, row.scale);  // the scale is only handed back
    }
}

TEST(MapChoice, ASwitchedServiceStartsAtItsDefaultScale) {
    MapChoice google{5, 3};
    EXPECT_EQ(SwitchMapService(google, 2), (MapChoice{2, 5}));  // MapFanWeb 1/25000
    // Back again: the default, not what was chosen before.
    EXPECT_EQ(SwitchMapService(SwitchMapService(google, 2), 5), (MapChoice{5, 7}));
    // Confirming the service already shown keeps its scale.
    EXPECT_EQ(SwitchMapService(google, 5), google);
    EXPECT_EQ(ConfirmationModeAfter(true), 1);
    EXPECT_EQ(ConfirmationModeAfter(false), 2);
}

// The map command around a confirmation whose answer the test scripts.
class MapCommand : public ::testing::Test, public Dialogs, public PositionUpdates {
protected:
    int Show(const DmsAngle& lat = {35, 39, 29, 123}, const DmsAngle& lon = {139, 45, 5, 7}) {
        return ShowTargetOnMap(settings, lat, lon, *this, *this, [this](const std::string& url) {
            events.push_back("open " + url);
            return opens;
        });
    }

    // Dialogs: only the confirmation is asked for.
    int MapConfirmation(Settings& s, int& service, int& scaleIx) override {
        events.push_back("confirm " + std::to_string(service) + "/" + std::to_string(scaleIx));
        if (!answer) {
            return 0;
        }
        s.ConfBfrMapDispMode = 2;  // as if the box had been unchecked
        service = answer->service;
        scaleIx = answer->scaleIx;
        return 1;
    }
    int Details(int) override { return Unexpected(); }
    int FavoriteName(std::u16string_view, FavoriteRecord&) override { return Unexpected(); }
    void OrganizeFavorites() override { Unexpected(); }
    bool Options() override { return Unexpected(); }
    int CoordinateEntry(DmsAngle&, DmsAngle&, Settings&) override { return Unexpected(); }
    void About() override { Unexpected(); }
    int Search(SearchTexts&) override { return Unexpected(); }
    void PopupMenu(int, PixelPoint) override { Unexpected(); }
    int PhoneCall(int) override { return Unexpected(); }
    int Unexpected() {
        ADD_FAILURE() << "only the map confirmation belongs to the map command";
        return 0;
    }

    // PositionUpdates: only the stop is asked for.
    void StopPeriodicUpdateFor(std::u16string_view notice) override {
        EXPECT_EQ(notice, u"地図を表示するため定期更新を停止しました。");
        events.push_back("stop");
    }
    void UpdateNow(int) override { Unexpected(); }
    void OnSoftKey() override { Unexpected(); }
    void OnPositionReady(int) override { Unexpected(); }
    bool Busy() const override { return false; }

    Settings settings;
    std::optional<MapChoice> answer;
    std::vector<std::string> events;
    bool opens = true;
};

const std::string kMapion =
    "http://www.mapion.co.jp/c/f?uc=1&nl=35%2F39%2F29.123&el=139%2F45%2F5.007&scl=25000"
    "&size=450,400&grp=Air";

TEST_F(MapCommand, ConfirmedChoiceIsRememberedAndOpened) {
    answer = MapChoice{1, 2};
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"stop", "confirm 5/7", "open " + kMapion}));
    EXPECT_EQ(settings.MapSiteNo, 1);
    EXPECT_EQ(settings.MapScaleIx, 2);
    // The box was unchecked: the next display asks nothing and uses the remembered choice.
    events.clear();
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"stop", "open " + kMapion}));
    opens = false;  // nothing takes the address
    EXPECT_EQ(Show(), kAppMapOpenFailed);
}

TEST_F(MapCommand, WithoutMemoryTheChoiceIsUsedOnce) {
    settings.MemMapScaleMode = 2;
    answer = MapChoice{1, 2};
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(events.back(), "open " + kMapion);
    EXPECT_EQ(settings.MapSiteNo, 5);
    EXPECT_EQ(settings.MapScaleIx, 7);
}

TEST_F(MapCommand, CancelOpensNothingButTheUpdateStaysStopped) {
    settings.MapSiteNo = 3;
    EXPECT_EQ(Show(), -1);
    EXPECT_EQ(events, (std::vector<std::string>{"stop", "confirm 3/7"}));
    EXPECT_EQ(settings.MapSiteNo, 3);
    EXPECT_EQ(settings.MapScaleIx, 7);
    EXPECT_EQ(settings.ConfBfrMapDispMode, 1);
}

TEST_F(MapCommand, StoredChoiceOutsideTheTablesStillShowsAMap) {
    settings.ConfBfrMapDispMode = 2;
    settings.MapSiteNo = 9;  // hand-edited: Mapion, as the confirmation would show it
    settings.MapScaleIx = 12;
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"stop", "open " + kMapion}));
    EXPECT_EQ(settings.MapSiteNo, 9);  // nobody confirmed anything: the file keeps its value
    // The stored Google choice, with the datum correction switched off.
    settings.MapSiteNo = 5;
    settings.MapScaleIx = 7;
    settings.GoogleCrrctMode = 2;
    events.clear();
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(events,
              (std::vector<std::string>{"stop",
                                        "open http://maps.google.co.jp/m/local?hl=ja&ie=UTF8"
                                        "&ll=35.658090,139.751391&spn=1.036388,1.653442&z=14"}));
}

}  // namespace
}  // namespace zentorak
