// The root window: start-up of the language module, fonts, characters, menu and tools; the
// 50 ms tick; the menu's actions; the orderly tear-down.
#include "appmain.h"

#include "appmain_menu.h"
#include "kiro/app.h"
#include "kiro/exception.h"
#include "kiro/io/file.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/msgbox.h"
#include "sorn/sorn.h"
#include "tavi/body/body.h"
#include "tavi/eventmessage.h"
#include "tavi/tool/registry.h"
#include "tavi/unit/unit.h"

using kiro::ui::LResult;

namespace {
constexpr const wchar_t* VersionText =
    L"OREB Tessary Velloq tavi v0.6.0\nmodified: 2025-05-25 (Sun)";
constexpr const wchar_t* VersionCaption = L"雑なバージョン情報";
}  // namespace

AppMain::AppMain(bool debugRootWindow) : Window(nullptr, 0, 0) {
    if (kiro::io::exists(L"sorn\\")) {
        if (!sorn::initialize()) KIRO_THROW("AppMain::AppMain", "SORN initialization failed.");
        sornStarted_ = true;
    }
    setUpFonts();
    units_ = std::make_unique<tavi::MultiUnit>(this);
    hook(units_->primaryBody());
    menu_ = std::make_unique<MainMenu>(this);
    tools_ = std::make_unique<tavi::tool::Registry>(units_->primaryBody());
    setTopmost(!menu_->isChecked(LeaveTopmost));
    units_->setMute(menu_->isChecked(Mute));
    setTitle(L"Velloq tavi");
    setTimer(TickMs, 0);
    if (debugRootWindow) {
        setStyle(kiro::ui::ws::OverlappedWindow);
        show();
    }
}

AppMain::~AppMain() {
    killTimers();
    tools_.reset();
    menu_.reset();
    units_.reset();
    if (sornStarted_) sorn::finalize();
}

void AppMain::setUpFonts() {
    std::wstring face = kiro::app::configString(L"font_name", L"");
    const int size = kiro::app::configInt(L"font_size", 15);
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
    units_->update(0.05f);
    tools_->tick();
    tavi::EventMessage event;
    if (tools_->pollOne(event)) units_->post(event);
    return 0;
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
