// Canvas drawing, text, resizing and decoding, read back from the pixels; canvases that could
// not be made, and characters a toolkit may not take as they are. Fonts: the numbered table
// and fonts from memory.
#include "kiro/ui/canvas.h"

#include <fstream>
#include <list>
#include <sstream>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/uidriver.h"

namespace kiro::ui {

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
// canvas, "load FILE [half]" one decoded from a file under tests/data or from its first half,
// "load -" from no data; numbers left out are 0; "source" keeps the canvas for "onto x y
// [opacity]", which draws it onto the canvas of then, and "swap" makes it the canvas again; "text
// x y w outline" draws and measures an "x"; "define number size bold face" sets a numbered
// font, "font number" chooses one), and writes what its queries find: "pixel
// x y" the ARGB in hexadecimal, "alpha x y a" whether the alpha there is above a, "near x y t
// a r g b" whether each channel is within t, "partial" how many pixels are neither opaque nor
// transparent, "count a r g b" how many pixels are of that colour, "size" the canvas's size,
// "fontof" its font.
TEST_F(CanvasTest, DrawsShapesResizesAndScalesAsEachCaseSays) {
    tavi::test::runCases("ui/canvas", [](const std::string& script) {
        std::list<Canvas> canvases;
        Canvas *c = nullptr, *source = nullptr;
        auto step = [&](const std::string& word, const std::string& line) {
            std::istringstream in(line);
            std::ostringstream out;
            float f[8] = {};
            for (float& v : f) in >> v;
            int n[8];
            std::copy(f, f + 8, n);
            const Point triangle[] = {{n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}};
            if (word == "canvas") c = &canvases.emplace_back(n[0], n[1]);
            if (word == "load") {
                const std::string file = line.substr(0, line.find(' '));
                const std::string bytes = file == "-" ? std::string(100, '\0') : tavi::test::readData(file);
                const bool half = line.find(" half") != std::string::npos;
                c = &canvases.emplace_back(file == "-" ? nullptr : bytes.data(),
                                           half ? bytes.size() / 2 : bytes.size());
            }
            if (word == "define") {  // "define number size bold face"
                size_t at = 0;
                for (int i = 0; i < 3; ++i) at = line.find(' ', at) + 1;
                defineFont(n[0], kiro::io::fromUtf8(line.substr(at)), n[1], n[2]);
            }
            if (word == "font") c->setFont(n[0]);
            if (word == "fontof")  // as "face size[ bold]"
                out << kiro::io::toUtf8(c->font().face()) << " " << c->font().px() << (c->font().bold() ? " bold" : "");
            if (word == "source") source = c;
            if (word == "swap") std::swap(c, source);
            if (word == "onto" && std::count(line.begin(), line.end(), ' ') == 1) source->drawOnto(*c, n[0], n[1]);
            if (word == "onto" && std::count(line.begin(), line.end(), ' ') == 2)
                source->drawOnto(*c, n[0], n[1], f[2]);
            if (word == "clear") c->clear(n[0], n[1], n[2], n[3]);
            if (word == "color") c->setColor(n[0], n[1], n[2], n[3]);
            if (word == "rect") c->drawRect(Rect{n[0], n[1], n[2], n[3]}, n[4], n[5]);
            if (word == "triangle") c->drawPolygon(triangle, 3, true);
            if (word == "line") c->drawLine(n[0], n[1], n[2], n[3]);
            if (word == "circle") c->drawCircle(n[0], n[1], n[2], n[3]);
            if (word == "smooth") c->setSmooth(n[0]);
            if (word == "resize") c->resize(n[0], n[1]);
            if (word == "scale") c->scale(f[0]);
            if (word == "text") {
                c->drawText(L"x", n[0], n[1], n[2], n[3]);
                c->measureText(L"x", nullptr, 0);
            }
            if (word == "pixel") out << std::hex << c->pixel(n[0], n[1]);
            if (word == "alpha") out << (int(c->pixel(n[0], n[1]) >> 24) > n[2] ? "yes" : "no");
            if (word == "near") {
                bool near = true;
                for (int i = 0; i < 4; ++i)
                    near = near && std::abs(int((c->pixel(n[0], n[1]) >> (24 - 8 * i)) & 0xFF) - n[3 + i]) <= n[2];
                out << (near ? "yes" : "no");
            }
            if (word == "partial") out << count(*c, [](std::uint32_t p) { return (p >> 24) % 255 != 0; });
            if (word == "count") out << countOf(*c, std::uint32_t(n[0]) << 24 | n[1] << 16 | n[2] << 8 | n[3]);
            if (word == "size") out << c->width() << "x" << c->height() << (c->isEmpty() ? " empty" : "");
            return out.str().empty() ? "" : " = " + out.str();
        };
        return tavi::test::Outcome{tavi::test::playSteps(script, step), ""};
    });
}

// Text is outlined, measured and wrapped. U+0000, lone surrogates and values past U+10FFFF are
// still measured and placed, one after another.
TEST_F(CanvasTest, TextIsOutlinedMeasuredAndWrappedAndUnusualCharactersAreMeasuredInPlace) {
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

// Unknown numbers make no font; bold text is wider; new canvases take number 0's height.
// Japanese text is laid out with the Windows face name; fonts from memory hand out each family
// once.
TEST(Font, NumberedFontsJapaneseTextWithTheWindowsFaceNameAndFontsFromMemory) {
    std::unique_ptr<Font> font = std::make_unique<Font>(L"x", 1, false);
    EXPECT_FALSE(createFont(777, font));
    EXPECT_EQ(font, nullptr);
    defineFont(50, L"DejaVu Sans", 20, false);
    defineFont(51, L"DejaVu Sans", 20, true);
    Canvas c(10, 10);
    c.setFont(50);
    const int regular = c.measureText(L"Wide words here", nullptr, 0);
    c.setFont(51);
    EXPECT_GT(c.measureText(L"Wide words here", nullptr, 0), regular);
    defineFont(0, L"DejaVu Sans Mono", 19, false);
    Canvas fresh(10, 10);
    EXPECT_TRUE(fresh.fontHeight() >= 19 && fresh.fontHeight() < 40) << fresh.fontHeight();
    c.resize(200, 40);
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
