#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "core/platform/bounded_child.h"
#include "core/settings/settings_store.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

struct Loaded {
    int result = 0;
    Settings settings;
    LocationInfoFileList files;
    FavoriteList favorites;
    std::vector<std::pair<int, std::u16string>> menu;
};

Loaded LoadBytes(const std::string& bytes) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), bytes);
    Loaded loaded;
    loaded.files[3] = u"stale entry";
    loaded.result = LoadSettingsFile(
        folder.File("zentorak.ini"), loaded.settings, loaded.files, loaded.favorites,
        [&](int id, const std::u16string& name) { loaded.menu.emplace_back(id, name); });
    return loaded;
}

// The bytes of a file with the defaults, as the writer must produce them. CP932 bytes of the
// captions from `printf 緯度 | iconv -f UTF-8 -t CP932 | xxd -p`: 緯度 88dc9378, 経度 8c6f9378,
// 店名 935896bc.
const char kDefaultFile[] =
    "[System]\r\n"
    "Program Name:ZENTORAK\r\n"
    "Version:1.4.2011.0509\r\n"
    "Copyright:(C) 2011 ZENTORAK developers\r\n"
    "PortName:COM1\r\n"
    "TrgtSrchNum:20\r\n"
    "InfoUpdateMode:2\r\n"
    "SaveUpdateStatMode:1\r\n"
    "AutoUpdateMode:0\r\n"
    "StartupSrchMode:2\r\n"
    "SrchAfterJump:1\r\n"
    "DtlDlgMode:2\r\n"
    "OrgFixedMode:2\r\n"
    "MapSiteNo:5\r\n"
    "MapScaleIx:7\r\n"
    "ConfBfrMapDispMode:1\r\n"
    "MemMapScaleMode:1\r\n"
    "GoogleCrrctMode:1\r\n"
    "KwdLat:\x88\xdc\x93\x78\r\n"
    "KwdLon:\x8c\x6f\x93\x78\r\n"
    "KwdFavName:\x93\x58\x96\xbc\r\n"
    "KwdTelNo:TEL\r\n"
    "MthdGetLocInfo:2\r\n"
    "DevModel:WS011SH\r\n"
    "\r\n"
    "[TrgtInfoFile]\r\n"
    "\r\n";

TEST(LoadSettingsFile, MissingFileKeepsDefaultsAndEmptiesTheFileList) {
    Settings settings;
    LocationInfoFileList files;
    files[0] = u"/old.csv";
    FavoriteList favorites;
    EXPECT_EQ(LoadSettingsFile("/nonexistent/zentorak.ini", settings, files, favorites), -1);
    EXPECT_TRUE(files[0].empty());
    EXPECT_EQ(settings.TrgtSrchNum, 20);
}

TEST(LoadSettingsFile, DefaultFileReadsBackToTheDefaults) {
    Loaded loaded = LoadBytes(kDefaultFile);
    EXPECT_EQ(loaded.result, 0);
    Settings defaults;
    EXPECT_EQ(loaded.settings.KwdLat, u"緯度");
    EXPECT_EQ(loaded.settings.KwdFavName, defaults.KwdFavName);
    EXPECT_EQ(loaded.settings.DevModel, 3);
    EXPECT_TRUE(loaded.files[3].empty());
    EXPECT_EQ(loaded.favorites.count(), 0);
}

TEST(LoadSettingsFile, IntegerValuesMustBeDigitsOnly) {
    struct Row {
        const char* value;
        int expected;
    } rows[] = {
        {" 40", 20},  // a blank is not a digit
        {"-40", 20},  // nor a sign
        {"040", 40},
        {"40 ", 20},
        {"", 20},
        {"100", 100},
        // Runs too large for 32 bits saturate instead of wrapping.
        {"99999999999999999999", 2147483647},
    };
    for (const Row& row : rows) {
        Loaded loaded = LoadBytes(std::string("[System]\r\nTrgtSrchNum:") + row.value + "\r\n");
        EXPECT_EQ(loaded.settings.TrgtSrchNum, row.expected) << row.value;
    }
}

