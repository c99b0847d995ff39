#include "core/text/text_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/code_page.h"

namespace zentorak {
namespace {

std::u16string DecodeLine(const std::string& bytes) {
    return DecodeCp932(bytes.substr(0, bytes.find('\0')));
}

struct Line {
    std::u16string text;
    int result;
    size_t bytes;
    friend bool operator==(const Line&, const Line&) = default;
};

// Reads every line of the bytes through an in-memory read function; failAt makes the read of
// that byte offset fail (EIO).
std::vector<Line> ReadAll(const std::string& bytes, size_t bufferSize,
                          size_t failAt = std::string::npos) {
    size_t offset = 0;
    TextFileReader reader(
        -1,
        [&](int, void* buffer, size_t size) -> ssize_t {
            if (offset >= failAt) {
                errno = EIO;
                return -1;
            }
            size_t n = std::min({size, bytes.size() - offset, failAt - offset});
            std::memcpy(buffer, bytes.data() + offset, n);
            offset += n;
            return static_cast<ssize_t>(n);
        },
        bufferSize);
    std::vector<Line> lines;
    for (;;) {
        Line line;
        line.result = ReadTextLine(reader, line.text, &line.bytes);
        lines.push_back(line);
        if (line.result != 0) {
            return lines;
        }
    }
}

// The handset's reader, one byte at a time with a step back after a lone CR: the reference
// every buffer size must agree with.
std::vector<Line> OneByteReference(const std::string& bytes) {
    std::vector<Line> lines;
    std::string kept;
    size_t i = 0;
    for (;;) {
        if (i == bytes.size()) {
            lines.push_back({DecodeLine(kept), -1, kept.size()});
            return lines;
        }
        char c = bytes[i++];
        if (c == '\r' && i == bytes.size()) {
            continue;  // a CR still waiting at the end is dropped and the file ends
        }
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i < bytes.size() && bytes[i] == '\n') {
                ++i;
            }
            lines.push_back({DecodeLine(kept), 0, kept.size()});
            kept.clear();
        } else {
            kept += c;
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

TEST(ReadTextLine, FileEnds) {
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<Line> lines;
    } rows[] = {
        {"empty file", "", {{u"", -1, 0}}},
        {"ends in CR LF", "a\r\n", {{u"a", 0, 1}, {u"", -1, 0}}},
        {"ends in LF", "a\n", {{u"a", 0, 1}, {u"", -1, 0}}},
        {"lone CR at the end", "a\r", {{u"a", -1, 1}}},
        {"CR CR", "a\r\r", {{u"a", 0, 1}, {u"", -1, 0}}},
        {"LF CR", "a\n\rb", {{u"a", 0, 1}, {u"", 0, 0}, {u"b", -1, 1}}},
        {"blank lines", "\r\n\n\r", {{u"", 0, 0}, {u"", 0, 0}, {u"", -1, 0}}},
    };
    for (const Row& row : rows) {
        for (size_t bufferSize = 1; bufferSize <= 5; ++bufferSize) {
            EXPECT_EQ(ReadAll(row.bytes, bufferSize), row.lines) << row.name << " " << bufferSize;
        }
    }
}

TEST(ReadTextLine, LongLineIsReadWhole) {
    std::string bytes(5000, 'x');
    for (size_t i = 0; i < bytes.size(); i += 2) {
        bytes[i] = '\x93';  // 東 (93 8C) 2,500 times
        bytes[i + 1] = '\x8c';
    }
    for (size_t bufferSize : {1, 999, 1000, 4096, 65536}) {
        auto lines = ReadAll(bytes + "\r\nend", bufferSize);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].text, std::u16string(2500, u'東'));
        EXPECT_EQ(lines[0].bytes, 5000u);
        EXPECT_EQ(lines[1].text, u"end");
    }
}

TEST(ReadTextLine, NulEndsTheTextButNotTheLine) {
    auto lines = ReadAll(std::string("ab\0cd\r\nnext", 11), 3);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, u"ab");
    EXPECT_EQ(lines[0].bytes, 5u);  // bytes kept before the conversion
    EXPECT_EQ(lines[1].text, u"next");
}

