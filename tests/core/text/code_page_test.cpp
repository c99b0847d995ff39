#include "core/text/code_page.h"
#include "core/locinfo/file_encoding.h"
#include "core/text/file_names.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <random>

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

// Every code point that UTF-16 can hold, around each boundary of the sequence lengths, decodes to
// itself; the bytes come from ToUtf8, checked against hand-written bytes above.
TEST(Utf8, DecodesEverySequenceLength) {
    std::u16string text;
    for (char32_t c : {0x01, 0x7F, 0x80, 0x7FF, 0x800, 0x3042, 0xD7FF, 0xE000, 0xFEFF, 0xFFFD,
                       0xFFFF, 0x10000, 0x20BB7, 0x10FFFF}) {
        if (c >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(c);
        }
        text += u',';
    }
    std::string bytes = ToUtf8(text);
    std::u16string out(bytes.size(), u'\0');
    out.resize(DecodeUtf8(bytes.data(), bytes.size(), out.data()));
    EXPECT_EQ(out, text);
}

// Each byte that begins no well-formed sequence becomes one U+FFFD and the next byte is read
// afresh, so the comma after a broken character still separates (as in CP932).
TEST(Utf8, EachBadByteBecomesOneReplacement) {
    struct Row {
        const char* bytes;
        std::u16string text;
    } rows[] = {
        {"\xE7\xB7", u"\uFFFD\uFFFD"},                      // 緯 cut short
        {"\xE7\xB7,a", u"\uFFFD\uFFFD,a"},                  // cut short before a comma
        {"\x88\xDC\x93\x78", u"\uFFFD\u0713x"},             // 緯度 in CP932: DC 93 is well-formed
        {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},            // overlong
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\xC1\xBF", u"\uFFFD\uFFFD"},
        {"\xE7\xB7\xAF\xE5", u"緯\uFFFD"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FromUtf8(row.bytes), row.text) << row.bytes;
    }
}

// glibc's iconv as the judge of well-formed UTF-8: at each position the shortest run of one to
// four bytes that it converts whole is a character, and a byte that starts none is one U+FFFD.
std::u16string DecodeWithIconv(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    std::u16string text;
    size_t i = 0;
    while (i < bytes.size()) {
        size_t length = 0;
        char16_t units[2] = {};
        for (size_t n = 1; n <= 4 && i + n <= bytes.size() && length == 0; ++n) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            char in[4], out[8];
            std::memcpy(in, bytes.data() + i, n);
            char* inPtr = in;
            char* outPtr = out;
            size_t inLeft = n, outLeft = sizeof out;
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                inLeft == 0) {
                length = n;
                std::memcpy(units, out, sizeof out - outLeft);
                text.append(units, (sizeof out - outLeft) / 2);
            }
        }
        if (length == 0) {
            text += kReplacementChar;
            length = 1;
        }
        i += length;
    }
    iconv_close(cd);
    return text;
}

TEST(Utf8, EqualsIconvCharacterByCharacterOnRandomBytes) {
    const char alphabet[] = {'a',    ',',    '\x80', '\x8F', '\x90', '\x9F',
                             '\xA0', '\xBF', '\xC2', '\xDF', '\xE0', '\xE3',
                             '\xED', '\xEF', '\xF0', '\xF4', '\xF5', '\xFF'};
    std::mt19937 random(8);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 1), length(0, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (size_t n = length(random); n > 0; --n) {
            bytes += alphabet[pick(random)];
        }
        ASSERT_EQ(FromUtf8(bytes), DecodeWithIconv(bytes)) << ::testing::PrintToString(bytes);
    }
}

// The choice of a file's encoding from its first bytes.
TEST(DetectTextEncoding, MarkValidMultiByteAsciiAndCp932) {
    const std::string ascii = "lat,lng,name\r\n35.6,139.7,a\r\n";
    const std::string utf8Kanji = "\xE7\xB7\xAF\xE5\xBA\xA6";  // 緯度
    const std::string cp932Kanji = "\x88\xDC\x93\x78";         // 緯度
    // ﾃｽ in CP932 (half-width katakana C3 BD) is also valid UTF-8: ý, U+00FD.
    const std::string cp932Katakana = "\xC3\xBD";
    constexpr auto kUtf8 = TextEncoding::kUtf8;
    constexpr auto kCp932 = TextEncoding::kCp932;
    struct Row {
        const char* what;
        std::string head;
        bool wholeFile;
        TextEncoding expected;
    } rows[] = {
        {"empty", "", true, kCp932},
        {"ASCII only", ascii, true, kCp932},
        {"mark and ASCII", std::string(kUtf8ByteOrderMark) + ascii, true, kUtf8},
        {"mark, then bytes invalid in UTF-8", std::string(kUtf8ByteOrderMark) + cp932Kanji, true,
         kCp932},
        {"valid multi-byte", ascii + utf8Kanji, true, kUtf8},
        {"CP932 Japanese", ascii + cp932Kanji, true, kCp932},
        {"valid, then CP932 within the window", utf8Kanji + ascii + cp932Kanji, true, kCp932},
        {"CP932 katakana that is valid UTF-8", ascii + cp932Katakana + ascii, false, kUtf8},
        {"sequence cut by the window", ascii + utf8Kanji.substr(0, 4), false, kUtf8},
        {"sequence cut by the end of the file", ascii + utf8Kanji.substr(0, 4), true, kCp932},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DetectTextEncoding(row.head, row.wholeFile), row.expected) << row.what;
    }
}

}  // namespace
}  // namespace zentorak
