#include "core/locinfo/location_info.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "core/locinfo/location_loader.h"
#include "core/platform/bounded_child.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::TempFolder;

// CP932 bytes, taken from Python's cp932 codec ("店名".encode("cp932") and so on).
const std::string kShopName = "\x93\x58\x96\xbc";  // 店名
const std::string kShibuya = "\x8f\x61\x92\x4a";   // 渋谷
const std::string kTable = "\x95\x5c";             // 表: trail byte 0x5C is '\'
const std::string kSo = "\x83\x5c";                // ソ
const std::string kSymbols = "\x87\x40\x87\x8a\x87\x82\x87\x55\xee\xe0\xed\x95\x81\x60\x81\x7c";
// ①㈱№Ⅱ髙﨑～－ as glibc's CP932 decodes the bytes above.
const std::u16string kSymbolsText = u"①㈱№Ⅱ髙﨑\uFF5E\uFF0D";
// 緯度,経度,店名,郵便番号,住所,TEL
const std::string kHeader =
    "\x88\xdc\x93\x78,\x8c\x6f\x93\x78,\x93\x58\x96\xbc,\x97\x58\x95\xd6\x94\xd4\x8d\x86,"
    "\x8f\x5a\x8f\x8a,TEL\r\n";

std::vector<std::u16string> Split(std::u16string_view line, std::u16string_view quote = u"\"") {
    std::vector<std::u16string> fields;
    EXPECT_EQ(SplitCsvLine(line, u",", quote, fields), 0);
    return fields;
}

using Fields = std::vector<std::u16string>;

TEST(SplitCsvLine, QuotingRules) {
    struct Row {
        const char16_t* line;
        Fields fields;
    } rows[] = {
        {u"35/00/00.000,139/00/00.000,\"Shop,Main Street\",100-0001",
         {u"35/00/00.000", u"139/00/00.000", u"Shop,Main Street", u"100-0001"}},
        {u"\"say \"\"hi\"\"\",x", {u"say \"hi\"", u"x"}},
        // A closing quote followed by a letter keeps both and the field stays quoted, so the
        // following comma is text.
        {u"\"ab\"c,d\",e", {u"ab\"c,d", u"e"}},
        {u"ab\"c,d", {u"ab\"c", u"d"}},
        {u"a,b,c,", {u"a", u"b", u"c"}},
        {u",,x", {u"", u"", u"x"}},
        {u"\"\",\"", {u"", u""}},
        {u"\"open,to the end", {u"open,to the end"}},
        {u"", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Split(row.line), row.fields);
    }
}

TEST(SplitCsvLine, WithoutQuoteCutsAtEverySeparator) {
    EXPECT_EQ(Split(u"a,\"b,c\",", u""), (Fields{u"a", u"\"b", u"c\"", u""}));
    EXPECT_EQ(Split(u"", u""), (Fields{u""}));
}

class LoadTest : public ::testing::Test {
protected:
    int Load(const std::string& bytes) {
        return LoadLocationInfoFile(grid, columns, folder.Write("shops.csv", bytes));
    }
    const TargetRecord& Target(uint32_t i) const { return grid.store().Loaded(i); }
    std::optional<std::u16string> Item(uint32_t i, int k) const {
        if (!Target(i).HasInfo(k)) {
            return std::nullopt;
        }
        return std::u16string(Target(i).Info(k));
    }

    TempFolder folder;
    TargetGrid grid;
    ColumnMap columns;
};

