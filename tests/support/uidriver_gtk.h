// Test support for GUI tests on X11: GTK start, timers, waiting on the main loop and
// synthetic input through xdotool (header only: only the UI test binary includes it).
#pragma once

#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kiro/ui/loop.h"

namespace uitest {

inline bool startGtk() { return kiro::ui::initializeToolkit(); }

// Runs action every `ms` milliseconds on the main loop until it returns false.
inline void every(unsigned ms, std::function<bool()> action) {
    auto* heap = new std::function<bool()>(std::move(action));
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, ms,
        [](gpointer data) -> gboolean {
            return (*static_cast<std::function<bool()>*>(data))() ? G_SOURCE_CONTINUE
                                                                  : G_SOURCE_REMOVE;
        },
        heap, [](gpointer data) { delete static_cast<std::function<bool()>*>(data); });
}

// Turns the main loop until done() holds or the time runs out; returns done().
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && std::chrono::steady_clock::now() < end) {
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return done();
}

// Lets pending events and redraws through.
inline void settle(int ms = 50) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
}

// Runs xdotool with the given arguments without waiting for it.
inline void xdotool(const std::vector<std::string>& args) {
    std::vector<gchar*> argv;
    argv.push_back(const_cast<gchar*>("xdotool"));
    for (const auto& a : args) argv.push_back(const_cast<gchar*>(a.c_str()));
    argv.push_back(nullptr);
    g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                  nullptr);
}

// Runs xdotool and waits for it to finish (off the main loop; nothing may need to answer it).
inline void xdotoolSync(const std::vector<std::string>& args) {
    std::string cmd = "xdotool";
    for (const auto& a : args) cmd += " '" + a + "'";
    if (std::system(cmd.c_str()) != 0) g_printerr("xdotool failed: %s\n", cmd.c_str());
}

inline void warpPointer(int x, int y) {
    GdkDisplay* display = gdk_display_get_default();
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    gdk_device_warp(pointer, gdk_display_get_default_screen(display), x, y);
    gdk_display_sync(display);
}

// Mapped top-level windows of the process whose child passes the test.
inline GtkWidget* findToplevel(const std::function<bool(GtkWidget*)>& test) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l != nullptr && found == nullptr; l = l->next) {
        GtkWidget* w = GTK_WIDGET(l->data);
        if (gtk_widget_get_mapped(w) && test(w)) found = w;
    }
    g_list_free(all);
    return found;
}

// The mapped popup window holding a menu, with the pointer grabbed; null while none is.
inline GtkWidget* openMenuWindow() {
    GdkDisplay* display = gdk_display_get_default();
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    if (!gdk_display_device_is_grabbed(display, pointer)) return nullptr;
    return findToplevel([](GtkWidget* w) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
        return child != nullptr && GTK_IS_MENU(child);
    });
}

// Once a menu is open (checked from a timer, so this works from inside a nested loop),
// runs action(menuWindow).
inline void whenMenuOpen(std::function<void(GtkWidget*)> action) {
    every(20, [action = std::move(action)]() {
        GtkWidget* w = openMenuWindow();
        if (w == nullptr) return true;
        action(w);
        return false;
    });
}

// Sends Escape from another thread if `done` is still false after the timeout, so that a
// test whose main loop stalls inside a modal loop fails instead of hanging.
class Rescue {
public:
    explicit Rescue(int timeoutMs = 15000)
        : thread_([this, timeoutMs] {
              for (int t = 0; t < timeoutMs && !done_; t += 50) g_usleep(50000);
              if (!done_) {
                  fired_ = true;
                  xdotoolSync({"key", "Escape"});
              }
          }) {}
    ~Rescue() {
        done_ = true;
        thread_.join();
    }
    bool fired() const { return fired_; }

private:
    std::atomic<bool> done_{false};
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

}  // namespace uitest

namespace uitest {

// The open message box, or null.
inline GtkWidget* openMessageBox() {
    return findToplevel([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); });
}

struct BoxSeen {
    bool seen = false;
    std::string caption;
    std::string text;
};

// Once a message box is open, records its caption and text and clicks the button that gives
// `response` with the pointer (through the X server, as a user would).
inline void answerBox(BoxSeen* seen, int response) {
    every(20, [seen, response]() {
        GtkWidget* box = openMessageBox();
        if (box == nullptr) return true;
        GdkWindow* gdkWindow = gtk_widget_get_window(box);
        if (gdkWindow == nullptr || !gdk_window_is_viewable(gdkWindow)) return true;
        seen->seen = true;
        seen->caption = gtk_window_get_title(GTK_WINDOW(box)) ? gtk_window_get_title(GTK_WINDOW(box)) : "";
        gchar* text = nullptr;
        g_object_get(box, "text", &text, nullptr);
        seen->text = text != nullptr ? text : "";
        g_free(text);

        GtkWidget* target = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), response);
        if (target == nullptr) return true;
        GtkAllocation a;
        gtk_widget_get_allocation(target, &a);
        int x = 0;
        int y = 0;
        gdk_window_get_origin(gtk_widget_get_window(target), &x, &y);
        x += a.x + a.width / 2;
        y += a.y + a.height / 2;
        xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"});
        return false;
    });
}

}  // namespace uitest
