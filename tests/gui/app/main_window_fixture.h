// The main window's tests' fixture: settings with the fixed origin mode, the recorder in place
// of the dialogs, and the favourite 東京 chosen and painted on request.
#pragma once

#include <QTest>

#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"

namespace zentorak::testing {

class MainWindowTest : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings({"OrgFixedMode:1"});
        ASSERT_TRUE(Start());
        Dialogs();
    }
    // Chooses favourite 東京 and paints, so markers and grid spacing are known.
    void FixAtTokyo() {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        Window().Dispatch(2001);
        Window().Radar()->repaint();
        ASSERT_GT(state->gridSpacing, 0);
    }
    QString Row(int i) const { return state->found.count > i ? QString::number(i) : QString(); }
    const std::vector<int>& details() { return Dialogs().details; }
};

}  // namespace zentorak::testing
