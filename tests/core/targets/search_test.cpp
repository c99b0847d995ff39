#include "core/targets/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/locinfo/location_info.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::TempFolder;

struct Place {
    DmsAngle lat, lon;
    std::u16string name = {}, address = {};
};

DmsAngle Dms(int d, int m, int s, int ms = 0) {
    return DmsAngle{d, m, s, ms};
}

// Writes the places as a CP932 file (header 緯度,経度,店名,郵便番号,住所) and loads it.
class SearchTest : public ::testing::Test {
protected:
    void LoadPlaces(const std::vector<Place>& list) {
        places = list;
        std::u16string text = u"緯度,経度,店名,郵便番号,住所\r\n";
        for (const Place& p : list) {
            text += FormatDms(p.lat) + u"," + FormatDms(p.lon) + u"," + p.name + u",100-0001," +
                    p.address + u"\r\n";
        }
        ClearTargetGrid(grid);
        ASSERT_EQ(LoadLocationInfoFile(grid, columns, folder.Write("t.csv", EncodeCp932(text))), 0);
        ASSERT_EQ(grid.size(), list.size());
    }
    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> names;
        for (int i = 0; i < found.count; ++i) {
            names.emplace_back(found.targets[i]->Info(0));
        }
        return names;
    }

    TempFolder folder;
    TargetGrid grid;
    ColumnMap columns;
    FoundTargets found;
    std::vector<Place> places;
};

TEST_F(SearchTest, OriginCellWithMoreTargetsThanWanted) {
    std::vector<Place> list;
    for (int i = 0; i < 25; ++i) {
        list.push_back({Dms(35, 30, 30 - i), Dms(139, 30, 0), u"t" + FromUtf8(std::to_string(i))});
    }
    LoadPlaces(list);
    ASSERT_EQ(found.Allocate(21), 0);
    ASSERT_EQ(SearchNearest(grid, Dms(35, 30, 31), Dms(139, 30, 0), 20, found), 0);
    ASSERT_EQ(found.count, 20);
    EXPECT_EQ(found.targets[0]->Info(0), u"t0");
    EXPECT_EQ(found.targets[19]->Info(0), u"t19");
}

TEST_F(SearchTest, FewerTargetsThanWantedFindsAllWithinTheRings) {
    LoadPlaces({{Dms(35, 0, 0), Dms(139, 0, 0), u"a"},
                {Dms(36, 0, 0), Dms(140, 0, 0), u"b"},
                {Dms(37, 20, 0), Dms(139, 0, 0), u"c"},   // 2.33 degrees north: ring 23
                {Dms(38, 0, 0), Dms(139, 0, 0), u"far"},  // 3.0 degrees north: beyond ring 29
                {Dms(34, 0, 0), Dms(138, 0, 0), u"d"}});
    ASSERT_EQ(SearchNearest(grid, Dms(35, 0, 0), Dms(139, 0, 0), 20, found), 0);
    // b and d lie at the same distance; d's cell comes first in the ring's walk, which starts
    // at the south-west corner.
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"a", u"d", u"b", u"c"}));
}

TEST_F(SearchTest, EqualPositionsComeInCellListOrder) {
    // The cell list holds the target loaded last first, and it is offered first.
    LoadPlaces(
        {{Dms(35, 0, 0), Dms(139, 0, 0), u"first"}, {Dms(35, 0, 0), Dms(139, 0, 0), u"second"}});
    ASSERT_EQ(SearchNearest(grid, Dms(35, 0, 1), Dms(139, 0, 0), 20, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"second", u"first"}));
}

TEST_F(SearchTest, TargetAcrossTheCellEdgeBeatsAFartherOneInTheOriginCell) {
    // The origin lies 1 s (about 30 m) south of its cell's north edge at 35.1 N; "near" lies
    // about 100 m north of that edge, "far" 5.8 km south in the origin's own cell.
    LoadPlaces(
        {{Dms(35, 0, 10), Dms(139, 3, 0), u"far"}, {Dms(35, 6, 3, 200), Dms(139, 3, 0), u"near"}});
    ASSERT_EQ(SearchNearest(grid, Dms(35, 5, 59), Dms(139, 3, 0), 1, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"near"}));
    ASSERT_EQ(SearchNearest(grid, Dms(35, 5, 59), Dms(139, 3, 0), 2, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"near", u"far"}));
}