TEST(LoadSettingsFile, EverySwitchAndPortAndModel) {
    Loaded loaded = LoadBytes(
        "[System]\nPortName:COM7\nInfoUpdateMode:1\nAutoUpdateMode:2\nSaveUpdateStatMode:2\n"
        "StartupSrchMode:1\nSrchAfterJump:2\nDtlDlgMode:1\nOrgFixedMode:1\nMapSiteNo:3\n"
        "MapScaleIx:4\nConfBfrMapDispMode:2\nMemMapScaleMode:2\nGoogleCrrctMode:0\n"
        "MthdGetLocInfo:1\nDevModel:WS003SH\nKwdTelNo:\n");
    const Settings& s = loaded.settings;
    EXPECT_EQ(s.PortName, 7);
    EXPECT_EQ(s.InfoUpdateMode, 1);
    EXPECT_EQ(s.AutoUpdateMode, 2);
    EXPECT_EQ(s.SaveUpdateStatMode, 2);
    EXPECT_EQ(s.StartupSrchMode, 1);
    EXPECT_EQ(s.SrchAfterJump, 2);
    EXPECT_EQ(s.DtlDlgMode, 1);
    EXPECT_EQ(s.OrgFixedMode, 1);
    EXPECT_EQ(s.MapSiteNo, 3);
    EXPECT_EQ(s.MapScaleIx, 4);
    EXPECT_EQ(s.ConfBfrMapDispMode, 2);
    EXPECT_EQ(s.MemMapScaleMode, 2);
    EXPECT_EQ(s.GoogleCrrctMode, 0);
    EXPECT_EQ(s.MthdGetLocInfo, 1);
    EXPECT_EQ(s.DevModel, 0);
    EXPECT_EQ(s.KwdTelNo, u"");
}

TEST(LoadSettingsFile, UnknownNamesKeysAndCaseAreIgnored) {
    Loaded loaded = LoadBytes(
        "[System]\r\nPortName:COM1:\r\nPortName:com3\r\nDevModel:WS999SH\r\n"
        "trgtsrchnum:60\r\n TrgtSrchNum:60\r\nTrgtSrchNum 60\r\nVersion:9\r\n");
    EXPECT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.settings.PortName, 1);
    EXPECT_EQ(loaded.settings.DevModel, 3);
    EXPECT_EQ(loaded.settings.TrgtSrchNum, 20);
}

TEST(LoadSettingsFile, OverlongKeywordIsIgnoredWholeAndNinetyNineIsKept) {
    std::string ninetyNine(99, 'k');
    std::string hundred(100, 'x');
    Loaded loaded =
        LoadBytes("[System]\r\nKwdLat:" + ninetyNine + "\r\nKwdLon:" + hundred + "\r\n");
    EXPECT_EQ(loaded.settings.KwdLat, std::u16string(99, u'k'));
    EXPECT_EQ(loaded.settings.KwdLon, u"経度");
}

TEST(LoadSettingsFile, HeaderNeedsABlankLineBeforeIt) {
    Loaded loaded = LoadBytes(
        "[System]\r\nTrgtSrchNum:40\r\n[TrgtInfoFile]\r\n/data/a.csv\r\nMapSiteNo:2\r\n\r\n");
    EXPECT_TRUE(loaded.files[0].empty());
    EXPECT_EQ(loaded.settings.TrgtSrchNum, 40);
    // The lines after the unrecognised header still count as [System] lines.
    EXPECT_EQ(loaded.settings.MapSiteNo, 2);
}

TEST(LoadSettingsFile, OnlyTheFirstTenPathsAreKept) {
    std::string bytes = "[TrgtInfoFile]\r\n";
    for (int i = 0; i < 11; ++i) {
        bytes += "/data/" + std::to_string(i) + ".csv\r\n";
    }
    Loaded loaded = LoadBytes(bytes + "\r\n");
    EXPECT_EQ(loaded.files[0], u"/data/0.csv");
    EXPECT_EQ(loaded.files[9], u"/data/9.csv");
}

TEST(LoadSettingsFile, PathsAreCp932AndKeptWholeWithColons) {
    // 東京駅 is 938c8b9e8977 in CP932.
    Loaded loaded = LoadBytes("[TrgtInfoFile]\r\n/data/\x93\x8c\x8b\x9e\x89\x77:1.csv\r\n\r\n");
    EXPECT_EQ(loaded.files[0], u"/data/東京駅:1.csv");
}

