// A message for the user as the core hands it to the window: text, title, icon, and for a
// question which answer is the default; with the answers a message box gives. Only the data:
// how the box looks and how it is shown are the window's.
#pragma once

#include <string>

namespace zentorak {

// The icon of a message box, in the order the handset numbers them (the window maps it onto its
// own message-box icons).
enum class NoticeIcon { kError, kExclamation, kInformation, kQuestion };

// A message box: a question gets Yes and No, anything else OK.
struct Notice {
    std::u16string text;
    std::u16string title;
    NoticeIcon icon = NoticeIcon::kError;
    // A question whose default answer is No (asked before something is thrown away).
    bool noIsDefault = false;
    bool operator==(const Notice&) const = default;
};

// The answers, numbered as the handset's message boxes number them.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

}  // namespace zentorak