TEST_F(SearchTest, EdgesOfTheArea) {
    LoadPlaces({{Dms(20, 0, 30), Dms(122, 0, 30), u"corner"},
                {Dms(46, 0, 0), Dms(148, 0, 0), u"northeast"}});
    ASSERT_EQ(SearchNearest(grid, Dms(20, 3, 0), Dms(122, 3, 0), 20, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"corner"}));
    ASSERT_EQ(SearchNearest(grid, Dms(45, 59, 0), Dms(147, 59, 0), 20, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"northeast"}));
    // Outside the area the list keeps what the last search found.
    EXPECT_EQ(SearchNearest(grid, Dms(19, 30, 0), Dms(139, 0, 0), 20, found), -101);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"northeast"}));
}

TEST_F(SearchTest, ConditionsMatchSubstringsOfPresentItems) {
    LoadPlaces({{Dms(35, 39, 0), Dms(139, 42, 0), u"セブン渋谷店", u"東京都渋谷区渋谷1-1"},
                {Dms(35, 39, 1), Dms(139, 42, 0), u"ローソン", u"東京都渋谷区宇田川町2"},
                {Dms(35, 10, 0), Dms(139, 0, 0), u"セブン新宿店", u"東京都新宿区西新宿3"}});
    SearchTexts texts;
    texts[2] = u"渋谷";  // slot 4, 住所
    found.Allocate(21);
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    // Same cell: the cell list order puts the place loaded last first.
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"ローソン", u"セブン渋谷店"}));
    texts[0] = u"セブン";
    found.count = 0;
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"セブン渋谷店"}));
    // A text for a slot that the header leaves absent imposes nothing.
    texts = {};
    texts[5] = u"x";
    found.count = 0;
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    EXPECT_EQ(found.count, 3);
}

TEST_F(SearchTest, ConditionOnAnItemMissingFromAShortLine) {
    ClearTargetGrid(grid);
    ASSERT_EQ(LoadLocationInfoFile(grid, columns,
                                   folder.Write("s.csv",
                                                "lat,lon,name,zip\r\n"
                                                "35/00/00.000,139/00/00.000,a,100\r\n"
                                                "35/00/00.000,139/00/00.000,b\r\n")),
              0);
    SearchTexts texts;
    texts[1] = u"1";
    found.Allocate(21);
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"a"}));
}

TEST_F(SearchTest, AllEmptyTextsChangeNothing) {
    LoadPlaces({{Dms(35, 0, 0), Dms(139, 0, 0), u"a"}});
    found.Allocate(21);
    found.count = 3;
    ASSERT_EQ(SearchByConditions(grid, columns, SearchTexts{}, found), 0);
    EXPECT_EQ(found.count, 3);
    EXPECT_EQ(found.capacity(), 21);
}

TEST_F(SearchTest, ConditionListGrowsByFifty) {
    std::vector<Place> list;
    for (int i = 0; i < 120; ++i) {
        list.push_back({Dms(30 + i / 10, i % 60, 0), Dms(130, 0, 0), u"hit", u"x"});
    }
    LoadPlaces(list);
    SearchTexts texts;
    texts[0] = u"hit";
    found.Allocate(21);
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    EXPECT_EQ(found.count, 120);
    EXPECT_EQ(found.capacity(), 121);
    // Grid order: rising cell numbers, and within a cell the place loaded last first.
    int lastRow = -1;
    for (int i = 0; i < found.count; ++i) {
        int row = 0, column = 0;
        GridCellOf(found.targets[i]->lat, found.targets[i]->lon, row, column);
        EXPECT_LE(lastRow, row);
        if (row == lastRow) {
            EXPECT_GT(DmsAngle(found.targets[i - 1]->lat).min, DmsAngle(found.targets[i]->lat).min);
        }
        lastRow = row;
    }
}

