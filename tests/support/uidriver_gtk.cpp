// The test driver on Linux: GLib's main loop, input through the XTEST extension of the
// display GTK uses (typing through xdotool, which maps any character to a key), and menus,
// boxes and menu bars read from GTK's widgets.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "kiro/ui/loop.h"
#include "kiro/ui/text_gtk.h"
#include "kiro/ui/window_gtk.h"
#include "support/uidriver.h"

namespace uitest {

namespace {

Display* xdisplay() {
    return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

void sendKeys(Display* x, const std::string& names) {
    std::istringstream in(names);
    std::string combination;
    while (in >> combination) {  // "ctrl+shift+u": the modifiers held around the last key
        std::vector<KeyCode> held;
        for (size_t plus; (plus = combination.find('+')) != std::string::npos; combination.erase(0, plus + 1)) {
            const std::string m = combination.substr(0, plus);
            held.push_back(XKeysymToKeycode(x, m == "ctrl" ? XK_Control_L : m == "shift" ? XK_Shift_L : XK_Alt_L));
        }
        held.push_back(XKeysymToKeycode(x, XStringToKeysym(combination.c_str())));
        for (KeyCode code : held) XTestFakeKeyEvent(x, code, True, CurrentTime);
        for (auto code = held.rbegin(); code != held.rend(); ++code) XTestFakeKeyEvent(x, *code, False, CurrentTime);
        XSync(x, False);
    }
}

GtkWidget* findToplevel(const std::function<bool(GtkWidget*)>& test) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l != nullptr && found == nullptr; l = l->next)
        if (gtk_widget_get_mapped(GTK_WIDGET(l->data)) && test(GTK_WIDGET(l->data))) found = GTK_WIDGET(l->data);
    g_list_free(all);
    return found;
}

std::vector<GtkWidget*> childrenOf(GtkWidget* container) {
    std::vector<GtkWidget*> out;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(container));
    for (GList* l = kids; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
    g_list_free(kids);
    return out;
}

void clickWidget(GtkWidget* widget) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    moveTo(x + a.x + a.width / 2, y + a.y + a.height / 2);
    click(1);
}

GtkWidget* menuBarOf(kiro::ui::Window& window) {
    for (GtkWidget* w : childrenOf(gtk_widget_get_parent(kiro::ui::gtkClientArea(window))))
        if (GTK_IS_MENU_BAR(w)) return w;
    return nullptr;
}

}  // namespace

bool start() {
    return kiro::ui::initializeToolkit();
}

void pump(int ms) {
    waitUntil([] { return false; }, ms);
}

bool waitUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return true;
}

void every(unsigned ms, std::function<bool()> action) {
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, ms,
        [](gpointer f) -> gboolean {
            return (*static_cast<std::function<bool()>*>(f))() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
        },
        new std::function<bool()>(std::move(action)),
        [](gpointer f) { delete static_cast<std::function<bool()>*>(f); });
}

void moveTo(int x, int y) {
    XTestFakeMotionEvent(xdisplay(), -1, x, y, CurrentTime);
    XSync(xdisplay(), False);
}

void press(int button) {
    XTestFakeButtonEvent(xdisplay(), unsigned(button), True, CurrentTime);
    XSync(xdisplay(), False);
}

void release(int button) {
    XTestFakeButtonEvent(xdisplay(), unsigned(button), False, CurrentTime);
    XSync(xdisplay(), False);
}

void click(int button, int count) {
    for (int i = 0; i < count; ++i) {
        press(button);
        release(button);
    }
}

void wheel(int notches) {
    for (int i = 0; i < std::abs(notches); ++i) click(notches > 0 ? 4 : 5);
}

void focus(kiro::ui::Window& window) {
    const ::Window xid = GDK_WINDOW_XID(gtk_widget_get_window(kiro::ui::gtkToplevel(window)));
    XRaiseWindow(xdisplay(), xid);
    XSetInputFocus(xdisplay(), xid, RevertToParent, CurrentTime);
    XSync(xdisplay(), False);
}

void keys(const std::string& names) {
    sendKeys(xdisplay(), names);
}

