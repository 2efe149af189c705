// Cursors from files, and the cursor a window picks when asked.
#include <gtk/gtk.h>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/window_gtk.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using CursorGtk = uitest::Ui;

TEST_F(CursorGtk, FilesLoadBadOnesGiveNoneAndTheWindowUnderThePointerShowsItsChoice) {
    auto path = [](const char* name) { return kiro::io::fromUtf8(tavi::test::dataPath(name)); };
    auto cursor = Cursor::fromFile(path("ui/dot.cur"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdkCursor(*cursor)), GDK_CURSOR_IS_PIXMAP);
    EXPECT_NE(Cursor::fromFile(path("ui\\dot.cur")), nullptr);  // folders may be separated by backslashes
    EXPECT_EQ(Cursor::fromFile(path("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(path("ui")), nullptr);  // a folder
    test::Recorder w(nullptr, ws::Popup);
    const Cursor* chosen = &Cursor::hand();
    bool answer = true;
    w.message = [&](std::uint32_t msg, WParam, LParam l) -> LResult {
        if (msg != wm::SetCursor) return NotHandled;
        w.lastCursorMessage = hiWord(l);
        if (!answer) return NotHandled;
        setCursor(chosen);
        return 0;
    };
    w.moveTo(300, 600);
    w.setClientSize(100, 100);
    w.show();
    uitest::pump(150);
    uitest::moveTo(10, 10);
    uitest::moveTo(350, 650);
    uitest::pump(60);
    EXPECT_EQ(w.lastCursorMessage, wm::MouseMove);
    GdkWindow* client = gtk_widget_get_window(gtkClientArea(w));
    EXPECT_EQ(gdk_window_get_cursor(client), gdkCursor(*chosen));
    answer = false;  // not answering leaves the ordinary arrow
    uitest::moveTo(351, 651);
    uitest::pump(60);
    EXPECT_EQ(gdk_window_get_cursor(client), nullptr);
    answer = true;  // no cursor at all: an invisible one
    chosen = nullptr;
    uitest::click(1);
    uitest::pump(60);
    EXPECT_EQ(w.lastCursorMessage, wm::LButtonUp);
    ASSERT_NE(gdk_window_get_cursor(client), nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdk_window_get_cursor(client)), GDK_BLANK_CURSOR);
}

}  // namespace kiro::ui
