#include "core/files/file_filter.h"

namespace zentorak {

int ParseFileFilter(std::u16string_view filter, FileFilter& out) {
    out = {};
    size_t pos = 0;
    while (pos < filter.size()) {
        size_t bar = filter.find(u'|', pos);
        if (bar == std::u16string_view::npos) {
            return kFileFilterMalformed;
        }
        if (out.descriptions.size() == kMaxFilterPatterns) {
            return kFileFilterMalformed;
        }
        out.descriptions.emplace_back(filter.substr(pos, bar - pos));
        if (bar + 1 == filter.size()) {
            return kFileFilterMalformed;
        }
        size_t end = filter.find(u'|', bar + 1);
        if (end == std::u16string_view::npos) {
            end = filter.size();
        }
        out.patterns.emplace_back(filter.substr(bar + 1, end - bar - 1));
        pos = end + 1;
    }
    return out.patterns.empty() ? kFileFilterMalformed : 0;
}

namespace {

char16_t FoldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Iterative wildcard match with one backtrack point: the last '*' seen.
bool Glob(std::u16string_view name, std::u16string_view pattern) {
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::u16string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
    if (const size_t semicolon = pattern.find(u';'); semicolon != std::u16string_view::npos) {
        return MatchesPattern(name, pattern.substr(0, semicolon)) ||
               MatchesPattern(name, pattern.substr(semicolon + 1));
    }
    if (Glob(name, pattern)) {
        return true;
    }
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*" &&
           Glob(name, pattern.substr(0, pattern.size() - 2));
}

}  // namespace zentorak
