// Location-info files as they are published today: UTF-8 (with or without the byte-order mark),
// decimal degrees on WGS 84, and coordinate columns found by caption; beside them the CP932
// files of the handsets must read as they always have.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <random>
#include <sstream>

#include "core/locinfo/file_encoding.h"
#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "support/cs2cs.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::TempFolder;

constexpr std::string_view kMark = kUtf8ByteOrderMark;

// Distance between two nearby points in metres (a sphere is close enough at this scale).
double Metres(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kMetresPerDegree = 6371000.0 * std::numbers::pi / 180;
    const double dy = (lat2 - lat1) * kMetresPerDegree;
    const double dx = (lon2 - lon1) * kMetresPerDegree * std::cos(lat1 * std::numbers::pi / 180);
    return std::hypot(dx, dy);
}

class FormsTest : public ::testing::Test {
protected:
    // Loads UTF-8 text as it is, or encoded to CP932 first.
    int LoadUtf8(const std::string& text, const CoordinateKeywords& keywords = {}) {
        return LoadBytes(text, keywords);
    }
    int LoadCp932(const std::string& text) { return LoadBytes(EncodeCp932(FromUtf8(text)), {}); }
    int LoadBytes(const std::string& bytes, const CoordinateKeywords& keywords) {
        ClearTargetGrid(grid);
        int result = LoadLocationInfoFileUnindexed(grid, columns, folder.Write("f.csv", bytes), {},
                                                   keywords, &report);
        IndexTargetGrid(grid);
        return result;
    }
    const TargetRecord& Target(uint32_t i) const { return grid.store().Loaded(i); }
    std::optional<std::u16string> Item(uint32_t i, int k) const {
        if (!Target(i).HasInfo(k)) {
            return std::nullopt;
        }
        return std::u16string(Target(i).Info(k));
    }
    std::u16string Caption(int slot) const { return columns.columnCaption[slot]; }

    TempFolder folder;
    TargetGrid grid;
    ColumnMap columns;
    LocationInfoFileReport report;
};

const std::string kShops =
    "緯度,経度,店名,住所\r\n"
    "35/39/29.123,139/45/05.007,\"渋谷①,本店\",東京都渋谷区\r\n"
    "34/41/57.000,135/30/08.250,髙﨑～梅田,大阪府大阪市\r\n";

TEST_F(FormsTest, Utf8WithAndWithoutMarkLoadsLikeItsCp932Twin) {
    ASSERT_EQ(LoadCp932(kShops), 0);
    EXPECT_EQ(report.encoding, TextEncoding::kCp932);
    ASSERT_EQ(grid.size(), 2u);
    const DmsAngle lat = Target(1).lat, lon = Target(1).lon;
    for (const std::string& bytes : {kShops, std::string(kMark) + kShops}) {
        ASSERT_EQ(LoadUtf8(bytes), 0);
        EXPECT_EQ(report.encoding, TextEncoding::kUtf8);
        EXPECT_EQ(Caption(0), u"緯度");  // the mark is not part of the first caption
        ASSERT_EQ(grid.size(), 2u);
        EXPECT_EQ(Item(0, 0), u"渋谷①,本店");
        EXPECT_EQ(Item(1, 0), u"髙﨑～梅田");
        EXPECT_EQ(Item(1, 1), u"大阪府大阪市");
        EXPECT_EQ(Target(1).lat, lat);
        EXPECT_EQ(Target(1).lon, lon);
        EXPECT_EQ(report.dmsLines, 2u);
    }
    std::vector<std::u16string> header;
    TextEncoding encoding = TextEncoding::kCp932;
    ASSERT_EQ(ReadCsvHeader(folder.Write("h.csv", std::string(kMark) + kShops), header, &encoding),
              0);
    EXPECT_EQ(encoding, TextEncoding::kUtf8);
    EXPECT_EQ(header, (std::vector<std::u16string>{u"緯度", u"経度", u"店名", u"住所"}));
}

