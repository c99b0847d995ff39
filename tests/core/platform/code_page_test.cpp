#include "core/platform/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>

namespace zentorak {
namespace {

TEST(Cp932, DecodesJapaneseName) {
    // "東京" in CP932 is 93 8C 8B 9E.
    EXPECT_EQ(DecodeCp932("\x93\x8C\x8B\x9E"), u"東京");
    EXPECT_EQ(EncodeCp932(u"東京"), "\x93\x8C\x8B\x9E");
}

// Each row's bytes come from `printf TEXT | iconv -f UTF-8 -t CP932 | xxd -p` with glibc iconv.
// The row of vendor characters holds the NEC and IBM extensions and the two characters whose
// CP932 mapping differs from Shift_JIS (～ U+FF5E and － U+FF0D).
TEST(Cp932, FixturesBothWays) {
    struct Row {
        std::u16string_view text;
        std::string_view bytes;
    } rows[] = {
        {u"①㈱№Ⅱ髙﨑～－", "\x87\x40\x87\x8a\x87\x82\x87\x55\xfb\xfc\xfa\xb1\x81\x60\x81\x7c"},
        {u"新宿店", "\x90\x56\x8f\x68\x93\x58"},
        {u"〒100-0005 東京都千代田区丸の内1丁目",
         "\x81\xa7"
         "100-0005 \x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\x8a\xdb"
         "\x82\xcc\x93\xe0"
         "1\x92\x9a\x96\xda"},
        {u"ｶﾀｶﾅ,\"a\"", "\xb6\xc0\xb6\xc5,\"a\""},  // half-width katakana are single bytes
        {u"表ソ", "\x95\x5c\x83\x5c"},              // second byte 0x5C is not a backslash here
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecodeCp932(row.bytes), row.text);
        EXPECT_EQ(EncodeCp932(row.text), row.bytes);
    }
}

char16_t IconvPair(iconv_t cd, unsigned char lead, unsigned char trail, bool& valid) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    valid = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
            inLeft == 0 && sizeof out - outLeft == 2;
    char16_t unit = 0;
    std::memcpy(&unit, out, 2);
    return unit;
}

TEST(Cp932, TableEqualsIconvForEveryValidPair) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            bool valid = false;
            char16_t expected = IconvPair(cd, static_cast<unsigned char>(lead),
                                          static_cast<unsigned char>(trail), valid);
            if (!valid || !IsCp932LeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(DecodeCp932(std::string_view(bytes, 2)), std::u16string(1, expected))
                << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    iconv_close(cd);
    EXPECT_GT(checked, 7000);  // CP932 has about 7,900 two-byte characters
}

TEST(Cp932, InvalidSequences) {
    // A lead byte at the end or before a byte that cannot trail stands alone, so the following
    // ASCII (a comma, a line end) keeps its meaning.
    EXPECT_EQ(DecodeCp932("\x93"), u"\uFFFD");
    EXPECT_EQ(DecodeCp932("\x93,a"), u"\uFFFD,a");
    EXPECT_EQ(DecodeCp932("\x93\r\n"), u"\uFFFD\r\n");
    EXPECT_EQ(DecodeCp932("a\xFD"
                          "b"),
              u"a\uFFFDb");  // 0xFD..0xFF are no characters
    // An unassigned pair is one replacement for both bytes.
    EXPECT_EQ(DecodeCp932("\x85\x40x"), u"\uFFFDx");
    EXPECT_EQ(DecodeCp932(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Cp932, EncodingUnmappableGivesQuestionMarks) {
    EXPECT_EQ(EncodeCp932(u"a€b"), "a?b");
    EXPECT_EQ(EncodeCp932(u"𠮷"), "?");        // one surrogate pair, one '?'
    EXPECT_EQ(EncodeCp932(u"\xD800x"), "?x");  // a lone surrogate
    EXPECT_EQ(EncodeCp932(u""), "");
}

TEST(Utf8, RoundTripsAndReplacesInvalidBytes) {
    const std::u16string text = u"緯度 𠮷 ①㈱";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"é"), "\xC3\xA9");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              u"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");                      // cut short
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong '/'
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

// Every byte string survives the trip through UTF-16; stray bytes show as replacement marks.
TEST(FileNames, KeepEveryByte) {
    const std::string rows[] = {
        "shops.csv",
        "\xE6\x9D\xB1\xE4\xBA\xAC.csv",  // 東京.csv in UTF-8
        "caf\xE9",                       // Latin-1
        "\x93\x8C\x8B\x9E",              // 東京 in CP932
        "\xED\xB2\x80",                  // an encoded U+DC80, itself not valid UTF-8
        "\xF0\x9F\x98\x80\x80",          // a four-byte character, then a stray byte
        "\xC3",                          // cut short
        std::string("a\x80\xFF", 3),
    };
    for (const std::string& bytes : rows) {
        EXPECT_EQ(FileNameFromUtf16(FileNameToUtf16(bytes)), bytes);
    }
    EXPECT_EQ(FileNameToUtf16("\xE6\x9D\xB1"), u"東");
    EXPECT_EQ(FileNameToUtf16("caf\xE9"), u"caf\xDCE9");
    EXPECT_EQ(FileNameForDisplay("caf\xE9"), u"caf\uFFFD");
    EXPECT_EQ(FileNameForDisplay("\xED\xB2\x80"), u"\uFFFD\uFFFD\uFFFD");
    // Text typed by the user holds no escapes and becomes plain UTF-8.
    EXPECT_EQ(FileNameFromUtf16(u"新規.csv"), ToUtf8(u"新規.csv"));
}

}  // namespace
}  // namespace zentorak
