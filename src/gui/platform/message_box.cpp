#include "gui/platform/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "core/app/commands.h"

namespace zentorak {
namespace {

MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

int RunBox(QWidget* owner, const MessageRecord& record) {
    QMessageBox box(ToQt(record.icon), record.title, record.text, QMessageBox::NoButton, owner);
    if (record.buttons == MessageButtons::YesNo ||
        record.buttons == MessageButtons::YesNoDefaultNo) {
        QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
        box.setDefaultButton(record.buttons == MessageButtons::YesNoDefaultNo ? no : yes);
        box.exec();
        return box.clickedButton() == static_cast<QAbstractButton*>(no) || !box.clickedButton()
                   ? kAnswerNo
                   : kAnswerYes;
    }
    if (record.buttons == MessageButtons::RetryCancel) {
        QPushButton* retry = box.addButton(QStringLiteral("再試行"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(retry);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == static_cast<QAbstractButton*>(retry) ? kAnswerRetry
                                                                           : kAnswerCancel;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return kAnswerOk;
}

}  // namespace

int ShowMessage(QWidget* owner, const QString& text, const QString& title, MessageIcon icon,
                MessageButtons buttons) {
    MessageRecord record{text, title, icon, buttons, owner != nullptr};
    if (Handler()) {
        return Handler()(record);
    }
    return RunBox(owner, record);
}

int ShowNotice(QWidget* owner, const Notice& notice) {
    MessageButtons buttons = MessageButtons::Ok;
    if (notice.icon == NoticeIcon::kQuestion) {
        buttons = notice.noIsDefault ? MessageButtons::YesNoDefaultNo : MessageButtons::YesNo;
    }
    return ShowMessage(owner, QString::fromStdU16String(notice.text),
                       QString::fromStdU16String(notice.title), ToMessageIcon(notice.icon),
                       buttons);
}

void SetMessageHandler(MessageHandler handler) {
    Handler() = std::move(handler);
}

MessageIcon ToMessageIcon(NoticeIcon icon) {
    switch (icon) {
        case NoticeIcon::kError:
            return MessageIcon::Error;
        case NoticeIcon::kExclamation:
            return MessageIcon::Exclamation;
        case NoticeIcon::kInformation:
            return MessageIcon::Information;
        case NoticeIcon::kQuestion:
            return MessageIcon::Question;
    }
    return MessageIcon::Error;
}

}  // namespace zentorak
