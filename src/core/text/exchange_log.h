// The W-SIM exchange as the log pane shows it: one buffer of 16000 UTF-16 units including its
// terminator, so at most 15999 characters. A line that would not fit first drops the oldest whole
// lines; a single line longer than the whole buffer keeps only its end. Tells a listener each
// change (the window puts the text into its log pane).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentorak {

class ExchangeLog {
public:
    static constexpr size_t kCapacity = 16000;
    static constexpr size_t kMaxChars = kCapacity - 1;
    using Listener = std::function<void(const std::u16string& text)>;

    explicit ExchangeLog(std::u16string initial = u"START\r\n");

    void SetListener(Listener listener) { listener_ = std::move(listener); }
    void Clear();
    // Appends `line` and CR LF, then hands the whole text to the listener.
    void AppendLine(std::u16string_view line);
    const std::u16string& Text() const { return text_; }

private:
    void MakeRoom(size_t needed);
    std::u16string text_;
    Listener listener_;
};

}  // namespace zentorak
