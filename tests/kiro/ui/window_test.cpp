// Window: dispatch order and results, observers, lifecycle, timers, posted messages,
// geometry and painting.
#include "kiro/ui/window.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;
using test::XY;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::start()) GTEST_SKIP() << "no display";
    }
};

TEST_F(WindowTest, OnMessageComesFirstCommandsAreDecodedAndUserMessagesReturnTheirResult) {
    Recorder w;
    int seen = 0;
    w.message = [&](std::uint32_t msg, WParam, LParam) -> LResult {
        ++seen;
        return msg == wm::Close ? 7 : NotHandled;
    };
    EXPECT_EQ(w.sendMessage(wm::Close, 0, 0), 7);
    EXPECT_FALSE(w.has("close"));
    EXPECT_NE(w.handle(), nullptr);
    EXPECT_EQ(w.sendMessage(wm::Command, 5, 0), 0);
    EXPECT_EQ(w.log.back(), "menu 5");
    EXPECT_EQ(w.sendMessage(wm::Command, (3u << 16) | 9, 0), 0);
    EXPECT_EQ(w.log.back(), "command 9 3");
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(w.sendMessage(wm::App + 3, 42, 0), NotHandled);  // even when not handled
    EXPECT_EQ(w.log.back(), "user " + std::to_string(wm::App + 3) + " 42");
    w.userResult = 11;
    EXPECT_EQ(w.sendMessage(wm::AppLast, 1, 0), 11);
    // Outside the range they are ordinary messages that nobody handles.
    w.log.clear();
    EXPECT_EQ(w.sendMessage(wm::User + 1, 0, 0), 0);
    EXPECT_EQ(w.sendMessage(wm::AppLast + 1, 0, 0), 0);
    EXPECT_TRUE(w.log.empty());
}

TEST_F(WindowTest, ObserversSeeMessagesFirstCanTakeThemAndUnhookFromEveryWindow) {
    Recorder target, first, second;
    first.hook(&target);
    second.hook(&target);
    target.sendMessage(wm::Command, 4, 0);
    ASSERT_EQ(first.hooked.size(), 1u);
    EXPECT_EQ(first.hooked[0], std::make_pair(static_cast<Window*>(&target), wm::Command));
    EXPECT_EQ(second.hooked.size(), 1u);
    EXPECT_EQ(target.log.back(), "menu 4");
    // An observer's answer is the message's result: the window's handler and later observers
    // do not see it. User messages never reach observers.
    first.hookedResult = second.hookedResult = 0;
    target.log.clear();
    EXPECT_EQ(target.sendMessage(wm::RButtonUp, 0, 0), 0);
    target.sendMessage(wm::App, 0, 0);
    EXPECT_EQ(target.log, std::vector<std::string>{"user " + std::to_string(wm::App) + " 0"});
    EXPECT_EQ(first.hooked.size() + second.hooked.size(), 3u);
    // Unhooking, or deleting the observer, removes it from every window.
    Recorder a, b, other;
    first.hooked.clear();
    first.hook(&a);
    first.hook(&b);
    other.hook(&a);
    first.hook(nullptr);
    {
        Recorder gone;
        gone.hook(&b);
    }
    a.sendMessage(wm::Command, 1, 0);
    b.sendMessage(wm::Command, 2, 0);
    EXPECT_TRUE(first.hooked.empty());
    EXPECT_EQ(other.hooked.size(), 1u);
    EXPECT_EQ(b.log.back(), "menu 2");
}

