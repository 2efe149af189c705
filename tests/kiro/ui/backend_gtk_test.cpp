// The GTK backend's own cases: cursors, the edit box's widgets, the Windows face names,
// boxes asked for by workers, and what layered and ordinary windows show on the screen (with
// a compositor or without).
#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <future>
#include <sstream>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/editbox.h"
#include "kiro/ui/font_gtk.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/msgbox.h"
#include "kiro/ui/window_gtk.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::shown;
using BackendGtk = uitest::Ui;

// Cursor files load and bad ones give none; the window under the pointer shows its choice. The
// edit box's bounds place its widget and its font sizes its lines.
TEST_F(BackendGtk, CursorsShowAsChosenAndEditBoxesPlaceAndSizeTheirWidgets) {
    auto path = [](const char* name) { return kiro::io::fromUtf8(tavi::test::dataPath(name)); };
    auto cursor = Cursor::fromFile(path("ui/dot.cur"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdkCursor(*cursor)), GDK_CURSOR_IS_PIXMAP);
    EXPECT_NE(Cursor::fromFile(path("ui\\dot.cur")), nullptr);  // folders may be separated by backslashes
    EXPECT_EQ(Cursor::fromFile(path("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(path("ui")), nullptr);  // a folder
    auto w = shown(300, 600, 100, 100, 0, nullptr);
    std::uint32_t asked = 0;  // the mouse message of the last cursor request
    const Cursor* chosen = &Cursor::hand();
    bool answer = true;
    w->message = [&](std::uint32_t msg, WParam, LParam l) -> LResult {
        if (msg != wm::SetCursor) return NotHandled;
        asked = hiWord(l);
        return answer ? setCursor(chosen), 0 : NotHandled;
    };
    uitest::moveTo(10, 10);
    uitest::moveTo(350, 650);
    uitest::pump(60);
    EXPECT_EQ(asked, wm::MouseMove);
    GdkWindow* client = gtk_widget_get_window(gtkClientArea(*w));
    EXPECT_EQ(gdk_window_get_cursor(client), gdkCursor(*chosen));
    answer = false;  // not answering leaves the ordinary arrow
    uitest::moveTo(351, 651);
    uitest::pump(60);
    EXPECT_EQ(gdk_window_get_cursor(client), nullptr);
    answer = true;  // no cursor at all: an invisible one
    chosen = nullptr;
    uitest::click(1);
    uitest::pump(60);
    EXPECT_EQ(asked, wm::LButtonUp);
    ASSERT_NE(gdk_window_get_cursor(client), nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(gdk_window_get_cursor(client)), GDK_BLANK_CURSOR);
    Window window(nullptr, ws::OverlappedWindow);
    window.setClientSize(300, 120);
    EditBox box(window);
    window.show();
    box.setBounds(Rect{10, 20, 200, 80});  // width and height in right and bottom
    box.setText(L"文字");
    box.setFont(L"IPAGothic", 10);
    uitest::pump(150);
    GList* kids = gtk_container_get_children(GTK_CONTAINER(gtkClientArea(window)));
    GtkWidget* view = kids ? gtk_bin_get_child(GTK_BIN(kids->data)) : nullptr;  // in its scroller
    g_list_free(kids);
    ASSERT_NE(view, nullptr);
    GtkAllocation a;
    gtk_widget_get_allocation(gtk_widget_get_parent(view), &a);
    EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}), (std::vector<int>{10, 20, 200, 80}));
    const auto lineHeight = [view] {
        GtkTextIter start;
        gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), &start);
        int y = 0, height = 0;
        gtk_text_view_get_line_yrange(GTK_TEXT_VIEW(view), &start, &y, &height);
        return height;
    };
    const int small = lineHeight();
    box.setFont(nullptr, 40);
    uitest::pump(150);
    EXPECT_GT(lineHeight(), small * 2) << small;
    EXPECT_EQ(box.getText(), L"文字");
}

