#include "ui/text_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <string>
#include <vector>

namespace zentorak {
namespace {

struct Line {
    std::u16string text;
    int result;
};

// Reads every line of the bytes through a pipe-free in-memory read function.
std::vector<Line> ReadAll(const std::string& bytes, size_t bufferSize) {
    size_t offset = 0;
    TextFileReader reader(
        -1,
        [&](int, void* buffer, size_t size) -> ssize_t {
            size_t n = std::min(size, bytes.size() - offset);
            std::memcpy(buffer, bytes.data() + offset, n);
            offset += n;
            return static_cast<ssize_t>(n);
        },
        bufferSize);
    std::vector<Line> lines;
    for (;;) {
        Line line;
        line.result = ReadTextLine(reader, line.text);
        lines.push_back(line);
        if (line.result != 0) {
            return lines;
        }
    }
}

TEST(ReadTextLine, EveryLineEndForm) {
    for (size_t bufferSize : {1, 2, 3, 7, 65536}) {
        auto lines = ReadAll("a\r\nb\rc\nd", bufferSize);
        ASSERT_EQ(lines.size(), 4u) << bufferSize;
        EXPECT_EQ(lines[0].text, u"a");
        EXPECT_EQ(lines[1].text, u"b");
        EXPECT_EQ(lines[2].text, u"c");
        EXPECT_EQ(lines[3].text, u"d");
        EXPECT_EQ(lines[3].result, -1);
    }
}

}  // namespace
}  // namespace zentorak
