// Canvas drawing, text, resizing and decoding, read back from the pixels.
#include "kiro/ui/canvas.h"

#include <gtest/gtest.h>

#include "support/cases.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

std::uint32_t alphaOf(std::uint32_t argb) {
    return argb >> 24;
}

// Bounding box of the pixels with any alpha (right and bottom exclusive), and pixel counts.
Rect inkBox(const Canvas& c) {
    Rect box{c.width(), c.height(), 0, 0};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (alphaOf(c.pixel(x, y)))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
    return box;
}

int count(const Canvas& c, const std::function<bool(std::uint32_t)>& test) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) n += test(c.pixel(x, y));
    return n;
}
int countOf(const Canvas& c, std::uint32_t argb) {
    return count(c, [argb](std::uint32_t p) { return p == argb; });
}

Canvas decoded(const std::string& file) {
    const std::string bytes = tavi::test::readData(file);
    return Canvas(bytes.data(), bytes.size());
}

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
};

TEST_F(CanvasTest, StartsTransparentClearsAndFillsShapes) {
    Canvas c(100, 60);
    EXPECT_EQ(countOf(c, 0), 6000);
    c.clear(rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(c.pixel(3, 4), 0xFF123456u);
    c.clear(10, 20, 30, 255);
    EXPECT_EQ(c.pixel(99, 59), 0xFF0A141Eu);
    EXPECT_EQ(c.pixel(-1, 0) | c.pixel(100, 0), 0u);
    c.clear();
    c.setColor(rgb(255, 0, 0), 255);
    c.drawRect(Rect{10, 10, 90, 50}, true, 20);
    for (auto [x, y] : {std::pair{50, 30}, {11, 30}, {50, 11}}) EXPECT_EQ(c.pixel(x, y), 0xFFFF0000u) << x << "," << y;
    for (auto [x, y] : {std::pair{10, 10}, {88, 48}, {5, 30}, {95, 30}}) EXPECT_EQ(c.pixel(x, y), 0u) << x << "," << y;
    const Rect box = inkBox(c);
    EXPECT_TRUE(box.left == 10 && box.top == 10 && box.right <= 91 && box.bottom <= 51);
    // Outlines leave the inside empty; the right side is right - 1.
    c.clear();
    c.setColor(rgb(0, 0, 0), 255);
    c.drawRect(Rect{10, 10, 90, 50}, false, 0);
    for (auto [x, y] : {std::pair{10, 30}, {89, 30}, {50, 49}}) EXPECT_EQ(c.pixel(x, y), 0xFF000000u) << x << "," << y;
    EXPECT_EQ(c.pixel(90, 30) | c.pixel(50, 30), 0u);
    c.clear();
    c.drawRect(Rect{10, 10, 90, 50}, false, 20);
    EXPECT_EQ(c.pixel(50, 30), 0u);
    EXPECT_GT(alphaOf(c.pixel(10, 30)), 200u);
    EXPECT_EQ(alphaOf(c.pixel(11, 11)), 0u);  // inside the round corner's cut
}

TEST_F(CanvasTest, PolygonsLinesAndCirclesSmoothOrHard) {
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
    c.clear();
    c.setSmooth(false);
    c.drawCircle(20, 20, 15, true);
    EXPECT_EQ(count(c, [](std::uint32_t p) { return alphaOf(p) != 0 && alphaOf(p) != 255; }), 0);  // hard edges
}

TEST_F(CanvasTest, TextOutlinesMeasuresAndWraps) {
    Canvas plain(200, 60), outlined(200, 60), faint(200, 60);
    for (Canvas* c : {&plain, &outlined, &faint}) c->setFont(L"DejaVu Sans", 20);
    plain.setColor(rgb(255, 180, 180), 255);
    outlined.setColor(rgb(255, 180, 180), 255);
    faint.setColor(rgb(255, 255, 255), 100);
    plain.drawText(L"Hello", 10, 10, 180, false);
    outlined.drawText(L"Hello", 10, 10, 180, true);
    faint.drawText(L"Hello", 10, 10, 180, true);
    const Rect p = inkBox(plain), o = inkBox(outlined);
    ASSERT_LT(p.left, p.right);
    EXPECT_EQ((std::vector<int>{o.left, o.top, o.right, o.bottom}),
              (std::vector<int>{p.left - 1, p.top - 1, p.right + 1, p.bottom + 1}));
    EXPECT_EQ(countOf(plain, 0xFF000000u), 0);
    EXPECT_GT(countOf(outlined, 0xFF000000u), 10);
    EXPECT_GT(countOf(outlined, 0xFFFFB4B4u), 5);
    // The outline carries the colour's alpha: the overlapping draws add up, never to opaque.
    EXPECT_GT(count(faint, [](std::uint32_t v) { return alphaOf(v) > 90; }), 0);
    EXPECT_EQ(count(faint, [](std::uint32_t v) { return alphaOf(v) >= 250; }), 0);

    Canvas c(10, 10);
    c.setFont(L"DejaVu Sans", 16);
    Size one{}, spaced{}, wrapped{}, wide{}, big{};
    EXPECT_EQ(c.measureText(L"abc def", &one, 0), one.cx);
    EXPECT_TRUE(one.cx > 30 && one.cy >= 16 && one.cy < 32);
    c.measureText(L"abc def   ", &spaced, 0);
    EXPECT_GT(spaced.cx, one.cx + 6);  // trailing spaces count
    const std::wstring longText = L"the quick brown fox jumps over the lazy dog again and again";
    c.measureText(longText, &wrapped, 120);
    EXPECT_TRUE(wrapped.cx <= 120 && wrapped.cy >= 3 * one.cy);
    c.measureText(longText, &wide, 0);  // 0: the 4096-pixel box
    EXPECT_TRUE(wide.cx > 300 && wide.cy == one.cy);
    EXPECT_EQ(c.measureText(L"", nullptr, 0), 0);
    Canvas page(300, 300);
    page.setFont(L"DejaVu Sans", 16);
    page.setColor(rgb(0, 0, 0), 255);
    page.drawText(longText, 0, 0, 120, false);
    EXPECT_TRUE(inkBox(page).right <= 120 && inkBox(page).bottom > 3 * 16);  // drawn text wraps alike
    c.setFont(L"DejaVu Sans", 32);
    c.measureText(L"abc def", &big, 0);
    EXPECT_GT(big.cx, one.cx * 3 / 2);
    // Characters are placed along the line and on the next line after a line feed.
    c.setFont(L"DejaVu Sans", 16);
    Rect a{}, b{}, d{}, none{1, 2, 3, 4};
    c.measureCharacter(L"ab\ncd", 0, &a, 0);
    c.measureCharacter(L"ab\ncd", 1, &b, 0);
    c.measureCharacter(L"ab\ncd", 3, &d, 0);
    c.measureCharacter(L"ab", 5, &none, 0);
    c.measureCharacter(L"ab", 0, nullptr, 0);  // nowhere to write: nothing happens
    EXPECT_TRUE(a.left == 0 && a.right > a.left && b.left >= a.right - 1 && b.top == a.top);
    EXPECT_TRUE(d.left == 0 && d.top >= a.bottom - 1);
    EXPECT_EQ(none.right, 0);
}

TEST_F(CanvasTest, DrawOntoBlendsAndClampsOpacity) {
    Canvas red(4, 4), full(10, 10), over(10, 10), under(10, 10), half(10, 10), blue(10, 10);
    red.clear(rgb(255, 0, 0));
    blue.clear(rgb(0, 0, 255));
    red.drawOnto(full, 2, 3);
    red.drawOnto(over, 2, 3, 1.5f);
    red.drawOnto(under, 2, 3, -0.2f);
    red.drawOnto(half, 2, 3, 0.5f);
    red.drawOnto(blue, 0, 0, 0.5f);
    EXPECT_EQ(full.pixel(2, 3), 0xFFFF0000u);
    EXPECT_EQ(full.pixel(1, 3) | full.pixel(6, 3), 0u);
    EXPECT_EQ(countOf(over, 0xFFFF0000u), 16);
    EXPECT_EQ(countOf(over, 0), 84);
    EXPECT_EQ(countOf(under, 0), 100);
    EXPECT_NEAR(double(alphaOf(half.pixel(3, 4))), 128.0, 2.0);
    const std::uint32_t mixed = blue.pixel(1, 1);  // source over what is below
    EXPECT_EQ(alphaOf(mixed), 255u);
    EXPECT_NEAR(double((mixed >> 16) & 0xFF), 128.0, 2.0);
    EXPECT_NEAR(double(mixed & 0xFF), 127.0, 2.0);
}

TEST_F(CanvasTest, ResizeKeepsAspectScalesThePictureAndRefusesBadSizes) {
    Canvas c(200, 50);
    auto size = [&c] { return std::pair{c.width(), c.height()}; };
    c.resize(0, 100);
    EXPECT_EQ(size(), std::pair(400, 100));
    c.resize(0, 0);
    c.resize(70000, 10);
    c.resize(-5, 10);
    EXPECT_EQ(size(), std::pair(400, 100));
    c.resize(100, 0);
    EXPECT_EQ(size(), std::pair(100, 25));
    c.scale(2.5f);
    EXPECT_EQ(size(), std::pair(250, 62));
    c.scale(0.0f);
    c.scale(-1.0f);
    EXPECT_EQ(size(), std::pair(250, 62));
    Canvas none(0, 0);  // no area, no aspect to follow
    none.resize(0, 10);
    EXPECT_EQ(none.width(), 0);
    none.resize(5, 6);
    EXPECT_EQ(std::pair(none.width(), none.height()), std::pair(5, 6));
    Canvas p(20, 10);
    p.setColor(rgb(0, 255, 0), 255);
    p.drawRect(Rect{0, 0, 10, 10}, true, 0);
    p.setFont(L"DejaVu Sans", 30);
    p.resize(40, 20);
    EXPECT_EQ(p.pixel(5, 10), 0xFF00FF00u);
    EXPECT_EQ(p.pixel(35, 10), 0u);
    EXPECT_EQ(p.font().px(), 30);
    p.drawRect(Rect{30, 0, 40, 20}, true, 0);  // the colour is kept
    EXPECT_EQ(p.pixel(35, 10), 0xFF00FF00u);
}

TEST_F(CanvasTest, DecodesPicturesWithAlphaAndGivesEmptyOnesForBadData) {
    const Canvas c = decoded("ui/alpha.png");
    ASSERT_EQ(std::pair(c.width(), c.height()), std::pair(8, 6));
    EXPECT_FALSE(c.isEmpty());
    EXPECT_EQ(c.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(c.pixel(3, 5), 0xFFFF0000u);
    EXPECT_NEAR(double(alphaOf(c.pixel(5, 1))), 128.0, 1.0);
    EXPECT_EQ(c.pixel(5, 1) & 0xFF, 0xFFu);  // straight, not premultiplied
    EXPECT_EQ(c.pixel(6, 4), 0u);
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
        const Canvas img = decoded(s.file);
        EXPECT_EQ(std::pair(img.width(), img.height()), std::pair(s.w, s.h)) << s.file;
        for (int shift : {0, 8, 16, 24})
            EXPECT_NEAR(double((img.pixel(1, 1) >> shift) & 0xFF), double((s.colour >> shift) & 0xFF), 3.0) << s.file;
    }
    const std::string png = tavi::test::readData("ui/alpha.png");
    const unsigned char junk[] = "this is not a picture at all";
    Canvas bad(junk, sizeof junk), cut(png.data(), png.size() / 2), null(nullptr, 100);
    EXPECT_TRUE(bad.width() == 0 && bad.height() == 0 && !bad.isEmpty());
    EXPECT_EQ(cut.width(), 0);
    EXPECT_TRUE(null.isEmpty() && null.width() == 0 && null.height() == 0);
    Canvas under(5, 5);
    under.clear(rgb(1, 2, 3));
    bad.drawOnto(under, 0, 0);
    EXPECT_EQ(under.pixel(0, 0), 0xFF010203u);
    bad.drawText(L"x", 0, 0, 10, true);  // drawing on an empty picture is harmless
    bad.resize(10, 0);
}

}  // namespace
}  // namespace kiro::ui
