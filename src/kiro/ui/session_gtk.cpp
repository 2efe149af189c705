// The end of the session on Linux: the termination signals end the message loop (loop_gtk.cpp),
// after which the entry runs its normal exit; nothing has to run inside the signal's handling.
#include "kiro/ui/session.h"

namespace kiro::ui {

void setSessionEndExit(std::function<void()>) {}

}  // namespace kiro::ui
