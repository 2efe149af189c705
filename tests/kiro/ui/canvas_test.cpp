// Canvas drawing, measuring, resizing and decoding, read back from the pixels.
#include "kiro/ui/canvas.h"

#include <gtest/gtest.h>

#include "pump.h"

namespace kiro::ui {
namespace {

std::uint32_t alphaOf(std::uint32_t argb) { return argb >> 24; }

// Bounding box of the pixels with any alpha; right and bottom exclusive.
Rect inkBox(const Canvas& c) {
    Rect box{c.width(), c.height(), 0, 0};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (alphaOf(c.pixel(x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

int countPixels(const Canvas& c, std::uint32_t argb) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == argb;
    return n;
}

TEST(Canvas, StartsTransparentAndClearsToColours) {
    Canvas c(20, 10);
    EXPECT_EQ(c.width(), 20);
    EXPECT_EQ(c.height(), 10);
    EXPECT_FALSE(c.isEmpty());
    EXPECT_EQ(countPixels(c, 0), 200);
    c.clear(rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(c.pixel(3, 4), 0xFF123456u);
    c.clear(10, 20, 30, 255);
    EXPECT_EQ(c.pixel(19, 9), 0xFF0A141Eu);
    c.clear();
    EXPECT_EQ(c.pixel(0, 0), 0u);
    EXPECT_EQ(c.pixel(-1, 0), 0u);
    EXPECT_EQ(c.pixel(20, 0), 0u);
}

TEST(Canvas, FilledRoundedRectangleHasRoundCornersAndSolidInside) {
    Canvas c(100, 60);
    c.setColor(rgb(255, 0, 0), 255);
    c.drawRect(Rect{10, 10, 90, 50}, true, 20);
    EXPECT_EQ(c.pixel(50, 30), 0xFFFF0000u);  // middle
    EXPECT_EQ(c.pixel(11, 30), 0xFFFF0000u);  // left edge, between the corners
    EXPECT_EQ(c.pixel(50, 11), 0xFFFF0000u);  // top edge
    EXPECT_EQ(c.pixel(10, 10), 0u);           // the corner is cut round
    EXPECT_EQ(c.pixel(88, 48), 0u);
    EXPECT_EQ(c.pixel(5, 30), 0u);  // outside
    EXPECT_EQ(c.pixel(95, 30), 0u);
    const Rect box = inkBox(c);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_LE(box.right, 91);
    EXPECT_LE(box.bottom, 51);
}

TEST(Canvas, OutlinesLeaveTheInsideEmpty) {
    Canvas c(100, 60);
    c.setColor(rgb(0, 0, 0), 255);
    c.drawRect(Rect{10, 10, 90, 50}, false, 0);
    EXPECT_EQ(c.pixel(10, 30), 0xFF000000u);  // left side
    EXPECT_EQ(c.pixel(89, 30), 0xFF000000u);  // right side is right - 1
    EXPECT_EQ(c.pixel(50, 49), 0xFF000000u);
    EXPECT_EQ(c.pixel(90, 30), 0u);
    EXPECT_EQ(c.pixel(50, 30), 0u);
    c.clear();
    c.drawRect(Rect{10, 10, 90, 50}, false, 20);
    EXPECT_EQ(c.pixel(50, 30), 0u);
    EXPECT_GT(alphaOf(c.pixel(10, 30)), 200u);
    EXPECT_EQ(alphaOf(c.pixel(11, 11)), 0u);  // inside the round corner's cut
}

TEST(Canvas, PolygonsLinesAndCirclesSmoothOrHard) {
    Canvas c(40, 40);
    c.setColor(0, 0, 255, 255);
    const Point triangle[] = {{0, 0}, {30, 0}, {0, 30}};
    c.drawPolygon(triangle, 3, true);
    EXPECT_EQ(c.pixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(c.pixel(25, 25), 0u);
    c.clear();
    c.drawLine(5, 20, 35, 20);
    EXPECT_EQ(c.pixel(20, 20), 0xFF0000FFu);
    EXPECT_EQ(c.pixel(20, 22), 0u);
    c.clear();
    c.drawCircle(20, 20, 10, true);
    EXPECT_EQ(c.pixel(20, 20), 0xFF0000FFu);
    EXPECT_EQ(c.pixel(2, 2), 0u);
    c.clear();
    c.drawCircle(20, 20, 10, false);
    EXPECT_EQ(c.pixel(20, 20), 0u);
    EXPECT_GT(alphaOf(c.pixel(30, 20)), 100u);
    // Smoothing off draws hard edges.
    c.clear();
    c.setSmooth(false);
    c.drawCircle(20, 20, 15, true);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t a = alphaOf(c.pixel(x, y));
            ASSERT_TRUE(a == 0 || a == 255) << x << "," << y;
        }
}

TEST(Canvas, OutlinedTextIsWiderAndBlackEdged) {
    Canvas plain(200, 60), outlined(200, 60);
    for (Canvas* c : {&plain, &outlined}) {
        c->setFont(L"DejaVu Sans", 20);
        c->setColor(rgb(255, 180, 180), 255);
    }
    plain.drawText(L"Hello", 10, 10, 180, false);
    outlined.drawText(L"Hello", 10, 10, 180, true);
    const Rect p = inkBox(plain), o = inkBox(outlined);
    ASSERT_LT(p.left, p.right);
    EXPECT_EQ(o.left, p.left - 1);
    EXPECT_EQ(o.right, p.right + 1);
    EXPECT_EQ(o.top, p.top - 1);
    EXPECT_EQ(o.bottom, p.bottom + 1);
    EXPECT_EQ(countPixels(plain, 0xFF000000u), 0);
    EXPECT_GT(countPixels(outlined, 0xFF000000u), 10);
    EXPECT_GT(countPixels(outlined, 0xFFFFB4B4u), 5);
    // The outline carries the colour's alpha.
    Canvas faint(200, 60);
    faint.setFont(L"DejaVu Sans", 20);
    faint.setColor(rgb(255, 255, 255), 100);
    faint.drawText(L"Hello", 10, 10, 180, true);
    std::uint32_t maxAlpha = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) maxAlpha = std::max(maxAlpha, alphaOf(faint.pixel(x, y)));
    EXPECT_GT(maxAlpha, 90u);
    EXPECT_LT(maxAlpha, 250u);  // the overlapping draws add up, but never to opaque
}

TEST(Canvas, MeasuresAndDrawsTextWithTrailingSpacesAndWrapping) {
    Canvas c(10, 10);
    c.setFont(L"DejaVu Sans", 16);
    Size one{}, spaced{}, wrapped{}, wide{};
    const int w = c.measureText(L"abc def", &one, 0);
    EXPECT_EQ(w, one.cx);
    EXPECT_GT(one.cx, 30);
    EXPECT_GE(one.cy, 16);
    EXPECT_LT(one.cy, 32);
    c.measureText(L"abc def   ", &spaced, 0);
    EXPECT_GT(spaced.cx, one.cx + 6);
    const std::wstring longText = L"the quick brown fox jumps over the lazy dog again and again";
    c.measureText(longText, &wrapped, 120);
    EXPECT_LE(wrapped.cx, 120);
    EXPECT_GE(wrapped.cy, 3 * one.cy);
    // Drawn text wraps at the box width the same way.
    Canvas page(300, 300);
    page.setFont(L"DejaVu Sans", 16);
    page.setColor(rgb(0, 0, 0), 255);
    page.drawText(longText, 0, 0, 120, false);
    EXPECT_LE(inkBox(page).right, 120);
    EXPECT_GT(inkBox(page).bottom, 3 * 16);
    c.measureText(longText, &wide, 0);  // 0: the 4096-pixel box
    EXPECT_GT(wide.cx, 300);
    EXPECT_EQ(wide.cy, one.cy);
    EXPECT_EQ(c.measureText(L"", nullptr, 0), 0);
    // A bigger font measures bigger.
    c.setFont(L"DejaVu Sans", 32);
    Size big{};
    c.measureText(L"abc def", &big, 0);
    EXPECT_GT(big.cx, one.cx * 3 / 2);
}

TEST(Canvas, MeasuresCharactersInTheLayout) {
    Canvas c(10, 10);
    c.setFont(L"DejaVu Sans", 16);
    Rect a{}, b{}, d{};
    c.measureCharacter(L"ab\ncd", 0, &a, 0);
    c.measureCharacter(L"ab\ncd", 1, &b, 0);
    c.measureCharacter(L"ab\ncd", 3, &d, 0);
    EXPECT_LE(a.left, 16 / 5);  // GDI+ pads a line by about a sixth of the size
    EXPECT_GT(a.right, a.left);
    EXPECT_GE(b.left, a.right - 1);
    EXPECT_EQ(b.top, a.top);
    EXPECT_EQ(d.left, a.left);
    EXPECT_GE(d.top, a.bottom - 1);  // the second line
    Rect none{1, 2, 3, 4};
    c.measureCharacter(L"ab", 5, &none, 0);
    EXPECT_EQ(none.right, 0);
    c.measureCharacter(L"ab", 0, nullptr, 0);  // no place to write: nothing happens
}

TEST(Canvas, DrawOntoClampsOpacity) {
    Canvas red(4, 4);
    red.clear(rgb(255, 0, 0));
    Canvas full(10, 10), over(10, 10), under(10, 10), half(10, 10);
    red.drawOnto(full, 2, 3);
    red.drawOnto(over, 2, 3, 1.5f);
    red.drawOnto(under, 2, 3, -0.2f);
    red.drawOnto(half, 2, 3, 0.5f);
    EXPECT_EQ(full.pixel(2, 3), 0xFFFF0000u);
    EXPECT_EQ(full.pixel(1, 3), 0u);
    EXPECT_EQ(full.pixel(6, 3), 0u);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(over.pixel(x, y), full.pixel(x, y));
    EXPECT_EQ(countPixels(under, 0), 100);
    EXPECT_NEAR(double(alphaOf(half.pixel(3, 4))), 128.0, 2.0);
    // Drawing keeps what is below: source-over.
    Canvas blue(10, 10);
    blue.clear(rgb(0, 0, 255));
    red.drawOnto(blue, 0, 0, 0.5f);
    const std::uint32_t mixed = blue.pixel(1, 1);
    EXPECT_EQ(alphaOf(mixed), 255u);
    EXPECT_NEAR(double((mixed >> 16) & 0xFF), 128.0, 2.0);
    EXPECT_NEAR(double(mixed & 0xFF), 127.0, 2.0);
}

TEST(Canvas, ResizeKeepsAspectAndRefusesBadSizes) {
    Canvas c(200, 50);
    c.resize(0, 100);
    EXPECT_EQ(c.width(), 400);
    EXPECT_EQ(c.height(), 100);
    c.resize(0, 0);
    EXPECT_EQ(c.width(), 400);
    c.resize(70000, 10);
    EXPECT_EQ(c.width(), 400);
    EXPECT_EQ(c.height(), 100);
    c.resize(-5, 10);
    EXPECT_EQ(c.width(), 400);
    c.resize(100, 0);
    EXPECT_EQ(c.width(), 100);
    EXPECT_EQ(c.height(), 25);
    c.scale(2.5f);
    EXPECT_EQ(c.width(), 250);
    EXPECT_EQ(c.height(), 62);
    c.scale(0.0f);
    c.scale(-1.0f);
    EXPECT_EQ(c.width(), 250);
    // No area, no aspect to follow.
    Canvas none(0, 0);
    none.resize(0, 10);
    EXPECT_EQ(none.width(), 0);
    none.resize(5, 6);
    EXPECT_EQ(none.width(), 5);
    EXPECT_EQ(none.height(), 6);
}

TEST(Canvas, ResizeScalesThePictureAndKeepsColourAndFont) {
    Canvas c(20, 10);
    Rect left{0, 0, 10, 10};
    c.setColor(rgb(0, 255, 0), 255);
    c.drawRect(left, true, 0);
    c.setFont(L"DejaVu Sans", 30);
    c.resize(40, 20);
    EXPECT_EQ(c.pixel(5, 10), 0xFF00FF00u);
    EXPECT_EQ(c.pixel(35, 10), 0u);
    EXPECT_EQ(c.font().px(), 30);
    c.drawRect(Rect{30, 0, 40, 20}, true, 0);  // colour kept
    EXPECT_EQ(c.pixel(35, 10), 0xFF00FF00u);
}

TEST(Canvas, DecodesImagesWithAlpha) {
    const auto png = test::readData("ui/alpha.png");
    ASSERT_FALSE(png.empty());
    Canvas c(png.data(), png.size());
    EXPECT_FALSE(c.isEmpty());
    ASSERT_EQ(c.width(), 8);
    ASSERT_EQ(c.height(), 6);
    EXPECT_EQ(c.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(c.pixel(3, 5), 0xFFFF0000u);
    EXPECT_NEAR(double(alphaOf(c.pixel(5, 1))), 128.0, 1.0);
    EXPECT_EQ(c.pixel(5, 1) & 0xFF, 0xFFu);
    EXPECT_EQ(c.pixel(6, 4), 0u);
    // Drawn onto a canvas, only the picture's pixels show.
    Canvas target(12, 12);
    c.drawOnto(target, 2, 2);
    EXPECT_EQ(target.pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(target.pixel(8, 6), 0u);
    struct Sample {
        const char* file;
        int w, h;
        std::uint32_t colour;
    };
    for (const Sample& s : {Sample{"ui/small.gif", 5, 3, 0xFF00FF00u}, Sample{"ui/small.bmp", 7, 4, 0xFF0000FFu},
                            Sample{"ui/small.jpg", 9, 2, 0xFFFF8000u}}) {
        const auto data = test::readData(s.file);
        Canvas img(data.data(), data.size());
        EXPECT_EQ(img.width(), s.w) << s.file;
        EXPECT_EQ(img.height(), s.h) << s.file;
        const std::uint32_t p = img.pixel(1, 1);
        EXPECT_EQ(alphaOf(p), 255u) << s.file;
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(double((p >> shift) & 0xFF), double((s.colour >> shift) & 0xFF), 3.0) << s.file;
    }
}

TEST(Canvas, UndecodableOrMissingDataGivesAnEmptyPicture) {
    const unsigned char junk[] = "this is not a picture at all";
    Canvas bad(junk, sizeof junk);
    EXPECT_EQ(bad.width(), 0);
    EXPECT_EQ(bad.height(), 0);
    EXPECT_FALSE(bad.isEmpty());
    Canvas target(5, 5);
    target.clear(rgb(1, 2, 3));
    bad.drawOnto(target, 0, 0);
    EXPECT_EQ(target.pixel(0, 0), 0xFF010203u);
    bad.drawText(L"x", 0, 0, 10, true);  // drawing on it is harmless
    bad.resize(10, 0);
    Canvas truncated(junk, 0);
    EXPECT_EQ(truncated.width(), 0);
    const auto png = test::readData("ui/alpha.png");
    Canvas half(png.data(), png.size() / 2);
    EXPECT_EQ(half.width(), 0);
    Canvas null(nullptr, 100);
    EXPECT_TRUE(null.isEmpty());
    EXPECT_EQ(null.width(), 0);
    EXPECT_EQ(null.height(), 0);
}

}  // namespace
}  // namespace kiro::ui
