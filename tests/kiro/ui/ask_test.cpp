// The yes/no question answered with the pointer.
#include "kiro/ui/ask.h"

#include <gtest/gtest.h>

#include "kiro/ui/boxflags.h"
#include "support/uidriver.h"

TEST(Ask, YesIsTrueAndNoIsFalse) {
    if (!uitest::start()) GTEST_SKIP() << "no display";
    for (const bool yes : {true, false}) {
        uitest::Rescue rescue;
        uitest::BoxSeen seen;
        uitest::answerBox(&seen, yes ? kiro::ui::IdYes : kiro::ui::IdNo);
        EXPECT_EQ(kiro::ui::ask(L"このメモを削除しますか？"), yes);
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.caption, L"Yes / No");
        EXPECT_EQ(seen.text, L"このメモを削除しますか？");
    }
}
