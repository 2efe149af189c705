// The X11 screen darkening on the display the tests run on: the virtual one has the
// screen-saver extension but no power management (monitorpower_test models that).
#include "tavi/tool/monitor.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

TEST(MonitorX11, ScreenSaverStarts) {
    Display* x = XOpenDisplay(nullptr);
    int eventBase = 0, errorBase = 0;
    if (x == nullptr || !XScreenSaverQueryExtension(x, &eventBase, &errorBase))
        GTEST_SKIP() << "no display with the screen-saver extension";
    XResetScreenSaver(x);
    XSync(x, False);
    tavi::tool::monitorOff(true);
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    EXPECT_TRUE(XScreenSaverQueryInfo(x, DefaultRootWindow(x), info) && info->state == ScreenSaverOn);
    XFree(info);
    XResetScreenSaver(x);
    XCloseDisplay(x);
}
