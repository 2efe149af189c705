// Cursors from files, and the cursor a window picks when asked.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>

#include "kiro/ui/cursor.h"
#include "kiro/ui/window_gtk.h"
#include "pump.h"
#include "recorder.h"

namespace kiro::ui {
namespace {

using test::pump;
using test::xdotool;

std::wstring dataPath(const std::string& name) {
    const char* dir = std::getenv("TAVI_TEST_DATA");
    const std::string path = std::string(dir ? dir : "tests/data") + "/" + name;
    return std::wstring(path.begin(), path.end());
}

TEST(CursorGtk, CursorFilesLoadAndBadOnesGiveNone) {
    auto cursor = Cursor::fromFile(dataPath("ui/dot.cur"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdkCursor(*cursor)), GDK_CURSOR_IS_PIXMAP);
    // Folders may be separated by backslashes.
    std::wstring windowsStyle = dataPath("ui\\dot.cur");
    EXPECT_NE(Cursor::fromFile(windowsStyle), nullptr);
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
    pump(150);
    xdotool("mousemove 10 10");
    xdotool("mousemove 350 650");
    EXPECT_EQ(w.lastCursorMessage, wm::MouseMove);
    GdkWindow* client = gtk_widget_get_window(gtkClientArea(w));
    EXPECT_EQ(gdk_window_get_cursor(client), gdkCursor(*w.chosen));
    // Not answering leaves the ordinary arrow.
    w.answer = false;
    xdotool("mousemove 351 651");
    EXPECT_EQ(gdk_window_get_cursor(client), nullptr);
    // No cursor at all: an invisible one.
    w.answer = true;
    w.chosen = nullptr;
    xdotool("mousedown 1");
    xdotool("mouseup 1");
    EXPECT_EQ(w.lastCursorMessage, wm::LButtonUp);
    ASSERT_NE(gdk_window_get_cursor(client), nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdk_window_get_cursor(client)), GDK_BLANK_CURSOR);
}

}  // namespace
}  // namespace kiro::ui
