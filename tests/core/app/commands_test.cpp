#include "core/app/commands.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/text/code_page.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::TempFolder;

// Twelve shops 10 seconds apart along 35/40/xx N, 139/46/xx E; shop n is "店nn" in 渋谷 for even
// n, 新宿 for odd n.
std::string ShopFile() {
    std::u16string text = u"緯度,経度,店名,住所\r\n";
    for (int n = 0; n < 12; ++n) {
        char line[96];
        std::snprintf(line, sizeof line, "35/40/%02d.000,139/46/%02d.000,", n * 4, n * 4);
        text += FromUtf8(line) + u"店" + FromUtf8(std::to_string(10 + n)) +
                (n % 2 ? u",新宿" : u",渋谷") + u"\r\n";
    }
    return EncodeCp932(text);
}

struct CommandsTest : ::testing::Test {
    void SetUp() override {
        state.locationInfoFiles[0] = FromUtf8(folder.Write("shops.csv", ShopFile()));
        state.settings.TrgtSrchNum = 5;
        ASSERT_EQ(ReloadTargets(state), std::nullopt);
        state.originLat = {35, 40, 0, 0};
        state.originLon = {139, 46, 0, 0};
        state.originValid = 1;
    }
    TempFolder folder;
    AppState state;
};

TEST_F(CommandsTest, ReloadSizesTheArraysAndSearchAroundOriginFindsTheNearest) {
    EXPECT_EQ(state.found.capacity(), 6);
    EXPECT_EQ(state.markerPos.size(), 6u);
    EXPECT_EQ(state.nameColumn, 2);  // the default name caption, 店名
    SearchAroundOrigin(state);
    ASSERT_EQ(state.found.count, 5);
    EXPECT_EQ(state.found.targets[0]->Info(0), u"店10");
    EXPECT_EQ(state.paneMode, kPaneList);
    // The origin goes to the view centre of the window's radar, however large it has grown.
    state.layout = LayoutFor({720, 360}, state.dpi);
    SearchAroundOrigin(state);
    EXPECT_EQ(state.originX, ViewCentre(state.layout).x);
    EXPECT_EQ(state.originY, ViewCentre(state.layout).y);
    EXPECT_GT(state.originX, state.dpi.ScaleX(kHandsetWidth) / 2);
}

TEST_F(CommandsTest, ReloadThatCannotSizeTheArraysSaysSoAndLeavesNothingLoaded) {
    state.settings.TrgtSrchNum = -1;
    std::optional<Notice> failure = ReloadTargets(state);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text, u"メモリの初期化に失敗しました。");
    EXPECT_EQ(failure->title, u"メモリ初期化エラー");
    EXPECT_EQ(state.grid.size(), 0u);
    EXPECT_EQ(state.found.count, 0);
}

TEST_F(CommandsTest, TextSearchMovesTheOriginToTheFirstMatchAndGrowsTheMarkers) {
    SearchTexts texts;
    texts[1] = u"渋谷";  // six shops, more than the five the list was made for
    Notice notice = RunTextSearch(state, texts, {120, 93});
    EXPECT_EQ(notice,
              (Notice{u"検索対象が6個見つかりました。", u"検索結果", NoticeIcon::kInformation}));
    ASSERT_EQ(state.found.count, 6);
    EXPECT_GE(state.markerPos.size(), 6u);
    EXPECT_EQ(state.originLat, state.found.targets[0]->lat);
    EXPECT_EQ(state.originValid, 1);
    EXPECT_EQ(state.originX, 120);
    EXPECT_EQ(state.originY, 93);
    EXPECT_EQ(state.paneMode, kPaneList);
}

TEST_F(CommandsTest, TextSearchWithoutMatchInvalidatesTheOrigin) {
    SearchTexts texts;
    texts[0] = u"本屋";
    state.paneMode = kPaneLog;
    Notice notice = RunTextSearch(state, texts, {120, 93});
    EXPECT_EQ(notice.text, u"検索対象が見つかりませんでした。");
    EXPECT_EQ(state.originValid, 0);
    EXPECT_EQ(state.found.count, 0);
    EXPECT_EQ(state.paneMode, kPaneLog);
}

TEST_F(CommandsTest, BringIntoViewShiftsTheViewInFixedModeAndMovesTheOriginInFloatingMode) {
    SearchAroundOrigin(state);
    const TargetRecord* t = state.found.targets[3];
    const PixelPoint centre{120, 93};
    state.settings.OrgFixedMode = 1;
    EXPECT_FALSE(BringTargetIntoView(state, 3, centre));
    PixelPoint p = PositionToPoint(state.View(), t->lat, t->lon);
    EXPECT_LE(std::abs(p.x - centre.x), 1);
    EXPECT_LE(std::abs(p.y - centre.y), 1);
    EXPECT_EQ(state.originLat, (DmsAngle{35, 40, 0, 0}));  // the origin itself stays

    state.settings.OrgFixedMode = 2;
    EXPECT_TRUE(BringTargetIntoView(state, 3, centre));
    EXPECT_EQ(state.originLat, t->lat);
    EXPECT_EQ(state.originLon, t->lon);
}

TEST_F(CommandsTest, SaveNowWritesTheFileOrReportsTheFailure) {
    state.settingsPath = folder.File("zentorak.ini");
    state.settings.TrgtSrchNum = 40;
    EXPECT_EQ(SaveSettingsNow(state), std::nullopt);
    EXPECT_NE(testing::ReadBytes(state.settingsPath).find("TrgtSrchNum:40\r\n"), std::string::npos);

    state.settingsPath = folder.File("missing/zentorak.ini");
    std::optional<Notice> failure = SaveSettingsNow(state);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text, u"設定ファイルの書込みに失敗しました。");
    EXPECT_EQ(failure->title, u"設定ファイルエラー");
    EXPECT_EQ(state.settings.TrgtSrchNum, 40);  // the change stays for the save at the end
}

}  // namespace
}  // namespace zentorak
