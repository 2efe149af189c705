// The end of the user's session (log-off, shut-down; SIGTERM or SIGHUP on Linux) ends the
// program the normal way, so its settings and notes are saved.
#pragma once

#include <functional>

namespace kiro::ui {

// `finish` is the program's normal exit (its windows destroyed, its settings and notes
// saved). On Linux the end of the session ends the message loop, and the entry's own exit
// after the loop runs; `finish` is not needed there. On Windows the process is ended as soon
// as its windows have answered the end of the session, before a nested loop (a menu, a box)
// could unwind: there the toolkit answers the open message boxes, runs `finish` itself while
// answering, and ends the process with exit code 0. Set on the UI thread before the loop
// runs; an empty function (once the program's own exit is under way) leaves the session's end
// to the system.
void setSessionEndExit(std::function<void()> finish);

}  // namespace kiro::ui
