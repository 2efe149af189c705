// Clipboard text: round trips, empty text refused, code points UTF-8 cannot carry replaced.
#include "kiro/ui/clipboard.h"

#include <gtest/gtest.h>

#include "support/uidriver.h"

TEST(Clipboard, RoundTripKeepsTextRefusesEmptyAndReplacesLoneSurrogates) {
    if (!uitest::start()) GTEST_SKIP() << "no display";
    const std::wstring text = L"メモ：今日は晴れ\n二行目 tab\there";
    ASSERT_TRUE(kiro::ui::setClipboardText(text));
    EXPECT_EQ(kiro::ui::getClipboardText(), text);
    EXPECT_FALSE(kiro::ui::setClipboardText(L""));  // leaves the clipboard alone
    EXPECT_EQ(kiro::ui::getClipboardText(), text);
    ASSERT_TRUE(kiro::ui::setClipboardText(std::wstring{L'a', wchar_t(0xD800), L'b'}));
    EXPECT_EQ(kiro::ui::getClipboardText(), L"a\uFFFDb");
}
