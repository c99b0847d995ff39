// A file read by several threads, each a range of whole lines, must load exactly as one reader
// from the start loads it: the same targets in the same order, the same items, the same line
// counts, and the same search answers. The ranges here are as short as one line, so files with
// every kind of line end (LF, CR LF, a lone CR, a CR as the last byte) are cut at nearly every
// line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/search.h"
#include "core/targets/target_store.h"
#include "support/location_reference.h"
#include "support/random_location_file.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

constexpr LoadParallelism kOneThread{1, 0};

LoadParallelism Threads(int n) {
    return {n, 1};  // ranges of any size: a cut after nearly every line
}

TEST(ParallelLoad, RangesOfAFewLinesLoadAsOneReaderDoes) {
    std::mt19937 random(1606);
    testing::TempFolder folder;
    size_t loaded = 0;
    for (int round = 0; round < 48; ++round) {
        const std::string path = folder.Write("p.csv", testing::RandomFile(random, round));
        const testing::ReferenceLoadResult expected = testing::ReferenceLoad(path);
        TargetGrid single;
        ColumnMap singleColumns;
        LocationInfoFileReport one;
        ASSERT_EQ(
            LoadLocationInfoFileUnindexed(single, singleColumns, path, {}, {}, &one, kOneThread),
            0);
        for (int threads : {2, 3, 7, 64}) {
            TargetGrid grid;
            ColumnMap columns;
            LocationInfoFileReport report;
            ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path, {}, {}, &report,
                                                    Threads(threads)),
                      0);
            ASSERT_EQ(testing::DifferenceFromReference(grid, columns, expected), "")
                << "round " << round << ", " << threads << " threads";
            EXPECT_EQ(report.dmsLines, one.dmsLines) << "round " << round;
            EXPECT_EQ(report.decimalLines, one.decimalLines) << "round " << round;
            EXPECT_EQ(report.mixedLines, one.mixedLines) << "round " << round;
            EXPECT_EQ(report.encoding, one.encoding) << "round " << round;
        }
        loaded += single.size();
    }
    EXPECT_GT(loaded, 48u * 15);  // the comparison covered many targets
}

// The cut between two ranges is found by reading windows of 64 KiB from the middle of the file:
// lines longer than a window, and a CR LF pair or a lone CR as a window's last byte, must still
// give a cut at a line start.
TEST(ParallelLoad, LongLinesAndLineEndsAtTheEdgeOfTheSearchWindow) {
    testing::TempFolder folder;
    const std::string head = "緯度,経度,名\r\n35/00/00.000,139/00/00.000,first\r\n";
    const std::string point = "35/00/00.000,139/00/00.000,";
    const std::string last = "35/00/00.000,139/00/00.000,last\r\n";
    constexpr size_t kWindow = 64 * 1024;
    for (const char* end : {"\r\n", "\r", "\n"}) {
        // With two ranges the search starts at half the size; the long line's end lands on the
        // window's last byte, one before it, or one after it.
        for (size_t shift : {kWindow, kWindow - 1, kWindow + 1, 3 * kWindow}) {
            std::string bytes;
            for (size_t run = 1; run < 8 * kWindow; ++run) {
                const size_t size = head.size() + point.size() + run + strlen(end) + last.size();
                if (head.size() + point.size() + run == size / 2 + shift) {
                    bytes = head + point + std::string(run, 'x') + end + last;
                    break;
                }
            }
            ASSERT_FALSE(bytes.empty()) << shift;
            const std::string path = folder.Write("w.csv", bytes);
            TargetGrid grid;
            ColumnMap columns;
            ASSERT_EQ(
                LoadLocationInfoFileUnindexed(grid, columns, path, {}, {}, nullptr, Threads(2)), 0);
            ASSERT_EQ(grid.size(), 3u) << shift;
            EXPECT_EQ(grid.store().Loaded(0).Info(0), u"first");
            EXPECT_EQ(grid.store().Loaded(1).Info(0).size(),
                      bytes.size() - head.size() - point.size() - strlen(end) - last.size());
            EXPECT_EQ(grid.store().Loaded(2).Info(0), u"last");
        }
    }
}

