// The encoding of a location-info file: UTF-8 when it starts with the byte-order mark or is valid
// UTF-8 from start to end with at least one multi-byte character, CP932 otherwise. Its first bytes
// decide at once when they settle it; the rest of the file is checked as its lines are read
// (Utf8Tally), and the file's encoding is decided at its end (FinalEncoding). Does not decode.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/text/code_page.h"

namespace zentorak {

// How much of the start of a file is read before its lines: its header and first lines.
inline constexpr size_t kEncodingWindow = 64 * 1024;

// Whether bytes are valid UTF-8 and hold a multi-byte character, added up line by line. A line
// break never falls inside a sequence, so lines checked apart tell what the whole file would.
struct Utf8Tally {
    bool invalid = false;
    bool multiByte = false;

    // Adds bytes that end where a sequence may end (a line, a whole file).
    void Add(std::string_view bytes) { AddBytes(bytes, true); }
    // Not complete: the bytes may end inside a sequence (a window of a longer file), whose
    // correct beginning counts as valid.
    void AddBytes(std::string_view bytes, bool complete);
};

// What the first bytes of a file tell of its encoding.
struct HeadEncoding {
    TextEncoding encoding = TextEncoding::kCp932;  // the reading for the bytes seen so far
    bool settled = false;                          // the rest of the file cannot change it
    bool byteOrderMark = false;
    Utf8Tally tally;  // of the bytes seen so far
};

// From the first bytes of a file (at most kEncodingWindow of them; wholeFile when they are all
// there is). Bytes that are not valid UTF-8 settle CP932, also after the byte-order mark (such a
// file is CP932 with a stray mark: the mark is not read as text).
HeadEncoding DetectHeadEncoding(std::string_view head, bool wholeFile);

// The encoding of the whole file from its head and the tally of the rest of its lines.
TextEncoding FinalEncoding(const HeadEncoding& head, const Utf8Tally& rest);

// Whether a file starting with the byte-order mark turned out not to be UTF-8.
inline bool MarkedButNotUtf8(const HeadEncoding& head, TextEncoding final) {
    return head.byteOrderMark && final != TextEncoding::kUtf8;
}

// The encoding of a file from its first bytes alone, as DetectHeadEncoding reads them.
TextEncoding DetectTextEncoding(std::string_view head, bool wholeFile);

}  // namespace zentorak
