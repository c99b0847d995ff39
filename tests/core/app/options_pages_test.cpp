// The options sheet's general, map and device pages: the fallbacks for values they do not offer,
// the map service change, and the take-over rules when the sheet closes.
#include "core/app/options_pages.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace zentorak {
namespace {

namespace fs = std::filesystem;

// Stored search counts and the entry of "20".."100" they show; the stored value after OK is the
// one shown. Rows from the truncating rule (n - 20) / 20 with 0 for anything outside the list.
TEST(OptionsGeneralPage, SearchCountShowsTheNearestOfferedEntryOrTwenty) {
    struct Row {
        int stored;
        int entry;
        int afterOk;
    };
    const Row rows[] = {{20, 0, 20},   {50, 1, 40},   {10, 0, 20}, {150, 0, 20},
                        {100, 4, 100}, {119, 4, 100}, {0, 0, 20},  {2147483647, 0, 20}};
    for (const Row& row : rows) {
        Settings settings;
        settings.TrgtSrchNum = row.stored;
        GeneralPageValues page = GeneralPageFrom(settings);
        EXPECT_EQ(page.searchCountEntry, row.entry) << row.stored;
        TakeOverGeneralPage(page, settings);
        EXPECT_EQ(settings.TrgtSrchNum, row.afterOk) << row.stored;
    }
}

TEST(OptionsGeneralPage, UnknownUpdateModeShowsManualAndSwitchesBack) {
    Settings settings;
    settings.InfoUpdateMode = 7;
    settings.AutoUpdateMode = 1;
    GeneralPageValues page = GeneralPageFrom(settings);
    EXPECT_EQ(page.updateModeEntry, 1);
    TakeOverGeneralPage(page, settings);
    EXPECT_EQ(settings.InfoUpdateMode, 2);
    EXPECT_EQ(settings.AutoUpdateMode, 0);
}

// AutoUpdateMode before, the mode chosen, AutoUpdateMode after.
TEST(OptionsGeneralPage, UpdateModeDecidesTheRunState) {
    struct Row {
        int autoBefore;
        int modeEntry;
        int autoAfter;
    };
    const Row rows[] = {{0, 0, 1}, {1, 0, 1}, {2, 0, 2}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
    for (const Row& row : rows) {
        Settings settings;
        settings.AutoUpdateMode = row.autoBefore;
        GeneralPageValues page = GeneralPageFrom(settings);
        page.updateModeEntry = row.modeEntry;
        TakeOverGeneralPage(page, settings);
        EXPECT_EQ(settings.InfoUpdateMode, row.modeEntry + 1);
        EXPECT_EQ(settings.AutoUpdateMode, row.autoAfter)
            << "before " << row.autoBefore << ", entry " << row.modeEntry;
    }
}

TEST(OptionsGeneralPage, CheckBoxesStoreOneAndTwoAndDetailsTheOtherWayRound) {
    Settings settings;
    settings.StartupSrchMode = 1;
    settings.SaveUpdateStatMode = 2;
    settings.SrchAfterJump = 5;  // anything but 1 is off
    settings.DtlDlgMode = 1;
    GeneralPageValues page = GeneralPageFrom(settings);
    EXPECT_EQ(page, (GeneralPageValues{0, true, 1, false, false, false}));
    page.startupSearch = false;
    page.saveUpdateState = true;
    page.searchAfterJump = true;
    page.fullScreenDetails = true;
    TakeOverGeneralPage(page, settings);
    EXPECT_EQ(settings.StartupSrchMode, 2);
    EXPECT_EQ(settings.SaveUpdateStatMode, 1);
    EXPECT_EQ(settings.SrchAfterJump, 1);
    EXPECT_EQ(settings.DtlDlgMode, 2);
}

TEST(OptionsMapPage, UnknownServiceIsCorrectedAtOnceAndScaleFallsBack) {
    Settings settings;
    settings.MapSiteNo = 9;
    settings.MapScaleIx = 15;  // Mapion has 9 scales
    MapPageValues page = MapPageFrom(settings);
    EXPECT_EQ(settings.MapSiteNo, 1);  // corrected before any OK
    EXPECT_EQ(page.serviceEntry, 0);
    EXPECT_EQ(page.scaleEntry, 1);
}

// Entries per service and the fallback entry, as the page lists them.
TEST(OptionsMapPage, EveryServiceHasItsScaleListAndFallback) {
    struct Row {
        int service;
        size_t entries;
        int fallback;
    };
    const Row rows[] = {{1, 9, 1}, {2, 12, 4}, {3, 9, 3}, {4, 9, 1}, {5, 20, 6}};
    EXPECT_EQ(MapServiceEntries(),
              (std::vector<std::u16string_view>{u"Mapion", u"MapFanWeb", u"Yahoo地図", u"ちず丸",
                                                u"Google", u"地理院地図", u"OpenStreetMap"}));
    for (const Row& row : rows) {
        EXPECT_EQ(ScaleEntries(row.service - 1).size(), row.entries) << row.service;
        EXPECT_EQ(FallbackScaleEntry(row.service - 1), row.fallback) << row.service;
        Settings settings;
        settings.MapSiteNo = row.service;
        settings.MapScaleIx = 0;
        EXPECT_EQ(MapPageFrom(settings).scaleEntry, row.fallback) << row.service;
        settings.MapScaleIx = static_cast<int>(row.entries);  // the last one fits
        EXPECT_EQ(MapPageFrom(settings).scaleEntry, static_cast<int>(row.entries) - 1);
    }
}

TEST(OptionsMapPage, ChangingTheServiceSelectsItsFallbackNotTheStoredScale) {
    Settings settings;  // Google, scale 7
    settings.MapScaleIx = 3;
    MapPageValues page = MapPageFrom(settings);
    EXPECT_EQ(page.scaleEntry, 2);
    ChangeMapService(page, 0);  // Mapion
    EXPECT_EQ(page.serviceEntry, 0);
    EXPECT_EQ(page.scaleEntry, 1);
    page.scaleEntry = 5;
    ChangeMapService(page, 0);  // the same service again keeps the choice
    EXPECT_EQ(page.scaleEntry, 5);
    ChangeMapService(page, 4);  // back to Google: its fallback, not the stored index 3
    EXPECT_EQ(page.scaleEntry, 6);
    TakeOverMapPage(page, settings);
    EXPECT_EQ(settings.MapSiteNo, 5);
    EXPECT_EQ(settings.MapScaleIx, 7);
}

TEST(OptionsMapPage, UncheckedConfirmationDisablesButKeepsRememberScale) {
    Settings settings;
    settings.GoogleCrrctMode = 0;
    MapPageValues page = MapPageFrom(settings);
    EXPECT_TRUE(RememberScaleEnabled(page));
    EXPECT_FALSE(page.googleCorrection);
    page.confirmBeforeMap = false;
    page.googleCorrection = true;
    EXPECT_FALSE(RememberScaleEnabled(page));
    TakeOverMapPage(page, settings);
    EXPECT_EQ(settings.ConfBfrMapDispMode, 2);
    EXPECT_EQ(settings.MemMapScaleMode, 1);
    EXPECT_EQ(settings.GoogleCrrctMode, 1);  // on is 1, off is 0 for this key
    page.googleCorrection = false;
    TakeOverMapPage(page, settings);
    EXPECT_EQ(settings.GoogleCrrctMode, 0);
}

TEST(OptionsDevicePage, NoMethodSelectedKeepsTheOneBeforeOrTheDefault) {
    Settings settings;
    settings.MthdGetLocInfo = 3;
    settings.PortName = 4;
    DevicePageValues page = DevicePageFrom(settings);
    EXPECT_EQ(page.methodEntry, -1);
    EXPECT_EQ(page.portEntry, 4);
    TakeOverDevicePage(page, settings);
    EXPECT_EQ(settings.MthdGetLocInfo, 2);
    EXPECT_EQ(settings.PortName, 4);
    page.methodEntry = 0;
    page.portEntry = 9;
    TakeOverDevicePage(page, settings);
    EXPECT_EQ(settings.MthdGetLocInfo, 1);
    page.methodEntry = -1;
    TakeOverDevicePage(page, settings);
    EXPECT_EQ(settings.MthdGetLocInfo, 1);
    EXPECT_EQ(kPortNames[static_cast<size_t>(settings.PortName)], u"COM9");
}

TEST(OptionsDevicePage, EachPortShowsTheDeviceItOpensHere) {
    char name[] = "/tmp/zentorak-options-ports-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const fs::path folder = name;
    fs::create_directories(folder / "ports");
    fs::create_symlink("/dev/null", folder / "ports" / "COM1");
    fs::create_symlink("../pty/7", folder / "ports" / "COM2");          // relative to ports/
    fs::create_symlink("/nonexistent/tty", folder / "ports" / "COM3");  // dangling, still decides
    const std::vector<std::u16string> texts = PortDeviceTexts(folder);
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts[0], u"/dev/ttyS0");
    EXPECT_EQ(texts[1], u"/dev/null");
    EXPECT_EQ(texts[9], u"/dev/ttyS9");
    // A link that is present decides the port even when its target is missing (the open then
    // fails; it never falls back to the tty device), so the page names the link's target.
    EXPECT_EQ(texts[3], u"/nonexistent/tty");
    // A relative link is shown from the ports folder.
    EXPECT_EQ(texts[2], (folder / "pty" / "7").u16string());
    fs::remove_all(folder);
}

// Every page changed, then the sheet closed.
OptionsPageValues AllPagesChanged() {
    OptionsPageValues pages;
    pages.general = GeneralPageValues{1, true, 0, false, false, false};
    pages.files = std::vector<std::u16string>{u"/data/new.csv"};
    pages.specialItems = SpecialItemsValues{1, u"名称", 2, u"電話"};
    pages.map = MapPageValues{0, 3, false, false, false};
    pages.device = DevicePageValues{0, 5};
    return pages;
}

TEST(OptionsRelease, CancelChangesNothing) {
    Settings settings;
    LocationInfoFileList files{u"/data/a.csv"};
    ReleaseOptionsPages(false, AllPagesChanged(), settings, files);
    Settings defaults;
    EXPECT_EQ(settings.TrgtSrchNum, defaults.TrgtSrchNum);
    EXPECT_EQ(settings.KwdFavName, defaults.KwdFavName);
    EXPECT_EQ(settings.MapSiteNo, defaults.MapSiteNo);
    EXPECT_EQ(settings.MthdGetLocInfo, defaults.MthdGetLocInfo);
    EXPECT_EQ(files[0], u"/data/a.csv");
}

TEST(OptionsRelease, OnlyTheOpenedPagesTakeOver) {
    Settings settings;
    LocationInfoFileList files{u"/data/a.csv", u"/data/b.csv"};
    OptionsPageValues pages = AllPagesChanged();
    pages.files.reset();
    pages.specialItems.reset();
    pages.map.reset();
    pages.device.reset();
    ReleaseOptionsPages(true, pages, settings, files);
    EXPECT_EQ(settings.TrgtSrchNum, 40);
    EXPECT_EQ(settings.InfoUpdateMode, 1);
    EXPECT_EQ(settings.AutoUpdateMode, 1);
    Settings defaults;
    EXPECT_EQ(settings.KwdFavName, defaults.KwdFavName);
    EXPECT_EQ(settings.KwdTelNo, defaults.KwdTelNo);
    EXPECT_EQ(settings.MapSiteNo, defaults.MapSiteNo);
    EXPECT_EQ(settings.MapScaleIx, defaults.MapScaleIx);
    EXPECT_EQ(settings.MthdGetLocInfo, defaults.MthdGetLocInfo);
    EXPECT_EQ(settings.PortName, defaults.PortName);
    EXPECT_EQ(files[1], u"/data/b.csv");

    ReleaseOptionsPages(true, AllPagesChanged(), settings, files);
    EXPECT_EQ(files[0], u"/data/new.csv");
    EXPECT_TRUE(files[1].empty());
    EXPECT_EQ(settings.KwdFavName, u"名称");
    EXPECT_EQ(settings.KwdTelNo, u"電話");
    EXPECT_EQ(settings.MapSiteNo, 1);
    EXPECT_EQ(settings.MapScaleIx, 4);
    EXPECT_EQ(settings.MthdGetLocInfo, 1);
    EXPECT_EQ(settings.PortName, 5);
}

}  // namespace
}  // namespace zentorak