TEST_F(LoadTest, JapaneseItemsQuotedFieldsAndEveryLineEnd) {
    std::string file = kHeader + "35/39/29.123,139/45/05.007,\"" + kShopName + "," + kTable +
                       "\"\"" + kSo + "\",150-0002\r\n" +                   // CR LF
                       "35/40/00.000,139/46/00.000," + kSymbols + ",,\n" +  // LF
                       "35/41/00.000,139/47/00.000," + kShibuya + "\r" +    // lone CR
                       "35/42/00.000,139/48/00.000,a,b,c,d,e,f,g,h,i\r\n";
    ASSERT_EQ(Load(file), 0);
    ASSERT_EQ(grid.size(), 4u);
    EXPECT_EQ(Target(0).lat, (DmsAngle{35, 39, 29, 123}));
    EXPECT_EQ(Target(0).lon, (DmsAngle{139, 45, 5, 7}));
    EXPECT_EQ(Item(0, 0), u"店名,表\"ソ");
    EXPECT_EQ(Item(0, 1), u"150-0002");
    EXPECT_EQ(Item(0, 2), std::nullopt);  // the line has no fifth field
    EXPECT_EQ(Item(1, 0), kSymbolsText);
    EXPECT_EQ(Item(1, 1), u"");           // present and empty
    EXPECT_EQ(Item(1, 2), std::nullopt);  // the line ends in a separator: no empty last field
    EXPECT_EQ(Item(2, 0), u"渋谷");
    EXPECT_EQ(Item(3, 3), u"d");
    // The header names six columns, so slots 6..9 are absent and info[4..7] with them.
    EXPECT_EQ(Item(3, 4), std::nullopt);
}

TEST_F(LoadTest, BadLinesAreSkippedAndTheirNeighboursLoad) {
    ASSERT_EQ(Load(kHeader + "35/00/00.000,139/00/00.000,first\r\n"
                             "35/00/00.000,139/00/00.000\r\n"        // two fields
                             "18/00/00.000,139/00/00.000,south\r\n"  // outside the area
                             "35/00/00.000,139.75,decimal\r\n"       // not a coordinate
                             "35/00/00.000,149/00/00.000,east\r\n"
                             "35/00/00.000,139/00/00.000,last\r\n"),
              0);
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(Item(0, 0), u"first");
    EXPECT_EQ(Item(1, 0), u"last");
}

// Many editors and exports end the file without a line break after the last line; that line
// must load like every other, once, however the file ends.
TEST_F(LoadTest, LastLineLoadsWithOrWithoutALineBreak) {
    std::string lines = kHeader + "35/00/00.000,139/00/00.000,a\r\n35/00/01.000,139/00/00.000,b";
    for (const char* end : {"", "\r\n", "\r", "\n", "\r\n\r\n"}) {
        ClearTargetGrid(grid);
        ASSERT_EQ(Load(lines + end), 0) << "end " << ::testing::PrintToString(end);
        ASSERT_EQ(grid.size(), 2u) << "end " << ::testing::PrintToString(end);
        EXPECT_EQ(Item(1, 0), u"b");
    }
    // The same through reads of a few bytes, so the last line straddles them.
    for (const char* end : {"", "\r"}) {
        ClearTargetGrid(grid);
        auto trickle = [](int fd, void* buffer, size_t size) {
            return ::read(fd, buffer, std::min<size_t>(size, 3));
        };
        ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, folder.Write("t.csv", lines + end),
                                                trickle),
                  0);
        EXPECT_EQ(grid.size(), 2u);
    }
    // A header alone, with or without its line break, and an empty file give no target.
    ClearTargetGrid(grid);
    EXPECT_EQ(Load("lat,lon,name"), 0);
    EXPECT_EQ(Load("lat,lon,name\r\n"), 0);
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(grid.size(), 0u);
}

