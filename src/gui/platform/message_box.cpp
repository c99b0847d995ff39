#include "gui/platform/message_box.h"

#include <QEvent>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "gui/platform/qt_text.h"

namespace zentorak {
namespace {

MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon ToQt(NoticeIcon icon) {
    switch (icon) {
        case NoticeIcon::kError:
            return QMessageBox::Critical;
        case NoticeIcon::kExclamation:
            return QMessageBox::Warning;
        case NoticeIcon::kInformation:
            return QMessageBox::Information;
        case NoticeIcon::kQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// QMessageBox sizes itself from the screen (at least half of a small one wide); on a phone-sized
// main window that is wider than the window. After each of its own sizings the box is narrowed
// to the owner's window, its height following the wrapped text, and put over the window's middle.
class FittingBox : public QMessageBox {
public:
    FittingBox(Icon icon, const QString& title, const QString& text, QWidget* owner)
        : QMessageBox(icon, title, text, NoButton, owner) {}

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest) {
            Fit();
        }
        return handled;
    }
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        Fit();
    }

private:
    void Fit() {
        if (parentWidget() == nullptr || layout() == nullptr) {
            return;
        }
        QWidget* window = parentWidget()->window();
        const int w = std::min(width(), window->width());
        const int h = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(w)
                                                    : layout()->totalMinimumSize().height();
        setFixedSize(w, h);
        move(window->mapToGlobal(window->rect().center()) - QPoint(w / 2, h / 2));
    }
};

int RunBox(QWidget* owner, const MessageRecord& record) {
    std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, record);
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    switch (record.buttons) {
        case MessageButtons::Ok:
            return kAnswerOk;
        case MessageButtons::RetryCancel:
            return clicked != nullptr && box->buttonRole(clicked) == QMessageBox::AcceptRole
                       ? kAnswerRetry
                       : kAnswerCancel;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            break;
    }
    return clicked == nullptr || box->buttonRole(clicked) == QMessageBox::NoRole ? kAnswerNo
                                                                                 : kAnswerYes;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const MessageRecord& record) {
    auto box = std::make_unique<FittingBox>(ToQt(record.icon), record.title, record.text, owner);
    switch (record.buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo: {
            QPushButton* yes = box->addButton(QStringLiteral("はい"), QMessageBox::YesRole);
            QPushButton* no = box->addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
            box->setDefaultButton(record.buttons == MessageButtons::YesNoDefaultNo ? no : yes);
            break;
        }
        case MessageButtons::RetryCancel: {
            QPushButton* retry = box->addButton(QStringLiteral("再試行"), QMessageBox::AcceptRole);
            QPushButton* cancel =
                box->addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            box->setDefaultButton(retry);
            box->setEscapeButton(cancel);
            break;
        }
        case MessageButtons::Ok:
            box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
    }
    return box;
}

int ShowMessage(QWidget* owner, const QString& text, const QString& title, NoticeIcon icon,
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
    return ShowMessage(owner, ToQString(notice.text), ToQString(notice.title), notice.icon,
                       buttons);
}

void SetMessageHandler(MessageHandler handler) {
    Handler() = std::move(handler);
}

}  // namespace zentorak