// The nearest search as the walk describes it, with no early stop: every target of rings
// 0..29 is offered, cell by cell in walk order, each cell's list from the place loaded last.
std::vector<size_t> OracleNearest(const std::vector<Place>& places, DmsAngle lat, DmsAngle lon,
                                  size_t wanted) {
    int r0 = 0, c0 = 0;
    EXPECT_EQ(GridCellOf(lat, lon, r0, c0), 0);
    std::vector<std::vector<size_t>> cells(kGridCells);
    for (size_t i = places.size(); i-- > 0;) {
        int r = 0, c = 0;
        GridCellOf(places[i].lat, places[i].lon, r, c);
        cells[std::min(r, 259) * kGridColumns + std::min(c, 259)].push_back(i);
    }
    std::vector<std::pair<double, size_t>> list;
    auto offer = [&](int r, int c) {
        if (r < 0 || r >= kGridRows || c < 0 || c >= kGridColumns) {
            return;
        }
        for (size_t i : cells[r * kGridColumns + c]) {
            double d = SortingDistance(DmsToDegrees(lat), DmsToDegrees(lon),
                                       DmsToDegrees(places[i].lat), DmsToDegrees(places[i].lon));
            auto at = std::find_if(list.begin(), list.end(), [d](auto& e) { return e.first > d; });
            list.insert(at, {d, i});
        }
    };
    offer(r0, c0);
    for (int ring = 1; ring <= 29; ++ring) {
        int r = r0 - ring, c = c0 - ring;
        for (int step = 0; step < 8 * ring; ++step) {
            offer(r, c);
            int side = step / (2 * ring);
            r += side == 0 ? 1 : side == 2 ? -1 : 0;
            c += side == 1 ? 1 : side == 3 ? -1 : 0;
        }
    }
    std::vector<size_t> result;
    for (size_t i = 0; i < list.size() && i < wanted; ++i) {
        result.push_back(list[i].second);
    }
    return result;
}

TEST_F(SearchTest, RandomizedAgainstTheFullWalk) {
    std::mt19937 random(20111);
    std::vector<Place> list;
    auto lattice = [&](double degrees) { return DegreesToDms(degrees); };
    // Clusters: a dense city cell (sub-cells), a looser town, scattered places, and places on a
    // coarse lattice so that equal distances and equal positions occur.
    std::normal_distribution<double> city(0.0, 0.02), town(0.0, 0.3);
    for (int i = 0; i < 3000; ++i) {
        list.push_back({lattice(35.65 + city(random)), lattice(139.75 + city(random))});
    }
    for (int i = 0; i < 800; ++i) {
        list.push_back({lattice(34.7 + town(random)), lattice(135.5 + town(random))});
    }
    std::uniform_real_distribution<double> anyLat(30.0, 40.0), anyLon(130.0, 142.0);
    for (int i = 0; i < 300; ++i) {
        list.push_back({lattice(anyLat(random)), lattice(anyLon(random))});
    }
    std::uniform_int_distribution<int> step(-6, 6);
    for (int i = 0; i < 600; ++i) {
        list.push_back({Dms(35, 40 + step(random), 0), Dms(139, 40 + step(random), 0)});
    }
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].name = FromUtf8(std::to_string(i));
        list[i].address = u"本町";
    }
    LoadPlaces(list);
    std::uniform_int_distribution<size_t> pick(0, list.size() - 1);
    const int counts[] = {1, 7, 20, 100};
    for (int q = 0; q < 240; ++q) {
        DmsAngle lat, lon;
        if (q % 3 == 0) {
            lat = list[pick(random)].lat, lon = list[pick(random)].lon;
        } else if (q % 3 == 1) {
            lat = list[pick(random)].lat, lon = list[pick(random)].lon;
            lon = lat == lon ? lon : list[pick(random) % list.size()].lon;
        } else {
            lat = lattice(anyLat(random)), lon = lattice(anyLon(random));
        }
        int wanted = counts[q % 4];
        ASSERT_EQ(SearchNearest(grid, lat, lon, wanted, found), 0);
        std::vector<size_t> expected = OracleNearest(places, lat, lon, wanted);
        std::vector<size_t> got;
        for (int i = 0; i < found.count; ++i) {
            got.push_back(std::stoul(ToUtf8(found.targets[i]->Info(0))));
        }
        ASSERT_EQ(got, expected) << "query " << q << " " << ToUtf8(FormatDms(lat)) << " "
                                 << ToUtf8(FormatDms(lon)) << " wanted " << wanted;
    }
    // The text search over the same grid, dense cells included, in grid order: cell number,
    // then the place loaded last first. "7" gives a few hundred matches, the address all. Then
    // over the places sixteen times, which a store scans in two halves on two threads.
    for (int copies : {1, 16}) {
        std::vector<Place> all;
        for (int c = 0; c < copies; ++c) {
            all.insert(all.end(), list.begin(), list.end());
        }
        for (size_t i = 0; i < all.size(); ++i) {
            all[i].name = FromUtf8(std::to_string(i));
        }
        LoadPlaces(all);
        for (int slot : {0, 2}) {
            std::vector<std::pair<int, size_t>> expected;
            for (size_t i = 0; i < all.size(); ++i) {
                int row = 0, column = 0;
                GridCellOf(all[i].lat, all[i].lon, row, column);
                if (slot == 2 || all[i].name.find(u"7") != std::u16string::npos) {
                    expected.push_back(
                        {std::min(row, 259) * kGridColumns + std::min(column, 259), i});
                }
            }
            std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
                return a.first < b.first || (a.first == b.first && a.second > b.second);
            });
            SearchTexts texts;
            texts[slot] = slot == 0 ? u"7" : u"町";
            found.count = 0;
            ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
            ASSERT_EQ(found.count, static_cast<int>(expected.size()));
            for (int i = 0; i < found.count; ++i) {
                ASSERT_EQ(std::stoul(ToUtf8(found.targets[i]->Info(0))), expected[i].second)
                    << copies << " " << i;
            }
        }
    }
}

}  // namespace
}  // namespace zentorak

