// The built program on a display: the two switches of the context menu, muting and leaving
// the topmost layer, act at once and come back with their check marks after a restart; the
// other items keep no mark. (The layer is judged on Linux: under Wine no manager shows it.)
#include "support/desktop_x11.h"

namespace e2e {
namespace {

using PreferencesTest = ProgramTest;

TEST_F(PreferencesTest, MutingAndLeavingTheTopmostLayerActAtOnceAndSurviveARestart) {
    const bool layers = runner() == nullptr;
    std::chrono::milliseconds wakeUp{};  // how long the first start took to say its wake-up line
    for (const bool restarted : {false, true}) {
        SCOPED_TRACE(restarted ? "restarted muted and below" : "first start");
        const auto app = start();
        const auto started = std::chrono::steady_clock::now();
        const auto body = app->waitBody();
        ASSERT_TRUE(body);
        const auto above = [&](::Window id) { return desk_->hasState(id, "_NET_WM_STATE_ABOVE"); };
        if (!restarted) {
            // "ちょっとどいて(&G)": the character window leaves the topmost layer at once, and so
            // does the balloon, which the character window owns.
            if (layers) {
                EXPECT_TRUE(waitFor([&] { return above(body->id); }, 10s)) << "not kept above";
                ASSERT_TRUE(app->pick(*body, "g"));
                EXPECT_TRUE(waitFor([&] { return !above(body->id); }, 5s));
            }
            ASSERT_TRUE(waitFor([&] { return app->balloonShowing(*body); }, 60s)) << "no wake-up line";
            wakeUp = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
            EXPECT_FALSE(layers && above(app->balloon(*body)->id));
            ASSERT_TRUE(waitFor([&] { return !app->balloonShowing(*body); }, 30s)) << "the wake-up line stays";
        } else {
            // Muted from the start, the wake-up line does not come in twice the time it took
            // before; by then start-up has left the character below the other windows.
            EXPECT_FALSE(waitFor([&] { return app->balloonShowing(*body); }, 2 * wakeUp + 3s)) << "the wake-up line";
            EXPECT_FALSE(layers && above(body->id)) << "the character came back above the others";
        }
        // "ちょっと黙って(&Q)" flips the mark: a click that makes the character speak is
        // answered only when it is not muted.
        ASSERT_TRUE(app->pick(*body, "q"));
        app->clickAt(app->pointOn(*body), 1);
        EXPECT_EQ(waitFor([&] { return app->balloonShowing(*body); }, restarted ? 10s : 4s), restarted);
        if (restarted && layers) {
            // Picking the other switch again clears its mark: the character is above again.
            ASSERT_TRUE(app->pick(*body, "g"));
            EXPECT_TRUE(waitFor([&] { return above(body->id); }, 5s));
        }
        ASSERT_TRUE(app->pick(*body, "x"));
        ASSERT_EQ(app->waitExit(10s), 0);
        EXPECT_EQ(preference("4"), restarted ? "false" : "true");
        EXPECT_EQ(preference("3"), layers && !restarted ? "true" : "false");
        // Marks put by hand on the items that are no switches are not taken: stored as false again.
        auto stored = state();
        for (const char* key : {"1", "2", "6"}) {
            EXPECT_EQ(preference(key), "false") << key;
            stored[L"user.preference"][kiro::io::fromUtf8(key)].setBool(true);
        }
        stored.save();
    }
}

}  // namespace
}  // namespace e2e
