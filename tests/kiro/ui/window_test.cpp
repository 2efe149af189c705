// Window: dispatch order and results, observers, lifecycle, timers, posted messages,
// geometry, painting, clicks, drops and the clipboard; input from the pointer and keyboard;
// the UI thread's task queue.
#include "kiro/ui/window.h"

#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "kiro/ui/canvas.h"
#include "kiro/ui/clipboard.h"
#include "kiro/ui/loop.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::Recorder;
using test::XY;
using WindowTest = uitest::Ui;
using Log = std::vector<std::string>;

static std::string user(std::uint32_t msg, int w) {
    return "user " + std::to_string(msg) + " " + std::to_string(w);
}

// Each case under ui/window is a script of steps on windows named by a word, one a line:
// "new NAME [OWNER]", "send NAME MSG W L" (gives the result), "answer NAME MSG R" (onMessage
// answers R to MSG and notes every message it sees), "result NAME user|close|hooked R" (what
// that handler returns), "hook NAME TARGET" (- unhooks), "delete", "destroy", "show",
// "move NAME X Y", "timer NAME MS ID" (whether it runs) and "state NAME". Numbers may be
// hexadecimal; other lines are comments. Each step is written back with what it gave and the
// handlers that ran meanwhile, in order, as "| window: entry".
TEST_F(WindowTest, HandlersRunAndAnswerAsEachCaseSays) {
    tavi::test::runCases("ui/window", [](const std::string& script) {
        auto number = [](const std::string& s) { return std::uint32_t(std::stoll(s, nullptr, 0)); };
        std::vector<std::string> journal;  // outlives the windows, which note their end in it
        std::map<std::string, std::unique_ptr<Recorder>> windows;
        std::istringstream lines(script);
        std::ostringstream out;
        for (std::string line; std::getline(lines, line); journal.clear()) {
            std::istringstream in(line);
            std::string verb, name, a, b, c;
            in >> verb >> name >> a >> b >> c;
            if (verb == "new") {
                auto& w = windows[name] =
                    std::make_unique<Recorder>(a.empty() ? nullptr : windows.at(a).get(), ws::Popup);
                w->name = name;
                w->journal = &journal;
            }
            Recorder* w = windows.count(name) ? windows.at(name).get() : nullptr;
            out << line;
            if (verb == "send") out << " = " << w->sendMessage(number(a), number(b), number(c));
            if (verb == "answer")
                w->message = [&journal, name, msg = number(a), r = number(b)](std::uint32_t m, WParam, LParam) {
                    journal.push_back(name + ": asked " + std::to_string(m));
                    return m == msg ? LResult(r) : NotHandled;
                };
            if (verb == "result")
                (a == "user" ? w->userResult : a == "close" ? w->closeResult : w->hookedResult) = number(b);
            if (verb == "hook") w->hook(a == "-" ? nullptr : windows.at(a).get());
            if (verb == "delete") windows.erase(name);
            if (verb == "destroy") w->destroy();
            if (verb == "show") w->show();
            if (verb == "move") w->moveTo(int(number(a)), int(number(b)));
            if (verb == "timer") {
                w->setTimer(number(a), number(b));
                out << " = " << w->hasTimer(number(b));
            }
            if (verb == "state") {
                const XY at = test::placeOf(*w), moved = w->moves.empty() ? XY{} : w->moves.back();
                out << " = " << (w->handle() ? "live" : "gone") << " owner "
                    << (w->parent() ? static_cast<Recorder*>(w->parent())->name : "-") << " owns "
                    << w->children().size() << " at " << at.first << "," << at.second << " moved " << moved.first << ","
                    << moved.second << " cursor " << w->lastCursorMessage;
            }
            for (const std::string& e : journal) out << " | " << e;
            out << "\n";
        }
        return tavi::test::Outcome{out.str(), ""};
    });
}

