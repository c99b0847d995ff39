#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "gui/platform/message_box.h"
#include "gui/platform/shell_open.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/tap_and_hold.h"
#include "gui/platform/url_catcher.h"
#include "gui/platform/wait_cursor.h"

namespace zentorak {
namespace {

TEST(WaitCursor, EveryWayOutRestoresTheArrow) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    auto earlyReturn = [](bool stop) {
        WaitCursor wait;
        if (stop) {
            return 1;
        }
        wait.Restore();
        wait.Restore();  // a second restore must not pop someone else's cursor
        return 2;
    };
    {
        WaitCursor outer;
        EXPECT_EQ(earlyReturn(true), 1);
        EXPECT_EQ(earlyReturn(false), 2);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ShellOpen, HandsTelAndHttpAddressesToTheirHandlers) {
    testing::PrivateDesktop desktop(true);
    testing::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tel"), &catcher, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
    EXPECT_TRUE(ShellOpen(QStringLiteral("TEL:03-0000-0001")));
    EXPECT_TRUE(ShellOpen(QStringLiteral("https://example.com/map?lat=35.1")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("tel"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0].path(), QStringLiteral("03-0000-0001"));
    EXPECT_EQ(catcher.urls[1].query(), QStringLiteral("lat=35.1"));
}

// xdg-open would report success for a tel: address that nothing can call, so without a dialer
// registered on the desktop the address is not handed out at all.
TEST(ShellOpen, TelAddressFailsWithoutARegisteredDialer) {
    testing::PrivateDesktop desktop(false);
    testing::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tel"), &catcher, "Open");
    EXPECT_FALSE(ShellOpen(QStringLiteral("TEL:03-0000-0001")));
    EXPECT_FALSE(ShellOpen(QStringLiteral("tel:03-0000-0001")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("tel"));
    EXPECT_TRUE(catcher.urls.isEmpty());
}

TEST(MessageBox, HandlerSeesEveryFieldAndAnswers) {
    std::vector<MessageRecord> seen;
    SetMessageHandler([&](const MessageRecord& r) {
        seen.push_back(r);
        return kAnswerYes;
    });
    QWidget owner;
    EXPECT_EQ(ShowMessage(&owner, QStringLiteral("本文"), QStringLiteral("題"),
                          NoticeIcon::kQuestion, MessageButtons::YesNo),
              kAnswerYes);
    SetMessageHandler({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, QStringLiteral("本文"));
    EXPECT_EQ(seen[0].title, QStringLiteral("題"));
    EXPECT_TRUE(seen[0].hasOwner);
    EXPECT_EQ(seen[0].buttons, MessageButtons::YesNo);
}

// The real box: its two buttons carry the handset's texts and answer numbers, Escape cancels.
TEST(MessageBox, RetryCancelBoxAnswersRetryOrCancel) {
    auto answerWith = [](const QString& button, bool escape) {
        QTimer::singleShot(0, [button, escape] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("設定ファイルエラー"));
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            ASSERT_EQ(box->buttons().size(), 2);
            EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("再試行"));
            if (escape) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == button) {
                    b->click();
                }
            }
        });
        return ShowMessage(nullptr, QStringLiteral("設定ファイルの書込みに失敗しました。"),
                           QStringLiteral("設定ファイルエラー"), NoticeIcon::kError,
                           MessageButtons::RetryCancel);
    };
    EXPECT_EQ(answerWith(QStringLiteral("再試行"), false), kAnswerRetry);
    EXPECT_EQ(answerWith(QStringLiteral("キャンセル"), false), kAnswerCancel);
    EXPECT_EQ(answerWith(QString(), true), kAnswerCancel);
    EXPECT_EQ(kAnswerRetry, 4);
    EXPECT_EQ(kAnswerCancel, 2);
}

TEST(TapAndHold, HeldStillForHalfASecondOnly) {
    TapAndHold hold(QPoint(4, 4), nullptr);
    QSignalSpy held(&hold, &TapAndHold::Held);
    hold.Press(QPoint(10, 10));
    hold.Move(QPoint(14, 6));  // within the threshold on both axes
    ASSERT_TRUE(held.wait(1000));
    EXPECT_EQ(held.takeFirst().at(0).toPoint(), QPoint(10, 10));
    hold.Press(QPoint(10, 10));
    hold.Move(QPoint(15, 10));  // one pixel too far: a drag
    EXPECT_FALSE(held.wait(700));
    hold.Press(QPoint(10, 10));
    hold.Release();
    EXPECT_FALSE(held.wait(700));
}

TEST(SoftKeyBar, LeftKeyAndF1SendTheCommand) {
    QWidget window;
    SoftKeyBar bar(32771, QStringLiteral("更新"), QStringLiteral("メニュー"), &window);
    QSignalSpy commands(&bar, &SoftKeyBar::Command);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bar.PressLeft();
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[0].at(0).toInt(), 32771);
    bar.SetLeftText(QStringLiteral("更新停止"));
    EXPECT_EQ(bar.LeftText(), QStringLiteral("更新停止"));
    EXPECT_EQ(bar.RightText(), QStringLiteral("メニュー"));
}

}  // namespace
}  // namespace zentorak
