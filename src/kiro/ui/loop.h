// The toolkit's start and its message loop, shared by the entry and every window.
#pragma once

#include <functional>

namespace kiro::ui {

// Starts the window toolkit once (later calls return the first result). On Linux this also
// makes SIGINT, SIGTERM and SIGHUP end the loop through quitLoop, so the program shuts down
// normally. False when no display can be opened.
bool initializeToolkit();
// Ends what initializeToolkit started, once every window and canvas is gone (at shut-down).
void finalizeToolkit();

// Whether the calling thread is the one that started the toolkit (the UI thread).
bool isUiThread();

// Runs until quitLoop; returns at once when quitLoop was called before.
void runLoop();

// Ends runLoop (the quit message) and every modal loop running inside it: an open context
// menu returns no item, a message box or question its dismissed answer (dismissedAnswer in
// boxflags.h). Until runLoop has returned, a menu or box opened meanwhile returns at once in
// the same way, so a shut-down (a session end, a termination signal) never waits for a user.
// Callable before runLoop starts. On Linux the loop is the toolkit's own GLib loop, so
// windows end it through this, not through gtk_main_quit.
void quitLoop();

// Whether a quit is pending: set by quitLoop, cleared when runLoop returns. Any thread may ask.
bool quitRequested();

// Runs task on the UI thread, from the message loop, after the tasks posted before it.
// Callable from any thread. Nested loops (a context menu, a message box, a window being
// dragged) run the tasks too. A task posted before the loop runs waits for it; tasks still
// waiting when the program ends are dropped without running.
void postToUiThread(std::function<void()> task);

}  // namespace kiro::ui
