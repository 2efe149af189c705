// Text with characters a toolkit may not take as they are (U+0000, lone surrogates, values past
// U+10FFFF): every character is still measured and placed, one after another.
#include <gtest/gtest.h>

#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"

namespace kiro::ui {
namespace {

TEST(CanvasText, UnusualCharactersAreMeasuredInPlace) {
    ASSERT_TRUE(initializeToolkit());
    Canvas canvas(400, 100);
    canvas.setFont(L"", 16);
    const std::wstring texts[] = {std::wstring(L"ab\0cd", 5), std::wstring(L"ab") + wchar_t(0xD800) + L"cd",
                                  std::wstring(L"ab") + wchar_t(0x110000) + L"cd", std::wstring(L"\0\0\0\0x", 5)};
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text.size()) + " characters, third " +
                     std::to_string(unsigned(text[2])));
        Size whole{};
        canvas.measureText(text, &whole, 0);
        int previousLeft = -1;
        for (int i = 0; i < int(text.size()); ++i) {
            Rect r{};
            canvas.measureCharacter(text, i, &r, 0);
            EXPECT_GT(r.left, previousLeft) << "character " << i;
            EXPECT_GT(r.right, r.left) << "character " << i;
            EXPECT_LE(r.right, whole.cx) << "character " << i;
            previousLeft = r.left;
        }
    }
}

}  // namespace
}  // namespace kiro::ui