// A FIFO or a device named as a location-info file must neither block nor fill the memory: it
// is a file that cannot be opened. The child has a time and memory limit in case it does.
TEST_F(LoadTest, FifosAndDevicesAreFilesThatCannotBeOpened) {
    std::string fifo = folder.Write("fifo.csv", "");
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string zero = fifo + ".zero.csv";
    std::filesystem::create_symlink("/dev/zero", zero);
    for (const std::string& path : {fifo, zero, std::string("/dev/urandom")}) {
        int status = testing::RunBounded([&] {
            TargetGrid g;
            ColumnMap c;
            std::vector<std::u16string> header;
            bool refused = ReadCsvHeader(path, header) == -1 &&
                           LoadLocationInfoFile(g, c, path) == -1 && g.size() == 0;
            return refused ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << path;
    }
}

// Columns without text in a page keep no lengths there; the columns after them must still find
// their own lengths and texts, in both length widths and across a page boundary.
TEST_F(LoadTest, ColumnsEmptyOnEveryLineReadBackBesideTextAndLongItems) {
    std::string file = kHeader;
    auto address = [](int i) { return std::string(i == 66 ? 300 : 1 + i % 5, 'a' + i % 26); };
    for (int i = 0; i < 70; ++i) {
        file += "35/00/00.000,139/00/00.000,,," + address(i) + "\r\n";
    }
    ASSERT_EQ(Load(file), 0);
    ASSERT_EQ(grid.size(), 70u);
    for (int i = 0; i < 70; ++i) {
        EXPECT_EQ(Item(i, 0), u"") << i;  // present and empty on every line
        EXPECT_EQ(Item(i, 1), u"") << i;
        std::string expected = address(i);
        EXPECT_EQ(Item(i, 2), std::u16string(expected.begin(), expected.end())) << i;
        EXPECT_EQ(Item(i, 3), std::nullopt) << i;
    }
}

TEST_F(LoadTest, NulByteEndsTheLineText) {
    ASSERT_EQ(Load(kHeader + "35/00/00.000,139/00/00.000," + std::string("ab\0,cd", 6) + ",ef\r\n"),
              0);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(Item(0, 0), u"ab");
    EXPECT_EQ(Item(0, 1), std::nullopt);
}

TEST_F(LoadTest, BrokenCp932ByteBecomesReplacementAlone) {
    // 0x93 is a lead byte; before a comma it stands alone and the comma still separates.
    ASSERT_EQ(Load(kHeader + "35/00/00.000,139/00/00.000,x\x93,\x93" + "\r\n"), 0);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(Item(0, 0), u"x\uFFFD");
    EXPECT_EQ(Item(0, 1), u"\uFFFD");
}

TEST_F(LoadTest, EmptyHeaderCellLeavesSlotAbsentAndLongCaptionIsCut) {
    std::string caption(120, 'C');
    ASSERT_EQ(
        Load("lat,lon,name,zip,," + caption + "\r\n35/00/00.000,139/00/00.000,n,z,addr,t\r\n"), 0);
    EXPECT_EQ(columns.slot[4], -1);
    EXPECT_EQ(columns.columnCaption[4], u"住所");  // an empty cell keeps the previous caption
    EXPECT_EQ(columns.columnCaption[5], std::u16string(99, u'C'));
    EXPECT_EQ(columns.slot[6], -1);  // beyond the header's cells
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(Item(0, 2), std::nullopt);
    EXPECT_EQ(Item(0, 3), u"t");
}

TEST_F(LoadTest, PointsInTheFirstColumnsLoadWhateverTheHeader) {
    EXPECT_EQ(Load(",lon,name\r\n35/00/00.000,139/00/00.000,n\r\n"), 0);
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(columns.slot[0], 0);
    EXPECT_EQ(columns.columnCaption[2], u"name");
}

TEST_F(LoadTest, MissingOrEmptyFile) {
    EXPECT_EQ(LoadLocationInfoFile(grid, columns, "/nonexistent/shops.csv"), -1);
    EXPECT_EQ(Load(""), -1);  // no header, so no coordinate captions
    EXPECT_EQ(Load("lat,lon"), 0);
    EXPECT_EQ(grid.size(), 0u);
}

TEST_F(LoadTest, ReadErrorKeepsWhatWasRead) {
    std::string bytes = kHeader;
    for (int i = 0; i < 50; ++i) {
        bytes += "35/00/" + std::to_string(10 + i) + ".000,139/00/00.000,x\r\n";
    }
    std::string path = folder.Write("shops.csv", bytes);
    size_t delivered = 0;
    // Delivers a few bytes per call, then fails half-way through the file.
    auto read = [&](int fd, void* buffer, size_t size) -> ssize_t {
        if (delivered > bytes.size() / 2) {
            errno = EIO;
            return -1;
        }
        ssize_t n = ::read(fd, buffer, std::min<size_t>(size, 7));
        delivered += n > 0 ? n : 0;
        return n;
    };
    EXPECT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path, read), -9);
    EXPECT_GT(grid.size(), 10u);
    EXPECT_LT(grid.size(), 50u);
}