TEST(LoadSettingsFile, BadLatitudeSkipsOnlyThatFavourite) {
    Loaded loaded = LoadBytes(
        "[Favorite]\r\nFavName:a:b\r\nFavLat:35/00/00.000\r\nFavLon:139/00/00.000\r\n\r\n"
        "[Favorite]\r\nFavName:bad\r\nFavLat:35/x\r\nFavLon:139/00/00.000\r\n\r\n"
        "[Favorite]\r\nFavLon:140/01/02.003\r\nFavName:\x90\x56\x8f\x68\x93\x58\r\n"
        "FavLat:36/04/05.006\r\n\r\n");
    ASSERT_EQ(loaded.favorites.count(), 2);
    EXPECT_EQ(loaded.favorites[0].name, u"a:b");
    EXPECT_EQ(loaded.favorites[1].name, u"新宿店");
    EXPECT_EQ(loaded.favorites[1].lat, (DmsAngle{36, 4, 5, 6}));
    EXPECT_EQ(loaded.favorites[1].lon, (DmsAngle{140, 1, 2, 3}));
    ASSERT_EQ(loaded.menu.size(), 2u);
    EXPECT_EQ(loaded.menu[0], std::make_pair(2001, std::u16string(u"a:b")));
    EXPECT_EQ(loaded.menu[1], std::make_pair(2002, std::u16string(u"新宿店")));
}

TEST(LoadSettingsFile, SeveralFavouritesInOneSectionAndIncompleteOnesDropped) {
    Loaded loaded = LoadBytes(
        "[Favorite]\nFavName:one\nFavLat:35\nFavLon:139\nFavName:two\nFavLat:36\nFavLon:140\n"
        "FavName:half\nFavLat:37\n\n[Favorite]\nFavLon:141\nFavLat:38\n\n");
    ASSERT_EQ(loaded.favorites.count(), 2);
    EXPECT_EQ(loaded.favorites[1].name, u"two");
    EXPECT_EQ(loaded.favorites[1].lat.deg, 36);
}

// A hand-edited file often ends without a line break after its last line; that line counts,
// once, however the file ends.
TEST(LoadSettingsFile, LastLineCountsWithOrWithoutABreak) {
    for (const char* end : {"", "\r\n", "\r", "\n"}) {
        Loaded loaded = LoadBytes(std::string("[System]\r\nTrgtSrchNum:40\r\nMapSiteNo:3") + end);
        EXPECT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.settings.TrgtSrchNum, 40);
        EXPECT_EQ(loaded.settings.MapSiteNo, 3) << ::testing::PrintToString(end);
    }
    // The last favourite line completes its favourite; the last path is listed.
    Loaded favourite = LoadBytes("[Favorite]\r\nFavName:end\r\nFavLat:35\r\nFavLon:139");
    ASSERT_EQ(favourite.favorites.count(), 1);
    EXPECT_EQ(favourite.menu.size(), 1u);
    Loaded path = LoadBytes("[TrgtInfoFile]\r\n/a.csv\r\n/b.csv");
    EXPECT_EQ(path.files[1], u"/b.csv");
    EXPECT_EQ(LoadBytes("").result, 0);
}

// A FIFO or a device as zentorak.ini is a file that cannot be opened: start-up then writes a
// fresh file instead of hanging or filling the memory. The child has limits in case it does.
TEST(LoadSettingsFile, FifosAndDevicesCannotBeOpened) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.File("zero.ini"));
    std::filesystem::create_symlink("/dev/urandom", folder.File("random.ini"));
    for (const char* name : {"fifo.ini", "zero.ini", "random.ini", ""}) {
        int status = testing::RunBounded([&] {
            Settings settings;
            LocationInfoFileList files;
            FavoriteList favorites;
            return -LoadSettingsFile(folder.File(name), settings, files, favorites);
        });
        EXPECT_EQ(status, 1) << name;  // -1, as for a missing file; a folder too
    }
}

TEST(LoadSettingsFile, LineOfSpacesDoesNotCloseTheSection) {
    Loaded loaded = LoadBytes("[System]\r\n  \r\nMapSiteNo:3\r\n");
    EXPECT_EQ(loaded.settings.MapSiteNo, 3);
}

