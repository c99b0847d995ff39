// Random location-info bytes for the tests that compare the loader with reading line by line:
// CP932 or UTF-8 bytes rich in lead bytes, quotes, commas and line ends, and whole files of target
// lines built from them.
#pragma once

#include <iterator>
#include <random>
#include <string>

#include "core/text/code_page.h"

namespace zentorak::testing {

inline std::string RandomBytes(std::mt19937& random, size_t size, bool lineEnds) {
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

// Random bytes among which UTF-8 sequences, whole and (when broken) cut or stray, and the
// splitting characters.
inline std::string RandomUtf8Bytes(std::mt19937& random, size_t size, bool broken = true) {
    static const char* kPieces[] = {",",
                                    "\"",
                                    "a",
                                    "1",
                                    ".",
                                    " ",
                                    "\xE6\x9D\xB1",
                                    "\xE2\x91\xA0",
                                    "\xF0\xA0\xAE\xB7",
                                    "\xC3\xA9",
                                    "\r",
                                    "\n",
                                    "\xE6\x9D",
                                    "\x80",
                                    "\xFF"};
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - (broken ? 1 : 4));
    std::string bytes;
    while (bytes.size() < size) {
        bytes += kPieces[pick(random)];
    }
    return bytes;
}

// Random files of target lines: coordinates in either form or none, then random bytes. In
// UTF-8 rounds the bytes are rich in UTF-8 sequences, well-formed ones only or (behind a
// byte-order mark) broken ones too; some rounds move the coordinates to columns found by caption.
inline std::string RandomFile(std::mt19937& random, int round) {
    const bool utf8 = round % 4 >= 2;
    const char* starts[] = {"35/00/00.000,139/00/00.000,",
                            "35/00/00.000,\"139/00\",",
                            "35,139,",
                            "35.6812,139.7671,",
                            " 35.5 ,139,",
                            "35.5,139/00,",
                            ""};
    std::string bytes = round % 2 ? "a,b,c,d,e,f,g,h,i,j\r\n" : "緯度,経度,店名,d,e,f,g,h,i,j\r\n";
    if (round % 8 >= 4) {
        bytes = "a,b,lat,lng,e,f,g,h,i,j,k\r\n";
    }
    if (!utf8) {
        bytes = EncodeCp932(FromUtf8(bytes));
    } else if (round % 4 == 2) {
        bytes = std::string(kUtf8ByteOrderMark) + bytes;  // broken sequences follow
    }
    for (int line = 0; line < 60; ++line) {
        std::string start = starts[line % 7];
        if (round % 8 >= 4) {
            start = "x,y," + start;
        }
        std::string tail = utf8 ? RandomUtf8Bytes(random, line % 30, round % 4 == 2)
                                : RandomBytes(random, line % 30, true);
        bytes += start + tail + (line % 5 ? "\r\n" : line % 2 ? "\r" : "\n");
    }
    // The end of the file: nothing more, a last line without a line end, or one ended by a CR
    // that is the file's last byte.
    const char* tails[] = {"", "35/00/00.000,139/00/00.000,tail",
                           "35/00/00.000,139/00/00.000,cr\r"};
    return bytes + tails[round % 3];
}

}  // namespace zentorak::testing
