// The log pane's text: a bounded buffer of UTF-16 lines, each ended by CR LF.
// Holds the text only; putting it into the pane is the window's business.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentorak {

class LogText {
public:
    static constexpr size_t kCapacity = 16000;

    LogText() { Reset(); }
    // Back to the text a fresh pane shows.
    void Reset() { text_ = u"START\r\n"; }
    void Clear() { text_.clear(); }
    // Appends the line and CR LF. When that would overflow, the oldest whole lines go first, so
    // the newest exchange stays readable; a single line longer than the buffer keeps its tail.
    void Append(std::u16string_view line);
    // The whole text at once (as the W-SIM exchange sets it), trimmed the same way.
    void Replace(std::u16string_view text);
    const std::u16string& text() const { return text_; }

private:
    void Trim();

    std::u16string text_;
};

}  // namespace zentorak
