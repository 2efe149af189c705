// Window: dispatch order and results, observers, lifecycle, timers, posted messages,
// geometry, painting, clicks, drops and the clipboard; input from the pointer and keyboard;
// the UI thread's task queue.
#include "kiro/ui/window.h"

#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/clipboard.h"
#include "kiro/ui/contextmenu.h"
#include "kiro/ui/editbox.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/topmenu.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"
#ifndef _WIN32
#include <gtk/gtk.h>

#include "kiro/ui/window_gtk.h"
#endif

namespace kiro::ui {

using test::Recorder;
using test::XY;
using WindowTest = uitest::Ui;

// Plays a script of steps on windows named by a word, one a line. Messages: "new NAME [OWNER]",
// "send NAME MSG W L" (gives the result), "answer NAME MSG R" (onMessage answers R to MSG and
// notes every message it sees), "result NAME user|close|hooked|drop R" (what that handler returns),
// "hook NAME TARGET" (- unhooks), "delete NAME", "destroy NAME", "show NAME", "move NAME X Y",
// "size NAME W H" (the client's), "invalidate NAME", "post NAME MSG W", "timer NAME MS ID", "kill
// NAME" (every timer) and "has NAME ID" (whether that timer runs), "state NAME", "geometry NAME". On the screen: "shown
// NAME X Y W H EXSTYLE RRGGBB LEFT" (painted in the colour from LEFT rightwards, transparent
// elsewhere), "drag NAME 0|1", "track NAME 0|1", "hold NAME X" (onMoving keeps the left edge at
// X or beyond), "point X Y", "button B 1|0" (pressed or released), "click B [N]", "wheel N", "keys NAMES",
// "type TEXT", "close NAME" (from the window manager, on Linux), "focus NAME", "pump MS",
// "expect NAME N ENTRY" (waits until the window has noted the entry N times; gives how often) and "log NAME" (what
// input made it note since the last log). "framed NAME" makes a window with a frame. Menu bars: "bar NAME LABELS"
// (items numbered from 1; "unattached" leaves it off), "unbar NAME", "rival NAME A B" (two bars begun before either is
// attached), "menubar NAME" (the labels shown), "barred NAME" (the client size, and whether the window is taller by a
// bar) and "clickbar NAME I". Edit boxes: "edit NAME X Y W H", "text NAME TEXT" (\r and \n are line breaks), "editfocus
// NAME", "forward NAME MSG" and "edited NAME END" (waits until the text ends so; gives it). Files and the clipboard:
// "drop NAME FILE|FILE", "dropped NAME" (the files kept), "listen NAME 0|1", "copy TEXT" and "paste". Context menus:
// "item MENU ID LABEL[|PAYLOAD]", "check MENU ID LABEL", "separator MENU", "submenu MENU SUB LABEL", "disable MENU ID",
// "mark MENU ID 0|1", "find MENU ID", "at X Y LEFT RIGHT" (where a menu opens in an area 800 high) and "popup MENU
// TICKER KEYS" (the keys pressed once the menu is up and TICKER's timer 1 has ticked thrice, "-" for none and no keys;
// gives the entries as shown, "*" after those that can be chosen, and the item chosen). Numbers may be hexadecimal;
// other lines are comments. Each step is written back with what it gave and, for windows made by "new", the handlers
// that ran meanwhile, in order, as "| window: entry" (their painting notes the size of the canvas it was given).
static std::string play(const std::string& script) {
    auto number = [](const std::string& s) { return std::uint32_t(std::stoll(s, nullptr, 0)); };
    std::vector<std::string> journal;  // outlives the windows, which note their end in it
    std::map<std::string, std::unique_ptr<Recorder>> windows;
    std::map<std::string, std::unique_ptr<EditBox>> boxes;  // by window, gone before the windows
    std::map<std::string, ContextMenu> menus;
    std::istringstream lines(script);
    std::ostringstream out;
    for (std::string line; std::getline(lines, line); journal.clear()) {
        std::istringstream in(line);
        std::vector<std::string> t{std::istream_iterator<std::string>(in), {}};
        t.resize(std::max<size_t>(t.size(), 9));
        const std::string &verb = t[0], &name = t[1], &a = t[2], &b = t[3];
        auto after = [&line](int words) {  // the rest of the line after that many words
            size_t at = 0;
            while (words-- > 0) at = line.find(' ', at) + 1;
            return at ? line.substr(at) : std::string();
        };
        auto wide = [&after](int words) {  // the same as wide text, with \r, \n, \t and \uXXXX for those characters
            std::string s = after(words);
            for (const char* e : {"r\r", "n\n", "t\t"})
                s = std::regex_replace(s, std::regex(std::string("\\\\") + e[0]), std::string(1, e[1]));
            std::wstring text = kiro::io::fromUtf8(s);
            for (size_t at; (at = text.find(L"\\u")) != std::wstring::npos;)
                text.replace(at, 6, 1, wchar_t(std::stoi(kiro::io::toUtf8(text.substr(at + 2, 4)), nullptr, 16)));
            return text;
        };
        if (verb == "new") {
            auto& w = windows[name] = std::make_unique<Recorder>(a.empty() ? nullptr : windows.at(a).get(), ws::Popup);
            w->journal = &journal;
            w->painter = [&journal, name](Canvas& c) {
                journal.push_back(name + ": canvas " + std::to_string(c.width()) + "x" + std::to_string(c.height()));
            };
        }
        if (verb == "framed") windows[name] = std::make_unique<Recorder>(nullptr, ws::OverlappedWindow);
        if (verb == "shown") {
            const std::uint32_t c = number(t[7]);
            const int left = int(number(t[8]));
            windows[name] = test::shown(int(number(a)), int(number(b)), int(number(t[4])), int(number(t[5])),
                                        number(t[6]), [c, left](Canvas& canvas) {
                                            canvas.clear();
                                            canvas.setColor(rgb(c >> 16, c >> 8, c), 255);
                                            canvas.drawRect(Rect{left, 0, canvas.width(), canvas.height()}, true, 0);
                                        });
        }
        Recorder* w = windows.count(name) ? windows.at(name).get() : nullptr;
        if (w) w->name = name;
        out << line;
        if (verb == "send") out << " = " << w->sendMessage(number(a), number(b), number(t[4]));
        if (verb == "answer")
            w->message = [&journal, name, msg = number(a), r = number(b)](std::uint32_t m, WParam, LParam) {
                journal.push_back(name + ": asked " + std::to_string(m));
                return m == msg ? LResult(r) : NotHandled;
            };
        if (verb == "result") w->results[a] = number(b);
        if (verb == "hook") w->hook(a == "-" ? nullptr : windows.at(a).get());
        if (verb == "delete") windows.erase(name);
        if (verb == "destroy") w->destroy();
        if (verb == "show") w->show();
        if (verb == "move") w->moveTo(int(number(a)), int(number(b)));
        if (verb == "size") w->setClientSize(int(number(a)), int(number(b)));
        if (verb == "invalidate") w->invalidate();
        if (verb == "post") w->postMessage(number(a), number(b), 0);
        if (verb == "has") out << " = " << w->hasTimer(number(a));
        if (verb == "timer") w->setTimer(number(a), number(b));
        if (verb == "kill") w->killTimers();
        if (verb == "state") {
            const XY at = test::placeOf(*w), moved = w->moves.empty() ? XY{} : w->moves.back();
            out << " = " << (w->handle() ? "live" : "gone") << " owner "
                << (w->parent() ? static_cast<Recorder*>(w->parent())->name : "-") << " owns " << w->children().size()
                << " at " << at.first << "," << at.second << " moved " << moved.first << "," << moved.second;
            if (!w->movings.empty())
                out << " moving " << w->movings.back().left << "," << w->movings.back().top << ","
                    << w->movings.back().right;
        }
        if (verb == "geometry") {
            Rect client{}, frame{};
            w->getClientRect(client);
            w->getWindowRect(frame);
            out << " = client " << client.right << "x" << client.bottom << " frame at " << frame.left << " wide "
                << frame.right - frame.left << " size " << w->width() << "x" << w->height();
        }
        if (verb == "drag") w->setDragMove(a == "1");
        if (verb == "track") w->setTrackMouseLeave(a == "1");
        if (verb == "hold") w->leftmost = int(number(a));
        if (verb == "point") {
            uitest::moveTo(int(number(name)), int(number(a)));
            uitest::pump(80);
        }
        if (verb == "button") uitest::button(int(number(name)), a == "1");
        if (verb == "click") uitest::click(int(number(name)), a.empty() ? 1 : int(number(a)));
        if (verb == "wheel") uitest::wheel(int(number(name)));
        if (verb == "keys") uitest::keys(after(1));
        if (verb == "type") uitest::type(kiro::io::fromUtf8(after(1)));
#ifndef _WIN32
        if (verb == "close") gtk_window_close(GTK_WINDOW(gtkToplevel(*w)));  // as the window manager asks
#endif
        if (verb == "focus") w->focus();
        if (verb == "pump") uitest::pump(int(number(name)));
        if (verb == "expect") {
            w->saw(after(3), int(number(a)));
            out << " = " << w->count(after(3));
        }
        if (verb == "bar" || verb == "unattached") {
            TopMenu bar(*w);
            for (size_t i = 2; i < t.size() && !t[i].empty(); ++i)
                bar.addItem(kiro::io::fromUtf8(t[i]), std::uint32_t(i - 1));
            if (verb == "bar") bar.attach();
        }
        if (verb == "unbar") TopMenu(*w).clear();
        if (verb == "rival") {
            TopMenu first(*w), second(*w);
            first.addItem(kiro::io::fromUtf8(a), 1);
            first.attach();
            second.addItem(kiro::io::fromUtf8(b), 2);
            second.attach();
        }
        if (verb == "menubar")
            for (const std::wstring& label : uitest::menuBar(*w)) out << " " << kiro::io::toUtf8(label);
        if (verb == "barred")
            out << " = client " << test::sizeOf(*w).first << "x" << test::sizeOf(*w).second
                << (w->height() > test::sizeOf(*w).second + 5 ? " under a bar" : "");
        if (verb == "clickbar") uitest::clickMenuBar(*w, number(a));
        if (verb == "edit")
            (boxes[name] = std::make_unique<EditBox>(*w))
                ->setBounds(Rect{int(number(a)), int(number(b)), int(number(t[4])), int(number(t[5]))});
        if (verb == "text") boxes.at(name)->setText(wide(2));
        if (verb == "editfocus") {
            w->focus();
            boxes.at(name)->focus();
            uitest::pump(50);
        }
        if (verb == "forward") boxes.at(name)->setForwardMessage(number(a));
        if (verb == "edited") {
            std::string text, end = after(2);
            uitest::waitUntil([&] {
                text = tavi::test::visible(boxes.at(name)->getText());
                return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
            });
            out << " = " << text;
        }
        if (verb == "drop") {
            std::vector<std::wstring> files;
            std::istringstream in(after(2));
            for (std::string file; std::getline(in, file, '|');) files.push_back(kiro::io::fromUtf8(file));
            uitest::dropFiles(*w, files);
        }
        if (verb == "dropped")
            for (const std::wstring& file : w->droppedFiles()) out << " " << kiro::io::toUtf8(file) << "|";
        if (verb == "listen") w->listenClipboard(a == "1");
        if (verb == "copy") out << " = " << setClipboardText(wide(1));
        if (verb == "paste") out << " = " << tavi::test::visible(getClipboardText());
        const std::wstring label = kiro::io::fromUtf8(after(3));
        ContextMenu& menu = menus[name];
        if (verb == "item" && label.find(L'|') == std::wstring::npos) menu.add(label, number(a));
        if (verb == "item" && label.find(L'|') != std::wstring::npos)
            menu.add(label.substr(0, label.find(L'|')), number(a), label.substr(label.find(L'|') + 1));
        if (verb == "check") menu.addCheck(label, number(a), false);
        if (verb == "separator") menu.addSeparator();
        if (verb == "submenu") menu.addSubmenu(label, menus[a]);
        if (verb == "disable") menu.setDisabled(number(a), true);
        if (verb == "mark") menu.setChecked(number(a), b == "1");
        if (verb == "find" && menu.find(number(a)))
            out << " = " << kiro::io::toUtf8(menu.find(number(a))->label)
                << (menu.isChecked(number(a)) ? " checked" : "") << (menu.find(number(a))->disabled ? " disabled" : "");
        if (verb == "at") {
            const auto at =
                ContextMenu::alignmentAt(int(number(name)), int(number(a)), int(number(b)), 0, int(number(t[4])), 800);
            out << " = " << (at.right ? "right" : "left") << (at.bottom ? " lower" : " upper");
        }
        if (verb == "popup") {
            uitest::Rescue rescue;
            uitest::MenuSeen seen;
            if (t[3] != "-")
                uitest::whenMenuOpen(
                    [&, ticker = windows.count(a) ? windows.at(a).get() : nullptr](const uitest::MenuSeen& m) {
                        seen = m;
                        uitest::every(20, [&, ticker, opened = ticker ? ticker->count("timer 1") : 0] {
                            if (ticker && ticker->count("timer 1") < opened + 3) return true;
                            return uitest::keys(after(3)), false;
                        });
                    });
            ContextMenu::Item* item = menu.show();
            out << " =";
            for (size_t i = 0; i < seen.labels.size(); ++i)
                out << " " << kiro::io::toUtf8(seen.labels[i]) << (seen.usable[i] ? "*" : "");
            out << " | " << (item ? kiro::io::toUtf8(item->label) + " " + std::to_string(item->id) : "nothing")
                << (item && item->payload ? " " + kiro::io::toUtf8(*item->payload) : "")
                << (item && item == menu.find(item->id) ? " own" : "") << (rescue.fired() ? " stalled" : "");
        }
        if (verb == "log") {
            for (const std::string& e : w->log)
                if (std::regex_match(e, std::regex("(down|keydown|dblclk|char|wheel|enter|leave)( .*)?")))
                    out << " | " << e;
            w->log.clear();
        }
        for (const std::string& e : journal)  // (focus follows the platform's activation; ticks come as they come)
            if (!std::regex_match(e, std::regex(".*: (focus|blur|timer .*)"))) out << " | " << e;
        out << "\n";
    }
    return out.str();
}

// Dispatch and results, observers, closing and calls on destroyed windows, geometry and painting,
// timers and posted messages: the cases under ui/window.
TEST_F(WindowTest, HandlersRunAndAnswerAsEachCaseSays) {
    tavi::test::runCases("ui/window", [](const std::string& script) { return tavi::test::Outcome{play(script), ""}; });
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
    EXPECT_GE(w.count("size 70x50"), 1);
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

#ifndef _WIN32  // (input from the pointer and keyboard is judged on Linux)
// Window input from the platform's pointer and keyboard: clicks, drags as the moving handler
// adjusts them, clicks through transparent pixels, pointer entry and exit, double clicks, wheel,
// keys and characters beyond 16 bits, and closing by Alt+F4 or the window manager: the cases
// under ui/input.
using WindowInput = uitest::Ui;

TEST_F(WindowInput, ArrivesAsEachCaseSays) {
    tavi::test::runCases("ui/input", [](const std::string& script) { return tavi::test::Outcome{play(script), ""}; });
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
