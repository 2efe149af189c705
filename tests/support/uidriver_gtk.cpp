// The UI driver's half on Linux: GLib's main loop, input through the XTEST extension of the
// display GTK uses (typing through xdotool, which maps any character to a key), and menus,
// boxes and menu bars read from GTK's widgets.
#include "support/uidriver.h"  // before Xlib, whose macros clash with GoogleTest

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "kiro/ui/text_gtk.h"
#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace uitest {

namespace {

Display* xdisplay() {
    return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

GtkWidget* findToplevel(const std::function<bool(GtkWidget*)>& test) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l != nullptr && found == nullptr; l = l->next)
        if (gtk_widget_get_mapped(GTK_WIDGET(l->data)) && test(GTK_WIDGET(l->data))) found = GTK_WIDGET(l->data);
    g_list_free(all);
    return found;
}

GtkWidget* openBox() {
    return findToplevel([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); });
}

std::vector<GtkWidget*> childrenOf(GtkWidget* container) {
    std::vector<GtkWidget*> out;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(container));
    for (GList* l = kids; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
    g_list_free(kids);
    return out;
}

std::wstring labelOf(GtkWidget* item) {
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(item));
    return label && GTK_IS_LABEL(label) ? kiro::ui::gtk::wide(gtk_label_get_text(GTK_LABEL(label))) : L"";
}

void clickWidget(GtkWidget* widget) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    backend::clickCentre(kiro::ui::Rect{x + a.x, y + a.y, x + a.x + a.width, y + a.y + a.height});
}

std::vector<GtkWidget*> menuBarItems(kiro::ui::Window& window) {
    for (GtkWidget* w : childrenOf(gtk_widget_get_parent(kiro::ui::gtkClientArea(window))))
        if (GTK_IS_MENU_BAR(w)) return childrenOf(w);
    return {};
}

}  // namespace

bool backend::step() {
    return g_main_context_iteration(nullptr, FALSE);
}

void every(unsigned ms, std::function<bool()> action) {
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, ms, [](gpointer f) -> gboolean { return (*static_cast<std::function<bool()>*>(f))(); },
        new std::function<bool()>(std::move(action)),
        [](gpointer f) { delete static_cast<std::function<bool()>*>(f); });
}

void backend::combination(const std::vector<std::string>& held) {
    std::vector<KeyCode> codes;
    for (const std::string& k : held)
        codes.push_back(XKeysymToKeycode(xdisplay(), k == "ctrl"    ? XK_Control_L
                                                     : k == "shift" ? XK_Shift_L
                                                     : k == "alt"   ? XK_Alt_L
                                                                    : XStringToKeysym(k.c_str())));
    for (KeyCode code : codes) XTestFakeKeyEvent(xdisplay(), code, True, CurrentTime);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
        XTestFakeKeyEvent(xdisplay(), *code, False, CurrentTime);
    XSync(xdisplay(), False);
}

void moveTo(int x, int y) {
    XTestFakeMotionEvent(xdisplay(), -1, x, y, CurrentTime);
    XSync(xdisplay(), False);
}

void button(int which, bool down) {
    XTestFakeButtonEvent(xdisplay(), unsigned(which), down, CurrentTime);
    XSync(xdisplay(), False);
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

// xdotool maps each character to a spare key while it types, so the loop must keep reading
// the keyboard mapping meanwhile: it runs until xdotool is done.
void type(const std::wstring& text) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([done, command = "xdotool type --delay 60 '" + kiro::ui::gtk::utf8(text) + "'"] {
        std::system(command.c_str());
        done->store(true);
    }).detach();
    waitUntil([done] { return done->load(); }, 20000);
}

std::uint32_t screenPixel(int x, int y) {
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
    if (!shot) return 0;
    const guchar* p = gdk_pixbuf_read_pixels(shot);
    const std::uint32_t rgb = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    g_object_unref(shot);
    return rgb;
}

bool backend::menuOpen(MenuSeen* menu) {
    GdkDisplay* display = gdk_display_get_default();
    if (!gdk_display_device_is_grabbed(display, gdk_seat_get_pointer(gdk_display_get_default_seat(display))))
        return false;
    GtkWidget* w = findToplevel([](GtkWidget* t) { return GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(t))); });
    if (w == nullptr) return false;
    GdkRectangle r{};
    gdk_window_get_frame_extents(gtk_widget_get_window(w), &r);
    menu->frame = kiro::ui::Rect{r.x, r.y, r.x + r.width, r.y + r.height};
    for (GtkWidget* item : childrenOf(gtk_bin_get_child(GTK_BIN(w)))) {
        if (labelOf(item).empty()) continue;  // a separator
        menu->labels.push_back(labelOf(item));
        menu->usable.push_back(gtk_widget_get_sensitive(item));
    }
    return true;
}

bool boxOpen() {
    return openBox() != nullptr;
}

// Clicks the button once a box with it is up.
void answerBox(BoxSeen* seen, int response) {
    every(20, [seen, response] {
        GtkWidget* box = openBox();
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

void dropFiles(kiro::ui::Window& window, const std::vector<std::wstring>& paths) {
    window.native()->drop = paths;  // what a drop from a file manager leaves for the message
    window.sendMessage(kiro::ui::wm::DropFiles, 0, 0);
}

std::vector<std::wstring> menuBar(kiro::ui::Window& window) {
    std::vector<std::wstring> labels;
    for (GtkWidget* item : menuBarItems(window)) labels.push_back(labelOf(item));
    return labels;
}

void clickMenuBar(kiro::ui::Window& window, size_t item) {
    const auto items = menuBarItems(window);
    if (item < items.size()) clickWidget(items[item]);
}

}  // namespace uitest
