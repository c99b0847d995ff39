// What the window says after a load of the location-info files: each listed file that could not
// be opened, gave no place, or had lines or columns it could not use, in one message; or, when no
// file gave a single place, that the load failed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/location_info.h"
#include "core/text/notice.h"

namespace zentorak {

inline constexpr std::u16string_view kLoadCheckTitle = u"位置情報ファイルの確認";
// How many files the message names before "ほか N件".
inline constexpr size_t kLoadCheckFilesShown = 6;

// What one file's report says is wrong with it, as a phrase ("開けません", "位置情報が
// ありません", "N行を読み飛ばしました", ...; several joined by "、"); empty when nothing is.
std::u16string FileProblems(const LocationInfoFileReport& report);

// The message after a load of the listed files (reports in list order, as
// LoadAllLocationInfoFiles gives them): "位置情報の読込みに失敗しました。" titled failureTitle when
// files are listed and none gave a place; else the files with problems under kLoadCheckTitle;
// nullopt when there is nothing to say.
std::optional<Notice> LoadCheckNotice(const LocationInfoFileList& files,
                                      const std::vector<LocationInfoFileReport>& reports,
                                      std::u16string_view failureTitle);

}  // namespace zentorak