// The whole file decides its encoding, however far from its start the deciding bytes are.
TEST_F(FormsTest, OneEncodingForTheWholeFile) {
    const std::string point = "35/00/00.000,139/00/00.000,";
    std::string filler;
    while (filler.size() < kEncodingWindow) {
        filler += point + "filler\r\n";
    }
    const std::string mark(kMark);
    struct Row {
        std::string bytes;
        TextEncoding encoding;
        std::u16string firstItem, lastItem;
        bool markedButNotUtf8;
    } rows[] = {
        // ASCII for 64 KiB, Japanese after.
        {"lat,lon,name\r\n" + filler + point + "丸の内珈琲\r\n", TextEncoding::kUtf8, u"filler",
         u"丸の内珈琲", false},
        // ﾃｽ in CP932 is a valid UTF-8 sequence; 東京 after the window is not.
        {"lat,lon,name\r\n" + point + "\xC3\xBD\r\n" + filler + point + "\x93\x8C\x8B\x9E\r\n",
         TextEncoding::kCp932, u"ﾃｽ", u"東京", false},
        {"lat,lon,name\r\n" + point + "東京\r\n" + filler + point + "\x93\x8C\r\n",
         TextEncoding::kCp932, DecodeCp932("東京"), u"東", false},
        // The mark before CP932: read as CP932, the mark not part of the first caption.
        {mark + "\x88\xDC\x93\x78,lon,name\r\n" + point + "\x93\x8C\r\n", TextEncoding::kCp932,
         u"東", u"東", true},
        {mark + "緯度,lon,name\r\n" + point + "東\r\n", TextEncoding::kUtf8, u"東", u"東", false},
    };
    for (const Row& row : rows) {
        ClearTargetGrid(grid);
        ASSERT_EQ(LoadBytes(row.bytes, {}), 0);
        EXPECT_EQ(report.encoding, row.encoding) << ToUtf8(row.lastItem);
        EXPECT_EQ(report.markedButNotUtf8, row.markedButNotUtf8) << ToUtf8(row.lastItem);
        EXPECT_EQ(columns.columnCaption[0], row.bytes.starts_with(mark) ? u"緯度" : u"lat");
        EXPECT_EQ(Item(0, 0), row.firstItem) << ToUtf8(row.lastItem);
        EXPECT_EQ(Item(static_cast<uint32_t>(grid.size() - 1), 0), row.lastItem);
    }
}

struct ProjPoint {
    const char* name;
    const char* lat;  // WGS 84, as a cell of the file
    const char* lon;
    double tokyoLat, tokyoLon;
};

// Tokyo-datum values from PROJ 9.1.1:
//   cs2cs -f %.9f +proj=longlat +datum=WGS84 +to +proj=longlat +ellps=bessel
//         +towgs84=-146.414,507.337,680.507
// (the Japan-wide set spelled out, so that PROJ does not pick a regional one near Korea).
constexpr ProjPoint kProjPoints[] = {
    {"Wakkanai", "45.4156450", "141.6729883", 45.413500602, 141.676913308},
    {"Nemuro", "43.33", "145.5825", 43.327463832, 145.586640359},
    {"Sapporo", "43.0621", "141.3544", 43.059677325, 141.358142194},
    {"Sendai", "38.26822", "140.87194", 38.265244298, 140.875381726},
    {"Niigata", "37.90226", "139.02354", 37.899294683, 139.026803750},
    {"Chiyoda", "35.6939", "139.7536", 35.690662438, 139.756833501},
    {"Hachijojima", "33.10938", "139.78941", 33.105855980, 139.792548504},
    {"Nagoya", "35.18147", "136.90664", 35.178247700, 136.909609425},
    {"Kanazawa", "36.5947", "136.6256", 36.591646579, 136.628597769},
    {"Osaka", "34.6937", "135.5022", 34.690455852, 135.505029687},
    {"Kochi", "33.5597", "133.5311", 33.556371108, 133.533720095},
    {"Fukuoka", "33.5902", "130.4017", 33.586937322, 130.404041468},
    {"Nagasaki", "32.7503", "129.8736", 32.746951181, 129.875871810},
    {"Naha", "26.2124", "127.6809", 26.208371841, 127.682843796},
    {"Iriomote", "24.3394", "123.7616", 24.335224113, 123.763178965},
    {"Chichijima", "27.0945", "142.1920", 27.090300219, 142.195136986},
};

// Held as whole milliseconds of arc, truncated: within 1 cm of PROJ plus one millisecond.
constexpr double kDecimalTolerance = 0.05;

