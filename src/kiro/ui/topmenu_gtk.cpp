// GTK backend of the menu bar: a GtkMenuBar packed above the window's client area; an
// activated item posts the command message to the window that holds it.
#include <gtk/gtk.h>

#include "kiro/ui/menulabel_gtk.h"
#include "kiro/ui/topmenu.h"
#include "kiro/ui/types.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"

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

}  // namespace

TopMenu::TopMenu(Window& window) : window_(&window) {
    if (GtkWidget* existing = attachedBar(gtkToplevel(window))) {
        menu_ = g_object_ref(existing);
    } else {
        menu_ = g_object_ref_sink(gtk_menu_bar_new());
    }
}

TopMenu::~TopMenu() {
    if (menu_ == nullptr) return;
    if (gtk_widget_get_parent(bar(menu_)) == nullptr) gtk_widget_destroy(bar(menu_));
    g_object_unref(menu_);
}

void TopMenu::clear() {
    if (menu_ == nullptr) return;
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
