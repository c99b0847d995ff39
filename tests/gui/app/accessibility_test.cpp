// What a screen reader and the keyboard reach in every window.
#include <QAccessible>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/resources/resource_ids.h"
#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/dialog_driver.h"
#include "gui/dialogs/file_select_dialog.h"
#include "gui/platform/soft_key_bar.h"

namespace zentorak::testing {
namespace {

// A list box named only by the entry it shows has no name of its own either.
void Unnamed(QAccessibleInterface* a, QStringList& found) {
    const QString name = a->text(QAccessible::Name);
    if (a->state().focusable && !a->state().invisible &&
        (name.isEmpty() ||
         (a->role() == QAccessible::ComboBox && name == a->text(QAccessible::Value)))) {
        found << a->object()->objectName() + " in " + a->window()->title();
    }
    for (int i = 0; i < a->childCount(); ++i) {
        if (QAccessibleInterface* child = a->child(i); child && child->object()) {
            Unnamed(child, found);  // controls only: the items are named by their text
        }
    }
}

TEST_F(AppFixture, ScreenReaderAndKeyboardReachEveryWindow) {
    WriteSettings({"OrgFixedMode:1", "DtlDlgMode:2", "ConfBfrMapDispMode:1"});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Window().Dispatch(2001);  // 東京
    const QString said = Window().Radar()->accessibleDescription();
    EXPECT_TRUE(said.contains("。1 " + ToQString(state->found.targets[0]->Info(0)) + " "))
        << said.toStdString();
    EXPECT_EQ(Window().Panes().SelectedRow(), 0);  // the row the keyboard is on

    QStringList unnamed;
    Unnamed(QAccessible::queryAccessibleInterface(&Window()), unnamed);
    const std::pair<int, const char*> windows[] = {{res::ID_SEARCH, "検索"},
                                                   {res::ID_ENTER_COORDINATES, "座標指定"},
                                                   {res::ID_ADD_FAVORITE, "お気に入りの追加"},
                                                   {res::ID_ORGANIZE_FAVORITES, "お気に入りの整理"},
                                                   {res::ID_LIST_DETAILS, "店舗情報"},
                                                   {res::ID_MAP, "地図表示確認"},
                                                   {res::ID_ABOUT, "バージョン情報 ZENTORAK"},
                                                   {res::ID_OPTIONS, "オプション"}};
    for (auto [command, title] : windows) {
        WhenDialogOpens(QString::fromUtf8(title), [&unnamed](QDialog* dialog) {
            auto* tabs = dialog->findChild<QTabWidget*>();
            for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
                if (tabs != nullptr) {
                    tabs->setCurrentIndex(page);
                }
                Unnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
            }
            // Return on a focused closing button (the organiser's "閉じる") presses it.
            if (auto* close = dialog->findChild<QPushButton*>(QStringLiteral("2"))) {
                close->setFocus();
                QTest::keyClick(close, Qt::Key_Return);
                EXPECT_FALSE(dialog->isVisible()) << dialog->windowTitle().toStdString();
            }
            dialog->reject();
        });
        Window().Dispatch(command);
    }
    bool fileDialog = false;
    WhenDialogOpens(QStringLiteral("入力元"), [&unnamed, &fileDialog](QDialog* dialog) {
        Unnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
        fileDialog = true;
        dialog->reject();
    });
    FileSelectDialog files;  // as the location-info page opens it
    files.SetTitle(u"入力元");
    files.Run(&Window(), 0);
    EXPECT_TRUE(fileDialog);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();

    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Window().Radar()->setFocus();
    for (QWidget* next : {static_cast<QWidget*>(Window().Panes().List()),
                          static_cast<QWidget*>(Window().SoftKeys()->LeftKey()),
                          static_cast<QWidget*>(Window().SoftKeys()->RightKey())}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    Dialogs().onPopup = [](int menu) { EXPECT_EQ(menu, res::IDR_LIST_POPUP); };
    QTest::keyClick(Window().Panes().List(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(Dialogs().popups.size(), 1u);
}

}  // namespace
}  // namespace zentorak::testing
