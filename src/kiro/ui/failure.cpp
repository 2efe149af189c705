// Keeping the exception that ended the message loop (UI thread only, as dispatch is).
#include "kiro/ui/failure.h"

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {
std::exception_ptr g_failure;
}

void failLoop(std::exception_ptr error) {
    if (!g_failure) g_failure = error;
    quitLoop();
}

void runGuarded(const std::function<void()>& task) {
    try {
        task();
    } catch (...) {
        failLoop(std::current_exception());
    }
}

std::exception_ptr takeLoopFailure() {
    std::exception_ptr taken = g_failure;
    g_failure = nullptr;
    return taken;
}

}  // namespace kiro::ui
