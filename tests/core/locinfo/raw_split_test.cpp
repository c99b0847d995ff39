// Splitting raw CP932 or UTF-8 bytes must give the fields of splitting the decoded line, and the
// buffered loader must file the targets that reading line by line with ReadTextLine and
// SplitCsvLine gives. Both are checked on random bytes rich in lead bytes, quotes, commas and
// line ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <random>

#include "core/locinfo/coordinate_bytes.h"
#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"
#include "core/text/text_line.h"
#include "support/location_reference.h"
#include "support/random_location_file.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::RandomBytes;
using testing::RandomFile;
using testing::RandomUtf8Bytes;

TEST(RawSplit, Utf8BytesSplitLikeTheirDecodedLine) {
    std::mt19937 random(8);
    for (int i = 0; i < 20000; ++i) {
        std::string line = RandomUtf8Bytes(random, i % 40);
        line = line.substr(0, line.find_first_of("\r\n"));
        std::vector<std::u16string> decoded, raw;
        ASSERT_EQ(SplitCsvLine(FromUtf8(line), u",", u"\"", decoded), 0);
        std::string arena;
        SplitQuotedFields<char>(line, ',', '"', arena,
                                [&](std::string_view f) { raw.push_back(FromUtf8(f)); });
        ASSERT_EQ(raw, decoded) << "line " << i;
    }
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

TEST(RawSplit, LoaderMatchesLineByLineReading) {
    std::mt19937 random(2011);
    testing::TempFolder folder;
    size_t loaded = 0, utf8Files = 0;
    for (int round = 0; round < 80; ++round) {
        std::string path = folder.Write("r.csv", RandomFile(random, round));
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
        LocationInfoFileReport report;
        ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path, read, {}, &report), 0);
        utf8Files += report.encoding == TextEncoding::kUtf8;
        ASSERT_EQ(testing::DifferenceFromReference(grid, columns, testing::ReferenceLoad(path)), "")
            << "round " << round;
        loaded += grid.size();
    }
    EXPECT_GT(loaded, 80u * 15);  // the comparison covered many targets
    EXPECT_GT(utf8Files, 15u);    // and many UTF-8 files (valid from start to end)
}

// Lines whose coordinates come first take a shorter way to their fields than the others; every
// way a line can end or quote near its first two fields must give what reading it whole gives.
TEST(RawSplit, FirstFieldsOfEveryShapeMatchLineByLineReading) {
    const char* const latitudes[] = {"35/00/00.000", "\"35/00/01.000\"", "", "\"35/0,0\"", "3\"5"};
    const char* const longitudes[] = {"139/00/00.000", "\"139/00/02.000\"", "", "\"139\"\"x\""};
    const char* const tails[] = {"",       ",",   ",x",         ",,",   ",,x",
                                 ",\"q\"", ",\"", ",x,\"y,z\"", ",\"\""};
    std::string file = "lat,lon,name,note\r\n";
    for (const char* lat : latitudes) {
        for (const char* lon : longitudes) {
            for (const char* tail : tails) {
                file += std::string(lat) + "," + lon + tail + "\r\n";
            }
            file += std::string(lat) + "\r\n" + lat + ",\r\n" + lat + "," + lon + "\n";
        }
    }
    testing::TempFolder folder;
    const std::string path = folder.Write("shapes.csv", file);
    TargetGrid grid;
    ColumnMap columns;
    ASSERT_EQ(LoadLocationInfoFileUnindexed(grid, columns, path), 0);
    EXPECT_EQ(testing::DifferenceFromReference(grid, columns, testing::ReferenceLoad(path)), "");
    EXPECT_GT(grid.size(), 20u);
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
