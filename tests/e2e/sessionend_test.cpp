// The built program on a display, ended by SIGTERM (a session end) while a menu or a question
// waits for the user: it still ends normally at once, and the state and the notes are saved.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

class SessionEndTest : public ProgramTest {
protected:
    fs::path memo(const std::string& name) const { return copy_->folder() / "data/memo" / name; }

    void writeNote(const std::string& digits, const std::string& text, int x, int y) {
        writeFile(memo(digits + ".dat"), text);
        writeFile(memo(digits + ".dat.ini"), "x=" + std::to_string(x) + "\ny=" + std::to_string(y) + "\n");
    }

    std::optional<XWin> windowAt(AppProcess& app, int x, int y) {
        std::optional<XWin> found;
        waitFor(
            [&] {
                return (found = desk_->find(
                            app.pid(), [&](const XWin& w) { return w.mapped && w.box.left == x && w.box.top == y; }))
                    .has_value();
            },
            10s);
        return found;
    }

    // The session's end (SIGTERM; under Wine the end-session messages) must end the program
    // normally within 1.5 s, with the state file written.
    void terminate(AppProcess& app) {
        app.endSession();
        EXPECT_EQ(app.waitExit(1500ms), 0) << "not ended normally within 1.5 s";
        EXPECT_TRUE(copy_->state().count("user.preference")) << readFile(copy_->statePath());
    }
};

TEST_F(SessionEndTest, EndsWhileTheCharactersMenuIsOpen) {
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body && c.openMenu(*body));
    terminate(app);
}

TEST_F(SessionEndTest, EndsWhileANoteAsksToBeDeletedAndKeepsWhatWasTypedElsewhere) {
    for (const char* n : {"0", "1"}) {
        writeFile(memo(std::string("2025010100000") + n + ".dat"), n[0] == '0' ? "first" : "second");
        writeFile(memo(std::string("2025010100000") + n + ".dat.ini"),
                  n[0] == '0' ? "x=100\ny=100\n" : "x=100\ny=300\n");
    }
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    ASSERT_TRUE(c.waitBody());
    auto shown = [&](int top) {
        return desk_->find(app.pid(),
                           [top](const XWin& w) { return w.mapped && w.box.left == 100 && w.box.top == top; });
    };
    ASSERT_TRUE(waitFor([&] { return shown(100) && shown(300); }, 10s));

    // The first note in its editor, with more text typed and not saved yet.
    c.movePointer(120, 110);
    xdotool("click --repeat 2 --delay 80 1");
    const auto editor = c.box("メモを編集中...");
    ASSERT_TRUE(editor);
    xdotool("windowfocus --sync " + std::to_string(editor->id));
    xdotool("type --delay 30 ' and more'");

    // The second note's context menu, "削除(&D)", and its question left open.
    c.movePointer(120, 305);
    xdotool("click 3");
    ASSERT_TRUE(waitFor([&] { return c.openMenuWindow().has_value(); }, 5s));
    xdotool("key d");
    ASSERT_TRUE(c.box("Yes / No"));
    terminate(app);
    EXPECT_EQ(readFile(memo("20250101000000.dat")), "first and more");
    EXPECT_EQ(readFile(memo("20250101000001.dat")), "second");
    EXPECT_TRUE(fs::exists(memo("20250101000001.dat.ini")));
}

}  // namespace
}  // namespace e2e
