// The font table, font selection by number with its fallback, and fonts loaded from memory.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "kiro/ui/canvas.h"

namespace kiro::ui {
namespace {

std::vector<char> fileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(Font, NumbersSelectTableEntriesBoldOrNotAndUnknownOnesFallBack) {
    defineFont(40, L"DejaVu Sans", 21, true);
    defineFont(41, L"DejaVu Sans", 0, false);  // a size no font can have
    Canvas c(10, 10);
    c.setFont(40);
    EXPECT_EQ(c.font().face(), L"DejaVu Sans");
    EXPECT_EQ(c.font().px(), 21);
    EXPECT_TRUE(c.font().bold());
    for (int number : {41, 12345, -1}) {
        c.setFont(number);
        EXPECT_EQ(c.font().face(), L"ＭＳ ゴシック") << number;
        EXPECT_EQ(c.font().px(), 17) << number;
        EXPECT_FALSE(c.font().bold()) << number;
    }
    // A later definition replaces an earlier one.
    defineFont(40, L"DejaVu Serif", 12, false);
    c.setFont(40);
    EXPECT_EQ(c.font().face(), L"DejaVu Serif");
    EXPECT_EQ(c.font().px(), 12);
    std::unique_ptr<Font> font = std::make_unique<Font>(L"x", 1, false);
    EXPECT_FALSE(createFont(777, font));
    EXPECT_EQ(font, nullptr);
    // Bold text is wider.
    defineFont(50, L"DejaVu Sans", 20, false);
    defineFont(51, L"DejaVu Sans", 20, true);
    c.setFont(50);
    const int regular = c.measureText(L"Wide words here", nullptr, 0);
    c.setFont(51);
    EXPECT_GT(c.measureText(L"Wide words here", nullptr, 0), regular);
}

TEST(Font, NewCanvasesUseFontNumberZero) {
    defineFont(0, L"DejaVu Sans Mono", 19, false);
    Canvas c(10, 10);
    EXPECT_EQ(c.font().face(), L"DejaVu Sans Mono");
    EXPECT_EQ(c.font().px(), 19);
    EXPECT_GE(c.fontHeight(), 19);
    EXPECT_LT(c.fontHeight(), 40);
    const unsigned char junk[] = {1, 2, 3};
    Canvas decoded(junk, sizeof junk);
    EXPECT_EQ(decoded.font().px(), 19);
}

TEST(Font, JapaneseTextIsLaidOutWithTheWindowsFaceName) {
    Canvas c(200, 40);
    c.setFont(L"ＭＳ ゴシック", 17);
    Size size{};
    c.measureText(L"こんにちは", &size, 0);
    // Five full-width characters of a 17-pixel font (GDI+ pads a line on both sides).
    EXPECT_GE(size.cx, 5 * 16);
    EXPECT_LE(size.cx, 5 * 18 + 17 / 2);
    c.setColor(rgb(0, 0, 0), 255);
    c.drawText(L"日本語", 0, 0, 200, false);
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) inked += (c.pixel(x, y) >> 24) > 128;
    EXPECT_GT(inked, 60);  // real glyphs, not empty boxes
}

TEST(Font, FontsFromMemoryHandOutEachFamilyOnce) {
    const auto bytes = fileBytes("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf");
    ASSERT_FALSE(bytes.empty());
    std::wstring face = L"unchanged";
    ASSERT_TRUE(addFont(bytes.data(), bytes.size(), &face));
    EXPECT_EQ(face, L"IPAPGothic");
    std::wstring again = L"unchanged";
    EXPECT_TRUE(addFont(bytes.data(), bytes.size(), &again));
    EXPECT_EQ(again, L"unchanged");
    EXPECT_TRUE(addFont(bytes.data(), bytes.size(), nullptr));
    const char junk[] = "definitely not a font file";
    std::wstring none = L"unchanged";
    EXPECT_FALSE(addFont(junk, sizeof junk, &none));
    EXPECT_EQ(none, L"unchanged");
    EXPECT_FALSE(addFont(nullptr, 10, &none));
    // The loaded face draws.
    defineFont(60, face, 18, false);
    Canvas c(10, 10);
    c.setFont(60);
    EXPECT_GT(c.measureText(L"メモ", nullptr, 0), 20);
}

}  // namespace
}  // namespace kiro::ui
