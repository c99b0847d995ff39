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

std::vector<std::u16string> SettingsFileLines(const Settings& settings,
                                              const LocationInfoFileList& files,
                                              const FavoriteList& favorites);

}  // namespace zentorak
