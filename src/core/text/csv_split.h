// The field splitter of location-info lines as one state machine over any character type, so
// that the loader can split raw CP932 bytes and SplitCsvLine can split UTF-16 text alike.
// Splitting bytes gives the same fields as splitting the decoded line: in CP932 no trail byte is
// a comma, quote, CR or LF, and a lead byte before a non-trail byte decodes alone.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace zentorak {

// Calls onField(view) for each field in order. Plain fields are views into line; quoted fields
// are built in arena, which is reserved to the line's size first so that earlier views stay
// valid. onField may return a bool: false ends the split after that field. May throw
// std::bad_alloc.
template <typename Char, typename OnField>
void SplitQuotedFields(std::basic_string_view<Char> line, Char separator, Char quote,
                       std::basic_string<Char>& arena, OnField&& onField) {
    enum class State { kFieldStart, kPlain, kQuoted, kAfterQuote };
    State state = State::kFieldStart;
    size_t begin = 0;
    arena.clear();
    arena.reserve(line.size());
    auto quoted = [&] { return std::basic_string_view<Char>(arena).substr(begin); };
    auto emit = [&](std::basic_string_view<Char> field) {
        if constexpr (std::is_same_v<std::invoke_result_t<OnField&, std::basic_string_view<Char>>,
                                     bool>) {
            return onField(field);
        } else {
            onField(field);
            return true;
        }
    };
    // Runs of ordinary characters are skipped with find (memchr for bytes).
    size_t i = 0;
    while (i < line.size()) {
        switch (state) {
            case State::kFieldStart: {
                Char c = line[i++];
                if (c == separator) {
                    if (!emit(std::basic_string_view<Char>())) {
                        return;
                    }
                } else if (c == quote) {
                    state = State::kQuoted;
                    begin = arena.size();
                } else {
                    state = State::kPlain;
                    begin = i - 1;
                }
                break;
            }
            case State::kPlain: {
                size_t next = line.find(separator, i);
                if (next == line.npos) {
                    i = line.size();
                } else {
                    if (!emit(line.substr(begin, next - begin))) {
                        return;
                    }
                    state = State::kFieldStart;
                    i = next + 1;
                }
                break;
            }
            case State::kQuoted: {
                size_t next = line.find(quote, i);
                size_t stop = next == line.npos ? line.size() : next;
                arena.append(line.data() + i, stop - i);
                i = stop;
                if (next != line.npos) {
                    state = State::kAfterQuote;
                    ++i;
                }
                break;
            }
            case State::kAfterQuote: {
                Char c = line[i++];
                if (c == separator) {
                    if (!emit(quoted())) {
                        return;
                    }
                    state = State::kFieldStart;
                } else {
                    // A doubled quote is one literal quote; a quote before anything else is
                    // kept with that character, and the field stays quoted.
                    arena.push_back(quote);
                    if (c != quote) {
                        arena.push_back(c);
                    }
                    state = State::kQuoted;
                }
                break;
            }
        }
    }
    if (state == State::kPlain) {
        emit(line.substr(begin));
    } else if (state == State::kQuoted || state == State::kAfterQuote) {
        emit(quoted());
    }
}

}  // namespace zentorak
