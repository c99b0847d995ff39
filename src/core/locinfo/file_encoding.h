// The encoding of a location-info file, decided from its first bytes: UTF-8 or CP932. Reads
// through a descriptor without moving its offset; does not decode.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/text/code_page.h"

namespace zentorak {

// How much of the start of a file decides its encoding.
inline constexpr size_t kEncodingWindow = 64 * 1024;

// The encoding of a file from its first bytes (at most kEncodingWindow of them; wholeFile when
// they are all there is): UTF-8 when they start with the byte-order mark, or when they are valid
// UTF-8 holding at least one multi-byte sequence (one cut by the window's end counts as valid);
// CP932 otherwise, so ASCII-only files read as they always have. The decision holds for the
// whole file: bytes that turn out invalid later become kReplacementChar.
TextEncoding DetectTextEncoding(std::string_view head, bool wholeFile);

// The encoding of the open file from its first kEncodingWindow bytes, read without moving the
// file offset. false on a read error.
bool DetectFileEncoding(int fd, TextEncoding& encoding);

}  // namespace zentorak
