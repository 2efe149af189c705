// X11 implementation of monitorOff: DPMS "force off" for the monitor, XActivateScreenSaver for
// the screen saver, on a display connection of its own (it runs on the afk worker).
#include "tavi/tool/monitor.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <chrono>
#include <thread>

#include "tavi/tool/monitorpower.h"

namespace tavi::tool {

namespace {

class Dpms : public PowerManagement {
public:
    explicit Dpms(Display* display) : display_(display) {}
    bool enabled() override { return info().second; }
    void setEnabled(bool on) override {
        if (on) DPMSEnable(display_);
        else DPMSDisable(display_);
        XSync(display_, False);
    }
    void forceOff() override {
        DPMSForceLevel(display_, DPMSModeOff);
        XSync(display_, False);
    }
    bool monitorOn() override { return info().first == DPMSModeOn; }

private:
    std::pair<CARD16, bool> info() {
        CARD16 level = DPMSModeOn;
        BOOL enabled = False;
        DPMSInfo(display_, &level, &enabled);
        return {level, enabled != False};
    }
    Display* display_;
};

}  // namespace

void monitorOff(bool screenSaver) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    if (screenSaver) {
        XActivateScreenSaver(display);
    } else {
        int eventBase = 0, errorBase = 0;
        if (DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display)) {
            Dpms dpms(display);
            switchOff(dpms, [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); });
        }
    }
    XSync(display, False);
    XCloseDisplay(display);
}

}  // namespace tavi::tool