TEST_F(WindowTest, CloseAsksTheHandlerAndDestroyHappensOnceOwnedWindowsFirst) {
    Recorder keep;
    keep.closeResult = 0;
    keep.sendMessage(wm::Close, 0, 0);
    EXPECT_TRUE(keep.has("close"));
    EXPECT_NE(keep.handle(), nullptr);
    auto owner = std::make_unique<Recorder>();
    Recorder owned(owner.get(), ws::Popup, wsex::Layered);
    EXPECT_EQ(owned.parent(), owner.get());
    EXPECT_EQ(owner->children().count(&owned), 1u);
    std::vector<std::string> order;
    owner->message = [&](std::uint32_t m, WParam, LParam) -> LResult {
        if (m == wm::Destroy) order.push_back("owner");
        return NotHandled;
    };
    owned.message = [&](std::uint32_t m, WParam, LParam) -> LResult {
        if (m == wm::Destroy) order.push_back("owned");
        return NotHandled;
    };
    owner->show();
    owner->sendMessage(wm::Close, 0, 0);
    EXPECT_EQ(owner->handle(), nullptr);
    EXPECT_EQ(owned.handle(), nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
    owner->destroy();
    EXPECT_EQ(owner->count("destroy"), 1);
    owner->show();  // calls on a destroyed window are harmless
    owner->moveTo(1, 2);
    owner->setTimer(10, 1);
    EXPECT_FALSE(owner->hasTimer(1));
    EXPECT_EQ(test::placeOf(*owner), XY(0, 0));
    owner.reset();
    EXPECT_EQ(owned.parent(), nullptr);  // the object outlives its owner
}

TEST_F(WindowTest, DecodesArgumentsAndTurnsUnhandledButtonUpsIntoKeyDowns) {
    Recorder w;
    w.sendMessage(wm::Move, 0, makeLParam(-50, -20));
    EXPECT_EQ(w.moves.back(), XY(65486, 65516));  // unsigned 16-bit halves
    w.sendMessage(wm::MouseWheel, WParam(std::uint16_t(std::int16_t(-240))) << 16, 0);
    w.sendMessage(wm::Char, 0x12345, 0);
    w.sendMessage(wm::SetCursor, 0, makeLParam(ht::Client, int(wm::MouseMove)));
    EXPECT_EQ(w.lastCursorMessage, wm::MouseMove);
    w.sendMessage(wm::LButtonUp, 0, makeLParam(3, 4));
    w.sendMessage(wm::RButtonUp, 0, makeLParam(3, 4));
    EXPECT_EQ(w.log,
              (std::vector<std::string>{"wheel -2", "char " + std::to_string(0x2345), "keydown 1", "keydown 2"}));
}

TEST_F(WindowTest, TimersTickRestartAndDieWithTheWindow) {
    Recorder w;
    w.setTimer(20, 3);
    ASSERT_TRUE(uitest::waitUntil([&] { return w.timerIds.size() >= 2; }));
    EXPECT_EQ(w.timerIds[0], 3u);
    w.setTimer(5000, 3);  // a running id set again restarts with the new interval
    w.timerIds.clear();
    uitest::pump(200);
    EXPECT_TRUE(w.timerIds.empty());
    w.setTimer(20, 0x10004);  // ids are 16-bit
    EXPECT_TRUE(w.hasTimer(4));
    ASSERT_TRUE(uitest::waitUntil([&] { return !w.timerIds.empty(); }));
    EXPECT_EQ(w.timerIds[0], 4u);
    w.destroy();
    EXPECT_FALSE(w.hasTimer(3) || w.hasTimer(4));
    w.timerIds.clear();
    uitest::pump(100);
    EXPECT_TRUE(w.timerIds.empty());
    // killTimers stops every timer; the default timer handler reaches onTimer() without an id.
    struct Ticker : Window {
        int ticks = 0;
        LResult onTimer() override { return ++ticks, 0; }
    } t;
    t.setTimer(15, 1);
    t.setTimer(15, 2);
    t.killTimers();
    uitest::pump(120);
    EXPECT_EQ(t.ticks, 0);
    t.setTimer(15, 0);
    EXPECT_TRUE(uitest::waitUntil([&] { return t.ticks >= 2; }));
}

TEST_F(WindowTest, PostedMessagesArriveLaterInOrderAndNeverAfterDestruction) {
    Recorder w;
    w.postMessage(wm::App + 1, 1, 0);
    w.postMessage(wm::App + 1, 2, 0);
    EXPECT_TRUE(w.log.empty());
    ASSERT_TRUE(uitest::waitUntil([&] { return w.log.size() == 2; }));
    EXPECT_EQ(w.log[1], "user " + std::to_string(wm::App + 1) + " 2");
    auto gone = std::make_unique<Recorder>();
    gone->postMessage(wm::App, 0, 0);
    gone.reset();
    uitest::pump(50);  // must not touch the deleted window
}

TEST_F(WindowTest, GeometryFollowsMovesAndSizesAndPaintingWaitsForShowing) {
    Recorder w(nullptr, ws::Popup);
    w.moveTo(120, 80);
    w.setClientSize(150, 90);
    w.painter = [](Canvas& c) { EXPECT_EQ(XY(c.width(), c.height()), XY(150, 90)); };
    Rect client{}, window{};
    w.getClientRect(client);
    w.getWindowRect(window);
    EXPECT_EQ(XY(client.right, client.bottom), XY(150, 90));
    EXPECT_EQ(XY(window.left, window.right - window.left), XY(120, 150));
    EXPECT_EQ(XY(w.width(), w.height()), XY(150, 90));
    EXPECT_TRUE(w.has("size 150x90"));
    EXPECT_EQ(w.moves.back(), XY(120, 80));
    w.invalidate();
    uitest::pump(50);
    EXPECT_FALSE(w.has("paint"));  // hidden windows are not painted
    w.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("paint"); }));
    uitest::pump(150);  // the platform's confirmations change nothing
    EXPECT_EQ(test::placeOf(w), XY(120, 80));
    EXPECT_EQ(test::sizeOf(w), XY(150, 90));
    w.log.clear();
    w.invalidate();
    w.invalidate();
    uitest::pump(100);
    EXPECT_EQ(w.count("paint"), 1);  // several invalidations, one paint
}

}  // namespace
}  // namespace kiro::ui
