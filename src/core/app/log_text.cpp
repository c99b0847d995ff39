#include "core/app/log_text.h"

namespace zentorak {

void LogText::Append(std::u16string_view line) {
    text_.append(line);
    text_ += u"\r\n";
    Trim();
}

void LogText::Replace(std::u16string_view text) {
    text_.assign(text);
    Trim();
}

void LogText::Trim() {
    if (text_.size() <= kCapacity) {
        return;
    }
    size_t excess = text_.size() - kCapacity;
    // Drop whole lines: cut after the first line end at or beyond the excess; a last line
    // longer than the buffer keeps its tail.
    size_t cut = text_.find(u"\r\n", excess > 2 ? excess - 2 : 0);
    cut = cut == std::u16string::npos || cut + 2 >= text_.size() ? excess : cut + 2;
    text_.erase(0, cut);
}

}  // namespace zentorak
