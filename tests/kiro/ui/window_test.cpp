// Window: dispatch order and results, observers, lifecycle, titles, timers, geometry.
#include "kiro/ui/window.h"

#include <gtest/gtest.h>

#include <memory>

#include "kiro/ui/screen.h"
#include "pump.h"
#include "recorder.h"

namespace kiro::ui {
namespace {

using test::Recorder;
using test::pump;
using test::pumpUntil;

std::wstring expectedTitle(int n) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"window #%02d", n);
    return buffer;
}

TEST(Window, TitlesAreNumberedByTheLiveCount) {
    const int before = Window::liveCount();
    auto a = std::make_unique<Window>();
    auto b = std::make_unique<Window>();
    auto c = std::make_unique<Window>();
    EXPECT_EQ(Window::liveCount(), before + 3);
    EXPECT_EQ(a->title(), expectedTitle(before + 1));
    EXPECT_EQ(c->title(), expectedTitle(before + 3));
    b.reset();
    EXPECT_EQ(Window::liveCount(), before + 2);
    Window d;
    EXPECT_EQ(d.title(), expectedTitle(before + 3));  // titles need not be unique
    d.setTitle(L"メモを編集中...");
    EXPECT_EQ(d.title(), L"メモを編集中...");
}

TEST(Window, OnMessageComesFirstAndItsResultEndsTheDispatch) {
    Recorder w;
    std::vector<std::uint32_t> seen;
    w.message = [&](std::uint32_t msg, WParam, LParam) -> LResult {
        seen.push_back(msg);
        return msg == wm::Close ? 7 : NotHandled;
    };
    EXPECT_EQ(w.sendMessage(wm::Close, 0, 0), 7);
    EXPECT_FALSE(w.has("close"));
    EXPECT_NE(w.handle(), nullptr);
    EXPECT_EQ(w.sendMessage(wm::Command, 5, 0), 0);
    EXPECT_EQ(w.log.back(), "menu 5");
    EXPECT_EQ(w.sendMessage(wm::Command, (3u << 16) | 9, 0), 0);
    EXPECT_EQ(w.log.back(), "command 9 3");
    EXPECT_EQ(seen.size(), 3u);
}

TEST(Window, UserMessagesReturnTheirResultEvenWhenNotHandled) {
    Recorder w;
    EXPECT_EQ(w.sendMessage(wm::App + 3, 42, 0), NotHandled);
    EXPECT_EQ(w.log.back(), "user " + std::to_string(wm::App + 3) + " 42");
    w.userResult = 11;
    EXPECT_EQ(w.sendMessage(wm::AppLast, 1, 0), 11);
    // Below the range they are ordinary messages that nobody handles.
    w.log.clear();
    EXPECT_EQ(w.sendMessage(wm::User + 1, 0, 0), 0);
    EXPECT_TRUE(w.log.empty());
    EXPECT_EQ(w.sendMessage(wm::AppLast + 1, 0, 0), 0);
    EXPECT_TRUE(w.log.empty());
}

TEST(Window, ObserversSeeMessagesBeforeTheHandlersAndCanTakeThem) {
    Recorder target, first, second;
    first.hook(&target);
    second.hook(&target);
    target.sendMessage(wm::Command, 4, 0);
    ASSERT_EQ(first.hooked.size(), 1u);
    EXPECT_EQ(first.hooked[0].first, &target);
    EXPECT_EQ(first.hooked[0].second, wm::Command);
    EXPECT_EQ(second.hooked.size(), 1u);
    EXPECT_EQ(target.log.back(), "menu 4");
    // An observer's answer is the message's result; the window's handler does not run.
    first.hookedResult = 0;
    second.hookedResult = 0;
    target.log.clear();
    EXPECT_EQ(target.sendMessage(wm::RButtonUp, 0, 0), 0);
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(first.hooked.size() + second.hooked.size(), 3u);  // the first answer ends it
    // User messages never reach observers.
    target.sendMessage(wm::App, 0, 0);
    EXPECT_EQ(first.hooked.size() + second.hooked.size(), 3u);
}

