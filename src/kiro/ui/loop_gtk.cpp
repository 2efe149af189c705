// The toolkit start and message loop on Linux: GTK 3 on X11, a GLib main loop, the modal loops
// of menus and boxes nested in it, the termination signals routed into the loop's normal end
// (which closes the modal loops first), and tasks posted from other threads.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "kiro/ui/loop.h"
#include "kiro/ui/loop_gtk.h"

namespace kiro::ui {

namespace {

GMainLoop* running = nullptr;
bool quitPending = false;  // quitLoop came before runLoop
std::atomic<bool> quitting{false};  // quitLoop came and runLoop has not returned yet
std::vector<GMainLoop*> modalLoops;
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
        quitting = false;
        return;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    GMainLoop* outer = running;
    running = loop;
    g_main_loop_run(loop);
    running = outer;
    g_main_loop_unref(loop);
    quitPending = false;
    quitting = false;
}

void quitLoop() {
    quitting = true;
    for (GMainLoop* modal : modalLoops) g_main_loop_quit(modal);
    if (running != nullptr) {
        g_main_loop_quit(running);
    } else {
        quitPending = true;
    }
}

bool quitRequested() { return quitting; }

bool runModalLoop(GMainLoop* loop) {
    if (quitting) return false;
    modalLoops.push_back(loop);
    g_main_loop_run(loop);
    modalLoops.erase(std::find(modalLoops.begin(), modalLoops.end(), loop));
    return !quitting;
}

// Idle sources of one priority run in the order they were added, in every loop that iterates
// the default context (menus and dialogs included); adding one wakes that context from any
// thread.
void postToUiThread(std::function<void()> task) {
    g_idle_add_full(G_PRIORITY_DEFAULT, runTask, new std::function<void()>(std::move(task)),
                    freeTask);
}

}  // namespace kiro::ui
