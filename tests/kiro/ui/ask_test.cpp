// The yes/no question answered with the pointer.
#include "kiro/ui/ask.h"

#include <gtest/gtest.h>

#include "kiro/ui/boxflags.h"
#include "support/uidriver_gtk.h"

namespace {

class Ask : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
    }
};

TEST_F(Ask, YesIsTrueAndNoIsFalse) {
    uitest::Rescue rescue;
    uitest::BoxSeen seen;
    uitest::answerBox(&seen, kiro::ui::IdYes);
    EXPECT_TRUE(kiro::ui::ask(L"このメモを削除しますか？"));
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.caption, "Yes / No");
    EXPECT_EQ(seen.text, "このメモを削除しますか？");

    uitest::BoxSeen second;
    uitest::answerBox(&second, kiro::ui::IdNo);
    EXPECT_FALSE(kiro::ui::ask(L"保護以外の全てのメモを削除しますか？"));
    EXPECT_TRUE(second.seen);
    EXPECT_EQ(second.text, "保護以外の全てのメモを削除しますか？");
}

}  // namespace