TEST_F(FormsTest, DecimalCellsAreWgs84HeldOnTheTokyoDatum) {
    std::string text = "lat,lng,name\r\n";
    for (const ProjPoint& p : kProjPoints) {
        text += std::string(p.lat) + "," + p.lon + "," + p.name + "\r\n";
    }
    ASSERT_EQ(LoadUtf8(text), 0);
    EXPECT_EQ(report.decimalLines, std::size(kProjPoints));
    ASSERT_EQ(grid.size(), std::size(kProjPoints));
    for (uint32_t i = 0; i < grid.size(); ++i) {
        const ProjPoint& p = kProjPoints[i];
        EXPECT_LT(Metres(DmsToDegrees(Target(i).lat), DmsToDegrees(Target(i).lon), p.tokyoLat,
                         p.tokyoLon),
                  kDecimalTolerance)
            << p.name;
    }
}

TEST_F(FormsTest, DecimalCellsAgreeWithCs2csAcrossJapan) {
    if (std::system("command -v cs2cs >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "cs2cs is not installed (Debian package proj-bin); the fixed PROJ values "
                        "above still check the conversion";
    }
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> lat(24.1, 45.5), lon(123.1, 147.9);
    std::string file = "lat,lon,n\r\n", input;
    for (int i = 0; i < 500; ++i) {
        char latText[32], lonText[32];
        std::snprintf(latText, sizeof latText, "%.7f", lat(random));
        std::snprintf(lonText, sizeof lonText, "%.7f", lon(random));
        file += std::string(latText) + "," + lonText + ",p\r\n";
        input += std::string(lonText) + " " + latText + "\n";
    }
    ASSERT_EQ(LoadUtf8(file), 0);
    ASSERT_EQ(grid.size(), 500u);
    std::istringstream output(
        testing::RunCs2cs("+proj=longlat +datum=WGS84 +to +proj=longlat +ellps=bessel "
                          "+towgs84=-146.414,507.337,680.507",
                          input));
    for (uint32_t i = 0; i < grid.size(); ++i) {
        double projLon = 0, projLat = 0, height = 0;
        ASSERT_TRUE(output >> projLon >> projLat >> height) << i;
        EXPECT_LT(
            Metres(DmsToDegrees(Target(i).lat), DmsToDegrees(Target(i).lon), projLat, projLon),
            kDecimalTolerance)
            << "point " << i;
    }
}

// D/M/S lines and decimal lines in one file each keep their datum; a line with one of each is
// skipped, and a whole number of degrees goes with the other cell's form.
TEST_F(FormsTest, MixedFile) {
    ASSERT_EQ(LoadUtf8("緯度,経度,名前\r\n"
                       "35/41/22.123,139/45/05.007,D/M/S\r\n"
                       "35.6939,139.7536,decimal\r\n"
                       "35/41/22.123,139.7536,mixed\r\n"
                       "35.6939,139/45/05.007,mixed\r\n"
                       "36,140,whole numbers\r\n"
                       "36,140.5,whole latitude\r\n"
                       "36/00/00.000,140,whole longitude\r\n"
                       " 35.5 , 139.5 ,blanks\r\n"),
              0);
    EXPECT_EQ(report.dmsLines, 3u);
    EXPECT_EQ(report.decimalLines, 3u);
    EXPECT_EQ(report.mixedLines, 2u);
    ASSERT_EQ(grid.size(), 6u);
    EXPECT_EQ(Item(0, 0), u"D/M/S");
    EXPECT_EQ(Target(0).lat, (DmsAngle{35, 41, 22, 123}));  // Tokyo datum as written
    EXPECT_EQ(Item(1, 0), u"decimal");
    EXPECT_LT(Metres(DmsToDegrees(Target(1).lat), DmsToDegrees(Target(1).lon), 35.690662438,
                     139.756833501),
              kDecimalTolerance);
    EXPECT_EQ(Item(2, 0), u"whole numbers");
    EXPECT_EQ(Target(2).lat, (DmsAngle{36, 0, 0, 0}));  // D/M/S, as such a file always read
    EXPECT_EQ(Item(3, 0), u"whole latitude");
    EXPECT_NE(Target(3).lat, (DmsAngle{36, 0, 0, 0}));  // WGS 84, shifted to the Tokyo datum
    EXPECT_EQ(Target(4).lon, (DmsAngle{140, 0, 0, 0}));
    EXPECT_EQ(Item(5, 0), u"blanks");
}

// Decimal cells are plain numbers inside the area; nothing else passes for one.
TEST_F(FormsTest, OnlyPlainDecimalNumbersInsideTheAreaAreRead) {
    ASSERT_EQ(LoadUtf8("lat,lon,n\r\n"
                       "35.,139.,trailing point\r\n"
                       "+35.5,139.5,sign\r\n"
                       "35.5e0,139.5,exponent\r\n"
                       "３５.５,139.5,full-width digits\r\n"
                       ".5,139.5,no leading digit\r\n"
                       "35.5.1,139.5,two points\r\n"
                       "395.5,139.5,wraps around to 35.5\r\n"
                       "46.0000001,140,north of the area\r\n"
                       "35.5,121.9999999,west of the area\r\n"
                       "35.6939000000000000000000001,139.7536,long\r\n"),
              0);
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(Item(0, 0), u"trailing point");
    EXPECT_EQ(Item(1, 0), u"long");
    EXPECT_EQ(report.decimalLines, 5u);  // the points outside the area count as met, not loaded
}

// The layout of a municipal open-data list: UTF-8 with the mark, decimal coordinates captioned
// lat and lng in the sixth and seventh columns. The other columns give slots 2 to 9 in order.
TEST_F(FormsTest, CoordinatesInTheSixthAndSeventhColumnsByCaption) {
    ASSERT_EQ(LoadUtf8(std::string(kMark) + "pid,pref,cid,city,citykana,lat,lng,url,phrase,lgcode\n"
                                            "13,東京都,13101,千代田区,ちよだく,35.6939,139.7536,"
                                            "https://example.jp/,\"みどり, 水辺\",131016\n"
                                            "1,北海道,1100,札幌市,さっぽろし,43.0621,141.3544,"
                                            "https://example.jp/s/,,011002\n"),
              0);
    EXPECT_EQ(columns.slot, (std::array<int, kColumnSlots>{5, 6, 0, 1, 2, 3, 4, 7, 8, 9}));
    EXPECT_EQ(Caption(0), u"lat");
    EXPECT_EQ(Caption(1), u"lng");
    EXPECT_EQ(Caption(2), u"pid");
    EXPECT_EQ(Caption(7), u"url");
    EXPECT_EQ(Caption(9), u"lgcode");
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(Item(0, 0), u"13");
    EXPECT_EQ(Item(0, 3), u"千代田区");
    EXPECT_EQ(Item(0, 6), u"みどり, 水辺");
    EXPECT_EQ(Item(0, 7), u"131016");
    EXPECT_EQ(Item(1, 6), u"");
    EXPECT_LT(Metres(DmsToDegrees(Target(0).lat), DmsToDegrees(Target(0).lon), 35.690662438,
                     139.756833501),
              kDecimalTolerance);
    EXPECT_EQ(FindColumnByCaption(columns, u"city"), 5);  // slot 5 holds info[3]
}

TEST_F(FormsTest, TheFirstLinesDecideWhereTheCoordinatesAre) {
    // Columns 0 and 1 hold a D/M/S point, 12 and 13 a decimal one, 14 a D/M/S longitude.
    const std::string usual =
        "35/00/00.000,139/00/00.000,a,b,c,d,e,f,g,h,i,j,35.5,139.5,139/30/00.000\r\n";
    // The same without a point in its first two columns.
    const std::string named = "x,y,a,b,c,d,e,f,g,h,i,j,35.5,139.5,139/30/00.000\r\n";
    // A first line whose first two columns give no point, then a handsets' line.
    const std::string late = named + usual;
    // The same as the file's last piece, ended by a CR alone: not a line the first lines judge.
    const std::string namedLast = named.substr(0, named.size() - 1);
    // Longitude first in columns 0 and 1: no point inside the area there.
    const std::string swapped = "139.5,35.5,a\r\n";
    struct Row {
        const char* header;
        const std::string& lines;
        CoordinateKeywords keywords;
        int latColumn, lonColumn;
        size_t targets;
    } rows[] = {
        // A point in the first two columns: those, whatever the header names, as the handsets.
        {"緯度,経度,a,b,c,d,e,f,g,h,lat,lng", usual, {}, 0, 1, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j", usual, {}, 0, 1, 1},
        {"lat,y,a,b,c,d,e,f,g,h,i,j,k,l,LON", usual, {}, 0, 1, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,Latitude,LONGITUDE", usual, {}, 0, 1, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,lng,lat", usual, {}, 0, 1, 1},
        {"経度,緯度,a,b,c,d,e,f,g,h,i,j", usual, {}, 0, 1, 1},
        {"緯度,名前,a,b,c,d,e,f,g,h,i,j,経度,住所", usual, {}, 0, 1, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,緯度,経度", late, {}, 0, 1, 1},
        // No point there: the columns the captions name, blanks around them or not.
        {"x,y,a,b,c,d,e,f,g,h,i,lat", named, {}, 0, 1, 0},          // a latitude caption alone
        {"lat,y,a,b,c,d,e,f,g,h,i,j,k,l,LON", named, {}, 0, 1, 0},  // x is no latitude
        {"x,y,a,b,c,d,e,f,g,h,i,j,Latitude,LONGITUDE", named, {}, 12, 13, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,北緯,東経", named, {}, 12, 13, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,  lat ,\tlng", named, {}, 12, 13, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,Y,X", named, {u"Y", u"X"}, 12, 13, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,緯度,経度", named, {u"", u""}, 12, 13, 1},
        {"x,y,a,b,c,d,e,f,g,h,i,j,lng,lat", named, {}, 0, 1, 0},  // 139.5 is no latitude
        {"x,y,a,b,c,d,e,f,g,h,i,j,lat,lng", namedLast, {}, 0, 1, 0},
        {"経度,緯度,a", swapped, {}, 1, 0, 1},
        {"緯度,経度,a", swapped, {}, 0, 1, 0},
    };
    for (const Row& row : rows) {
        ClearTargetGrid(grid);
        ASSERT_EQ(LoadUtf8(std::string(row.header) + "\r\n" + row.lines, row.keywords), 0)
            << row.header;
        EXPECT_EQ(columns.slot[0], row.latColumn) << row.header;
        EXPECT_EQ(columns.slot[1], row.lonColumn) << row.header;
        EXPECT_EQ(grid.size(), row.targets) << row.header;
    }
}

// With the coordinates found by caption, an empty caption among the other columns leaves its
// slot absent and the slots after it keep their columns.
TEST_F(FormsTest, EmptyCaptionBesideCoordinatesFoundByCaption) {
    ASSERT_EQ(LoadUtf8("name,,lat,lon,tel\r\nA,skip,35.5,139.5,03\r\n"), 0);
    EXPECT_EQ(columns.slot, (std::array<int, kColumnSlots>{2, 3, 0, -1, 4, -1, -1, -1, -1, -1}));
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(Item(0, 0), u"A");
    EXPECT_EQ(Item(0, 1), std::nullopt);
    EXPECT_EQ(Item(0, 2), u"03");
    // A line too short to reach a coordinate column gives no target.
    ASSERT_EQ(LoadUtf8("name,x,lat,lon\r\nA,b,35.5\r\n"), 0);
    EXPECT_EQ(grid.size(), 0u);
}

TEST(LoadAllLocationInfoFiles, ReportsEachFilesEncodingAndForms) {
    TempFolder folder;
    LocationInfoFileList files;
    files[0] = FromUtf8(folder.Write("a.csv", EncodeCp932(u"緯度,経度,名\r\n35,139,a\r\n")));
    files[1] = u"/nonexistent.csv";
    files[2] = FromUtf8(folder.Write("b.csv", "lat,lng,名\r\n35.5,139.5,b\r\n35/00,139.5,c\r\n"));
    TargetGrid grid;
    ColumnMap columns;
    std::vector<LocationInfoFileReport> reports;
    ASSERT_EQ(LoadAllLocationInfoFiles(grid, columns, files, {}, &reports), 0);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].encoding, TextEncoding::kCp932);
    EXPECT_EQ(reports[0].dmsLines, 1u);
    EXPECT_FALSE(reports[1].headerRead);
    EXPECT_EQ(reports[1].result, -1);
    EXPECT_EQ(reports[2].encoding, TextEncoding::kUtf8);
    EXPECT_EQ(reports[2].decimalLines, 1u);
    EXPECT_EQ(reports[2].mixedLines, 1u);
    EXPECT_EQ(grid.size(), 2u);
}

}  // namespace
}  // namespace zentorak
