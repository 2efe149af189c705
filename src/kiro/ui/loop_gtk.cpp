// The toolkit start and message loop on Linux: GTK 3 on X11, a GLib main loop, the
// termination signals routed into the loop's normal end, and tasks posted from other threads.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <utility>

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {

GMainLoop* running = nullptr;
bool quitPending = false;
std::thread::id uiThread;

gboolean runTask(gpointer data) {
    (*static_cast<std::function<void()>*>(data))();
    return G_SOURCE_REMOVE;
}

void freeTask(gpointer data) { delete static_cast<std::function<void()>*>(data); }

gboolean onSignal(gpointer) {
    quitLoop();
    return G_SOURCE_CONTINUE;
}

void watchSignals() {
    static bool watching = false;
    if (watching) return;
    watching = true;
    g_unix_signal_add(SIGINT, onSignal, nullptr);
    g_unix_signal_add(SIGTERM, onSignal, nullptr);
    g_unix_signal_add(SIGHUP, onSignal, nullptr);
}

}  // namespace

bool initializeToolkit() {
    watchSignals();
    static const bool ok = [] {
        uiThread = std::this_thread::get_id();
        // The companion positions its own windows, which Wayland does not allow.
        setenv("GDK_BACKEND", "x11", 1);
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ok;
}

// GTK keeps its display until the process ends; there is nothing to close early.
void finalizeToolkit() {}

bool isUiThread() { return std::this_thread::get_id() == uiThread; }

void runLoop() {
    watchSignals();
    if (quitPending) {
        quitPending = false;
        return;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    GMainLoop* outer = running;
    running = loop;
    g_main_loop_run(loop);
    running = outer;
    g_main_loop_unref(loop);
    quitPending = false;
}

void quitLoop() {
    if (running != nullptr) {
        g_main_loop_quit(running);
    } else {
        quitPending = true;
    }
}

// Idle sources of one priority run in the order they were added, in every loop that iterates
// the default context (menus and dialogs included); adding one wakes that context from any
// thread.
void postToUiThread(std::function<void()> task) {
    g_idle_add_full(G_PRIORITY_DEFAULT, runTask, new std::function<void()>(std::move(task)),
                    freeTask);
}

}  // namespace kiro::ui
