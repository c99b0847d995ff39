// The one place where 8-bit file text meets the program's UTF-16: CP932 (the Japanese handsets'
// code page) through glibc's iconv, UTF-8 for the command line, file names and the location-info
// files people publish today, and the choice between the two for a file. CP932 decoding goes
// through a table built once from iconv itself, so it equals iconv's for every valid byte
// sequence. Does not read or write files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentorak {

// What an undecodable byte becomes. A lead byte whose next byte cannot trail it stands alone, so
// ASCII after a broken character (a comma, a line end) keeps its meaning.
inline constexpr char16_t kReplacementChar = u'\uFFFD';

// Decodes n bytes into out, which must have room for n units (CP932 never yields more units than
// bytes). Returns the number of units written.
size_t DecodeCp932(const char* bytes, size_t n, char16_t* out);
std::u16string DecodeCp932(std::string_view bytes);

// Encodes to CP932; a character the code page lacks becomes '?', as the handset's converter does
// without a default character of its own.
std::string EncodeCp932(std::u16string_view text);

// True for bytes that start a two-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string ToUtf8(std::u16string_view text);
// Decodes n bytes of UTF-8 into out, which must have room for n units (no sequence yields more
// units than bytes). A byte that does not begin a valid sequence (an overlong form, a surrogate,
// a code point beyond U+10FFFF, a sequence cut short) becomes kReplacementChar alone and the next
// byte is read afresh, so ASCII after it keeps its meaning, as in DecodeCp932. Returns the
// number of units written.
size_t DecodeUtf8(const char* bytes, size_t n, char16_t* out);
std::u16string FromUtf8(std::string_view text);

// File names on Linux are bytes, and not every name is valid UTF-8. These two keep every byte:
// a byte that is not part of a valid UTF-8 character becomes the lone low surrogate
// U+DC00 + byte (never produced by decoding valid text), and goes back to that byte. So a path
// chosen in a dialog opens the same file even when its name is not UTF-8.
std::u16string FileNameToUtf16(std::string_view bytes);
std::string FileNameFromUtf16(std::u16string_view text);
// For showing a file name: as FileNameToUtf16, with each stray byte as kReplacementChar.
std::u16string FileNameForDisplay(std::string_view bytes);

// The encoding of a location-info file. Everything the program writes stays CP932.
enum class TextEncoding { kCp932, kUtf8 };

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// How much of the start of a file decides its encoding.
inline constexpr size_t kEncodingWindow = 64 * 1024;

// The encoding of a file from its first bytes (at most kEncodingWindow of them; wholeFile when
// they are all there is): UTF-8 when they start with the byte-order mark, or when they are valid
// UTF-8 holding at least one multi-byte sequence (one cut by the window's end counts as valid);
// CP932 otherwise, so ASCII-only files read as they always have. The decision holds for the
// whole file: bytes that turn out invalid later become kReplacementChar.
TextEncoding DetectTextEncoding(std::string_view head, bool wholeFile);

// DecodeCp932 or DecodeUtf8.
inline size_t DecodeText(TextEncoding encoding, const char* bytes, size_t n, char16_t* out) {
    return encoding == TextEncoding::kUtf8 ? DecodeUtf8(bytes, n, out) : DecodeCp932(bytes, n, out);
}

}  // namespace zentorak
