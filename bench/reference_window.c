/* Reference for the whole-process benchmark: the least a GTK program needs to show one
 * picture with alpha in an undecorated window at the bottom-right of the work area.
 * Usage: reference_window IMAGE [TICK_MS]. With TICK_MS it also runs an empty timer at that
 * interval, the floor of what a program driven by a periodic tick costs. Ends on SIGTERM. */
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <stdlib.h>

static GdkPixbuf* picture;

static gboolean draw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    (void)widget;
    (void)data;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    gdk_cairo_set_source_pixbuf(cr, picture, 0, 0);
    cairo_paint(cr);
    return FALSE;
}

static gboolean tick(gpointer data) {
    (void)data;
    return G_SOURCE_CONTINUE;
}

static gboolean stop(gpointer data) {
    (void)data;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    if (argc < 2 || !(picture = gdk_pixbuf_new_from_file(argv[1], NULL))) return 2;
    const int w = gdk_pixbuf_get_width(picture);
    const int h = gdk_pixbuf_get_height(picture);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_widget_set_app_paintable(window, TRUE);
    GdkScreen* screen = gtk_widget_get_screen(window);
    GdkVisual* rgba = gdk_screen_get_rgba_visual(screen);
    if (rgba) gtk_widget_set_visual(window, rgba);
    GdkRectangle area;
    gdk_monitor_get_workarea(gdk_display_get_primary_monitor(gdk_display_get_default())
                                 ? gdk_display_get_primary_monitor(gdk_display_get_default())
                                 : gdk_display_get_monitor(gdk_display_get_default(), 0),
                             &area);
    gtk_window_set_default_size(GTK_WINDOW(window), w, h);
    gtk_window_move(GTK_WINDOW(window), area.x + area.width - w, area.y + area.height - h);
    g_signal_connect(window, "draw", G_CALLBACK(draw), NULL);
    g_unix_signal_add(SIGTERM, stop, NULL);
    if (argc > 2 && atoi(argv[2]) > 0) g_timeout_add((guint)atoi(argv[2]), tick, NULL);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