namespace zentorak {
namespace {

// Texts are kept column by column in pages of 64 targets; a condition must match inside one
// item, never across two neighbours, and long items and partly filled pages must read back.
TEST(ConditionPages, HitsStayInsideOneItemAcrossPagesAndFiles) {
    TempFolder folder;
    std::string first = "lat,lon,name,note\r\n", second = first;
    for (int i = 0; i < 70; ++i) {
        // Neighbouring names "...ab" and "cd..." would join into "bc" in one buffer.
        first += "35/00/00.000,139/00/00.000," + std::string(i % 2 ? "cd" : "ab") + "," +
                 std::string(i == 3 ? 300 : 1, 'L') + "\r\n";
    }
    second += "35/10/00.000,139/00/00.000,xbcx,n\r\n";
    LocationInfoFileList files;
    files[0] = FromUtf8(folder.Write("a.csv", first));
    files[1] = FromUtf8(folder.Write("b.csv", second));
    TargetGrid grid;
    ColumnMap columns;
    ASSERT_EQ(LoadAllLocationInfoFiles(grid, columns, files), 0);
    ASSERT_EQ(grid.size(), 71u);
    SearchTexts texts;
    texts[0] = u"bc";
    FoundTargets found;
    found.Allocate(21);
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    ASSERT_EQ(found.count, 1);
    EXPECT_EQ(found.targets[0]->Info(0), u"xbcx");
    texts[0] = u"c";
    texts[1] = std::u16string(300, u'L');
    found.count = 0;
    ASSERT_EQ(SearchByConditions(grid, columns, texts, found), 0);
    ASSERT_EQ(found.count, 1);
    EXPECT_EQ(found.targets[0]->Info(0), u"cd");
    EXPECT_EQ(found.targets[0]->Info(1).size(), 300u);
}

// A page's column whose units are all below 0x100 is kept one byte a unit: its items, the column
// after it and the text search read the same as in a page where the column is UTF-16.
TEST(ConditionPages, OneByteColumnsReadAndMatchLikeUtf16Ones) {
    TempFolder folder;
    std::string file = std::string(kUtf8ByteOrderMark) + "lat,lon,name,tel,note\r\n";
    auto nameOf = [](int i) {
        return i == 100     ? "店café"
               : i % 3 == 0 ? "café"
                            : "n" + std::to_string(i) + (i == 7 ? "x" : "");
    };
    for (int i = 0; i < 150; ++i) {
        // The first page's names are all Latin-1 (an odd number of units in all, so the
        // UTF-16 notes after them are moved on by a byte); the second page's column is UTF-16
        // for one Japanese name in it.
        file += "35/00/00.000,139/00/00.000," + nameOf(i) + ",03-" + std::to_string(i) + ",備" +
                std::to_string(i) + "\r\n";
    }
    TargetGrid grid;
    ColumnMap columns;
    ASSERT_EQ(LoadLocationInfoFile(grid, columns, folder.Write("a.csv", file)), 0);
    ASSERT_EQ(grid.size(), 150u);
    for (uint32_t i = 0; i < 150; ++i) {
        const TargetRecord& t = grid.store().Loaded(i);
        ASSERT_EQ(t.Info(0), FromUtf8(nameOf(static_cast<int>(i)))) << i;
        ASSERT_EQ(t.Info(1), u"03-" + FromUtf8(std::to_string(i))) << i;
        ASSERT_EQ(t.Info(2), u"備" + FromUtf8(std::to_string(i))) << i;
        EXPECT_EQ(t.InfoContains(0, u"é"), i % 3 == 0 || i == 100) << i;
        EXPECT_FALSE(t.InfoContains(0, u"店é"));
    }
    auto count = [&](std::u16string name, std::u16string tel) {
        SearchTexts texts;
        texts[0] = std::move(name);
        texts[1] = std::move(tel);
        FoundTargets found;
        found.Allocate(200);
        EXPECT_EQ(SearchByConditions(grid, columns, texts, found), 0);
        return found.count;
    };
    EXPECT_EQ(count(u"é", u""), 51);  // 50 names "café" and one "店café", on every page
    EXPECT_EQ(count(u"店", u""), 1);  // in no one-byte column
    EXPECT_EQ(count(u"éx", u""), 0);
    EXPECT_EQ(count(u"caf", u"-99"), 1);
    EXPECT_EQ(count(u"c", u"03-10"), 4);  // of 03-10 and 03-100..109: 100, 102, 105 and 108
}

}  // namespace
}  // namespace zentorak

