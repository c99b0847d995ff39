// The one place where 8-bit file text meets the program's UTF-16: CP932 (the Japanese handsets'
// code page) through glibc's iconv, plus UTF-8 for the command line and file names.
// Decoding goes through a table built once from iconv itself, so it equals iconv's CP932 decoding
// for every valid byte sequence; it does not read or write files.
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
// Invalid UTF-8 becomes kReplacementChar.
std::u16string FromUtf8(std::string_view text);

// File names on Linux are bytes, and not every name is valid UTF-8. These two keep every byte:
// a byte that is not part of a valid UTF-8 character becomes the lone low surrogate
// U+DC00 + byte (never produced by decoding valid text), and goes back to that byte. So a path
// chosen in a dialog opens the same file even when its name is not UTF-8.
std::u16string FileNameToUtf16(std::string_view bytes);
std::string FileNameFromUtf16(std::u16string_view text);
// For showing a file name: as FileNameToUtf16, with each stray byte as kReplacementChar.
std::u16string FileNameForDisplay(std::string_view bytes);

}  // namespace zentorak
