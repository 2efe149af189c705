// Switching the monitor off on a model display: the monitor goes off whatever the user's
// power-management setting, and the setting is the user's again once the monitor is back on.
#include "tavi/tool/monitorpower.h"

#include <gtest/gtest.h>

namespace {

// Like an X server: forcing a level while management is disabled is an error; the user's
// return (after a few looks) turns the monitor on again.
struct ModelDisplay : tavi::tool::PowerManagement {
    bool on = true, managed = false, error = false, wentOff = false;
    int looksUntilUserReturns = 3;
    bool enabled() override { return managed; }
    void setEnabled(bool value) override { managed = value; }
    void forceOff() override {
        if (!managed)
            error = true;
        else
            on = false, wentOff = true;
    }
    bool monitorOn() override {
        if (!on && --looksUntilUserReturns == 0) on = true;
        return on;
    }
};

TEST(MonitorPower, OffNowAndTheUsersSettingKept) {
    for (const bool userSetting : {false, true}) {
        SCOPED_TRACE(userSetting ? "enabled by the user" : "disabled by the user");
        ModelDisplay display;
        display.managed = userSetting;
        int pauses = 0;
        tavi::tool::switchOff(display, [&] { ++pauses; });
        EXPECT_TRUE(display.wentOff);
        EXPECT_FALSE(display.error);
        EXPECT_EQ(display.managed, userSetting);
        // Only a setting to restore is waited for.
        EXPECT_EQ(pauses, userSetting ? 0 : 2);
    }
}

}  // namespace
