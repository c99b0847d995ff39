// Splitting raw CP932 bytes must give the fields of splitting the decoded line, and the buffered
// loader must file the targets that reading line by line with ReadTextLine and SplitCsvLine
// gives. Both are checked on random bytes rich in lead bytes, quotes, commas and line ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <random>

#include "core/geo/coordinate_bytes.h"
#include "core/geo/csv_split.h"
#include "support/temp_folder.h"
#include "core/geo/location_info.h"
#include "core/geo/location_loader.h"
#include "core/geo/target_store.h"
#include "core/platform/code_page.h"
#include "core/text/text_line.h"

namespace zentorak {
namespace {

std::string RandomBytes(std::mt19937& random, size_t size, bool lineEnds) {
    static const char kAlphabet[] = {',',    '"',    'a',    '1',    '/',    '.',
                                     '\x81', '\x93', '\xe0', '\x40', '\x5c', '\x7f',
                                     '\xa0', '\xfd', '\xff', '\0',   '\r',   '\n'};
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - (lineEnds ? 1 : 3));
    std::string bytes;
    for (size_t i = 0; i < size; ++i) {
        bytes.push_back(kAlphabet[pick(random)]);
    }
    return bytes;
}

std::vector<std::u16string> RawSplit(std::string_view line) {
    std::vector<std::u16string> fields;
    std::string arena;
    SplitQuotedFields<char>(line, ',', '"', arena,
                            [&](std::string_view f) { fields.push_back(DecodeCp932(f)); });
    return fields;
}

TEST(RawSplit, EqualsSplittingTheDecodedLine) {
    std::mt19937 random(932);
    for (int i = 0; i < 20000; ++i) {
        std::string line = RandomBytes(random, i % 40, false);
        line = line.substr(0, line.find('\0'));
        std::vector<std::u16string> decoded;
        ASSERT_EQ(SplitCsvLine(DecodeCp932(line), u",", u"\"", decoded), 0);
        ASSERT_EQ(RawSplit(line), decoded) << "line " << i;
    }
}

TEST(RawSplit, NoCp932CharacterDecodesToASplittingCharacter) {
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string text = DecodeCp932(std::string_view(pair, 2));
            for (char16_t c : text) {
                ASSERT_TRUE(c != u',' && c != u'"' && c != u'\r' && c != u'\n' && c != 0)
                    << lead << " " << trail;
            }
        }
    }
}

// The targets that line-by-line reading gives, as their items (null when absent).
std::vector<std::vector<std::optional<std::u16string>>> ReferenceLoad(const std::string& path) {
    std::vector<std::vector<std::optional<std::u16string>>> targets;
    int fd = ::open(path.c_str(), O_RDONLY);
    TextFileReader reader(fd, {}, 3);  // a tiny buffer exercises every refill path
    std::u16string line;
    int result = ReadTextLine(reader, line);
    while (result == 0) {
        result = ReadTextLine(reader, line);
        // The piece after the last line end is a line when it holds anything.
        if (result != 0 && (result != -1 || line.empty())) {
            break;
        }
        std::vector<std::u16string> f;
        SplitCsvLine(line, u",", u"\"", f);
        DmsAngle lat, lon;
        int row, column;
        if (f.size() < 3 || ParseDms(f[0], lat) || ParseDms(f[1], lon) ||
            GridCellOf(lat, lon, row, column)) {
            continue;
        }
        std::vector<std::optional<std::u16string>> items(kInfoItems);
        for (size_t k = 0; k < kInfoItems && k + 2 < f.size(); ++k) {
            items[k] = f[k + 2];
        }
        targets.push_back(items);
    }
    ::close(fd);
    return targets;
}

TEST(RawSplit, LoaderMatchesLineByLineReading) {
    std::mt19937 random(2011);
    testing::TempFolder folder;
    const char* starts[] = {"35/00/00.000,139/00/00.000,", "35/00/00.000,\"139/00\",", "35,139,",
                            ""};
    size_t loaded = 0;
    for (int round = 0; round < 40; ++round) {
        std::string bytes = "a,b,c,d,e,f,g,h,i,j\r\n";
        for (int line = 0; line < 60; ++line) {
            bytes += starts[line % 4] + RandomBytes(random, line % 30, true) +
                     (line % 5   ? "\r\n"
                      : line % 2 ? "\r"
                                 : "\n");
        }
        // The end of the file: nothing more, a last line without a line end, or one ended by
        // a CR that is the file's last byte.
        const char* tails[] = {"", "35/00/00.000,139/00/00.000,tail",
                               "35/00/00.000,139/00/00.000,cr\r"};
        bytes += tails[round % 3];
        std::string path = folder.Write("r.csv", bytes);
        TargetGrid grid;
        ColumnMap columns;
        // Every other round the file arrives in pieces of 1 to 9 bytes, so line ends, CR LF
        // pairs and fields straddle the reads.
        std::uniform_int_distribution<size_t> piece(1, 9);
        auto trickle = [&](int fd, void* buffer, size_t size) {
            return ::read(fd, buffer, std::min(size, piece(random)));
        };
        TextFileReader::ReadFunction read;
        if (round % 2) {
            read = trickle;
        }
        ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path, read), 0);
        auto expected = ReferenceLoad(path);
        ASSERT_EQ(grid.size(), expected.size()) << "round " << round;
        loaded += grid.size();
        for (uint32_t i = 0; i < grid.size(); ++i) {
            for (int k = 0; k < kInfoItems; ++k) {
                const TargetRecord& t = grid.store().Loaded(i);
                std::optional<std::u16string> got;
                if (t.HasInfo(k)) {
                    got = std::u16string(t.Info(k));
                }
                ASSERT_EQ(got, expected[i][k]) << "round " << round << " target " << i;
            }
        }
    }
    EXPECT_GT(loaded, 40u * 10);  // the comparison covered many targets
}

}  // namespace
}  // namespace zentorak

namespace zentorak {
namespace {

// The loader reads the usual coordinate form straight from bytes; for every field it must
// agree with ParseDms on the decoded text, fields near the usual form included.
TEST(ParseCoordinateBytes, AgreesWithParseDms) {
    std::mt19937 random(46);
    const char alphabet[] = {'0', '1', '5', '9', '/', '.', 'a', ' ', '\x82'};
    std::uniform_int_distribution<int> pick(0, 8), length(0, 14);
    const char* usual[] = {"35/39/29.123", "139/45/05.007", "1/00/00.000", "1000/00/00.000"};
    for (int round = 0; round < 50000; ++round) {
        std::string field = round < 4 ? usual[round] : "";
        if (round >= 4 && round % 2) {
            field = usual[round % 3];  // the usual form with one character changed
            field[static_cast<size_t>(pick(random)) % field.size()] = alphabet[pick(random)];
        } else if (round >= 4) {
            for (int i = length(random); i > 0; --i) {
                field += alphabet[pick(random)];
            }
        }
        DmsAngle fast{-1, -1, -1, -1}, slow{-1, -1, -1, -1};
        bool accepted = ParseCoordinateBytes(field, fast);
        ASSERT_EQ(accepted, ParseDms(DecodeCp932(field), slow) == 0) << field;
        if (accepted) {
            ASSERT_EQ(fast, slow) << field;
        }
    }
}

}  // namespace
}  // namespace zentorak
