// Program entry: start-up, the main window, the message loop and shut-down, with the exit
// codes and the error box of a failed start.
#include <exception>
#include <memory>

#include "appmain.h"
#include "kiro/app.h"
#include "kiro/exception.h"
#include "kiro/ui/msgbox.h"
#include "kiro/ui/session.h"

namespace {

constexpr wchar_t kMutexName[] = L"5f2e9a61-7c3d-4b8e-a0f4-2d91c6e7b358";

void showStartupError(const char* text) {
    kiro::ui::messageBoxNarrow(text, "Oops! exception now :(", kiro::ui::MbOk | kiro::ui::MbIconError);
}

}  // namespace

int main() {
    if (!kiro::app::initialize(nullptr, kMutexName)) return -1;

    std::unique_ptr<AppMain> window;
    try {
        const bool debugRootWindow = kiro::app::configBool(L"debug_root_window", false);
        window = std::make_unique<AppMain>(debugRootWindow);
    } catch (const kiro::Exception& e) {
        showStartupError(e.what());
        kiro::app::writeErrorLog(e);
        return -1;
    } catch (const std::exception& e) {
        showStartupError(e.what());
        return -1;
    }

    // The normal exit: the main window goes (its menu's marks and the notes are stored), then
    // the settings file is written. The end of the session runs it too.
    const auto exitNormally = [&window] {
        window.reset();
        kiro::app::finalize();
    };
    kiro::ui::setSessionEndExit(exitNormally);
    kiro::app::run();
    kiro::ui::setSessionEndExit(nullptr);  // the exit below is under way: not a second time

    const bool exitNotify = kiro::app::configBool(L"debug_exit_notify", false);
    exitNormally();
    if (exitNotify) {
        kiro::ui::messageBox(L"\u6B63\u5E38\u306B\u7D42\u4E86\u3057\u307E\u3057\u305F\u3002", L"debug",
                             kiro::ui::MbOk | kiro::ui::MbIconInformation);
    }
    return 0;
}
