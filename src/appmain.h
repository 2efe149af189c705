// The program's root window: hidden, it owns the characters, the tools and the context menu,
// and drives them all from one 50 ms tick that sleeps while nothing moves.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "kiro/ui/window.h"
#include "tavi/pacer.h"

namespace tavi {
class MultiUnit;
namespace tool {
class Registry;
}
}  // namespace tavi

class MainMenu;

class AppMain : public kiro::ui::Window {
public:
    // Menu identifiers.
    enum : std::uint32_t { Exit = 1, Version = 2, LeaveTopmost = 3, Mute = 4, ToolCommand = 6 };

    // Throws kiro::Exception when the language module is present but does not start.
    explicit AppMain(bool debugRootWindow);
    ~AppMain() override;

    kiro::ui::LResult onClose() override;
    kiro::ui::LResult onTimer() override;
    kiro::ui::LResult onHookedMessage(kiro::ui::Window& source, std::uint32_t msg,
                                      kiro::ui::WParam wParam, kiro::ui::LParam lParam) override;

    tavi::MultiUnit& units() const { return *units_; }
    MainMenu& menu() const { return *menu_; }
    tavi::tool::Registry& tools() const { return *tools_; }

    // Carries out what the menu item with this identifier stands for.
    void perform(std::uint32_t id, const std::wstring& command);

    // Ticks until the characters or the tools next need a tick; tavi::NeverDue for none.
    std::uint32_t ticksUntilDue() const;

private:
    struct WakeState;

    void setUpFonts();
    // Something was queued by another thread: the next tick runs now.
    void onWake();
    // Runs ticks: those slept through move only the characters' counts; the last is whole.
    void tick(std::uint32_t ticks);
    void applyTimer();

    std::unique_ptr<tavi::MultiUnit> units_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<tavi::tool::Registry> tools_;
    bool sornStarted_ = false;
    tavi::Pacer pacer_;
    std::shared_ptr<WakeState> wake_;
    std::function<void()> wakeCall_;  // safe from any thread
};
