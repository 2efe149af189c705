// What layered and ordinary windows show on the screen, read back from the root window: alpha
// blending with a compositor, windows cut to their visible pixels without one, and the
// keep-above request reaching owned windows.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>

#include "kiro/ui/window_gtk.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::Recorder;
using test::XY;

// Whether the screen pixel at (x, y) is within `tolerance` of each of r, g, b.
static bool shows(int x, int y, int r, int g, int b, int tolerance = 2) {
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
    if (!shot) return false;
    const guchar* p = gdk_pixbuf_read_pixels(shot);
    const bool near =
        std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
    g_object_unref(shot);
    return near;
}

static bool composited() {
    return gdk_screen_is_composited(gdk_screen_get_default());
}

// A shown window painting `painter`, once painted.
static std::unique_ptr<Recorder> shown(int x, int y, int w, int h, std::uint32_t exStyle,
                                       std::function<void(Canvas&)> painter) {
    auto win = std::make_unique<Recorder>(nullptr, ws::Popup, exStyle);
    win->painter = std::move(painter);
    win->moveTo(x, y);
    win->setClientSize(w, h);
    win->show();
    EXPECT_TRUE(uitest::waitUntil([raw = win.get()] { return raw->has("paint"); }));
    uitest::pump(300);
    return win;
}

struct Layered : uitest::Ui {
    void SetUp() override {
        Ui::SetUp();
        const char* expect = std::getenv("TAVI_EXPECT_COMPOSITOR");
        if (expect && *expect == '1') {
            ASSERT_TRUE(uitest::waitUntil(composited)) << "no compositing manager came up";
        }
    }
};

TEST_F(Layered, PresentingTakesTheCanvasSizeKeepsTheCornerAndShowsTheColour) {
    Recorder w(nullptr, ws::Popup, wsex::Layered);
    w.moveTo(300, 200);
    w.show();
    uitest::pump(100);
    Canvas c(80, 50);
    c.clear(rgb(10, 20, 30));
    c.present(w.handle(), 0, 0);
    EXPECT_EQ(test::sizeOf(w), XY(80, 50));
    EXPECT_TRUE(w.has("size 80x50"));
    uitest::pump(200);
    EXPECT_EQ(test::placeOf(w), XY(300, 200));
    EXPECT_EQ(test::sizeOf(w), XY(80, 50));
    EXPECT_TRUE(shows(340, 225, 10, 20, 30));
}

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
    if (composited()) {
        EXPECT_TRUE(shows(600, 520, 95, 95, 255, 4)) << "blended";
        EXPECT_TRUE(shows(640, 520, 196, 196, 255, 4)) << "faint";
    } else {  // cut to the pixels at least half opaque, shown in their own colour
        EXPECT_TRUE(shows(600, 520, 0, 0, 255)) << "mostly opaque";
        EXPECT_TRUE(shows(640, 520, 255, 255, 255)) << "mostly transparent";
    }
    auto ordinary = shown(900, 100, 60, 20, 0, [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 200, 0), 255);
        c.drawRect(Rect{0, 0, 20, 20}, true, 0);
    });
    auto blank = shown(900, 200, 40, 40, 0, nullptr);
    EXPECT_TRUE(shows(910, 110, 0, 200, 0));
    EXPECT_TRUE(shows(940, 110, 0, 0, 0)) << "transparent shows black";
    EXPECT_TRUE(shows(920, 220, 255, 255, 255)) << "a window that paints nothing shows its background";
}

static bool keptAbove(Window& w) {
    GdkAtom type, above = gdk_atom_intern("_NET_WM_STATE_ABOVE", FALSE);
    gint format = 0, length = 0;
    guchar* data = nullptr;
    GdkWindow* gw = gtk_widget_get_window(gtkToplevel(w));
    if (!gw || !gdk_property_get(gw, gdk_atom_intern("_NET_WM_STATE", FALSE), gdk_atom_intern("ATOM", FALSE), 0, 1024,
                                 FALSE, &type, &format, &length, &data))
        return false;
    const auto* atoms = reinterpret_cast<GdkAtom*>(data);
    const auto* end = atoms + length / gint(sizeof(GdkAtom));
    const bool found = std::find(atoms, end, above) != end;
    g_free(data);
    return found;
}

TEST_F(Layered, TopmostReachesOwnedWindows) {
    Recorder owner, owned(&owner, ws::Popup, wsex::Layered), grandchild(&owned, ws::Popup, wsex::Layered),
        stranger(nullptr, ws::Popup, wsex::Layered);
    owner.setTopmost(true);
    for (Recorder* w : {&owner, &owned, &grandchild, &stranger}) w->show();
    uitest::pump(150);  // without a window manager the request stays in the state property
    EXPECT_TRUE(keptAbove(owner) && keptAbove(owned) && keptAbove(grandchild));
    EXPECT_FALSE(keptAbove(stranger));
}

}  // namespace kiro::ui
