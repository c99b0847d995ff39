#include "app/log_text.h"

namespace zentorak {

void LogText::Append(std::u16string_view line) {
    std::u16string added(line);
    added += u"\r\n";
    if (added.size() > kCapacity) {
        text_ = added.substr(added.size() - kCapacity);
        return;
    }
    if (text_.size() + added.size() > kCapacity) {
        size_t need = text_.size() + added.size() - kCapacity;
        // Drop whole lines: cut after the first line end at or beyond the excess.
        size_t cut = text_.find(u"\r\n", need > 2 ? need - 2 : 0);
        cut = cut == std::u16string::npos ? text_.size() : cut + 2;
        text_.erase(0, cut);
    }
    text_ += added;
}

}  // namespace zentorak
