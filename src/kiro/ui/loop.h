// The toolkit's start and its message loop, shared by the entry and every window.
#pragma once

#include <functional>

namespace kiro::ui {

// Starts the window toolkit once (later calls return the first result). On Linux this also
// makes SIGINT, SIGTERM and SIGHUP end the loop through quitLoop, so the program shuts down
// normally. False when no display can be opened.
bool initializeToolkit();

// Whether the calling thread is the one that started the toolkit (the UI thread).
bool isUiThread();

// Runs until quitLoop; returns at once when quitLoop was called before.
void runLoop();
// Ends runLoop (the quit message); callable before runLoop starts. On Linux the loop is the
// toolkit's own GLib loop, so windows end it through this, not through gtk_main_quit.
void quitLoop();

// The program's normal exit (its windows destroyed, its settings and notes saved), for the end
// of the session: log-off or shut-down, and SIGTERM or SIGHUP on Linux. On Linux the session's
// end closes what is open and ends the loop, and the entry's own exit after the loop runs. On
// Windows the process is ended as soon as its windows have answered the end of the session,
// before a nested loop could unwind: there the toolkit answers open message boxes, runs
// `finish` itself while answering, and ends the process with exit code 0. Set once, on the UI
// thread, before the loop runs.
void setSessionEndExit(std::function<void()> finish);

}  // namespace kiro::ui
