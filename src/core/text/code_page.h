// The one place where 8-bit text meets the program's UTF-16: CP932 (the Japanese handsets'
// code page) through glibc's iconv, and UTF-8 for the command line and the location-info files
// people publish today. CP932 decoding goes through a table built once from iconv itself, so it
// equals iconv's for every valid byte sequence. Does not read or write files, and does not choose
// a file's encoding (core/locinfo/file_encoding.h).
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

// True when EncodeCp932 keeps every character of the text: decoding its bytes gives the text
// back.
bool FitsCp932(std::u16string_view text);

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
// The length (2 to 4) of the well-formed multi-byte UTF-8 sequence at p; 0 when p begins none;
// minus the count of bytes up to end when they are a correct but unfinished beginning of one.
int Utf8SequenceLength(const unsigned char* p, const unsigned char* end);

// The encoding of a location-info file or of the settings file. The settings file is written in
// CP932 unless a value needs a character CP932 lacks.
enum class TextEncoding { kCp932, kUtf8 };

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// DecodeCp932 or DecodeUtf8.
inline size_t DecodeText(TextEncoding encoding, const char* bytes, size_t n, char16_t* out) {
    return encoding == TextEncoding::kUtf8 ? DecodeUtf8(bytes, n, out) : DecodeCp932(bytes, n, out);
}

}  // namespace zentorak
