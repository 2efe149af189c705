// Canvas drawing, text, resizing and decoding, read back from the pixels; canvases that could
// not be made, and characters a toolkit may not take as they are. Fonts: the numbered table
// and fonts from memory.
#include "kiro/ui/canvas.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "support/cases.h"
#include "support/uidriver.h"

namespace kiro::ui {

// The pixels at the points as hexadecimal ARGB ("0" for transparent), space separated.
static std::string at(const Canvas& c, std::initializer_list<Point> points) {
    std::string out;
    char hex[12];
    for (const Point& p : points) out += (std::snprintf(hex, sizeof hex, "%x ", c.pixel(p.x, p.y)), hex);
    return out;
}

// How many pixels pass the test, and the box around those with any alpha (right and bottom
// exclusive).
static int count(const Canvas& c, const std::function<bool(std::uint32_t)>& test) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) n += test(c.pixel(x, y));
    return n;
}
static int countOf(const Canvas& c, std::uint32_t argb) {
    return count(c, [argb](std::uint32_t p) { return p == argb; });
}
static std::vector<int> inkBox(const Canvas& c) {
    std::vector<int> box{c.width(), c.height(), 0, 0};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.pixel(x, y) >> 24)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
    return box;
}

using CanvasTest = uitest::Ui;

// Each case under ui/canvas runs drawing commands, one a line ("canvas w h" starts a new
// canvas; numbers left out are 0), and writes what its queries find: "pixel x y" the ARGB in
// hexadecimal, "alpha x y a" whether the alpha there is above a, "partial" how many pixels are
// neither opaque nor transparent, "size" the canvas's size.
TEST_F(CanvasTest, DrawsShapesResizesAndScalesAsEachCaseSays) {
    tavi::test::runCases("ui/canvas", [](const std::string& script) {
        std::istringstream lines(script);
        std::ostringstream out;
        std::optional<Canvas> c;
        for (std::string line, word; std::getline(lines, line);) {
            std::istringstream in(line);
            float f[6] = {};
            in >> word;
            for (float& v : f) in >> v;
            int n[6];
            std::copy(f, f + 6, n);
            const Point triangle[] = {{n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}};
            if (word == "canvas") c.emplace(n[0], n[1]);
            if (word == "clear") c->clear(n[0], n[1], n[2], n[3]);
            if (word == "color") c->setColor(n[0], n[1], n[2], n[3]);
            if (word == "rect") c->drawRect(Rect{n[0], n[1], n[2], n[3]}, n[4], n[5]);
            if (word == "triangle") c->drawPolygon(triangle, 3, true);
            if (word == "line") c->drawLine(n[0], n[1], n[2], n[3]);
            if (word == "circle") c->drawCircle(n[0], n[1], n[2], n[3]);
            if (word == "smooth") c->setSmooth(n[0]);
            if (word == "resize") c->resize(n[0], n[1]);
            if (word == "scale") c->scale(f[0]);
            if (word == "pixel") out << std::hex << c->pixel(n[0], n[1]) << "\n";
            if (word == "alpha") out << (int(c->pixel(n[0], n[1]) >> 24) > n[2] ? "yes\n" : "no\n");
            if (word == "partial")
                out << std::dec << count(*c, [](std::uint32_t p) { return (p >> 24) % 255 != 0; }) << "\n";
            if (word == "size") out << std::dec << c->width() << "x" << c->height() << "\n";
        }
        return tavi::test::Outcome{out.str(), ""};
    });
}