TEST(Window, UnhookingRemovesAnObserverFromEveryWindow) {
    Recorder a, b, watcher, other;
    watcher.hook(&a);
    watcher.hook(&b);
    other.hook(&a);
    watcher.hook(nullptr);
    a.sendMessage(wm::Command, 1, 0);
    b.sendMessage(wm::Command, 1, 0);
    EXPECT_TRUE(watcher.hooked.empty());
    EXPECT_EQ(other.hooked.size(), 1u);
    // A deleted observer is forgotten too.
    {
        Recorder gone;
        gone.hook(&b);
    }
    b.sendMessage(wm::Command, 2, 0);
    EXPECT_EQ(b.log.back(), "menu 2");
}

TEST(Window, CloseKeepsTheWindowWhenTheHandlerSaysSo) {
    Recorder keep;
    keep.closeResult = 0;
    keep.show();
    keep.sendMessage(wm::Close, 0, 0);
    EXPECT_TRUE(keep.has("close"));
    EXPECT_NE(keep.handle(), nullptr);
    EXPECT_FALSE(keep.has("destroy"));
    Recorder let;
    let.show();
    let.sendMessage(wm::Close, 0, 0);
    EXPECT_EQ(let.handle(), nullptr);
    EXPECT_EQ(let.count("destroy"), 1);
    let.destroy();  // once only
    EXPECT_EQ(let.count("destroy"), 1);
    let.show();  // calls on a destroyed window are harmless
    let.moveTo(1, 2);
    let.setTimer(10, 1);
    EXPECT_FALSE(let.hasTimer(1));
    Point p{5, 5};
    let.position(p);
    EXPECT_EQ(p.x, 0);
}

