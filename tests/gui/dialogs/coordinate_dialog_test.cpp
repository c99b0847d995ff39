#include "gui/dialogs/coordinate_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/app/app_fixture.h"
#include "gui/app/main_window.h"
#include "gui/dialogs/dialog_driver.h"

namespace zentorak::testing {
namespace {

// The coordinate command through the main window and the real dialog.
class CoordinateEntryTest : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings();
        ASSERT_TRUE(Start());
    }
    // Puts the origin at the view centre, so that the dialog starts there.
    void CentreOn(DmsAngle lat, DmsAngle lon) {
        state->originLat = lat;
        state->originLon = lon;
        state->originValid = 1;
        Window().Dispatch(32778);
    }
    // Runs the command; `drive` sets the dialog and names the button to press ("1" OK, "2").
    void Enter(std::function<const char*(CoordinateDialog*)> drive) {
        bool seen = false;
        WhenDialogOpens(QStringLiteral("座標指定"), [&](QDialog* d) {
            seen = true;
            auto* dialog = static_cast<CoordinateDialog*>(d);
            const char* button = drive(dialog);
            dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        Window().Dispatch(32779);
        EXPECT_TRUE(seen);
    }
    static QStringList Shown(CoordinateDialog* dialog) {
        QStringList texts;
        for (int i = 0; i < 6; ++i) {
            texts << dialog->List(i)->currentText();
        }
        return texts;
    }
};

TEST_F(CoordinateEntryTest, PreselectsFromTheViewCentreMovesAndSearches) {
    CentreOn({50, 0, 0, 0}, {139, 45, 30, 500});
    Enter([](CoordinateDialog* dialog) {
        // 50 N is off the list: 33 instead; the milliseconds are not shown.
        EXPECT_EQ(Shown(dialog), (QStringList{"33", "00", "00", "139", "45", "30"}));
        EXPECT_EQ(dialog->List(0)->count(), 26);
        EXPECT_EQ(dialog->List(3)->itemText(0), QStringLiteral("122"));
        EXPECT_EQ(dialog->List(5)->count(), 60);
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("1201"))->text(),
                  QStringLiteral("緯度:"));
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("1205"))->text(),
                  QStringLiteral("経度:"));
        EXPECT_TRUE(dialog->SearchAfterMove()->isChecked());
        EXPECT_EQ(dialog->SearchAfterMove()->text(), QStringLiteral("座標指定後、続けて探索"));
        dialog->List(0)->setCurrentText(QStringLiteral("35"));
        dialog->List(1)->setCurrentText(QStringLiteral("40"));
        dialog->List(4)->setCurrentText(QStringLiteral("46"));
        dialog->List(5)->setCurrentText(QStringLiteral("50"));
        return "1";
    });
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 0, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 50, 0}));
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->settings.SrchAfterJump, 1);
    ASSERT_GT(state->found.count, 0);
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店05");  // the shop at 35/40/00 139/46/50
}

TEST_F(CoordinateEntryTest, OkWithoutChangesDropsTheMilliseconds) {
    CentreOn({35, 40, 12, 345}, {139, 45, 30, 500});
    Enter([](CoordinateDialog* dialog) {
        EXPECT_EQ(Shown(dialog), (QStringList{"35", "40", "12", "139", "45", "30"}));
        return "1";
    });
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 12, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 45, 30, 0}));
    EXPECT_GT(state->found.count, 0);
}

TEST_F(CoordinateEntryTest, AnUncheckedBoxMovesWithoutSearching) {
    CentreOn({35, 40, 12, 0}, {139, 45, 30, 0});
    ASSERT_EQ(state->found.count, 0);
    Enter([](CoordinateDialog* dialog) {
        dialog->List(2)->setCurrentText(QStringLiteral("20"));
        dialog->SearchAfterMove()->setChecked(false);
        return "1";
    });
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 20, 0}));
    EXPECT_EQ(state->settings.SrchAfterJump, 2);
    EXPECT_EQ(state->found.count, 0);
    // The next time the box starts unchecked.
    Enter([](CoordinateDialog* dialog) {
        EXPECT_FALSE(dialog->SearchAfterMove()->isChecked());
        return "2";
    });
}

// Cancel changes nothing; the search after the move follows the setting all the same.
TEST_F(CoordinateEntryTest, CancelLeavesTheOriginAndSetting) {
    CentreOn({35, 40, 12, 345}, {139, 45, 30, 500});
    Enter([](CoordinateDialog* dialog) {
        dialog->List(0)->setCurrentIndex(0);
        dialog->SearchAfterMove()->setChecked(false);
        return "2";
    });
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 12, 345}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 45, 30, 500}));
    EXPECT_EQ(state->settings.SrchAfterJump, 1);
    EXPECT_GT(state->found.count, 0);
}

}  // namespace
}  // namespace zentorak::testing
