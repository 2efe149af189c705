// Window on GTK: styles and their frames, bars above the client area, clipboard notices, file
// drops, the window manager's close, and characters beyond sixteen bits.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;

class WindowGtk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
};

TEST_F(WindowGtk, StylesChooseTheFrameTheTaskBarAndFocus) {
    Recorder plain(nullptr, ws::Popup), owned(&plain, ws::Popup);
    GtkWindow* top = GTK_WINDOW(gtkToplevel(plain));
    GtkWindow* sub = GTK_WINDOW(gtkToplevel(owned));
    EXPECT_FALSE(gtk_window_get_decorated(top));
    plain.setStyle(ws::OverlappedWindow);
    EXPECT_TRUE(gtk_window_get_decorated(top));
    plain.setStyle(ws::Popup);
    EXPECT_FALSE(gtk_window_get_decorated(top));
    EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(sub) && !gtk_window_get_skip_taskbar_hint(top));  // as owned windows
    owned.setNoActivate(true);
    EXPECT_FALSE(gtk_window_get_accept_focus(sub));
    owned.setNoActivate(false);
    EXPECT_TRUE(gtk_window_get_accept_focus(sub));
    plain.moveTo(10, 10);
    owned.moveTo(400, 10);
    plain.show();
    owned.show();
    uitest::pump(150);
    plain.focus();
    ASSERT_TRUE(uitest::waitUntil([&] { return plain.has("focus"); }));
    owned.focus();
    EXPECT_TRUE(uitest::waitUntil([&] { return owned.has("focus") && plain.has("blur"); }));
}

TEST_F(WindowGtk, ABarAboveTheClientAreaShrinksItAndCountsInTheWindowSize) {
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
    w.setClientSize(200, 100);  // asking for a client size makes room for the bar
    uitest::pump(200);
    EXPECT_EQ(test::sizeOf(w), test::XY(200, 100));
    Rect r{};
    w.getWindowRect(r);
    int gw = 0, gh = 0;
    gtk_window_get_size(GTK_WINDOW(gtkToplevel(w)), &gw, &gh);
    EXPECT_EQ((std::vector<int>{r.top, r.bottom - r.top, gh}),
              (std::vector<int>{600, 100 + barHeight, 100 + barHeight}));
}

TEST_F(WindowGtk, ClipboardNoticesComeOnlyWhileListeningAndUntakenDropsAreKept) {
    Recorder w(nullptr, ws::Popup, wsex::AcceptFiles);
    w.listenClipboard(true);
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "one", -1);
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("clipboard"); }));
    w.listenClipboard(false);
    w.log.clear();
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "two", -1);
    uitest::pump(200);
    EXPECT_FALSE(w.has("clipboard"));
    w.native()->drop = {L"/tmp/a.txt", L"/tmp/メモ.txt"};
    w.sendMessage(wm::DropFiles, 0, 0);
    EXPECT_EQ(w.log.back(), "drop 2");
    w.dropResult = 0;
    w.native()->drop = {L"/tmp/b.txt"};
    w.sendMessage(wm::DropFiles, 0, 0);  // taken: the queue keeps the earlier drop only
    EXPECT_EQ(std::vector<std::wstring>(w.droppedFiles().begin(), w.droppedFiles().end()),
              (std::vector<std::wstring>{L"/tmp/a.txt", L"/tmp/メモ.txt"}));
}

TEST_F(WindowGtk, AltF4AndTheWindowManagersCloseAskTheWindow) {
    Recorder keep(nullptr, ws::Popup), let(nullptr, ws::Popup);
    keep.closeResult = 0;
    keep.show();
    let.show();
    uitest::pump(100);
    keep.sendMessage(wm::SysKeyDown, vk::F4, 0);
    EXPECT_EQ(keep.count("close"), 1);
    gtk_window_close(GTK_WINDOW(gtkToplevel(keep)));
    gtk_window_close(GTK_WINDOW(gtkToplevel(let)));
    ASSERT_TRUE(uitest::waitUntil([&] { return keep.count("close") == 2 && let.handle() == nullptr; }));
    EXPECT_NE(keep.handle(), nullptr);
    EXPECT_EQ(let.count("destroy"), 1);
}

TEST_F(WindowGtk, CharactersBeyondSixteenBitsArriveAsTwoHalves) {
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
    ASSERT_GE(w.log.size(), 2u);
    EXPECT_EQ(w.log.back(), "char " + std::to_string(0xDE00));
}

}  // namespace
}  // namespace kiro::ui
