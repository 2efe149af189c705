// Window on GTK: styles, bars above the client area, focus, clipboard notices, file drops and
// the Alt+F4 close.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;

TEST(WindowGtk, StylesChooseTheFrame) {
    Recorder plain(nullptr, ws::Popup);
    EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(gtkToplevel(plain))));
    plain.setStyle(ws::OverlappedWindow);
    EXPECT_TRUE(gtk_window_get_decorated(GTK_WINDOW(gtkToplevel(plain))));
    plain.setStyle(ws::Popup);
    EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(gtkToplevel(plain))));
    // Owned windows stay out of the task bar, as owned windows do.
    Recorder owned(&plain, ws::Popup);
    EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(gtkToplevel(owned))));
    EXPECT_FALSE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(gtkToplevel(plain))));
    owned.setNoActivate(true);
    EXPECT_FALSE(gtk_window_get_accept_focus(GTK_WINDOW(gtkToplevel(owned))));
    owned.setNoActivate(false);
    EXPECT_TRUE(gtk_window_get_accept_focus(GTK_WINDOW(gtkToplevel(owned))));
}

TEST(WindowGtk, ABarAboveTheClientAreaShrinksItAndCountsInTheWindowSize) {
    Recorder w(nullptr, ws::Popup);
    w.moveTo(50, 600);
    w.setClientSize(200, 100);
    w.show();
    uitest::pump(150);
    GtkWidget* bar = gtk_menu_bar_new();
    gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_menu_item_new_with_label("保存して閉じる"));
    gtk_box_pack_start(GTK_BOX(gtkFrameBox(w)), bar, FALSE, FALSE, 0);
    gtk_widget_show_all(bar);
    ASSERT_TRUE(uitest::waitUntil([&] { return test::sizeOf(w).second < 100; }));
    const int barHeight = 100 - test::sizeOf(w).second;
    EXPECT_GT(barHeight, 5);
    EXPECT_TRUE(w.has("size 200x" + std::to_string(100 - barHeight)));
    // Asking for a client size makes room for the bar.
    w.setClientSize(200, 100);
    uitest::pump(200);
    EXPECT_EQ(test::sizeOf(w), test::XY(200, 100));
    Rect r{};
    w.getWindowRect(r);
    EXPECT_EQ(r.bottom - r.top, 100 + barHeight);
    EXPECT_EQ(r.top, 600);
    int gw = 0, gh = 0;
    gtk_window_get_size(GTK_WINDOW(gtkToplevel(w)), &gw, &gh);
    EXPECT_EQ(gh, 100 + barHeight);
}

TEST(WindowGtk, FocusMovesBetweenWindows) {
    Recorder a(nullptr, ws::Popup), b(nullptr, ws::Popup);
    a.moveTo(10, 10);
    b.moveTo(400, 10);
    a.show();
    b.show();
    uitest::pump(150);
    a.focus();
    ASSERT_TRUE(uitest::waitUntil([&] { return a.has("focus"); }));
    b.focus();
    ASSERT_TRUE(uitest::waitUntil([&] { return b.has("focus") && a.has("blur"); }));
}

TEST(WindowGtk, ClipboardChangesAreReportedWhileListening) {
    Recorder w;
    w.listenClipboard(true);
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "one", -1);
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("clipboard"); }));
    w.listenClipboard(false);
    w.log.clear();
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "two", -1);
    uitest::pump(200);
    EXPECT_FALSE(w.has("clipboard"));
}

TEST(WindowGtk, DroppedFilesNobodyTakesAreKept) {
    Recorder w(nullptr, ws::Popup, wsex::AcceptFiles);
    w.native()->drop = {L"/tmp/a.txt", L"/tmp/メモ.txt"};
    w.sendMessage(wm::DropFiles, 0, 0);
    EXPECT_EQ(w.log.back(), "drop 2");
    ASSERT_EQ(w.droppedFiles().size(), 2u);
    EXPECT_EQ(w.droppedFiles()[1], L"/tmp/メモ.txt");
    w.dropResult = 0;
    w.native()->drop = {L"/tmp/b.txt"};
    w.sendMessage(wm::DropFiles, 0, 0);
    EXPECT_EQ(w.droppedFiles().size(), 2u);  // taken: the queue keeps the earlier drop
}

TEST(WindowGtk, AltF4AndTheWindowManagersCloseAskTheWindow) {
    Recorder keep(nullptr, ws::Popup);
    keep.closeResult = 0;
    keep.show();
    uitest::pump(100);
    keep.sendMessage(wm::SysKeyDown, vk::F4, 0);
    EXPECT_EQ(keep.count("close"), 1);
    gtk_window_close(GTK_WINDOW(gtkToplevel(keep)));
    ASSERT_TRUE(uitest::waitUntil([&] { return keep.count("close") == 2; }));
    EXPECT_NE(keep.handle(), nullptr);
    Recorder let(nullptr, ws::Popup);
    let.show();
    uitest::pump(100);
    gtk_window_close(GTK_WINDOW(gtkToplevel(let)));
    ASSERT_TRUE(uitest::waitUntil([&] { return let.handle() == nullptr; }));
    EXPECT_EQ(let.count("destroy"), 1);
}

TEST(WindowGtk, CharactersBeyondSixteenBitsArriveAsTwoHalves) {
    Recorder w(nullptr, ws::Popup);
    w.show();
    uitest::pump(100);
    GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(gtkToplevel(w))));
    key->key.keyval = gdk_unicode_to_keyval(0x1F600);
    key->key.send_event = TRUE;
    gdk_event_set_device(key, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(key);
    gdk_event_free(key);
    EXPECT_EQ(w.count("char " + std::to_string(0xD83D)), 1);
    EXPECT_EQ(w.count("char " + std::to_string(0xDE00)), 1);
    ASSERT_GE(w.log.size(), 2u);
    EXPECT_EQ(w.log.back(), "char " + std::to_string(0xDE00));
}

}  // namespace
}  // namespace kiro::ui
