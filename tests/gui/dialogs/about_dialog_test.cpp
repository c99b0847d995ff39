#include "gui/dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_fixture.h"
#include "gui/app/main_window.h"
#include "gui/dialogs/dialog_driver.h"

namespace zentorak::testing {
namespace {

// The About command through the main window and the real box.
class AboutTest : public AppFixture {};

TEST_F(AboutTest, ShowsVersionCopyrightAndIcon) {
    WriteSettings();
    ASSERT_TRUE(Start());
    bool seen = false;
    WhenDialogOpens(QStringLiteral("バージョン情報 ZENTORAK"), [&](QDialog* dialog) {
        seen = true;
        auto text = [dialog](const char* id) {
            return dialog->findChild<QLabel*>(QString::fromLatin1(id))->text();
        };
        EXPECT_EQ(text("1051"), QStringLiteral("バージョン情報"));
        EXPECT_EQ(text("1402"), QStringLiteral("ZENTORAK"));
        EXPECT_EQ(text("1403"), QStringLiteral("Ver. 1.4.2011.0509"));
        EXPECT_EQ(text("1404") + QStringLiteral(" ") + text("1405"),
                  QStringLiteral("Copyright (C) 2011-2026 ZENTORAK developers"));
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("1406")), nullptr);  // no address yet
        EXPECT_FALSE(dialog->findChild<QLabel*>(QStringLiteral("1261"))->pixmap().isNull());
        auto* close = dialog->findChild<QPushButton*>(QStringLiteral("1"));
        EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
        EXPECT_GE(close->geometry().right(), dialog->width() - 4);  // kept to the right edge
        close->click();
    });
    Window().Dispatch(40002);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(messages.records.empty());
}

}  // namespace
}  // namespace zentorak::testing