TEST_F(WindowTest, TimersAndPostedMessagesArriveLaterAndDieWithTheWindow) {
    Recorder w;
    w.setTimer(20, 3);
    w.postMessage(wm::App + 1, 1, 0);
    w.postMessage(wm::App + 1, 2, 0);
    EXPECT_TRUE(w.log.empty());
    ASSERT_TRUE(uitest::waitUntil([&] { return w.timerIds.size() >= 2 && w.timerIds[0] == 3; }));
    EXPECT_EQ(w.log, (Log{user(wm::App + 1, 1), user(wm::App + 1, 2)}));
    w.setTimer(5000, 3);  // a running id set again restarts with the new interval
    w.timerIds.clear();
    uitest::pump(200);
    EXPECT_TRUE(w.timerIds.empty());
    w.setTimer(20, 0x10004);  // ids are 16-bit
    EXPECT_TRUE(w.hasTimer(4));
    ASSERT_TRUE(uitest::waitUntil([&] { return !w.timerIds.empty() && w.timerIds[0] == 4; }));
    w.postMessage(wm::App, 0, 0);
    w.destroy();
    EXPECT_FALSE(w.hasTimer(3) || w.hasTimer(4));
    w.timerIds.clear();
    std::make_unique<Recorder>()->postMessage(wm::App, 0, 0);
    uitest::pump(100);  // must not touch the deleted window
    EXPECT_TRUE(w.timerIds.empty() && w.log.back() == "destroy");
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

TEST_F(WindowTest, GeometryFollowsMovesAndSizesAndPaintingWaitsForShowing) {
    Recorder w(nullptr, ws::Popup);
    w.moveTo(120, 80);
    w.setClientSize(150, 90);
    w.painter = [](Canvas& c) { EXPECT_EQ(XY(c.width(), c.height()), XY(150, 90)); };
    Rect client{}, window{};
    w.getClientRect(client);
    w.getWindowRect(window);
    EXPECT_EQ((std::vector<int>{client.right, client.bottom, window.left, window.right - window.left, w.width(),
                                w.height(), w.moves.back().first, w.moves.back().second}),
              (std::vector<int>{150, 90, 120, 150, 150, 90, 120, 80}));
    EXPECT_TRUE(w.has("size 150x90"));
    w.invalidate();
    uitest::pump(50);
    EXPECT_FALSE(w.has("paint"));  // hidden windows are not painted
    w.show();
    ASSERT_TRUE(w.saw("paint"));
    uitest::pump(150);  // the platform's confirmations change nothing
    EXPECT_TRUE(test::placeOf(w) == XY(120, 80) && test::sizeOf(w) == XY(150, 90));
    w.log.clear();
    w.invalidate();
    w.invalidate();
    uitest::pump(100);
    EXPECT_EQ(w.count("paint"), 1);  // several invalidations, one paint
}

// Layered windows show their canvas's pixels at its size, ordinary ones the pixels without
// alpha (rows top-down); both take clicks, the hit test being left to the system.
TEST_F(WindowTest, WindowsShowTheirPixelsAndTakeClicks) {
    auto plain = test::shown(500, 200, 40, 40, 0, [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 200, 0), 255);
        c.drawRect(Rect{0, 0, 20, 20}, true, 0);
    });
    Recorder w(nullptr, ws::Popup, wsex::Layered);
    Rgb colour = rgb(200, 30, 40);
    w.painter = [&colour](Canvas& c) {
        c.resize(70, 50);
        c.clear(colour);
    };
    w.message = [](std::uint32_t msg, WParam, LParam) { return msg == wm::NcHitTest ? 0 : NotHandled; };
    w.moveTo(300, 200);
    w.show();
    ASSERT_TRUE(w.saw("paint"));
    uitest::pump(200);
    EXPECT_EQ(test::sizeOf(w), XY(70, 50));
    EXPECT_EQ(test::placeOf(w), XY(300, 200));
#ifndef _WIN32  // (under Wine the layered update brings no size message: the GTK backend's promise)
    EXPECT_TRUE(w.has("size 70x50"));
