// The built program on a display: the two switches of the context menu, muting and leaving
// the topmost layer, act at once and come back with their check marks after a restart; the
// other items keep no mark.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

class PreferencesTest : public ProgramTest {
protected:
    std::string preference(const std::string& key) {
        const IniMap state = copy_->state();
        const auto section = state.find("user.preference");
        if (section == state.end()) return "(no section)";
        const auto value = section->second.find(key);
        return value == section->second.end() ? "(no key)" : value->second;
    }
};

TEST_F(PreferencesTest, MutingSilencesTheCharacterAndSurvivesARestart) {
    {
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        ASSERT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line";
        ASSERT_TRUE(waitFor([&] { return !c.balloonShowing(*body); }, 30s)) << "the wake-up line stays";

        // "ちょっと黙って(&Q)": a click that would make the character speak now goes unanswered.
        ASSERT_TRUE(c.pick(*body, "q"));
        c.poke(*body);
        EXPECT_FALSE(waitFor([&] { return c.balloonShowing(*body); }, 4s)) << "a muted character spoke";

        ASSERT_TRUE(c.pick(*body, "x"));
        ASSERT_EQ(app.waitExit(10s), 0);
        EXPECT_EQ(preference("4"), "true");
    }
    {
        // Muted from the start: the brain loads (the status line shows its progress and goes
        // 4 s after loading ends) but the wake-up line never appears.
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        bool spoke = false;
        bool statusSeen = false;
        const auto shown = std::chrono::steady_clock::now();
        const bool loaded = waitFor(
            [&] {
                spoke = spoke || c.balloonShowing(*body);
                const bool status = c.statusShowing(*body);
                statusSeen = statusSeen || status;
                if (statusSeen) return !status;
                // The Windows package has no language module: its brain may have loaded, and its
                // status line gone, before the first frame is on the screen.
                return runner() != nullptr && std::chrono::steady_clock::now() - shown > 8s;
            },
            60s, 100ms);
        ASSERT_TRUE(statusSeen || runner() != nullptr) << "no status line while loading";
        ASSERT_TRUE(loaded) << "the status line stays";
        spoke = spoke || waitFor([&] { return c.balloonShowing(*body); }, 1500ms);
        EXPECT_FALSE(spoke) << "the wake-up line of a muted character appeared";

        // The check mark is back: picking the item again clears it, and the character speaks.
        ASSERT_TRUE(c.pick(*body, "q"));
        c.poke(*body);
        EXPECT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 10s)) << "no answer to the click after unmuting";

        ASSERT_TRUE(c.pick(*body, "x"));
        ASSERT_EQ(app.waitExit(10s), 0);
        EXPECT_EQ(preference("4"), "false");
    }
}

TEST_F(PreferencesTest, LeavingTheTopmostLayerSurvivesARestart) {
    const char* const AboveState = "_NET_WM_STATE_ABOVE";
    {
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        EXPECT_TRUE(waitFor([&] { return desk_->hasState(body->id, AboveState); }, 10s))
            << "the character is not kept above";

        // "ちょっとどいて(&G)": the character window leaves the topmost layer at once.
        ASSERT_TRUE(c.pick(*body, "g"));
        EXPECT_TRUE(waitFor([&] { return !desk_->hasState(body->id, AboveState); }, 5s));
        // So does the balloon, which the character window owns.
        if (waitFor([&] { return c.balloonShowing(*body); }, 60s)) {
            const auto balloon = c.balloon(*body);
            ASSERT_TRUE(balloon);
            EXPECT_FALSE(desk_->hasState(balloon->id, AboveState));
        } else {
            ADD_FAILURE() << "no wake-up line";
        }

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
    {
        AppProcess app(*copy_);
        Companion c(*desk_, app);
        const auto body = c.waitBody();
        ASSERT_TRUE(body);
        // Once the menu answers, start-up has applied the switch.
        ASSERT_TRUE(c.openMenu(*body));
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
}

}  // namespace
}  // namespace e2e