TEST_F(CanvasTest, TextIsOutlinedMeasuredAndWrapped) {
    Canvas plain(200, 60), outlined(200, 60), faint(200, 60);
    for (Canvas* c : {&plain, &outlined, &faint}) {
        c->setFont(L"DejaVu Sans", 20);
        c->setColor(c == &faint ? rgb(255, 255, 255) : rgb(255, 180, 180), c == &faint ? 100 : 255);
        c->drawText(L"Hello", 10, 10, 180, c != &plain);
    }
    const auto p = inkBox(plain);
    ASSERT_LT(p[0], p[2]);
    EXPECT_EQ(inkBox(outlined), (std::vector<int>{p[0] - 1, p[1] - 1, p[2] + 1, p[3] + 1}));
    EXPECT_EQ(countOf(plain, 0xFF000000u), 0);
    EXPECT_GT(countOf(outlined, 0xFF000000u), 10);  // black edges
    EXPECT_GT(countOf(outlined, 0xFFFFB4B4u), 5);
    // The outline carries the colour's alpha: the overlapping draws add up, never to opaque.
    EXPECT_GT(count(faint, [](std::uint32_t v) { return (v >> 24) > 90; }), 0);
    EXPECT_EQ(count(faint, [](std::uint32_t v) { return (v >> 24) >= 250; }), 0);
    Canvas c(10, 10), page(300, 300);
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
    page.setFont(L"DejaVu Sans", 16);
    page.setColor(rgb(0, 0, 0), 255);
    page.drawText(longText, 0, 0, 120, false);
    EXPECT_TRUE(inkBox(page)[2] <= 120 && inkBox(page)[3] > 3 * 16);  // drawn text wraps alike
    Rect a{}, b{}, d{}, none{1, 2, 3, 4};  // characters along the line, and on the next after a line feed
    c.measureCharacter(L"ab\ncd", 0, &a, 0);
    c.measureCharacter(L"ab\ncd", 1, &b, 0);
    c.measureCharacter(L"ab\ncd", 3, &d, 0);
    c.measureCharacter(L"ab", 5, &none, 0);
    c.measureCharacter(L"ab", 0, nullptr, 0);  // nowhere to write: nothing happens
    EXPECT_LE(a.left, 16 / 5);                 // GDI+ pads a line by about a sixth of the size
    EXPECT_TRUE(a.right > a.left && b.left >= a.right - 1 && b.top == a.top);
    EXPECT_TRUE(d.left == a.left && d.top >= a.bottom - 1 && none.right == 0);
    c.setFont(L"DejaVu Sans", 32);
    c.measureText(L"abc def", &big, 0);
    EXPECT_GT(big.cx, one.cx * 3 / 2);
}

// U+0000, lone surrogates and values past U+10FFFF are still measured and placed, one after
// another.
TEST_F(CanvasTest, UnusualCharactersAreMeasuredInPlace) {
    Canvas canvas(400, 100);
    canvas.setFont(L"", 16);
    for (const std::wstring& text : {std::wstring(L"ab\0cd", 5), std::wstring(L"ab") + wchar_t(0xD800) + L"cd",
                                     std::wstring(L"ab") + wchar_t(0x110000) + L"cd", std::wstring(L"\0\0\0\0x", 5)}) {
        Size whole{};
        canvas.measureText(text, &whole, 0);
        Rect previous{-1, 0, 0, 0};
        for (int i = 0; i < int(text.size()); ++i) {
            Rect r{};
            canvas.measureCharacter(text, i, &r, 0);
            EXPECT_TRUE(r.left > previous.left && r.right > r.left && r.right <= whole.cx)
                << "character " << i << " of " << text.size() << ", third " << unsigned(text[2]);
            previous = r;
        }
    }
}

