// The built program on a display: the two switches of the context menu, muting and leaving
// the topmost layer, act at once and come back with their check marks after a restart; the
// other items keep no mark.
#include "support/desktop_x11.h"

namespace e2e {
namespace {

using PreferencesTest = ProgramTest;

TEST_F(PreferencesTest, MutingSilencesTheCharacterAndSurvivesARestart) {
    auto wakeUp = 60000ms;  // how long the first start took to say its wake-up line
    for (const bool muted : {false, true}) {
        SCOPED_TRACE(muted ? "started muted" : "started speaking");
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto start = std::chrono::steady_clock::now();
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        // Muted from the start, the wake-up line does not come in twice the time it took before.
        const bool spoke = waitFor([&] { return c.balloonShowing(*body); }, muted ? 2 * wakeUp + 3s : wakeUp);
        ASSERT_EQ(spoke, !muted) << "the wake-up line";
        wakeUp = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        ASSERT_TRUE(waitFor([&] { return !c.balloonShowing(*body); }, 30s)) << "the wake-up line stays";
        // "ちょっと黙って(&Q)" flips the mark: a click that makes the character speak is
        // answered only when it is not muted.
        ASSERT_TRUE(c.pick(*body, "q"));
        c.click(*body, 1);
        EXPECT_EQ(waitFor([&] { return c.balloonShowing(*body); }, muted ? 10s : 4s), muted);
        ASSERT_TRUE(c.pick(*body, "x"));
        ASSERT_EQ(app.waitExit(10s), 0);
        EXPECT_EQ(preference("4"), muted ? "false" : "true");
    }
}

TEST_F(PreferencesTest, LeavingTheTopmostLayerSurvivesARestart) {
    const char* const AboveState = "_NET_WM_STATE_ABOVE";
    {
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        EXPECT_TRUE(waitFor([&] { return desk_->hasState(body->id, AboveState); }, 10s)) << "not kept above";
        // "ちょっとどいて(&G)": the character window leaves the topmost layer at once, and so
        // does the balloon, which the character window owns.
        ASSERT_TRUE(c.pick(*body, "g"));
        EXPECT_TRUE(waitFor([&] { return !desk_->hasState(body->id, AboveState); }, 5s));
        ASSERT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line";
        EXPECT_FALSE(desk_->hasState(c.balloon(*body)->id, AboveState));
        ASSERT_TRUE(c.pick(*body, "x"));
        ASSERT_EQ(app.waitExit(10s), 0);
        EXPECT_EQ(preference("3"), "true");
    }
    // Marks put by hand on the items that are no switches are not taken: stored as false again.
    std::string state = readFile(copy_->statePath());
    for (const std::string key : {"\n1=false", "\n2=false", "\n6=false"}) {
        const auto at = state.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        state.replace(at, key.size(), key.substr(0, 3) + "true");
    }
    writeFile(copy_->statePath(), state);
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    // Once the menu answers, start-up has applied the switch.
    ASSERT_TRUE(c.click(*body));
    xdotool("key Escape");
    ASSERT_TRUE(waitFor([&] { return !c.openMenuWindow(); }, 5s));
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(desk_->hasState(body->id, AboveState)) << "the character came back above the other windows";
    // Picking it again clears the mark: the character is above again.
    ASSERT_TRUE(c.pick(*body, "g"));
    EXPECT_TRUE(waitFor([&] { return desk_->hasState(body->id, AboveState); }, 5s));
    app.endSession();
    ASSERT_EQ(app.waitExit(10s), 0);
    for (const char* key : {"3", "1", "2", "6"}) EXPECT_EQ(preference(key), "false") << key;
}

}  // namespace
}  // namespace e2e
