// The font table, font selection by number with its fallback, and fonts loaded from memory.
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "kiro/ui/canvas.h"

namespace kiro::ui {

// A canvas's font as "face size[ bold]".
static std::wstring fontOf(const Canvas& c) {
    return c.font().face() + L" " + std::to_wstring(c.font().px()) + (c.font().bold() ? L" bold" : L"");
}

TEST(Font, NumbersSelectTableEntriesUnknownOnesFallBackAndNewCanvasesUseNumberZero) {
    defineFont(40, L"DejaVu Sans", 21, true);
    defineFont(41, L"DejaVu Sans", 0, false);  // a size no font can have
    Canvas c(10, 10);
    c.setFont(40);
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
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) inked += (c.pixel(x, y) >> 24) > 128;
    EXPECT_GT(inked, 60);  // real glyphs, not empty boxes
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