TEST_F(CanvasTest, DrawOntoBlendsOverWhatIsBelowWithItsOpacityClamped) {
    Canvas red(4, 4), full(10, 10), over(10, 10), under(10, 10), half(10, 10), blue(10, 10);
    red.clear(rgb(255, 0, 0));
    blue.clear(rgb(0, 0, 255));
    red.drawOnto(full, 2, 3);
    red.drawOnto(over, 2, 3, 1.5f);
    red.drawOnto(under, 2, 3, -0.2f);
    red.drawOnto(half, 2, 3, 0.5f);
    red.drawOnto(blue, 0, 0, 0.5f);
    EXPECT_EQ(at(full, {{2, 3}, {1, 3}, {6, 3}}), "ffff0000 0 0 ");
    EXPECT_EQ(countOf(over, 0xFFFF0000u) * 1000 + countOf(over, 0), 16084);
    EXPECT_EQ(countOf(under, 0), 100);
    EXPECT_NEAR(double(half.pixel(3, 4) >> 24), 128.0, 2.0);
    const std::uint32_t mixed = blue.pixel(1, 1);
    EXPECT_EQ(mixed >> 24, 255u);
    EXPECT_NEAR(double((mixed >> 16) & 0xFF), 128.0, 2.0);
    EXPECT_NEAR(double(mixed & 0xFF), 127.0, 2.0);
}

TEST_F(CanvasTest, DecodesPicturesWithAlphaAndGivesEmptyOnesForBadData) {
    const std::string png = tavi::test::readData("ui/alpha.png");
    const Canvas c(png.data(), png.size());
    ASSERT_EQ(std::pair(c.width(), c.height()), std::pair(8, 6));
    EXPECT_EQ(at(c, {{0, 0}, {3, 5}, {6, 4}}), "ffff0000 ffff0000 0 ");
    EXPECT_NEAR(double(c.pixel(5, 1) >> 24), 128.0, 1.0);
    EXPECT_EQ(c.pixel(5, 1) & 0xFF, 0xFFu);  // straight, not premultiplied
    Canvas target(12, 12);
    c.drawOnto(target, 2, 2);
    EXPECT_EQ(at(target, {{2, 2}, {8, 6}}), "ffff0000 0 ");
    for (auto [file, w, h, colour] : {std::tuple{"ui/small.gif", 5, 3, 0xFF00FF00u},
                                      {"ui/small.bmp", 7, 4, 0xFF0000FFu},
                                      {"ui/small.jpg", 9, 2, 0xFFFF8000u}}) {
        const std::string bytes = tavi::test::readData(file);
        const Canvas img(bytes.data(), bytes.size());
        EXPECT_EQ(std::pair(img.width(), img.height()), std::pair(w, h)) << file;
        for (int shift : {0, 8, 16, 24})
            EXPECT_NEAR(double((img.pixel(1, 1) >> shift) & 0xFF), double((colour >> shift) & 0xFF), 3.0) << file;
    }
    const unsigned char junk[] = "this is not a picture at all";
    Canvas bad(junk, sizeof junk), cut(png.data(), png.size() / 2), null(nullptr, 100), under(5, 5);
    EXPECT_TRUE(bad.width() == 0 && bad.height() == 0 && !bad.isEmpty() && cut.width() == 0);
    EXPECT_TRUE(null.isEmpty() && null.width() == 0 && null.height() == 0);
    under.clear(rgb(1, 2, 3));
    bad.drawOnto(under, 0, 0);
    bad.drawText(L"x", 0, 0, 10, true);  // drawing on an empty picture is harmless
    bad.resize(10, 0);
    EXPECT_EQ(at(under, {{0, 0}}), "ff010203 ");
    // Canvases that cannot be made (too large, negative sides) draw nothing and harm nothing.
    for (const auto& [width, height] : {std::pair{40000, 4}, {4, 32768}, {65535, 65535}, {-3, 5}}) {
        Canvas target(8, 8), failed(width, height), shrunk(4, 4);
        shrunk.resize(width, 40000);
        for (Canvas* f : {&failed, &shrunk}) {
            f->drawOnto(target, 0, 0);
            target.drawOnto(*f, 0, 0);
            f->drawText(L"x", 0, 0, 0, true);
            f->measureText(L"x", nullptr, 0);
        }
        target.setColor(255, 0, 0, 255);
        target.drawRect(Rect{0, 0, 8, 8}, true, 0);
        EXPECT_EQ(target.pixel(4, 4), 0xFFFF0000u) << width << " by " << height << ": the target stopped drawing";
    }
}