// xdotool maps each character to a spare key while it types, so the loop must keep reading
// the keyboard mapping meanwhile: it runs until xdotool is done.
void type(const std::wstring& text) {
    const std::string utf8 = kiro::ui::gtk::utf8(text);
    gchar* argv[] = {const_cast<gchar*>("xdotool"), const_cast<gchar*>("type"),       const_cast<gchar*>("--delay"),
                     const_cast<gchar*>("60"),      const_cast<gchar*>(utf8.c_str()), nullptr};
    GPid pid = 0;
    if (!g_spawn_async(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
                       nullptr, &pid, nullptr))
        return;
    auto* done = new bool(false);  // outlives a wait that gives up
    g_child_watch_add(
        pid, [](GPid p, gint, gpointer d) { *static_cast<bool*>(d) = true, g_spawn_close_pid(p); }, done);
    if (waitUntil([done] { return *done; }, 20000)) delete done;
}

void whenMenuOpen(std::function<void(const MenuSeen&)> action) {
    every(20, [action = std::move(action)] {
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
        GtkWidget* w = nullptr;
        if (gdk_display_device_is_grabbed(gdk_display_get_default(), pointer))
            w = findToplevel([](GtkWidget* t) { return GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(t))); });
        if (w == nullptr) return true;
        MenuSeen menu;
        GdkRectangle r{};
        gdk_window_get_frame_extents(gtk_widget_get_window(w), &r);
        menu.frame = kiro::ui::Rect{r.x, r.y, r.x + r.width, r.y + r.height};
        for (GtkWidget* item : childrenOf(gtk_bin_get_child(GTK_BIN(w)))) {
            GtkWidget* label = gtk_bin_get_child(GTK_BIN(item));
            if (label == nullptr || !GTK_IS_LABEL(label)) continue;
            menu.labels.push_back(kiro::ui::gtk::wide(gtk_label_get_text(GTK_LABEL(label))));
            menu.usable.push_back(gtk_widget_get_sensitive(item));
        }
        action(menu);
        return false;
    });
}

bool boxOpen() {
    return findToplevel([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); }) != nullptr;
}

void answerBox(BoxSeen* seen, int response) {
    every(20, [seen, response] {
        GtkWidget* box = findToplevel([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); });
        if (box == nullptr || !gdk_window_is_viewable(gtk_widget_get_window(box))) return true;
        GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), response);
        if (button == nullptr) return true;
        seen->seen = true;
        seen->caption = kiro::ui::gtk::wide(gtk_window_get_title(GTK_WINDOW(box)));
        gchar* text = nullptr;
        g_object_get(box, "text", &text, nullptr);
        seen->text = kiro::ui::gtk::wide(text);
        g_free(text);
        clickWidget(button);
        return false;
    });
}

std::vector<std::wstring> menuBar(kiro::ui::Window& window) {
    std::vector<std::wstring> labels;
    if (GtkWidget* bar = menuBarOf(window))
        for (GtkWidget* item : childrenOf(bar))
            labels.push_back(kiro::ui::gtk::wide(gtk_label_get_text(GTK_LABEL(gtk_bin_get_child(GTK_BIN(item))))));
    return labels;
}

void clickMenuBar(kiro::ui::Window& window, size_t item) {
    if (GtkWidget* bar = menuBarOf(window)) {
        const auto items = childrenOf(bar);
        if (item < items.size()) clickWidget(items[item]);
    }
}

struct Rescue::State {
    std::atomic<bool> done{false};
    std::atomic<bool> fired{false};
    std::thread thread;
};

Rescue::Rescue(int ms) : state_(new State) {
    state_->thread = std::thread([s = state_, ms] {
        for (int t = 0; t < ms && !s->done; t += 20) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (s->done) return;
        s->fired = true;
        if (Display* own = XOpenDisplay(nullptr)) {  // Xlib connections are not shared between threads
            sendKeys(own, "Escape");
            XCloseDisplay(own);
        }
    });
}

Rescue::~Rescue() {
    state_->done = true;
    state_->thread.join();
    delete state_;
}

bool Rescue::fired() const {
    return state_->fired;
}

}  // namespace uitest
