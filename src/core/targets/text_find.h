// Substring search over UTF-16 text for the text search: candidates for the needle's first unit
// are found eight units at a time with SSE2 where the processor has it, then checked whole.
// Gives the same first occurrence as std::u16string_view::find.
#pragma once

#include <cstddef>
#include <string_view>

namespace zentorak {

// The first position at or after from where needle occurs in text, or npos. An empty needle is
// found at from (when from <= text.size()).
size_t FindText(std::u16string_view text, std::u16string_view needle, size_t from = 0);

}  // namespace zentorak
