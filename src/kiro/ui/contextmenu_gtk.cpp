// GTK backend of the context menu: builds a GtkMenu from the item tree, pops it up at the
// pointer and runs a nested main loop until it closes, so timers keep firing meanwhile.
#include <gtk/gtk.h>

#include "kiro/ui/contextmenu.h"
#include "kiro/ui/loop_gtk.h"
#include "kiro/ui/menulabel_gtk.h"

namespace kiro::ui {

namespace {

struct PopupState {
    GMainLoop* loop = nullptr;
    uint32_t chosen = 0;
};

const char* const numberKey = "kiro-command-number";

void onActivate(GtkMenuItem* widget, gpointer data) {
    auto* state = static_cast<PopupState*>(data);
    state->chosen = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(widget), numberKey));
}

gboolean quitLoop(gpointer data) {
    g_main_loop_quit(static_cast<GMainLoop*>(data));
    return G_SOURCE_REMOVE;
}

void onDeactivate(GtkMenuShell*, gpointer data) {
    // The chosen item is activated right after the menu deactivates, in the same event;
    // leaving the loop from an idle callback lets that happen first.
    auto* state = static_cast<PopupState*>(data);
    g_idle_add_full(G_PRIORITY_DEFAULT, quitLoop, g_main_loop_ref(state->loop),
                    reinterpret_cast<GDestroyNotify>(g_main_loop_unref));
}

class GtkMenuBuilder : public ContextMenu::Builder {
public:
    GtkMenuBuilder(GtkWidget* menu, PopupState* state) : state_(state) { shells_.push_back(menu); }

    void beginSubmenu(const ContextMenu::Item& item) override {
        GtkWidget* entry = makeEntry(item);
        GtkWidget* sub = gtk_menu_new();
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(entry), sub);
        append(entry);
        shells_.push_back(sub);
    }

    void endSubmenu() override { shells_.pop_back(); }

    void separator() override { append(gtk_separator_menu_item_new()); }

    void entry(const ContextMenu::Item& item, uint32_t number) override {
        GtkWidget* entry = makeEntry(item);
        if (number == 0) {
            gtk_widget_set_sensitive(entry, FALSE);
        } else {
            g_object_set_data(G_OBJECT(entry), numberKey, GUINT_TO_POINTER(number));
            g_signal_connect(entry, "activate", G_CALLBACK(onActivate), state_);
        }
        append(entry);
    }

private:
    static GtkWidget* makeEntry(const ContextMenu::Item& item) {
        std::wstring label = item.label.substr(0, ContextMenu::maxLabel);
        const std::string text = gtk::mnemonicLabel(label);
        GtkWidget* entry;
        if (item.checked || item.toggles) {
            entry = gtk_check_menu_item_new_with_mnemonic(text.c_str());
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(entry), item.checked);
        } else {
            entry = gtk_menu_item_new_with_mnemonic(text.c_str());
        }
        if (item.disabled) gtk_widget_set_sensitive(entry, FALSE);
        return entry;
    }

    void append(GtkWidget* entry) { gtk_menu_shell_append(GTK_MENU_SHELL(shells_.back()), entry); }

    std::vector<GtkWidget*> shells_;
    PopupState* state_;
};

}  // namespace

uint32_t ContextMenu::popup(std::vector<Item>& items, std::vector<Item*>& commands, Window*) {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) return 0;

    PopupState state;
    GtkWidget* menu = gtk_menu_new();
    g_object_ref_sink(menu);
    GtkMenuBuilder builder(menu, &state);
    build(items, builder, commands);
    gtk_widget_show_all(menu);

    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    GdkScreen* screen = nullptr;
    int x = 0;
    int y = 0;
    gdk_device_get_position(pointer, &screen, &x, &y);
    GdkRectangle area{0, 0, 0, 0};
    gdk_monitor_get_workarea(gdk_display_get_monitor_at_point(display, x, y), &area);
    const Alignment align =
        alignmentAt(x, y, area.x, area.y, area.x + area.width, area.y + area.height);

    // A corner of the menu touches the pointer; the menu grows away from it, leftwards in
    // the right half and upwards in the lower half.
    GdkGravity menuAnchor;
    GdkGravity rectAnchor;
    if (align.right) {
        menuAnchor = align.bottom ? GDK_GRAVITY_SOUTH_EAST : GDK_GRAVITY_NORTH_EAST;
        rectAnchor = align.bottom ? GDK_GRAVITY_NORTH_WEST : GDK_GRAVITY_SOUTH_WEST;
    } else {
        menuAnchor = align.bottom ? GDK_GRAVITY_SOUTH_WEST : GDK_GRAVITY_NORTH_WEST;
        rectAnchor = align.bottom ? GDK_GRAVITY_NORTH_EAST : GDK_GRAVITY_SOUTH_EAST;
    }
    g_object_set(menu, "anchor-hints",
                 GDK_ANCHOR_FLIP | GDK_ANCHOR_SLIDE | GDK_ANCHOR_RESIZE, "menu-type-hint",
                 GDK_WINDOW_TYPE_HINT_POPUP_MENU, nullptr);
    GdkRectangle at{x, y, 1, 1};

    GdkWindow* root = gdk_screen_get_root_window(screen);
    // Inside an event handler (a button release) GTK takes the current event as the trigger;
    // from a timer there is none, and a press on the root window stands in for it.
    GdkEvent* trigger = gtk_get_current_event();
    if (trigger == nullptr) {
        trigger = gdk_event_new(GDK_BUTTON_PRESS);
        trigger->button.window = GDK_WINDOW(g_object_ref(root));
        trigger->button.send_event = TRUE;
        trigger->button.time = GDK_CURRENT_TIME;
        trigger->button.button = GDK_BUTTON_SECONDARY;
        trigger->button.x_root = x;
        trigger->button.y_root = y;
        gdk_event_set_device(trigger, pointer);
    }

    state.loop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect(menu, "deactivate", G_CALLBACK(onDeactivate), &state);
    gtk_menu_popup_at_rect(GTK_MENU(menu), root, &at, rectAnchor, menuAnchor, trigger);
    gdk_event_free(trigger);
    // A menu that could not take the pointer and keyboard is not shown; nothing to wait for.
    // The program's quit closes the menu without a choice.
    if (gtk_widget_get_visible(gtk_widget_get_toplevel(menu)) && !runModalLoop(state.loop)) state.chosen = 0;

    g_signal_handlers_disconnect_by_data(menu, &state);
    gtk_widget_destroy(menu);
    g_object_unref(menu);
    g_main_loop_unref(state.loop);
    return state.chosen;
}

}  // namespace kiro::ui