TEST(Window, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
    std::vector<std::string> order;
    auto owner = std::make_unique<Recorder>();
    auto owned = std::make_unique<Recorder>(owner.get(), ws::Popup, wsex::Layered);
    EXPECT_EQ(owned->parent(), owner.get());
    EXPECT_EQ(owner->children().count(owned.get()), 1u);
    owner->message = [&](std::uint32_t m, WParam, LParam) -> LResult {
        if (m == wm::Destroy) order.push_back("owner");
        return NotHandled;
    };
    owned->message = [&](std::uint32_t m, WParam, LParam) -> LResult {
        if (m == wm::Destroy) order.push_back("owned");
        return NotHandled;
    };
    owner->destroy();
    EXPECT_EQ(owned->handle(), nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
    owner.reset();
    EXPECT_EQ(owned->parent(), nullptr);  // the object outlives its owner
}

TEST(Window, DefaultButtonUpsBecomeKeyDowns) {
    Recorder w;
    w.sendMessage(wm::LButtonUp, 0, makeLParam(3, 4));
    w.sendMessage(wm::RButtonUp, 0, makeLParam(3, 4));
    EXPECT_EQ(w.log, (std::vector<std::string>{"keydown 1", "keydown 2"}));
}

TEST(Window, DecodesArguments) {
    Recorder w;
    w.sendMessage(wm::Move, 0, makeLParam(-50, -20));
    ASSERT_EQ(w.moves.size(), 1u);
    EXPECT_EQ(w.moves[0], std::make_pair(65486, 65516));  // unsigned 16-bit halves
    w.sendMessage(wm::MouseWheel, WParam(std::uint16_t(std::int16_t(-240))) << 16, 0);
    EXPECT_EQ(w.log.back(), "wheel -2");
    w.sendMessage(wm::Char, 0x12345, 0);
    EXPECT_EQ(w.log.back(), "char " + std::to_string(0x2345));
    w.sendMessage(wm::SetCursor, 0, makeLParam(ht::Client, int(wm::MouseMove)));
    EXPECT_EQ(w.lastCursorMessage, wm::MouseMove);
}

TEST(Window, TimersTickRestartAndDieWithTheWindow) {
    Recorder w;
    w.setTimer(20, 3);
    EXPECT_TRUE(w.hasTimer(3));
    ASSERT_TRUE(pumpUntil([&] { return w.timerIds.size() >= 3; }, 2000));
    EXPECT_EQ(w.timerIds[0], 3u);
    // Setting a running id again restarts it with the new interval.
    w.setTimer(5000, 3);
    w.timerIds.clear();
    pump(200);
    EXPECT_TRUE(w.timerIds.empty());
    w.setTimer(20, 0x10004);  // ids are 16-bit
    EXPECT_TRUE(w.hasTimer(4));
    ASSERT_TRUE(pumpUntil([&] { return !w.timerIds.empty(); }, 2000));
    EXPECT_EQ(w.timerIds[0], 4u);
    w.destroy();
    EXPECT_FALSE(w.hasTimer(3));
    EXPECT_FALSE(w.hasTimer(4));
    w.timerIds.clear();
    pump(150);
    EXPECT_TRUE(w.timerIds.empty());
}

TEST(Window, KillTimersStopsEveryTimer) {
    Recorder w;
    w.setTimer(15, 1);
    w.setTimer(15, 2);
    w.killTimers();
    pump(120);
    EXPECT_TRUE(w.timerIds.empty());
    // The default timer handler reaches onTimer() without an id.
    struct Ticker : Window {
        int ticks = 0;
        LResult onTimer() override {
            ++ticks;
            return 0;
        }
    } t;
    t.setTimer(15, 0);
    EXPECT_TRUE(pumpUntil([&] { return t.ticks >= 2; }, 2000));
}

TEST(Window, PostedMessagesArriveLaterInOrderAndNotAfterDestruction) {
    Recorder w;
    w.postMessage(wm::App + 1, 1, 0);
    w.postMessage(wm::App + 1, 2, 0);
    EXPECT_TRUE(w.log.empty());
    ASSERT_TRUE(pumpUntil([&] { return w.log.size() == 2; }));
    EXPECT_EQ(w.log[0], "user " + std::to_string(wm::App + 1) + " 1");
    EXPECT_EQ(w.log[1], "user " + std::to_string(wm::App + 1) + " 2");
    auto gone = std::make_unique<Recorder>();
    gone->postMessage(wm::App, 0, 0);
    gone.reset();
    pump(50);  // must not touch the deleted window
}

TEST(Window, GeometryFollowsMovesAndClientSizes) {
    Recorder w(nullptr, ws::Popup);
    w.moveTo(120, 80);
    w.setClientSize(150, 90);
    Point p{};
    w.position(p);
    EXPECT_EQ(p.x, 120);
    EXPECT_EQ(p.y, 80);
    Rect client{}, window{};
    w.getClientRect(client);
    w.getWindowRect(window);
    EXPECT_EQ(client.right, 150);
    EXPECT_EQ(client.bottom, 90);
    EXPECT_EQ(window.left, 120);
    EXPECT_EQ(window.right - window.left, w.width());
    EXPECT_EQ(w.width(), 150);
    EXPECT_EQ(w.height(), 90);
    EXPECT_TRUE(w.has("size 150x90"));
    ASSERT_FALSE(w.moves.empty());
    EXPECT_EQ(w.moves.back(), std::make_pair(120, 80));
    w.show();
    pump(200);  // the server's confirmations change nothing
    w.position(p);
    EXPECT_EQ(p.x, 120);
    Size s{};
    w.clientSize(s);
    EXPECT_EQ(s.cx, 150);
    EXPECT_EQ(s.cy, 90);
}

TEST(Window, PaintsWhatOnPaintDrawsWhenShown) {
    Recorder w(nullptr, ws::Popup);
    w.setClientSize(60, 40);
    w.painter = [](Canvas& c) {
        EXPECT_EQ(c.width(), 60);
        EXPECT_EQ(c.height(), 40);
        c.clear(rgb(0, 0, 255));
    };
    w.invalidate();
    pump(50);
    EXPECT_FALSE(w.has("paint"));  // hidden windows are not painted
    w.show();
    ASSERT_TRUE(pumpUntil([&] { return w.has("paint"); }));
    // Several invalidations before the paint give one paint.
    w.log.clear();
    w.invalidate();
    w.invalidate();
    pump(100);
    EXPECT_EQ(w.count("paint"), 1);
}

TEST(Window, WorkAreaIsOnTheScreen) {
    const Rect area = workArea();
    EXPECT_GT(area.right - area.left, 100);
    EXPECT_GT(area.bottom - area.top, 100);
    EXPECT_GE(area.left, 0);
    EXPECT_GE(area.top, 0);
}

}  // namespace
}  // namespace kiro::ui
