// The root window: start-up of the language module, fonts, characters, menu and tools; the
// 50 ms tick and when it sleeps; the menu's actions; the orderly tear-down.
#include "appmain.h"

#include <algorithm>
#include <atomic>

#include "appmain_menu.h"
#include "kiro/app.h"
#include "kiro/exception.h"
#include "kiro/io/file.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/msgbox.h"
#include "sorn/sorn.h"
#include "tavi/body/body.h"
#include "tavi/eventmessage.h"
#include "tavi/ticks.h"
#include "tavi/tool/registry.h"
#include "tavi/unit/unit.h"

using kiro::ui::LResult;

namespace {
constexpr const wchar_t* VersionText =
    L"OREB Tessary Velloq tavi v0.6.0\nmodified: 2025-05-25 (Sun)";
constexpr const wchar_t* VersionCaption = L"雑なバージョン情報";
constexpr int DefaultFontSize = 15;
constexpr int MinFontSize = 4;
constexpr int MaxFontSize = 200;
}  // namespace

// Shared with the calls handed to other threads, which may outlive the window: at most one
// wake-up waits in the UI thread's queue, and none reaches a window already gone.
struct AppMain::WakeState {
    std::atomic<bool> pending{false};
    AppMain* owner = nullptr;  // read and cleared on the UI thread only
};

AppMain::AppMain(bool debugRootWindow) : Window(nullptr, 0, 0), wake_(std::make_shared<WakeState>()) {
    wake_->owner = this;
    wakeCall_ = [state = wake_] {
        if (state->pending.exchange(true)) return;
        kiro::ui::postToUiThread([state] {
            state->pending = false;
            if (state->owner) state->owner->onWake();
        });
    };
    if (kiro::io::exists(L"sorn\\")) {
        if (!sorn::initialize()) KIRO_THROW("AppMain::AppMain", "SORN initialization failed.");
        sornStarted_ = true;
    }
    setUpFonts();
    units_ = std::make_unique<tavi::MultiUnit>(this, wakeCall_);
    hook(units_->primaryBody());
    menu_ = std::make_unique<MainMenu>(this);
    tools_ = std::make_unique<tavi::tool::Registry>(units_->primaryBody());
    tools_->setWake(wakeCall_);
    setTopmost(!menu_->isChecked(LeaveTopmost));
    units_->setMute(menu_->isChecked(Mute));
    setTitle(L"Velloq tavi");
    pacer_.plan(1);
    applyTimer();
    if (debugRootWindow) {
        setStyle(kiro::ui::ws::OverlappedWindow);
        show();
    }
}

AppMain::~AppMain() {
    wake_->owner = nullptr;
    killTimers();
    tools_.reset();
    menu_.reset();
    units_.reset();
    if (sornStarted_) sorn::finalize();
}

void AppMain::setUpFonts() {
    std::wstring face = kiro::app::configString(L"font_name", L"");
    int size = kiro::app::configInt(L"font_size", DefaultFontSize);
    // Larger sizes make canvases too large to allocate; smaller ones leave no derived size.
    if (size < MinFontSize || size > MaxFontSize) size = DefaultFontSize;
    if (!face.empty()) {
        kiro::io::BinaryObject file(face);
        if (!file.empty()) kiro::ui::addFont(file.data(), file.size(), &face);
    }
    kiro::ui::defineFont(0, face, size, false);
    kiro::ui::defineFont(1, face, size - 2, false);
    kiro::ui::defineFont(2, face, size, true);
    kiro::ui::defineFont(10, face, size, false);
    kiro::ui::defineFont(11, face, size + 2, false);
}

LResult AppMain::onClose() {
    kiro::app::quit();
    return 0;
}

LResult AppMain::onTimer() {
    tick(pacer_.fire());
    return 0;
}

// The ticks slept through changed nothing but counts; the last one is a whole tick.
void AppMain::tick(std::uint32_t ticks) {
    for (std::uint32_t i = 1; i < ticks; ++i) units_->animate(tavi::TickSeconds);
    units_->update(tavi::TickSeconds);
    tools_->tick();
    tavi::EventMessage event;
    if (tools_->pollOne(event)) units_->post(event);
    pacer_.plan(ticksUntilDue());
    applyTimer();
}

std::uint32_t AppMain::ticksUntilDue() const {
    const std::uint32_t toolMs = tools_->dueIn();
    const std::uint32_t toolTicks =
        toolMs == tavi::IToolKit::NeverDue ? tavi::NeverDue : std::max<std::uint32_t>(1, (toolMs + 49) / 50);
    return std::min(units_->ticksUntilDue(), toolTicks);
}

void AppMain::onWake() {
    if (const std::uint32_t ticks = pacer_.wake()) tick(ticks);
}

void AppMain::applyTimer() {
    std::uint32_t interval = 0;
    if (!pacer_.takeTimer(interval)) return;
    if (interval == 0) {
        killTimers();
    } else {
        setTimer(interval, 0);
    }
}

LResult AppMain::onHookedMessage(kiro::ui::Window&, std::uint32_t msg, kiro::ui::WParam,
                                 kiro::ui::LParam) {
    if (msg != kiro::ui::wm::RButtonUp) return kiro::ui::NotHandled;
    std::wstring command;
    const std::uint32_t id = menu_->popup(command);
    perform(id, command);
    return 0;
}

void AppMain::perform(std::uint32_t id, const std::wstring& command) {
    switch (id) {
    case Exit:
        kiro::app::quit();
        break;
    case Version:
        kiro::ui::messageBox(VersionText, VersionCaption,
                             kiro::ui::MbOk | kiro::ui::MbIconInformation, handle());
        break;
    case LeaveTopmost:
        setTopmost(!menu_->isChecked(LeaveTopmost));
        break;
    case Mute:
        units_->setMute(menu_->isChecked(Mute));
        break;
    case ToolCommand:
        tools_->dispatch(command);
        break;
    default:
        break;
    }
}
