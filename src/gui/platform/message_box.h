// The program's one way to tell the user something: a message box with text, title, icon and
// buttons. Tests install a handler that records each box and answers from a script, so every
// text and title can be checked without a window popping up.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "core/text/notice.h"

class QMessageBox;
class QWidget;

namespace zentorak {

// YesNoDefaultNo: Enter answers No, for questions where Yes destroys something.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo, RetryCancel };

struct MessageRecord {
    QString text;
    QString title;
    NoticeIcon icon = NoticeIcon::kError;
    MessageButtons buttons = MessageButtons::Ok;
    bool hasOwner = false;
};

// An owned box stands over the middle of its owner's window and is no wider than it; its lines
// break only where the text's language allows (Qt's line breaking keeps Japanese closing marks,
// small kana and ー off the start of a line).
int ShowMessage(QWidget* owner, const QString& text, const QString& title, NoticeIcon icon,
                MessageButtons buttons = MessageButtons::Ok);

// A command's notice: a question gets Yes and No, anything else OK.
int ShowNotice(QWidget* owner, const Notice& notice);
// The real box for `record`, not shown yet: ShowMessage runs it; tests show it and look.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const MessageRecord& record);

// Replaces the real box; an empty handler brings it back.
using MessageHandler = std::function<int(const MessageRecord&)>;
void SetMessageHandler(MessageHandler handler);

}  // namespace zentorak