TEST(ReadTextLine, ReadErrorGivesMinusTwelve) {
    std::string bytes = "first\r\nsecond line\r\n";
    for (size_t failAt : {size_t{0}, size_t{3}, size_t{6}, size_t{10}}) {
        for (size_t bufferSize : {1, 4, 64}) {
            auto lines = ReadAll(bytes, bufferSize, failAt);
            EXPECT_EQ(lines.back().result, -12) << failAt << " " << bufferSize;
            EXPECT_TRUE(lines.back().text.empty());
            // Lines that ended before the failing read come through.
            for (size_t i = 0; i + 1 < lines.size(); ++i) {
                EXPECT_EQ(lines[i].result, 0);
            }
        }
    }
}

TEST(ReadTextLine, EveryBufferSizeMatchesTheOneByteReader) {
    // Japanese text with every line-end form, where second bytes of CP932 pairs fall on buffer
    // edges; the reference decodes each line whole.
    std::string bytes =
        "\x93\x8c\x8b\x9e\r\n\x87\x40\x87\x8a\r\xfb\xfc\xfa\xb1\n\x81\x60\x81\x7c\r\n\r\r\n"
        "a,\"b\",,c\r\x95\x5c\x83\x5c";
    std::srand(7);
    for (int i = 0; i < 200; ++i) {
        const char pieces[] = {'\r', '\n', 'x', '\x93', '\x8c', ','};
        bytes += pieces[std::rand() % 6];
    }
    bytes += '\r';
    auto expected = OneByteReference(bytes);
    for (size_t bufferSize = 1; bufferSize <= bytes.size() + 1; ++bufferSize) {
        ASSERT_EQ(ReadAll(bytes, bufferSize), expected) << bufferSize;
    }
}

TEST(ReadTextLine, RealFileThroughTheDefaultRead) {
    char name[] = "/tmp/zentorak-lines-XXXXXX";
    int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    TextFileWriter writer(fd);
    ASSERT_EQ(writer.WriteTextLine(u"①㈱№Ⅱ髙﨑～－"), 0);
    ASSERT_EQ(writer.WriteTextLine(u""), 0);
    ASSERT_EQ(writer.WriteTextLine(u"東京駅"), 0);
    ::lseek(fd, 0, SEEK_SET);
    TextFileReader reader(fd);
    std::u16string line;
    EXPECT_EQ(ReadTextLine(reader, line), 0);
    EXPECT_EQ(line, u"①㈱№Ⅱ髙﨑～－");
    EXPECT_EQ(ReadTextLine(reader, line), 0);
    EXPECT_EQ(line, u"");
    EXPECT_EQ(ReadTextLine(reader, line), 0);
    EXPECT_EQ(line, u"東京駅");
    EXPECT_EQ(ReadTextLine(reader, line), -1);
    EXPECT_EQ(line, u"");
    ::close(fd);
    ::unlink(name);
}

TEST(WriteTextLine, WritesCp932WithCrLf) {
    std::string written;
    TextFileWriter writer(-1, [&](int, const void* data, size_t size) -> ssize_t {
        written.append(static_cast<const char*>(data), size);
        return static_cast<ssize_t>(size);
    });
    ASSERT_EQ(writer.WriteTextLine(u"新宿店"), 0);
    ASSERT_EQ(writer.WriteTextLine(std::u16string(u"a\0b", 3)), 0);  // stops at the NUL
    ASSERT_EQ(writer.WriteTextLine(u"€"), 0);                        // no CP932 character: '?'
    EXPECT_EQ(written, "\x90\x56\x8f\x68\x93\x58\r\na\r\n?\r\n");
}

TEST(WriteTextLine, FailedOrShortWriteIsMinusOne) {
    int calls = 0;
    std::string written;
    TextFileWriter shortThenFull(-1, [&](int, const void* data, size_t) -> ssize_t {
        if (++calls == 1) {
            written.append(static_cast<const char*>(data), 1);
            return 1;  // a short write is continued
        }
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(shortThenFull.WriteTextLine(u"abc"), -1);
    EXPECT_EQ(written, "a");
    TextFileWriter zero(-1, [](int, const void*, size_t) -> ssize_t { return 0; });
    EXPECT_EQ(zero.WriteTextLine(u"abc"), -1);
}

}  // namespace
}  // namespace zentorak