TEST(LoadSettingsFile, UnreadableFileIsAReadError) {
    TempFolder folder;
    Settings settings;
    LocationInfoFileList files;
    FavoriteList favorites;
    // A regular file whose first read fails: the process's own memory at address 0.
    std::filesystem::create_symlink("/proc/self/mem", folder.File("zentorak.ini"));
    EXPECT_EQ(LoadSettingsFile(folder.File("zentorak.ini"), settings, files, favorites), -9);
}

std::string SaveBytes(const Settings& settings, const LocationInfoFileList& files = {},
                      const FavoriteList& favorites = {}) {
    TempFolder folder;
    EXPECT_EQ(SaveSettingsFile(folder.File("zentorak.ini"), settings, files, favorites), 0);
    return ReadBytes(folder.File("zentorak.ini"));
}

// Every favourite of the file is kept and written back, but the menu gets items only up to the
// last id below the program's commands.
TEST(LoadSettingsFile, FavouritesBeyondTheMenusLastIdAreKeptWithoutAnItem) {
    std::string bytes;
    const int count = kMaxMenuFavorites + 2;
    for (int i = 0; i < count; ++i) {
        bytes += "[Favorite]\r\nFavName:f" + std::to_string(i) +
                 "\r\nFavLat:35/00/00.000\r\nFavLon:139/00/00.000\r\n\r\n";
    }
    Loaded loaded = LoadBytes(bytes);
    ASSERT_EQ(loaded.result, 0);
    ASSERT_EQ(loaded.favorites.count(), count);
    EXPECT_EQ(loaded.favorites[count - 1].name, u"f30771");
    ASSERT_EQ(loaded.menu.size(), static_cast<size_t>(kMaxMenuFavorites));
    EXPECT_EQ(loaded.menu.back(), std::make_pair(32770, std::u16string(u"f30769")));
    std::string saved = SaveBytes(Settings{}, {}, loaded.favorites);
    EXPECT_NE(saved.find("FavName:f30771\r\n"), std::string::npos);
}

TEST(SaveSettingsFile, DefaultsGiveTheExactFile) {
    EXPECT_EQ(SaveBytes(Settings{}), kDefaultFile);
}

TEST(SaveSettingsFile, AutoUpdateModeOnlyWhenItsStateIsKept) {
    Settings settings;
    settings.SaveUpdateStatMode = 2;
    settings.AutoUpdateMode = 1;
    std::string bytes = SaveBytes(settings);
    EXPECT_EQ(bytes.find("AutoUpdateMode"), std::string::npos);
    EXPECT_NE(bytes.find("SaveUpdateStatMode:2\r\nStartupSrchMode:2\r\n"), std::string::npos);
    // Read back, the field keeps its default.
    Loaded loaded = LoadBytes(bytes);
    EXPECT_EQ(loaded.settings.AutoUpdateMode, 0);
}

TEST(SaveSettingsFile, GoogleCorrectionIsZeroOrOne) {
    Settings settings;
    settings.GoogleCrrctMode = 0;
    settings.MemMapScaleMode = 2;
    std::string bytes = SaveBytes(settings);
    EXPECT_NE(bytes.find("MemMapScaleMode:2\r\nGoogleCrrctMode:0\r\n"), std::string::npos);
}