namespace zentorak {
namespace {

// Loading a second file on top of an indexed grid moves records again; ties must still follow
// the load order across both files.
TEST_F(SearchTest, SecondFileOnTopOfAnIndexedGrid) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(0, 4);
    std::vector<Place> all;
    std::u16string texts[2] = {u"緯度,経度,店名\r\n", u"緯度,経度,店名\r\n"};
    for (int i = 0; i < 400; ++i) {
        Place p{Dms(35, 40 + step(random), 0), Dms(139, 40 + step(random), 0),
                FromUtf8(std::to_string(i))};
        texts[i < 250 ? 0 : 1] +=
            FormatDms(p.lat) + u"," + FormatDms(p.lon) + u"," + p.name + u"\r\n";
        all.push_back(p);
    }
    ASSERT_EQ(LoadLocationInfoFile(grid, columns, folder.Write("a.csv", EncodeCp932(texts[0]))), 0);
    ASSERT_EQ(LoadLocationInfoFile(grid, columns, folder.Write("b.csv", EncodeCp932(texts[1]))), 0);
    ASSERT_EQ(grid.size(), 400u);
    for (int q = 0; q < 30; ++q) {
        DmsAngle lat = Dms(35, 40 + step(random), 30 * (q % 3)),
                 lon = Dms(139, 40 + step(random), 0);
        ASSERT_EQ(SearchNearest(grid, lat, lon, 60, found), 0);
        std::vector<size_t> got;
        for (int i = 0; i < found.count; ++i) {
            got.push_back(std::stoul(ToUtf8(found.targets[i]->Info(0))));
        }
        ASSERT_EQ(got, OracleNearest(all, lat, lon, 60)) << "query " << q;
    }
}

}  // namespace
}  // namespace zentorak
