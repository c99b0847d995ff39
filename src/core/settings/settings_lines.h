// The lines of zentorak.ini as the writer produces them, without line ends. Only formats; the
// file handling is in settings_save.cpp.
#pragma once

#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace zentorak {

inline constexpr std::u16string_view kProgramName = u"ZENTORAK";
inline constexpr std::u16string_view kProgramVersion = u"1.4.2011.0509";
inline constexpr std::u16string_view kCopyrightNotice = u"(C) 2011 ZENTORAK developers";

// The value with CR, LF and NUL turned into spaces. Values holding them are refused where they
// come in; this keeps one that got past from ever writing lines of its own into the file.
std::u16string OneLineValue(std::u16string_view value);

// CR, LF or NUL: a value holding one cannot be stored in the file as it is.
inline bool HasLineBreak(std::u16string_view value) {
    return value.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

std::vector<std::u16string> SettingsFileLines(const Settings& settings,
                                              const LocationInfoFileList& files,
                                              const FavoriteList& favorites);

}  // namespace zentorak