#endif
    EXPECT_EQ((std::vector<std::uint32_t>{uitest::screenPixel(335, 225), uitest::screenPixel(500, 200),
                                          uitest::screenPixel(510, 230), uitest::screenPixel(530, 210)}),
              (std::vector<std::uint32_t>{0xC81E28, 0x00C800, 0, 0}));  // transparent shows black
    colour = rgb(10, 220, 90);
    w.invalidate();
    EXPECT_TRUE(uitest::waitUntil([] { return uitest::screenPixel(335, 225) == 0x0ADC5Au; }));
    for (Recorder* r : {&w, plain.get()}) {
        uitest::moveTo(test::placeOf(*r).first + 5, test::placeOf(*r).second + 5);
        uitest::click(1);
        EXPECT_TRUE(r->saw("keydown 1"));
    }
}

TEST_F(WindowTest, DropsNotTakenAreKeptAndClipboardTextRoundTripsWithNoticesWhileListening) {
    Recorder w(nullptr, ws::Popup, wsex::AcceptFiles);
    uitest::dropFiles(w, {L"a.txt", L"メモ 2.dat"});
    w.dropResult = 0;  // a drop the handler takes leaves the queue as it was
    uitest::dropFiles(w, {L"b"});
    EXPECT_TRUE(w.has("drop 2") && w.has("drop 1"));
    EXPECT_EQ(w.droppedFiles(), (std::deque<std::wstring>{L"a.txt", L"メモ 2.dat"}));
    // Clipboard text round trips; empty text is refused; notices come only while listening.
    const std::wstring text = L"メモ：今日は晴れ\n二行目 tab\there";
    w.listenClipboard(true);
    ASSERT_TRUE(setClipboardText(text));
    ASSERT_TRUE(w.saw("clipboard"));
    EXPECT_EQ(getClipboardText(), text);
    w.listenClipboard(false);
    w.log.clear();
    EXPECT_FALSE(setClipboardText(L""));
    EXPECT_EQ(getClipboardText(), text);
    ASSERT_TRUE(setClipboardText(std::wstring{L'a', wchar_t(0xD800), L'b'}));
    uitest::pump(200);
    EXPECT_FALSE(w.has("clipboard"));
#ifndef _WIN32  // UTF-8 cannot carry a lone surrogate
    EXPECT_EQ(getClipboardText(), L"a\uFFFDb");
#endif
}

#ifndef _WIN32  // (input from the pointer and keyboard is judged on Linux)
// Window input from the platform's pointer and keyboard: dragging, clicks, double clicks,
// pointer entry and exit, clicks through transparent pixels, wheel and keys.
using WindowInput = uitest::Ui;

// A window that keeps its left edge at 230 or beyond while it is dragged.
struct Held : Recorder {
    using Recorder::Recorder;
    LResult onMoving(Rect* r) override {
        if (r->left < 230) {
            r->right += 230 - r->left;
            r->left = 230;
        }
        return Recorder::onMoving(r);
    }
};

// The pointer moved through the points, the loop turned after each.
static void through(std::initializer_list<XY> points) {
    for (const auto& [x, y] : points) {
        uitest::moveTo(x, y);
        uitest::pump(80);
    }
}

TEST_F(WindowInput, ClicksReleaseOnceAndDragsMoveTheWindowStepByStepAsTheMovingHandlerAdjusts) {
    auto w = test::shown<Held>(200, 200, 100, 100, wsex::Layered, [](Canvas& c) { c.clear(rgb(200, 0, 0)); });
    w->setDragMove(true);
    uitest::moveTo(220, 230);
    uitest::click(1);
    ASSERT_TRUE(w->saw("keydown 1"));
    uitest::pump(100);
    EXPECT_TRUE(w->count("down 20,30") == 1 && w->count("keydown 1") == 1);
    EXPECT_TRUE(w->movings.empty());  // a click on a draggable window moves nothing
    w->log.clear();
    uitest::moveTo(250, 250);
    uitest::press(1);
    through({{250, 250}, {270, 260}, {300, 290}});
    EXPECT_EQ(test::placeOf(*w), XY(250, 240));
    through({{180, 300}});                // would put the window at x = 130: held at 230
    EXPECT_EQ(w->count("keydown 1"), 0);  // no release while the button is held
    uitest::release(1);
    ASSERT_TRUE(w->saw("keydown 1"));
    uitest::pump(100);
    EXPECT_TRUE(test::placeOf(*w) == XY(230, 250) && w->moves.back() == XY(230, 250));
    EXPECT_TRUE(w->count("down 50,50") == 1 && w->count("keydown 1") == 1);
    ASSERT_GE(w->movings.size(), 2u);
    const Rect last = w->movings.back();
    EXPECT_EQ((std::vector<int>{last.left, last.top, last.right}), (std::vector<int>{230, 250, 330}));
}