// Shops on a small grid of points around Tokyo, several to a point, with Japanese items of
// varied lengths (some past 255 units, which widens a page's length rows).
std::string ShopFile(int lines, int seed, const char* lineEnd) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 59), length(0, 40);
    std::string bytes = "緯度,経度,店名,住所,TEL\r\n";
    for (int i = 0; i < lines; ++i) {
        char point[64];
        std::snprintf(point, sizeof point, "35/%02d/%02d.%03d,139/%02d/%02d.000,", pick(random),
                      pick(random), i % 1000, pick(random), pick(random));
        std::string name = "店" + std::to_string(seed) + "-" + std::to_string(i);
        std::string address(static_cast<size_t>(i % 97 == 0 ? 300 : length(random)), 'a');
        for (int k = 0; k < length(random) % 5; ++k) {
            address += "東京都";
        }
        bytes += point + name + ",\"" + address + "\",03-" + std::to_string(i) + lineEnd;
    }
    return EncodeCp932(FromUtf8(bytes));
}

// The targets of two grids by load number: the same points, each where its load number says,
// and with items the same items.
void ExpectSameTargets(const TargetGrid& a, const TargetGrid& b, bool items) {
    for (uint32_t i = 0; i < a.size(); ++i) {
        const TargetRecord& x = a.store().Loaded(i);
        const TargetRecord& y = b.store().Loaded(i);
        ASSERT_TRUE(x.lat == y.lat && x.lon == y.lon) << "target " << i;
        ASSERT_EQ(TargetStore::LoadNumberOf(y), i);
        for (int k = 0; items && k < kInfoItems; ++k) {
            ASSERT_EQ(x.HasInfo(k), y.HasInfo(k)) << "target " << i;
            ASSERT_EQ(x.Info(k), y.Info(k)) << "target " << i;
        }
    }
}

// Loads the files in turn into one grid, each with the given parallelism, and indexes it.
void LoadAll(TargetGrid& grid, ColumnMap& columns, const std::vector<std::string>& paths,
             const std::vector<LoadParallelism>& parallel) {
    for (size_t i = 0; i < paths.size(); ++i) {
        ASSERT_EQ(
            LoadLocationInfoFileUnindexed(grid, columns, paths[i], {}, {}, nullptr, parallel[i]),
            0);
    }
    IndexTargetGrid(grid);
}

TEST(ParallelLoad, FilesAfterEachOtherKeepTheirOrderAndTheSearchesTheirAnswers) {
    testing::TempFolder folder;
    const std::vector<std::string> paths = {folder.Write("a.csv", ShopFile(5000, 1, "\r\n")),
                                            folder.Write("b.csv", ShopFile(3001, 2, "\n")),
                                            folder.Write("c.csv", ShopFile(700, 3, "\r"))};
    TargetGrid single, parallel;
    ColumnMap columns;
    LoadAll(single, columns, paths, {kOneThread, kOneThread, kOneThread});
    // The second file goes on after ranges read by threads, the third into the space left in
    // the last of their text blocks.
    LoadAll(parallel, columns, paths, {{4, 4096}, {3, 1}, kOneThread});
    ASSERT_EQ(parallel.size(), 8701u);
    ASSERT_EQ(single.size(), parallel.size());
    ASSERT_NO_FATAL_FAILURE(ExpectSameTargets(single, parallel, true));
    FoundTargets first, second;
    first.Allocate(50);
    second.Allocate(50);
    for (int minute : {0, 17, 31, 59}) {
        SearchNearest(single, {35, minute, 0, 0}, {139, 30, 0, 0}, 50, first);
        SearchNearest(parallel, {35, minute, 0, 0}, {139, 30, 0, 0}, 50, second);
        ASSERT_EQ(first.count, second.count);
        for (int i = 0; i < first.count; ++i) {
            EXPECT_EQ(TargetStore::LoadNumberOf(*first.targets[i]),
                      TargetStore::LoadNumberOf(*second.targets[i]));
        }
    }
    SearchTexts texts;
    texts[0] = u"店2-";
    FoundTargets found;
    found.Allocate(4000);
    SearchByConditions(parallel, columns, texts, found);
    EXPECT_EQ(found.count, 3001);  // every shop of the second file, none of the others
}