TEST_F(LoadTest, BoundaryTargetsAreFiledInTheLastRowAndColumn) {
    // Chosen behaviour: 46 N and 148 E pass the area test, so they load into row/column 259.
    ASSERT_EQ(Load(kHeader + "46/00/00.000,148/00/00.000,corner\r\n"
                             "45/59/59.999,147/59/59.999,inside\r\n"),
              0);
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(TargetStore::CellOf(Target(0)), kGridCells - 1);
    EXPECT_EQ(TargetStore::CellOf(Target(1)), kGridCells - 1);
}

// Minutes, seconds or milliseconds past their range are carried into the next field: the target
// keeps, shows and files the angle it means, and the area is checked on that.
TEST_F(LoadTest, FieldsPastTheirRangeAreCarried) {
    ASSERT_EQ(Load(kHeader + "35/75/00.000,139/00/61.1500,carried\r\n"
                             "45/119/60.000,140/00/00.000,north of the area once carried\r\n"
                             "45/59/60.000,147/59/59.1000,on the corner\r\n"),
              0);
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(static_cast<DmsAngle>(Target(0).lat), (DmsAngle{36, 15, 0, 0}));
    EXPECT_EQ(static_cast<DmsAngle>(Target(0).lon), (DmsAngle{139, 1, 2, 500}));
    EXPECT_EQ(FormatDms(Target(0).lon), u"139/01/02.500");
    EXPECT_EQ(Item(1, 0), u"on the corner");
    EXPECT_EQ(static_cast<DmsAngle>(Target(1).lat), (DmsAngle{46, 0, 0, 0}));
    EXPECT_EQ(TargetStore::CellOf(Target(1)), kGridCells - 1);
}

TEST(LoadAllLocationInfoFiles, StopsAtFirstEmptyEntryAndMergesCaptions) {
    TempFolder folder;
    LocationInfoFileList files;
    files[0] = FromUtf8(folder.Write("a.csv", "lat,lon,A\r\n35/00/00.000,139/00/00.000,a\r\n"));
    files[1] = u"/nonexistent.csv";
    files[2] = FromUtf8(folder.Write("b.csv", "lat,lon,B\r\n35/00/00.000,139/00/00.000,b\r\n"));
    files[4] = FromUtf8(folder.Write("c.csv", "lat,lon,C\r\n35/00/00.000,139/00/00.000,c\r\n"));
    TargetGrid grid;
    ColumnMap columns;
    std::vector<LocationInfoFileReport> reports;
    EXPECT_EQ(LoadAllLocationInfoFiles(grid, columns, files, {}, &reports), 0);
    std::vector<int> results;
    for (const LocationInfoFileReport& report : reports) {
        results.push_back(report.result);
    }
    EXPECT_EQ(results, (std::vector<int>{0, -1, 0}));
    EXPECT_EQ(grid.size(), 2u);
    EXPECT_EQ(columns.columnCaption[2], u"A");
    EXPECT_EQ(columns.columnCaption[3], u"B");
}

TEST(FindColumnByCaption, ExactWholeCaption) {
    ColumnMap columns;
    EXPECT_EQ(FindColumnByCaption(columns, u"TEL"), 5);
    EXPECT_EQ(FindColumnByCaption(columns, u"tel"), -1);
    EXPECT_EQ(FindColumnByCaption(columns, u"TE"), -1);
    EXPECT_EQ(FindColumnByCaption(columns, u""), -1);
    columns.slot[5] = -1;
    EXPECT_EQ(FindColumnByCaption(columns, u"TEL"), -1);
}

TEST(ReadCsvHeader, Results) {
    TempFolder folder;
    std::vector<std::u16string> fields;
    EXPECT_EQ(ReadCsvHeader(folder.Write("h.csv", kHeader + "x\r\n"), fields), 0);
    EXPECT_EQ(fields, (Fields{u"緯度", u"経度", u"店名", u"郵便番号", u"住所", u"TEL"}));
    EXPECT_EQ(ReadCsvHeader("/nonexistent/h.csv", fields), -1);
}

}  // namespace
}  // namespace zentorak
