// The log pane's text: a bounded buffer of UTF-16 lines, each ended by CR LF, holding at most
// kCapacity units. A line that would not fit first drops the oldest whole lines; a single line
// longer than the whole buffer keeps only its end. Tells a listener each change (the window puts
// the text into its log pane). Holds text only; showing it is the window's business.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentorak {

class ExchangeLog {
public:
    static constexpr size_t kCapacity = 16000;
    static constexpr std::u16string_view kFreshText = u"START\r\n";
    using Listener = std::function<void(const std::u16string& text)>;

    ExchangeLog() : text_(kFreshText) {}

    void SetListener(Listener listener) { listener_ = std::move(listener); }
    // Back to the text a fresh pane shows.
    void Reset();
    void Clear();
    // Appends `line` and CR LF, then hands the whole text to the listener.
    void AppendLine(std::u16string_view line);
    // The whole text at once, trimmed the same way.
    void Replace(std::u16string_view text);
    const std::u16string& Text() const { return text_; }

private:
    void TrimAndTell();

    std::u16string text_;
    Listener listener_;
};

}  // namespace zentorak
