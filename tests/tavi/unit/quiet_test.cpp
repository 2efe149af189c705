// Two characters whose brains draw conversation lines at the same moment take turns: the
// quiet rule is checked again on the user-interface thread before a line is shown.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "kiro/ui/loop.h"
#include "support/unitfolder.h"
#include "tavi/body/body.h"
#include "tavi/body/textbox.h"
#include "tavi/unit/unit.h"

namespace tavi {
namespace {

TEST(Quiet, CharactersWhoseSilenceEndsTogetherTakeTurns) {
    ASSERT_TRUE(kiro::ui::initializeToolkit());
    test::UnitFolder folder;
    folder.addUnit("a", "{}", R"({"boredom": {"texts": ["あのね"]}})");
    folder.addUnit("b", "{}", R"({"boredom": {"texts": ["ねえねえ"]}})");
    // Every reading of this clock is a minute later: each brain is bored in its first cycle.
    auto minutes = std::make_shared<std::atomic<uint32_t>>(0);
    std::atomic<int> waiting{0};
    BrainOptions options;
    options.clock = [minutes] { return *minutes += 61000; };
    options.wake = [&] { ++waiting; };
    Unit a(nullptr, L"a", options);
    Unit b(nullptr, L"b", options);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waiting < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(waiting, 2) << "both brains have a line ready";

    a.update(0.05f);
    b.update(0.05f);
    EXPECT_TRUE(a.body()->isSpeaking());
    EXPECT_FALSE(b.body()->isSpeaking());
    for (int tick = 0; tick < 400 && a.body()->isSpeaking(); ++tick) {
        a.update(0.05f);
        b.update(0.05f);
        ASSERT_FALSE(a.body()->isSpeaking() && b.body()->isSpeaking()) << "talking over, tick " << tick;
    }
    ASSERT_FALSE(a.body()->isSpeaking());
    EXPECT_TRUE(b.body()->isSpeaking()) << "the held line comes as soon as the other is silent";
    EXPECT_EQ(b.body()->balloon().lines().lines().back().text, L"ねえねえ");
}

}  // namespace
}  // namespace tavi