// The index of two stores, position by position and bucket by bucket.
void ExpectSameIndex(const TargetGrid& a, const TargetGrid& b, const char* what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (uint32_t p = 0; p < a.size(); ++p) {
        ASSERT_EQ(TargetStore::LoadNumberOf(a.store().At(p)),
                  TargetStore::LoadNumberOf(b.store().At(p)))
            << what << ", position " << p;
    }
    for (uint32_t n = 0; n < a.size(); ++n) {
        ASSERT_EQ(a.store().PositionOf(n), b.store().PositionOf(n)) << what << ", target " << n;
    }
    const auto& x = a.store().buckets;
    const auto& y = b.store().buckets;
    ASSERT_EQ(x.size(), y.size()) << what;
    for (size_t i = 0; i < x.size(); ++i) {
        ASSERT_TRUE(x[i].begin == y[i].begin && x[i].end == y[i].end &&
                    x[i].minLat == y[i].minLat && x[i].maxLat == y[i].maxLat &&
                    x[i].minLon == y[i].minLon && x[i].maxLon == y[i].maxLon)
            << what << ", bucket " << i;
    }
    EXPECT_EQ(a.store().subMaps, b.store().subMaps) << what;
    for (int c = 0; c < kGridCells; ++c) {
        const TargetStore::Cell& u = a.store().cells[static_cast<uint32_t>(c)];
        const TargetStore::Cell& v = b.store().cells[static_cast<uint32_t>(c)];
        ASSERT_TRUE(u.k == v.k && u.firstBucket == v.firstBucket && u.subMap == v.subMap &&
                    u.minLat == v.minLat && u.maxLat == v.maxLat && u.minLon == v.minLon &&
                    u.maxLon == v.maxLon)
            << what << ", cell " << c;
    }
}

// Halves of several megabytes take another way through the store: their lines and records come
// from arenas of huge pages, and the merge copies the second half's records into chunks cut from
// one large mapping. The merged store must hold what one reader's does, record for record. A
// store this large is also indexed by several threads, each over a range of the records; the
// index must be the one a single thread builds, after the first load and after a second.
TEST(ParallelLoad, LargeHalvesMergeAsOneReaderLoadsThem) {
    constexpr int kLines = 300000;  // each half over 4 MB, the second over 2 MB of records
    constexpr LoadParallelism kHalves{2, size_t{4} << 20};  // two ranges, as the loader has them
    std::string bytes = "lat,lon,name\n";
    bytes.reserve(size_t{kLines} * 34);
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> part(0, 59), ms(0, 999);
    for (int i = 0; i < kLines; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%d/%02d/%02d.%03d,%d/%02d/%02d.%03d,n%d\n", 33 + i % 4,
                      part(random), part(random), ms(random), 135 + i % 5, part(random),
                      part(random), ms(random), i);
        bytes += line;
    }
    testing::TempFolder folder;
    const std::string path = folder.Write("large.csv", bytes);
    TargetGrid single, halves;
    ColumnMap columns;
    ASSERT_EQ(LoadLocationInfoFileUnindexed(single, columns, path, {}, {}, nullptr, kOneThread), 0);
    ASSERT_EQ(LoadLocationInfoFileUnindexed(halves, columns, path, {}, {}, nullptr, kHalves), 0);
    ASSERT_EQ(halves.size(), size_t{kLines});
    ASSERT_EQ(single.size(), halves.size());
    ASSERT_NO_FATAL_FAILURE(ExpectSameTargets(single, halves, false));
    ASSERT_TRUE(single.store().BuildIndex(1));
    ASSERT_TRUE(halves.store().BuildIndex(5));
    ExpectSameIndex(single, halves, "first index");
    for (uint32_t i : {0u, 1u, 149999u, 150000u, 150001u, 262143u, 299999u}) {
        EXPECT_EQ(halves.store().Loaded(i).Info(0), u"n" + FromUtf8(std::to_string(i)));
    }
    // The file again on top: the records indexed before have moved, those added stand at their
    // load numbers.
    ASSERT_EQ(LoadLocationInfoFileUnindexed(single, columns, path, {}, {}, nullptr, kOneThread), 0);
    ASSERT_EQ(LoadLocationInfoFileUnindexed(halves, columns, path, {}, {}, nullptr, kHalves), 0);
    ASSERT_TRUE(single.store().BuildIndex(1));
    ASSERT_TRUE(halves.store().BuildIndex(3));
    ExpectSameIndex(single, halves, "second index");
    EXPECT_EQ(halves.store().Loaded(2 * kLines - 1).Info(0), u"n299999");
}