// The Windows face names the system uses resolve to installed Japanese faces.
TEST(FontGtk, WindowsFaceNamesMapToJapaneseFaces) {
    prepareFonts();
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    std::istringstream table(tavi::test::readData("ui/face_names.tsv"));  // name, tab, family
    for (std::string name, family; std::getline(table, name, '\t') && std::getline(table, family);) {
        PangoFontDescription* wanted = pango_font_description_from_string(name.c_str());
        pango_font_description_set_absolute_size(wanted, 17 * PANGO_SCALE);
        PangoFont* font = pango_font_map_load_font(map, context, wanted);
        ASSERT_NE(font, nullptr) << name;
        PangoFontDescription* got = pango_font_describe(font);
        EXPECT_EQ(pango_font_description_get_family(got), family) << name;
        pango_font_description_free(got);
        pango_font_description_free(wanted);
        g_object_unref(font);
    }
    g_object_unref(context);
}

// A box asked for by a worker while no loop runs (before the loop, or while the UI thread
// leaves and joins that worker) is answered "no" at once instead of waiting for ever.
TEST(MessageBoxFromWorker, WithoutARunningLoopItIsAnsweredAtOnce) {
    ASSERT_TRUE(initializeToolkit());
    ASSERT_FALSE(loopRunning());
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> got = answer->get_future();
    // Detached: if it waits for ever, the test fails instead of hanging with it.
    std::thread([answer] { answer->set_value(messageBox(L"worker failed", L"exception", MbYesNo)); }).detach();
    ASSERT_EQ(got.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the worker waits for its box";
    EXPECT_EQ(got.get(), IdNo);
}

// Whether the screen pixel at (x, y) is within `tolerance` of each of r, g, b.
static bool shows(int x, int y, int r, int g, int b, int tolerance = 2) {
    const std::uint32_t p = uitest::screenPixel(x, y);
    return std::abs(int(p >> 16) - r) <= tolerance && std::abs(int((p >> 8) & 0xFF) - g) <= tolerance &&
           std::abs(int(p & 0xFF) - b) <= tolerance;
}

struct Layered : uitest::Ui {
    void SetUp() override {
        Ui::SetUp();
        if (const char* expect = std::getenv("TAVI_EXPECT_COMPOSITOR"); expect && *expect == '1') {
            ASSERT_TRUE(uitest::waitUntil([] { return gdk_screen_is_composited(gdk_screen_get_default()); }))
                << "no compositing manager came up";
        }
    }
};

TEST_F(Layered, PixelsShowByTheirAlphaOverWhatIsBelowAndOrdinaryWindowsWithout) {
    auto below = shown(500, 500, 160, 40, 0, [](Canvas& c) { c.clear(rgb(255, 255, 255)); });
    auto above = shown(500, 500, 160, 40, wsex::Layered, [](Canvas& c) {
        c.clear();
        for (int i = 1; i <= 3; ++i) {
            c.setColor(rgb(0, 0, 255), i == 1 ? 255 : i == 2 ? 160 : 60);
            c.drawRect(Rect{40 * i, 0, 40 * i + 40, 40}, true, 0);
        }
    });
    EXPECT_TRUE(shows(520, 520, 255, 255, 255)) << "transparent: what is below";
    EXPECT_TRUE(shows(560, 520, 0, 0, 255)) << "opaque";
    if (gdk_screen_is_composited(gdk_screen_get_default())) {
        EXPECT_TRUE(shows(600, 520, 95, 95, 255, 4)) << "blended";
        EXPECT_TRUE(shows(640, 520, 196, 196, 255, 4)) << "faint";
    } else {  // cut to the pixels at least half opaque, shown in their own colour
        EXPECT_TRUE(shows(600, 520, 0, 0, 255)) << "mostly opaque";
        EXPECT_TRUE(shows(640, 520, 255, 255, 255)) << "mostly transparent";
    }
    auto blank = shown(900, 200, 40, 40, 0, nullptr);
    EXPECT_TRUE(shows(920, 220, 255, 255, 255)) << "a window that paints nothing shows its background";
}

}  // namespace kiro::ui
