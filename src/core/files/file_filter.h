// The file dialog's filter: "description|pattern|description|pattern..." split into its pairs,
// and the wildcard test of a name against one pattern. Text only: does not touch the disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zentorak {

// The dialog has room for this many pairs.
inline constexpr size_t kMaxFilterPatterns = 10;

struct FileFilter {
    std::vector<std::u16string> descriptions;  // for the type box, in filter order
    std::vector<std::u16string> patterns;      // the pattern of each description
};

inline constexpr int kFileFilterMalformed = -1;

// 0, or kFileFilterMalformed for a malformed filter: a description without a "|", a "|" at the very
// end, more than kMaxFilterPatterns pairs, or no pair at all. The pairs read before the fault are
// kept (a description may then lack its pattern). Texts are taken as written, untrimmed.
int ParseFileFilter(std::u16string_view filter, FileFilter& out);

// The folder-listing wildcards: '*' any run, '?' any one unit, ASCII letters in either case.
// As the handset's file system has it, a pattern ending in ".*" also matches names without
// any extension, so "*.*" matches every name. Wildcards separated by ';' ("*.gpx;*.kml") match
// a name any of them matches.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace zentorak
