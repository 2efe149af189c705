// What layered and ordinary windows show on the screen, read back from the root window: alpha
// blending with a compositor, windows cut to their visible pixels without one.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;

struct Colour {
    int r, g, b;
};

Colour screenPixel(int x, int y) {
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, x, y, 1, 1);
    if (!shot) return Colour{-1, -1, -1};
    const guchar* p = gdk_pixbuf_read_pixels(shot);
    Colour c{p[0], p[1], p[2]};
    g_object_unref(shot);
    return c;
}

void expectNear(Colour got, Colour want, int tolerance, const char* what) {
    EXPECT_NEAR(got.r, want.r, tolerance) << what;
    EXPECT_NEAR(got.g, want.g, tolerance) << what;
    EXPECT_NEAR(got.b, want.b, tolerance) << what;
}

bool composited() {
    return gdk_screen_is_composited(gdk_screen_get_default());
}

class Layered : public ::testing::Test {
protected:
    void SetUp() override {
        Window probe;  // starts the toolkit
        const char* expect = std::getenv("TAVI_EXPECT_COMPOSITOR");
        if (expect && *expect == '1') {
            ASSERT_TRUE(uitest::waitUntil(composited, 5000)) << "no compositing manager came up";
        }
    }
};

TEST_F(Layered, PresentingTakesTheCanvasSizeAndKeepsTheCorner) {
    Recorder w(nullptr, ws::Popup, wsex::Layered);
    w.moveTo(300, 200);
    w.show();
    uitest::pump(100);
    Canvas c(80, 50);
    c.clear(rgb(10, 20, 30));
    c.present(w.handle(), 0, 0);
    EXPECT_EQ(test::sizeOf(w), test::XY(80, 50));
    EXPECT_EQ(test::placeOf(w), test::XY(300, 200));
    EXPECT_TRUE(w.has("size 80x50"));
    uitest::pump(200);
    EXPECT_EQ(test::placeOf(w), test::XY(300, 200));
    EXPECT_EQ(test::sizeOf(w), test::XY(80, 50));
    expectNear(screenPixel(340, 225), Colour{10, 20, 30}, 2, "presented colour");
}

TEST_F(Layered, PixelsShowByTheirAlphaOverWhatIsBelow) {
    Recorder below(nullptr, ws::Popup);
    below.painter = [](Canvas& c) { c.clear(rgb(255, 255, 255)); };
    below.moveTo(500, 500);
    below.setClientSize(160, 40);
    below.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return below.has("paint"); }));
    Recorder above(nullptr, ws::Popup, wsex::Layered);
    above.painter = [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 0, 255), 255);
        c.drawRect(Rect{40, 0, 80, 40}, true, 0);
        c.setColor(rgb(0, 0, 255), 160);
        c.drawRect(Rect{80, 0, 120, 40}, true, 0);
        c.setColor(rgb(0, 0, 255), 60);
        c.drawRect(Rect{120, 0, 160, 40}, true, 0);
    };
    above.moveTo(500, 500);
    above.setClientSize(160, 40);
    above.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return above.has("paint"); }));
    uitest::pump(400);
    expectNear(screenPixel(520, 520), Colour{255, 255, 255}, 2, "transparent: what is below");
    expectNear(screenPixel(560, 520), Colour{0, 0, 255}, 2, "opaque");
    if (composited()) {
        expectNear(screenPixel(600, 520), Colour{95, 95, 255}, 4, "blended");
        expectNear(screenPixel(640, 520), Colour{196, 196, 255}, 4, "faint");
    } else {
        // Cut to the pixels that are at least half opaque, shown in their own colour.
        expectNear(screenPixel(600, 520), Colour{0, 0, 255}, 2, "mostly opaque");
        expectNear(screenPixel(640, 520), Colour{255, 255, 255}, 2, "mostly transparent");
    }
}

TEST_F(Layered, OrdinaryWindowsShowTheCanvasWithoutAlpha) {
    Recorder w(nullptr, ws::Popup);
    w.painter = [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 200, 0), 255);
        c.drawRect(Rect{0, 0, 20, 20}, true, 0);
    };
    w.moveTo(900, 100);
    w.setClientSize(60, 20);
    w.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("paint"); }));
    uitest::pump(300);
    expectNear(screenPixel(910, 110), Colour{0, 200, 0}, 2, "opaque");
    expectNear(screenPixel(940, 110), Colour{0, 0, 0}, 2, "transparent shows black");
    // A window that paints nothing shows its white background.
    Recorder blank(nullptr, ws::Popup);
    blank.moveTo(900, 200);
    blank.setClientSize(40, 40);
    blank.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return blank.has("paint"); }));
    uitest::pump(300);
    expectNear(screenPixel(920, 220), Colour{255, 255, 255}, 2, "background");
}

bool statesAbove(Window& w) {
    GdkWindow* gw = gtk_widget_get_window(gtkToplevel(w));
    if (!gw) return false;
    GdkAtom type;
    gint format = 0, length = 0;
    guchar* data = nullptr;
    if (!gdk_property_get(gw, gdk_atom_intern("_NET_WM_STATE", FALSE), gdk_atom_intern("ATOM", FALSE), 0, 1024, FALSE,
                          &type, &format, &length, &data))
        return false;
    bool above = false;
    const auto* atoms = reinterpret_cast<const GdkAtom*>(data);
    for (gint i = 0; i < length / gint(sizeof(GdkAtom)); ++i)
        above = above || atoms[i] == gdk_atom_intern("_NET_WM_STATE_ABOVE", FALSE);
    g_free(data);
    return above;
}

TEST_F(Layered, TopmostReachesOwnedWindows) {
    Recorder owner;
    Recorder owned(&owner, ws::Popup, wsex::Layered);
    Recorder grandchild(&owned, ws::Popup, wsex::Layered);
    Recorder stranger(nullptr, ws::Popup, wsex::Layered);
    owner.setTopmost(true);
    // Without a window manager the request stays in the windows' state property.
    for (Recorder* w : {&owner, &owned, &grandchild, &stranger}) w->show();
    uitest::pump(150);
    EXPECT_TRUE(statesAbove(owner));
    EXPECT_TRUE(statesAbove(owned));
    EXPECT_TRUE(statesAbove(grandchild));
    EXPECT_FALSE(statesAbove(stranger));
}

}  // namespace
}  // namespace kiro::ui
