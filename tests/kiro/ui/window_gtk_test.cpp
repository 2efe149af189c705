// Window on GTK: styles and their frames, clipboard notices, file drops, the window manager's
// close, and characters beyond sixteen bits.
#include <gtk/gtk.h>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::Recorder;
using WindowGtk = uitest::Ui;

TEST_F(WindowGtk, StylesChooseTheFrameTheTaskBarAndFocus) {
    Recorder plain(nullptr, ws::Popup), owned(&plain, ws::Popup);
    GtkWindow* top = GTK_WINDOW(gtkToplevel(plain));
    GtkWindow* sub = GTK_WINDOW(gtkToplevel(owned));
    std::vector<int> seen{gtk_window_get_decorated(top)};
    plain.setStyle(ws::OverlappedWindow);
    seen.push_back(gtk_window_get_decorated(top));
    plain.setStyle(ws::Popup);
    seen.push_back(gtk_window_get_decorated(top));
    seen.push_back(gtk_window_get_skip_taskbar_hint(top));
    seen.push_back(gtk_window_get_skip_taskbar_hint(sub));  // as owned windows are
    owned.setNoActivate(true);
    seen.push_back(gtk_window_get_accept_focus(sub));
    owned.setNoActivate(false);
    seen.push_back(gtk_window_get_accept_focus(sub));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 0, 0, 1, 0, 1}));
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
    EXPECT_EQ(w.droppedFiles(), (std::deque<std::wstring>{L"/tmp/a.txt", L"/tmp/メモ.txt"}));
}

TEST_F(WindowGtk, AltF4AndTheWindowManagersCloseAskTheWindowAndWideCharactersComeInHalves) {
    Recorder keep(nullptr, ws::Popup), let(nullptr, ws::Popup);
    keep.closeResult = 0;
    keep.show();
    let.show();
    uitest::pump(100);
    GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(gtkToplevel(keep))));
    key->key.keyval = gdk_unicode_to_keyval(0x1F600);
    key->key.send_event = TRUE;
    gdk_event_set_device(key, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(key);
    gdk_event_free(key);
    ASSERT_GE(keep.log.size(), 2u);
    EXPECT_EQ(*(keep.log.end() - 2) + "|" + keep.log.back(), "char 55357|char 56832");  // D83D, DE00
    keep.sendMessage(wm::SysKeyDown, vk::F4, 0);
    EXPECT_EQ(keep.count("close"), 1);
    gtk_window_close(GTK_WINDOW(gtkToplevel(keep)));
    gtk_window_close(GTK_WINDOW(gtkToplevel(let)));
    ASSERT_TRUE(uitest::waitUntil([&] { return keep.count("close") == 2 && let.handle() == nullptr; }));
    EXPECT_NE(keep.handle(), nullptr);
    EXPECT_EQ(let.count("destroy"), 1);
}

}  // namespace kiro::ui