TEST_F(WindowInput, ClicksOnTransparentPixelsReachTheWindowBelow) {
    auto below = test::shown(100, 450, 200, 100, 0, [](Canvas& c) { c.clear(rgb(255, 255, 255)); });
    auto above = test::shown(100, 450, 200, 100, wsex::Layered, [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 0, 255), 255);
        c.drawRect(Rect{100, 0, 200, 100}, true, 0);  // the left half stays transparent
    });
    uitest::moveTo(150, 500);
    uitest::click(1);
    EXPECT_TRUE(below->saw("down 50,50"));
    uitest::moveTo(250, 500);
    uitest::click(1);
    EXPECT_TRUE(above->saw("down 150,50"));
    EXPECT_FALSE(above->has("down 50,50") || below->has("down 150,50"));
}

TEST_F(WindowInput, EnterAndLeaveAreReportedOncePerVisitWhenTrackedDoubleClicksAndWheelAndKeysArrive) {
    auto w = test::shown(600, 100, 100, 100, 0, nullptr);
    w->setTrackMouseLeave(true);
    for (int round = 1; round <= 2; ++round) {
        through({{10, 10}, {650, 150}});
        EXPECT_TRUE(w->saw("enter", round));
        through({{660, 160}, {800, 400}});
        EXPECT_TRUE(w->saw("leave", round));
        EXPECT_TRUE(w->count("enter") == round && w->count("leave") == round);
    }
    w->setTrackMouseLeave(false);
    w->log.clear();
    through({{650, 150}, {10, 10}});
    EXPECT_FALSE(w->has("enter") || w->has("leave"));
    // A double click replaces the second press.
    uitest::moveTo(650, 150);
    uitest::click(1, 2);
    ASSERT_TRUE(w->saw("dblclk"));
    uitest::pump(100);
    std::vector<std::string> mouse;
    for (const std::string& e : w->log)
        if (e != "focus" && e != "blur") mouse.push_back(e);  // focus may follow the pointer
    EXPECT_EQ(mouse, (std::vector<std::string>{"down 50,50", "keydown 1", "dblclk", "keydown 1"}));
    uitest::wheel(1);
    uitest::wheel(-1);
    EXPECT_TRUE(w->saw("wheel -1") && w->count("wheel 1") == 1);
    w->focus();
    EXPECT_TRUE(w->saw("focus"));
    uitest::pump(100);
    w->log.clear();
    uitest::keys("Escape a");
    EXPECT_TRUE(w->saw("char 97"));
    EXPECT_EQ(w->log, (std::vector<std::string>{"keydown 27", "char 27", "keydown 65", "char 97"}));
}
#endif

// Tasks posted to the UI thread from other threads run there in order, also in a nested loop.
TEST(Loop, TasksPostedFromWorkersRunOnTheUiThreadInOrderAlsoInANestedLoop) {
    ASSERT_TRUE(initializeToolkit());
    std::vector<int> ran;  // touched by the tasks only
    bool offThread = false;
    auto record = [&](int i) {
        return [&, i] {
            offThread = offThread || !isUiThread();
            ran.push_back(i);
        };
    };
    std::thread early([&] {
        for (int i = 0; i < 3; ++i) postToUiThread(record(i));
    });
    early.join();
    EXPECT_TRUE(ran.empty());  // they wait for the loop

    // The next task opens a nested loop, which runs a second worker's tasks and is ended by
    // the last of them.
    postToUiThread([&] {
        std::thread late([&] {
            for (int i = 3; i < 6; ++i) postToUiThread(record(i));
            postToUiThread([] { quitLoop(); });
        });
        runLoop();
        late.join();
        ran.push_back(100);
        quitLoop();
    });
    runLoop();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4, 5, 100}));
    EXPECT_FALSE(offThread);
}

}  // namespace kiro::ui