// A canvas's font as "face size[ bold]".
static std::wstring fontOf(const Canvas& c) {
    return c.font().face() + L" " + std::to_wstring(c.font().px()) + (c.font().bold() ? L" bold" : L"");
}

TEST(Font, NumbersSelectTableEntriesUnknownOnesFallBackAndNewCanvasesUseNumberZero) {
    defineFont(40, L"DejaVu Sans", 21, true);
    defineFont(41, L"DejaVu Sans", 0, false);  // a size no font can have
    Canvas c(10, 10);
    c.setFont(40);
    c.resize(20, 20);  // resizing keeps the font
    EXPECT_EQ(fontOf(c), L"DejaVu Sans 21 bold");
    for (int number : {41, 12345, -1}) {
        c.setFont(number);
        EXPECT_EQ(fontOf(c), L"ＭＳ ゴシック 17") << number;
    }
    defineFont(40, L"DejaVu Serif", 12, false);  // a later definition replaces an earlier one
    c.setFont(40);
    EXPECT_EQ(fontOf(c), L"DejaVu Serif 12");
    std::unique_ptr<Font> font = std::make_unique<Font>(L"x", 1, false);
    EXPECT_FALSE(createFont(777, font));
    EXPECT_EQ(font, nullptr);
    defineFont(50, L"DejaVu Sans", 20, false);
    defineFont(51, L"DejaVu Sans", 20, true);
    c.setFont(50);
    const int regular = c.measureText(L"Wide words here", nullptr, 0);
    c.setFont(51);
    EXPECT_GT(c.measureText(L"Wide words here", nullptr, 0), regular);  // bold text is wider
    defineFont(0, L"DejaVu Sans Mono", 19, false);
    const unsigned char junk[] = {1, 2, 3};
    Canvas fresh(10, 10), decoded(junk, sizeof junk);
    EXPECT_EQ(fontOf(fresh), L"DejaVu Sans Mono 19");
    EXPECT_EQ(fontOf(decoded), L"DejaVu Sans Mono 19");
    EXPECT_TRUE(fresh.fontHeight() >= 19 && fresh.fontHeight() < 40) << fresh.fontHeight();
}

TEST(Font, JapaneseTextIsLaidOutWithTheWindowsFaceNameAndFontsFromMemoryHandOutEachFamilyOnce) {
    Canvas c(200, 40);
    c.setFont(L"ＭＳ ゴシック", 17);
    Size size{};
    c.measureText(L"こんにちは", &size, 0);
    // Five full-width characters of a 17-pixel font (GDI+ pads a line on both sides).
    EXPECT_TRUE(size.cx >= 5 * 16 && size.cx <= 5 * 18 + 17 / 2) << size.cx;
    c.setColor(rgb(0, 0, 0), 255);
    c.drawText(L"日本語", 0, 0, 200, false);
    EXPECT_GT(count(c, [](std::uint32_t p) { return (p >> 24) > 128; }), 60);  // real glyphs, not empty boxes
    std::ifstream in("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf", std::ios::binary);
    const std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(bytes.empty());
    std::wstring face = L"unchanged", again = L"unchanged", none = L"unchanged";
    ASSERT_TRUE(addFont(bytes.data(), bytes.size(), &face));
    EXPECT_EQ(face, L"IPAPGothic");
    EXPECT_TRUE(addFont(bytes.data(), bytes.size(), &again));
    EXPECT_EQ(again, L"unchanged");
    EXPECT_TRUE(addFont(bytes.data(), bytes.size(), nullptr));
    const char junk[] = "definitely not a font file";
    EXPECT_FALSE(addFont(junk, sizeof junk, &none));
    EXPECT_FALSE(addFont(nullptr, 10, &none));
    EXPECT_EQ(none, L"unchanged");
    defineFont(60, face, 18, false);  // the loaded face draws
    c.setFont(60);
    EXPECT_GT(c.measureText(L"メモ", nullptr, 0), 20);
}

}  // namespace kiro::ui
