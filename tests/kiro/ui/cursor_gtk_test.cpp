// Cursors from files, and the cursor a window picks when asked.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/window_gtk.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

std::wstring dataPath(const std::string& name) {
    return kiro::io::fromUtf8(tavi::test::dataPath(name));
}

TEST(CursorGtk, CursorFilesLoadAndBadOnesGiveNone) {
    auto cursor = Cursor::fromFile(dataPath("ui/dot.cur"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdkCursor(*cursor)), GDK_CURSOR_IS_PIXMAP);
    // Folders may be separated by backslashes.
    EXPECT_NE(Cursor::fromFile(dataPath("ui\\dot.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(dataPath("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(dataPath("ui/small.jpg.missing")), nullptr);
    EXPECT_EQ(Cursor::fromFile(dataPath("ui")), nullptr);  // a folder
}

struct Picky : test::Recorder {
    Picky() : Recorder(nullptr, ws::Popup) {}
    const Cursor* chosen = nullptr;
    bool answer = true;
    LResult onSetCursor(std::uint32_t mouseMsg) override {
        lastCursorMessage = mouseMsg;
        if (!answer) return NotHandled;
        setCursor(chosen);
        return 0;
    }
};

TEST(CursorGtk, TheWindowUnderThePointerShowsTheCursorItChose) {
    Picky w;
    w.chosen = &Cursor::hand();
    w.moveTo(300, 600);
    w.setClientSize(100, 100);
    w.show();
    uitest::pump(150);
    uitest::moveTo(10, 10);
    uitest::moveTo(350, 650);
    uitest::pump(60);
    EXPECT_EQ(w.lastCursorMessage, wm::MouseMove);
    GdkWindow* client = gtk_widget_get_window(gtkClientArea(w));
    EXPECT_EQ(gdk_window_get_cursor(client), gdkCursor(*w.chosen));
    // Not answering leaves the ordinary arrow.
    w.answer = false;
    uitest::moveTo(351, 651);
    uitest::pump(60);
    EXPECT_EQ(gdk_window_get_cursor(client), nullptr);
    // No cursor at all: an invisible one.
    w.answer = true;
    w.chosen = nullptr;
    uitest::click(1);
    uitest::pump(60);
    EXPECT_EQ(w.lastCursorMessage, wm::LButtonUp);
    ASSERT_NE(gdk_window_get_cursor(client), nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdk_window_get_cursor(client)), GDK_BLANK_CURSOR);
}

}  // namespace
}  // namespace kiro::ui