// The items are decoded behind the index by the store's threads while readers ask for them in
// any order, each decoding a page it finds waiting; every reader must see the texts a finished
// decoding gives, and the text search must see them all.
TEST(ParallelLoad, TextsDecodedBehindTheIndexReadTheSameToEveryReader) {
    testing::TempFolder folder;
    const std::string path = folder.Write("shops.csv", ShopFile(20000, 4, "\r\n"));
    TargetGrid expected;
    ColumnMap expectedColumns;
    ASSERT_EQ(LoadLocationInfoFile(expected, expectedColumns, path), 0);
    expected.store().FinishTexts();
    for (int round = 0; round < 3; ++round) {
        TargetGrid grid;
        ColumnMap columns;
        ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path, {}, {}, nullptr, Threads(2)),
                  0);
        if (round == 1) {  // decoding beside the index, which the store allows
            grid.store().StartDecodingTexts(3);
            grid.store().BuildIndex(2);
        } else {
            grid.store().BuildIndex(2);
            grid.store().StartDecodingTexts(3);
        }
        ASSERT_EQ(grid.size(), expected.size());
        std::vector<std::string> differences(3);
        std::vector<std::thread> readers;
        for (int r = 0; r < 3; ++r) {
            readers.emplace_back([&, r] {
                std::mt19937 random(static_cast<unsigned>(round * 3 + r));
                std::uniform_int_distribution<uint32_t> pick(
                    0, static_cast<uint32_t>(grid.size() - 1));
                for (int i = 0; i < 3000 && differences[r].empty(); ++i) {
                    const uint32_t n = pick(random);
                    const TargetRecord& a = expected.store().Loaded(n);
                    const TargetRecord& b = grid.store().Loaded(n);
                    for (int k = 0; k < kInfoItems; ++k) {
                        if (a.HasInfo(k) != b.HasInfo(k) || a.Info(k) != b.Info(k)) {
                            differences[r] = "target " + std::to_string(n);
                        }
                    }
                }
            });
        }
        SearchTexts texts;
        texts[1] = u"東京都東京都東京都";
        FoundTargets want, got;
        want.Allocate(20000);
        got.Allocate(20000);
        SearchByConditions(grid, columns, texts, got);
        for (std::thread& reader : readers) {
            reader.join();
        }
        SearchByConditions(expected, expectedColumns, texts, want);
        EXPECT_EQ(differences, std::vector<std::string>(3)) << "round " << round;
        ASSERT_EQ(got.count, want.count);
        EXPECT_GT(got.count, 100);
        for (int i = 0; i < got.count; ++i) {
            EXPECT_EQ(TargetStore::LoadNumberOf(*got.targets[i]),
                      TargetStore::LoadNumberOf(*want.targets[i]));
        }
    }
}

// A store cleared, or loaded into again, while its threads decode stops them first.
TEST(ParallelLoad, ClearingOrLoadingMoreWhileTextsAreDecodedIsSafe) {
    testing::TempFolder folder;
    const std::string path = folder.Write("shops.csv", ShopFile(20000, 5, "\n"));
    TargetGrid grid;
    ColumnMap columns;
    for (int round = 0; round < 4; ++round) {
        ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path), 0);
        grid.store().BuildIndex();
        grid.store().StartDecodingTexts(2);
        if (round == 1) {
            ClearTargetGrid(grid);
            EXPECT_EQ(grid.size(), 0u);
        }
    }
    // Rounds 1 and 3 loaded the file on top of the texts being decoded; round 1 was cleared.
    ASSERT_EQ(grid.size(), 40000u);
    IndexTargetGrid(grid);
    EXPECT_EQ(grid.store().Loaded(20000).Info(0), u"店5-0");
    EXPECT_EQ(grid.store().Loaded(39999).Info(0), u"店5-19999");
}

}  // namespace
}  // namespace zentorak
