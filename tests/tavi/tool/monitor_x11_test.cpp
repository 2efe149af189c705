// Tests of the X11 screen darkening on the display the tests run on (the virtual one has the
// screen-saver extension but no power management).
#include "tavi/tool/monitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>

namespace {

struct Connection {
    Display* display = XOpenDisplay(nullptr);
    ~Connection() {
        if (display) XCloseDisplay(display);
    }
};

}  // namespace

TEST(MonitorX11, ScreenSaverStarts) {
    Connection x;
    if (x.display == nullptr) GTEST_SKIP() << "no X display";
    int eventBase = 0, errorBase = 0;
    if (!XScreenSaverQueryExtension(x.display, &eventBase, &errorBase))
        GTEST_SKIP() << "display without the screen-saver extension";
    XResetScreenSaver(x.display);
    XSync(x.display, False);

    tavi::tool::monitorOff(true);

    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    ASSERT_TRUE(XScreenSaverQueryInfo(x.display, DefaultRootWindow(x.display), info));
    EXPECT_EQ(info->state, ScreenSaverOn);
    XFree(info);
    XResetScreenSaver(x.display);
    XSync(x.display, False);
}

TEST(MonitorX11, MonitorOffWithOrWithoutPowerManagement) {
    Connection x;
    if (x.display == nullptr) GTEST_SKIP() << "no X display";
    int eventBase = 0, errorBase = 0;
    if (!DPMSQueryExtension(x.display, &eventBase, &errorBase) || !DPMSCapable(x.display)) {
        tavi::tool::monitorOff(false);
        GTEST_SKIP() << "display without DPMS: only checked that the call returns";
    }
    // Disabled by the user: the call returns once the monitor is back on, with DPMS disabled.
    DPMSDisable(x.display);
    XSync(x.display, False);
    std::thread off([] { tavi::tool::monitorOff(false); });
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    for (int i = 0; i < 100 && level != DPMSModeOff; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        DPMSInfo(x.display, &level, &enabled);
    }
    EXPECT_EQ(level, DPMSModeOff);
    DPMSForceLevel(x.display, DPMSModeOn);
    XSync(x.display, False);
    off.join();
    ASSERT_TRUE(DPMSInfo(x.display, &level, &enabled));
    EXPECT_FALSE(enabled);
}
