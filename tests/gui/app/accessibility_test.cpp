// What a screen reader and a keyboard reach: every focusable control of every window has a name,
// the radar says what it shows, and the keys go round the main window and press buttons.
#include <QAccessible>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/app/dialogs.h"
#include "core/app/options_pages.h"
#include "core/resources/resource_ids.h"
#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/dialog_driver.h"
#include "gui/platform/soft_key_bar.h"

namespace zentorak::testing {
namespace {

// The focusable controls under `a` that have no name, as "role objectName".
void Unnamed(QAccessibleInterface* a, QStringList& found) {
    if (a->object() != nullptr && a->state().focusable && !a->state().invisible &&
        a->text(QAccessible::Name).trimmed().isEmpty()) {
        found << QString::number(a->role(), 16) + " " + a->object()->objectName() + " in " +
                     a->window()->title();
    }
    for (int i = 0; i < a->childCount(); ++i) {
        if (QAccessibleInterface* child = a->child(i); child != nullptr && child->object()) {
            Unnamed(child, found);
        }
    }
}

class Accessibility : public AppFixture {};

TEST_F(Accessibility, EveryWindowNamesItsControlsAndTheRadarSaysWhatItShows) {
    WriteSettings({"OrgFixedMode:1", "DtlDlgMode:2", "ConfBfrMapDispMode:1"});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().Dispatch(2001);  // 東京
    const QString said =
        QAccessible::queryAccessibleInterface(Window().Radar())->text(QAccessible::Description);
    EXPECT_TRUE(said.startsWith(QStringLiteral("目盛 "))) << said.toStdString();
    for (int k : {0, 1}) {
        const QString name = ToQString(state->found.targets[static_cast<size_t>(k)]->Info(0));
        EXPECT_TRUE(said.contains(QString::number(k + 1) + " " + name + " ")) << said.toStdString();
    }
    // The row the keyboard is on is the one Return opens.
    EXPECT_EQ(Window().Panes().SelectedRow(), 0);

    QStringList unnamed;
    Unnamed(QAccessible::queryAccessibleInterface(&Window()), unnamed);
    const std::pair<int, std::u16string_view> windows[] = {
        {res::ID_SEARCH, u"検索"},
        {res::ID_ENTER_COORDINATES, u"座標指定"},
        {res::ID_ADD_FAVORITE, kAddFavoriteTitle},
        {res::ID_ORGANIZE_FAVORITES, u"お気に入りの整理"},
        {res::ID_LIST_DETAILS, u"店舗情報"},
        {res::ID_MAP, u"地図表示確認"},
        {res::ID_ABOUT, u"バージョン情報 ZENTORAK"},
        {res::ID_OPTIONS, kOptionsTitle},
    };
    for (auto [command, title] : windows) {
        WhenDialogOpens(ToQString(title), [&unnamed](QDialog* dialog) {
            auto* tabs = dialog->findChild<QTabWidget*>();
            for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
                if (tabs != nullptr) {
                    tabs->setCurrentIndex(page);
                }
                Unnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
            }
            dialog->reject();
        });
        Window().Dispatch(command);
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}

TEST_F(Accessibility, TabGoesRoundTheWindowAndReturnPressesTheFocusedButton) {
    WriteSettings({"OrgFixedMode:1"});
    ASSERT_TRUE(Start());
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Window().Dispatch(2001);
    Window().Radar()->setFocus();
    std::vector<QWidget*> reached;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(reached,
              (std::vector<QWidget*>{Window().Panes().List(), Window().SoftKeys()->LeftKey(),
                                     Window().SoftKeys()->RightKey()}));

    bool closed = false;
    WhenDialogOpens(QStringLiteral("お気に入りの整理"), [&closed](QDialog* dialog) {
        auto* close = dialog->findChild<QPushButton*>(QStringLiteral("2"));
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Return);
        closed = !dialog->isVisible();
        dialog->reject();
    });
    Window().Dispatch(res::ID_ORGANIZE_FAVORITES);
    EXPECT_TRUE(closed);

    // Shift+F10 on a row opens the row's menu as the menu key does.
    Dialogs();
    Window().Panes().List()->setFocus();
    QTest::keyClick(Window().Panes().List(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(Dialogs().popups.size(), 1u);
    EXPECT_EQ(Dialogs().popups[0].first, res::IDR_LIST_POPUP);
}

}  // namespace
}  // namespace zentorak::testing
