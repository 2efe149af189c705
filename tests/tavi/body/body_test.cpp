// The body window: its size, the events a click posts, the motions it falls back to, and
// closing it ending the program's loop.
#include "tavi/body/body.h"

#include <gtest/gtest.h>

#include "kiro/ui/loop.h"
#include "support/unitfolder.h"
#include "tavi/body/skin.h"
#include "tavi/body/textbox.h"
#include "tavi/braininterface.h"

namespace tavi {
namespace {

struct RecordingBrain : BrainInterface {
    void post(const EventMessage& message) override { names.push_back(message.name); }
    std::vector<std::wstring> names;
};

class BodyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(uitest::start());
        folder.addUnit("a", "{}");
        body = std::make_unique<Body>(nullptr, L"units\\a\\body\\", &brain);
        uitest::pump(200);
    }
    test::UnitFolder folder;
    RecordingBrain brain;
    std::unique_ptr<Body> body;
};

TEST_F(BodyTest, TakesItsLargestPicturesSizeAndAClickPostsDragThenDrop) {
    body->update(0.05f);  // the motions after the first load once it has been painted
    kiro::ui::Rect r{};
    body->getWindowRect(r);
    EXPECT_EQ(std::pair(r.right - r.left, r.bottom - r.top), std::pair(40, 60));  // the widest, the tallest
    EXPECT_TRUE(body->isVisible());
    uitest::moveTo(r.left + 20, r.top + 10);
    uitest::click(1);
    EXPECT_TRUE(uitest::waitUntil([&] { return brain.names.size() >= 2; }));
    uitest::pump(200);
    EXPECT_EQ(brain.names, (std::vector<std::wstring>{L"unit_drag", L"unit_drop"}));
}

TEST_F(BodyTest, StandbyForTenSecondsOfSilenceThenIdleUntilItSpeaksAgain) {
    EXPECT_EQ(body->skin().currentName(), L"idle");
    body->update(0.05f);
    EXPECT_EQ(body->skin().currentName(), L"standby");
    for (int i = 0; i < 195; ++i) body->update(0.05f);  // 9.8 s of silence
    EXPECT_EQ(body->skin().currentName(), L"standby");
    for (int i = 0; i < 10; ++i) body->update(0.05f);
    EXPECT_EQ(body->skin().currentName(), L"idle");
    body->speak(L"やあ", L"happy");
    EXPECT_TRUE(body->isSpeaking());
    EXPECT_EQ(body->skin().currentName(), L"happy");
    body->speak(L"もう一度", L"no-such-motion");  // the text shows, the motion goes on
    EXPECT_EQ(body->skin().currentName(), L"happy");
    EXPECT_EQ(body->balloon().lines().lines().size(), 2u);
    while (body->isSpeaking()) body->update(0.05f);
    body->update(0.05f);
    EXPECT_EQ(body->skin().currentName(), L"standby");
}

TEST_F(BodyTest, ClosingTheCharacterEndsTheProgramLoop) {
    uitest::every(50, [&] { return body->onClose(), false; });
    uitest::Rescue rescue(5000);
    kiro::ui::runLoop();  // returns only because closing the body quit it
    EXPECT_FALSE(rescue.fired());
}

}  // namespace
}  // namespace tavi
