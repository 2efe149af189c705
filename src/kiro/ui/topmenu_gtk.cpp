// GTK backend of the menu bar: a GtkMenuBar packed above the window's client area; an
// activated item posts the command message to the window that holds it.
#include <gtk/gtk.h>

#include "kiro/ui/menulabel_gtk.h"
#include "kiro/ui/topmenu.h"
#include "kiro/ui/types.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

const char* const barKey = "kiro-menu-bar";  // on the toplevel: its attached GtkMenuBar
const char* const idKey = "kiro-command-id";

GtkWidget* bar(void* menu) { return static_cast<GtkWidget*>(menu); }

GtkWidget* attachedBar(GtkWidget* toplevel) {
    return toplevel != nullptr ? static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(toplevel), barKey))
                               : nullptr;
}

void onActivate(GtkMenuItem* item, gpointer) {
    // The window is looked up when the item is chosen: TopMenu objects are often temporaries.
    Window* window = windowOfToplevel(gtk_widget_get_toplevel(GTK_WIDGET(item)));
    if (window == nullptr) return;
    const auto id = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), idKey));
    window->postMessage(wm::Command, id & 0xFFFF, 0);
}

// A menu bar acts on a release only half a second after the press that opened it (made for
// items with drop-down menus); a plain command item is chosen by an ordinary quick click.
gboolean onBarRelease(GtkWidget* widget, GdkEventButton* event, gpointer) {
    if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
    GtkMenuShell* shell = GTK_MENU_SHELL(widget);
    GtkWidget* item = gtk_menu_shell_get_selected_item(shell);
    if (item == nullptr || gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)) != nullptr) return FALSE;
    GtkAllocation area;
    gtk_widget_get_allocation(item, &area);
    int x = 0;
    int y = 0;
    gdk_window_get_device_position(gtk_widget_get_window(item), event->device, &x, &y, nullptr);
    if (x < area.x || y < area.y || x >= area.x + area.width || y >= area.y + area.height) return FALSE;
    gtk_menu_shell_activate_item(shell, item, TRUE);
    return TRUE;
}

// A bar coming or going moves the client area inside a window that stays where it is: the
// recorded client origin follows at once, so the window's position reads right before the
// window manager reports the new layout.
class KeepWindowPlace {
public:
    explicit KeepWindowPlace(Window* window)
        : native_(window != nullptr ? window->native() : nullptr), before_(native_ ? clientTop(*native_) : 0) {}
    ~KeepWindowPlace() {
        if (native_ != nullptr && native_->frame != nullptr) native_->y += clientTop(*native_) - before_;
    }

private:
    Window::Native* native_;
    int before_;
};

GtkWidget* newBar() {
    GtkWidget* widget = gtk_menu_bar_new();
    g_signal_connect(widget, "button-release-event", G_CALLBACK(onBarRelease), nullptr);
    // The window paints its own client area; the bar brings the theme's background along.
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, "menubar { background-color: @theme_bg_color; }", -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    return widget;
}

}  // namespace

TopMenu::TopMenu(Window& window) : window_(&window) {
    if (GtkWidget* existing = attachedBar(gtkToplevel(window))) {
        menu_ = g_object_ref(existing);
    } else {
        menu_ = g_object_ref_sink(newBar());
    }
}

TopMenu::~TopMenu() {
    if (menu_ == nullptr) return;
    if (gtk_widget_get_parent(bar(menu_)) == nullptr) gtk_widget_destroy(bar(menu_));
    g_object_unref(menu_);
}

void TopMenu::clear() {
    if (menu_ == nullptr) return;
    KeepWindowPlace keep(window_);
    GtkWidget* toplevel = window_ != nullptr ? gtkToplevel(*window_) : nullptr;
    if (toplevel != nullptr && attachedBar(toplevel) == bar(menu_)) {
        g_object_set_data(G_OBJECT(toplevel), barKey, nullptr);
    }
    gtk_widget_destroy(bar(menu_));
    g_object_unref(menu_);
    menu_ = nullptr;
    window_ = nullptr;
}

void TopMenu::addItem(const std::wstring& label, std::uint32_t id) {
    if (menu_ == nullptr) return;
    const std::string text = gtk::mnemonicLabel(label.substr(0, maxLabel));
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(text.c_str());
    g_object_set_data(G_OBJECT(item), idKey, GUINT_TO_POINTER(id));
    g_signal_connect(item, "activate", G_CALLBACK(onActivate), nullptr);
    gtk_menu_shell_append(GTK_MENU_SHELL(bar(menu_)), item);
    gtk_widget_show(item);
}

void TopMenu::attach() {
    if (menu_ == nullptr || window_ == nullptr) return;
    GtkWidget* toplevel = gtkToplevel(*window_);
    GtkWidget* client = gtkClientArea(*window_);
    GtkWidget* frame = client != nullptr ? gtk_widget_get_parent(client) : nullptr;
    if (toplevel == nullptr || frame == nullptr || !GTK_IS_BOX(frame)) return;

    KeepWindowPlace keep(window_);
    GtkWidget* previous = attachedBar(toplevel);
    if (previous != bar(menu_)) {
        if (previous != nullptr) gtk_widget_destroy(previous);
        if (gtk_widget_get_parent(bar(menu_)) == nullptr) {
            gtk_box_pack_start(GTK_BOX(frame), bar(menu_), FALSE, FALSE, 0);
            gtk_box_reorder_child(GTK_BOX(frame), bar(menu_), 0);
        }
        g_object_set_data(G_OBJECT(toplevel), barKey, menu_);
    }
    gtk_widget_show_all(bar(menu_));
}

}  // namespace kiro::ui
