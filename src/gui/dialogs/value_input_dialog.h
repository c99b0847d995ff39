// Asks for one line of text: a caption, an edit box, "OK" and "キャンセル". Checks nothing; an
// empty or unusable value is the caller's to report. One prompt per object, run modally.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace zentorak {

inline constexpr std::u16string_view kValueInputDefaultCaption = u"値の入力";

class ValueInputDialog {
public:
    ValueInputDialog();
    virtual ~ValueInputDialog();

    // Set before Run: the window caption (kValueInputDefaultCaption when unset) and the text
    // the box starts with (an empty box when unset).
    std::optional<std::u16string> caption;
    // After Run: the text entered (empty when the user confirmed an empty box), or unset after
    // cancel or close.
    std::optional<std::u16string> text;

    // Closing the window (its close button, the window manager) counts as a cancel: `text` is
    // unset then too. The caller's initial text was copied in and is never handed back, so there
    // is no string with two owners, and an untouched initial name is never mistaken for a name
    // entered. 1 after OK, 2 after cancel (the button or Escape), 16 after a close.
    int Run(QWidget* parent, int param = 0);
};

inline constexpr int kValueInputOk = 1;
inline constexpr int kValueInputCancel = 2;
inline constexpr int kValueInputClosed = 16;

}  // namespace zentorak
