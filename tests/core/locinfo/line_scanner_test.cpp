#include "core/locinfo/line_scanner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "support/temp_folder.h"

namespace zentorak {
namespace {

// Lines, results and the end of file must be ReadRawLine's for any bytes, also when a line is
// longer than the scanner's block (which then grows) and reads deliver a few bytes at a time.
TEST(LineScanner, SameLinesAsTheTextReaderWithTinyBlocks) {
    std::mt19937 random(13);
    testing::TempFolder folder;
    // Tabs and other bytes below 14 look like line ends to the wide compares at first.
    const char alphabet[] = {'a', ',', '\r', '\n', '\x81', '\0', '\t', '\x0c'};
    std::uniform_int_distribution<int> pick(0, 7), length(0, 300), block(1, 16);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int i = length(random); i > 0; --i) {
            bytes += alphabet[round % 3 ? pick(random) : pick(random) % 2];  // some: long lines
        }
        std::string path = folder.Write("l.txt", bytes);
        int a = ::open(path.c_str(), O_RDONLY), b = ::open(path.c_str(), O_RDONLY);
        const bool whole = round % 4 == 3;  // whole reads into a large block: the wide compares
        auto trickle = [&](int fd, void* buffer, size_t size) {
            return ::read(
                fd, buffer,
                whole ? size : std::min<size_t>(size, static_cast<size_t>(block(random))));
        };
        LineScanner scanner(a, trickle, whole ? 4096 : static_cast<size_t>(block(random)));
        TextFileReader reader(b, {}, 7);
        for (int line = 0;; ++line) {
            std::string_view got, expected;
            int result = scanner.Next(got);
            ASSERT_EQ(result, reader.ReadRawLine(expected)) << round << " " << line;
            ASSERT_EQ(got, expected) << round << " " << line;
            ASSERT_EQ(scanner.UpToNul(got), expected.substr(0, expected.find('\0')))
                << round << " " << line;
            if (result != 0) {
                break;
            }
        }
        ::close(a);
        ::close(b);
    }
}

TEST(LineScanner, ReadErrorIsReported) {
    int calls = 0;
    auto failing = [&](int, void* buffer, size_t) -> ssize_t {
        if (calls++ == 0) {
            static_cast<char*>(buffer)[0] = 'x';
            return 1;
        }
        errno = EIO;
        return -1;
    };
    LineScanner scanner(-1, failing, 8);
    std::string_view line;
    EXPECT_EQ(scanner.Next(line), -12);
}

}  // namespace
}  // namespace zentorak
