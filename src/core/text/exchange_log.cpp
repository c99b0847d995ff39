#include "core/text/exchange_log.h"

namespace zentorak {

ExchangeLog::ExchangeLog(std::u16string initial) : text_(std::move(initial)) {
    if (text_.size() > kMaxChars) {
        text_.erase(0, text_.size() - kMaxChars);
    }
}

void ExchangeLog::Clear() {
    text_.clear();
    if (listener_) {
        listener_(text_);
    }
}

// Drops whole lines from the front until `needed` more characters fit. The module's replies
// hold bare CRs and LFs, so a line ends at the first CR LF pair this log wrote or received.
void ExchangeLog::MakeRoom(size_t needed) {
    while (!text_.empty() && text_.size() + needed > kMaxChars) {
        const size_t end = text_.find(u"\r\n");
        text_.erase(0, end == std::u16string::npos ? text_.size() : end + 2);
    }
}

void ExchangeLog::AppendLine(std::u16string_view line) {
    std::u16string entry(line);
    entry += u"\r\n";
    if (entry.size() > kMaxChars) {
        entry.erase(0, entry.size() - kMaxChars);
    }
    MakeRoom(entry.size());
    text_ += entry;
    if (listener_) {
        listener_(text_);
    }
}

}  // namespace zentorak