TEST(SaveSettingsFile, EleventhPathIsGoneAfterSaving) {
    std::string bytes = "[TrgtInfoFile]\r\n";
    for (int i = 0; i < 11; ++i) {
        bytes += "/d/" + std::to_string(i) + ".csv\r\n";
    }
    Loaded loaded = LoadBytes(bytes + "\r\n");
    std::string saved = SaveBytes(loaded.settings, loaded.files);
    EXPECT_NE(saved.find("[TrgtInfoFile]\r\n/d/0.csv\r\n"), std::string::npos);
    EXPECT_NE(saved.find("/d/9.csv\r\n\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("/d/10.csv"), std::string::npos);
}

TEST(SaveSettingsFile, IndexOutsideTheNameListsWritesTheDefaultName) {
    Settings settings;
    settings.PortName = 12;
    settings.DevModel = -1;
    std::string bytes = SaveBytes(settings);
    EXPECT_NE(bytes.find("PortName:COM1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("DevModel:WS011SH\r\n"), std::string::npos);
}

TEST(SaveSettingsFile, FavouritesFollowInBlocksOfFiveLines) {
    FavoriteList favorites;
    AddFavorite(favorites, FavoriteRecord{{35, 1, 2, 3}, {139, 4, 5, 6}, u"a"});
    AddFavorite(favorites, FavoriteRecord{{36, 0, 0, 0}, {140, 0, 0, 0}, u"b"});
    std::string bytes = SaveBytes(Settings{}, {}, favorites);
    const std::string tail =
        "[TrgtInfoFile]\r\n\r\n"
        "[Favorite]\r\nFavName:a\r\nFavLat:35/01/02.003\r\nFavLon:139/04/05.006\r\n\r\n"
        "[Favorite]\r\nFavName:b\r\nFavLat:36/00/00.000\r\nFavLon:140/00/00.000\r\n\r\n";
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST(SettingsRoundTrip, SaveThenLoadGivesTheSameValues) {
    TempFolder folder;
    Settings settings;
    settings.PortName = 0;
    settings.TrgtSrchNum = 100;
    settings.GoogleCrrctMode = 0;
    settings.KwdFavName = u"①㈱№Ⅱ髙﨑～－";
    LocationInfoFileList files;
    files[0] = u"/data/店舗:一覧.csv";
    files[1] = u"/data/b.csv";
    files[3] = u"/never/written.csv";  // after the first empty entry
    FavoriteList favorites;
    AddFavorite(favorites, FavoriteRecord{{35, 41, 22, 123}, {139, 41, 30, 45}, u"東京駅"});
    ASSERT_EQ(SaveSettingsFile(folder.File("z.ini"), settings, files, favorites), 0);

    Settings read;
    LocationInfoFileList readFiles;
    FavoriteList readFavorites;
    ASSERT_EQ(LoadSettingsFile(folder.File("z.ini"), read, readFiles, readFavorites), 0);
    EXPECT_EQ(read.PortName, 0);
    EXPECT_EQ(read.TrgtSrchNum, 100);
    EXPECT_EQ(read.GoogleCrrctMode, 0);
    EXPECT_EQ(read.KwdFavName, u"①㈱№Ⅱ髙﨑～－");
    EXPECT_EQ(readFiles[0], files[0]);
    EXPECT_EQ(readFiles[1], files[1]);
    EXPECT_TRUE(readFiles[2].empty() && readFiles[3].empty());
    ASSERT_EQ(readFavorites.count(), 1);
    EXPECT_EQ(readFavorites[0].name, u"東京駅");
    EXPECT_EQ(readFavorites[0].lat, (DmsAngle{35, 41, 22, 123}));
    EXPECT_NE(ReadBytes(folder.File("z.ini")).find("FavLat:35/41/22.123\r\n"), std::string::npos);
}

// A character CP932 lacks makes the file UTF-8; a line break never starts a line of its own.
TEST(SettingsRoundTrip, EveryCharacterKeptAndNoValueSpansLines) {
    const std::tuple<std::u16string, std::u16string, bool> rows[] = {
        {u"新宿店", u"/data/東京駅.csv", false},
        {u"𠮷野家 Café é 한국식당", u"/home/u/café/shops.csv", true},
        {u"a\r\n\r\n[Favorite]\r\nFavName:injected", u"/d/x\n[System]\nTrgtSrchNum:3", false},
    };
    for (const auto& [name, path, utf8] : rows) {
        TempFolder folder;
        LocationInfoFileList files{path};
        FavoriteList favorites;
        AddFavorite(favorites, {{35, 0, 0, 0}, {139, 0, 0, 0}, name});
        ASSERT_EQ(SaveSettingsFile(folder.File("z.ini"), Settings{}, files, favorites), 0);
        const std::string bytes = ReadBytes(folder.File("z.ini"));
        EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF[System]\r\n", 0) == 0, utf8) << bytes;
        Loaded loaded = LoadBytes(bytes);
        ASSERT_EQ(loaded.favorites.count(), 1) << bytes;
        EXPECT_EQ(loaded.files[1], u"");
        EXPECT_EQ(loaded.settings.TrgtSrchNum, 20);
        if (name.find(u'\n') == std::u16string::npos) {
            EXPECT_EQ(loaded.favorites[0].name, name);
            EXPECT_EQ(loaded.files[0], path);
        }
    }
}

}  // namespace
}  // namespace zentorak
