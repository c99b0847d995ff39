#include "core/text/exchange_log.h"

namespace zentorak {

void ExchangeLog::Reset() {
    text_.assign(kFreshText);
    TrimAndTell();
}

void ExchangeLog::Clear() {
    text_.clear();
    TrimAndTell();
}

void ExchangeLog::AppendLine(std::u16string_view line) {
    text_.append(line);
    text_ += u"\r\n";
    TrimAndTell();
}

void ExchangeLog::Replace(std::u16string_view text) {
    text_.assign(text);
    TrimAndTell();
}

// Drops whole lines: cuts after the first line end at or beyond the excess, so the newest
// exchange stays readable. The module's replies hold bare CRs and LFs, so a line ends at the
// first CR LF pair this log wrote or received. A last line longer than the buffer keeps its tail.
void ExchangeLog::TrimAndTell() {
    if (text_.size() > kCapacity) {
        size_t excess = text_.size() - kCapacity;
        size_t cut = text_.find(u"\r\n", excess > 2 ? excess - 2 : 0);
        cut = cut == std::u16string::npos || cut + 2 >= text_.size() ? excess : cut + 2;
        text_.erase(0, cut);
    }
    if (listener_) {
        listener_(text_);
    }
}

}  // namespace zentorak
