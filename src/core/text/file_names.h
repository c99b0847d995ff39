// File names as the program's UTF-16 text and back, keeping every byte of a name that is not
// valid UTF-8. Does not touch the file system.
#pragma once

#include <string>
#include <string_view>

namespace zentorak {

// File names on Linux are bytes, and not every name is valid UTF-8. These two keep every byte:
// a byte that is not part of a valid UTF-8 character becomes the lone low surrogate
// U+DC00 + byte (never produced by decoding valid text), and goes back to that byte. So a path
// chosen in a dialog opens the same file even when its name is not UTF-8.
std::u16string FileNameToUtf16(std::string_view bytes);
std::string FileNameFromUtf16(std::u16string_view text);
// For showing a file name: as FileNameToUtf16, with each stray byte as kReplacementChar.
std::u16string FileNameForDisplay(std::string_view bytes);

}  // namespace zentorak
