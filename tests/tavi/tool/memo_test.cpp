// Sticky notes on a real display with real files in a temporary application folder: new notes
// and their editor, what reaches the disk and when, protection, copying, deleting, clearing.
#include "tavi/tool/memo.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/boxflags.h"
#include "kiro/ui/clipboard.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/screen.h"
#include "kiro/ui/window_gtk.h"
#include "support/cases.h"
#include "support/scoped_folders.h"
#include "support/tempfolder.h"
#include "support/uidriver.h"
#include "tavi/tool/sticky.h"

namespace {

using Sticky = tavi::tool::Memo::Sticky;
using uitest::waitUntil;

bool mapped(Sticky& n) {
    return gtkToplevel(n) && gtk_widget_get_mapped(gtkToplevel(n));
}
kiro::ui::Point at(Sticky& n) {
    kiro::ui::Point p;
    n.position(p);
    return p;
}
// Right-clicks the card and, once its menu is up, runs action on it.
void openMenu(Sticky& n, std::function<void(const uitest::MenuSeen&)> action) {
    uitest::moveTo(at(n).x + 20, at(n).y + 5);
    uitest::pump(50);
    uitest::whenMenuOpen(std::move(action));
    uitest::click(3);
}
void pick(Sticky& n, const std::string& key) {
    openMenu(n, [key](const uitest::MenuSeen&) { uitest::keys(key); });
}

TEST(MemoTest, NewNotesProtectionCopyOnClickDeletingAndClearing) {
    if (!uitest::start()) GTEST_SKIP() << "no X display";
    // The input method every GTK build has: Ctrl+Shift+U composes a character.
    g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE);
    // A protected note at 120, 150 whose settings hold keys of no meaning to it (its text, read
    // back from the clipboard below: "守るメモ\nsecond line"); an empty note, one with text,
    // another protected one, and a text without settings (in UTF-8 with a form feed, a vertical
    // tab and an escape byte).
    const tavi::test::ScopedWorkFolder folder;
    std::filesystem::copy(tavi::test::dataPath("memo/notes"), folder.path(), std::filesystem::copy_options::recursive);
    auto file = [&](const std::wstring& path) { return tavi::test::readBytes(folder.path().wstring() + L"/" + path); };
    kiro::ui::Window owner;
    tavi::tool::Memo memo(&owner, [] { return kiro::LocalTime{2025, 5, 25, 14, 30, 5, 0}; });
    auto note = [&](size_t i) -> Sticky& { return *memo.notes().at(i); };
    ASSERT_EQ(memo.notes().size(), 5u);
    for (const auto& n : memo.notes()) ASSERT_TRUE(waitUntil([&] { return mapped(*n); }));
    std::map<std::wstring, Sticky*> named;  // by the last digit of the name
    for (const auto& n : memo.notes()) named[n->datPath().substr(23, 1)] = n.get();
    Sticky &n = *named.at(L"0"), &empty = *named.at(L"1"), &text = *named.at(L"2"), &orphaned = *named.at(L"4");

    // Two notes in the same second: the second takes the next free second.
    memo.command(tavi::tool::Command(L"memo -new"));
    memo.command(tavi::tool::Command(L"memo -new"));
    ASSERT_EQ(memo.notes().size(), 7u);
    EXPECT_EQ(note(5).datPath() + L" " + note(6).datPath(),
              L"data/memo/20250525143005.dat data/memo/20250525143006.dat");

    // Escape while the input method composes (Ctrl+Shift+U, a code, space) ends the
    // composition, not the editor.
    // (Letters, digits and named keys only, so that no change of the keyboard map is needed.)
    Sticky& fresh = note(6);
    ASSERT_TRUE(waitUntil([&] { return mapped(fresh); }));
    uitest::pump(100);
    uitest::focus(fresh);
    uitest::pump(100);
    uitest::keys("ctrl+shift+u 3 0 4 2 Escape");
    uitest::pump(300);
    EXPECT_EQ(fresh.state(), Sticky::Editing);
    // U+65E5 composed, a second line and Escape: UTF-8 without a byte-order mark, bare line
    // feeds, nothing added.
    uitest::keys("ctrl+shift+u 6 5 e 5 space Return x Escape");
    ASSERT_TRUE(waitUntil([&] { return fresh.state() == Sticky::Showing; }));
    EXPECT_EQ(file(fresh.datPath()), "日\nx");
    kiro::ui::Size card;  // sized to its two lines, at least 200 pixels wide
    fresh.clientSize(card);
    EXPECT_GE(card.cx, 200);
    EXPECT_TRUE(card.cy > 2 * Sticky::margin + 20 && card.cy < Sticky::editHeight) << card.cy;

    // Protected: a double click says why nothing can be edited; edit and delete are greyed.
    uitest::BoxSeen box;
    uitest::answerBox(&box, kiro::ui::IdOk);
    uitest::moveTo(140, 160);
    uitest::click(1, 2);
    ASSERT_TRUE(waitUntil([&] { return box.seen && !uitest::boxOpen(); }, 8000));
    EXPECT_EQ(box.text, L"このメモは保護されています。\n編集する場合は右クリックメニューから保護を解除してください。");
    EXPECT_EQ(n.state(), Sticky::Showing);
    std::map<std::wstring, bool> usable;
    openMenu(n, [&usable](const uitest::MenuSeen& menu) {
        for (size_t i = 0; i < menu.labels.size(); ++i) usable[menu.labels[i]] = menu.usable[i];
        uitest::keys("l");  // lifts the protection
    });
    ASSERT_TRUE(waitUntil([&] { return !n.isProtected(); }));
    EXPECT_TRUE(usable.at(L"保護(L)") && !usable.at(L"編集(E)") && !usable.at(L"削除(D)"));
    EXPECT_EQ(file(n.iniPath()), "clickable=false\nprotect=false\nx=120\ny=150\nzeta=keep\n\n[extra]\nk=v\n\n");

    // Copying on click: under the pointer the card turns white, with the hand cursor, and a
    // click copies.
    kiro::ui::setClipboardText(L"before");
    pick(n, "a");
    ASSERT_TRUE(waitUntil([&] { return n.hovered(); }));
    EXPECT_NE(file(n.iniPath()).find("clickable=true"), std::string::npos);
    uitest::moveTo(160, 166);
    uitest::pump(300);
    EXPECT_EQ(uitest::screenPixel(at(n).x + 3, at(n).y + 20), 0xFFFFFFu);
    EXPECT_EQ(gdk_window_get_cursor(gtk_widget_get_window(gtkClientArea(n))), gdkCursor(kiro::ui::Cursor::hand()));
    uitest::click(1);
    EXPECT_TRUE(waitUntil([] { return kiro::ui::getClipboardText() == L"守るメモ\nsecond line"; }));

    // The text without settings is placed in the middle of the work area, and that is saved.
    const kiro::ui::Rect area = kiro::ui::workArea();
    EXPECT_EQ(kiro::io::toUtf8(orphaned.text()), tavi::test::readData("memo/notes/data/memo/20240101000004.dat"));
    EXPECT_TRUE(at(orphaned).x == area.right / 2 && at(orphaned).y == area.bottom / 2);
    EXPECT_NE(file(orphaned.iniPath()).find("x=" + std::to_string(area.right / 2)), std::string::npos);

    // An empty note goes without a question; one with text (closed here) only on yes.
    pick(empty, "d");
    ASSERT_TRUE(waitUntil([&] { return empty.state() == Sticky::Deleted; }));
    EXPECT_FALSE(uitest::boxOpen());
    box = uitest::BoxSeen{};
    uitest::answerBox(&box, kiro::ui::IdNo);
    text.sendMessage(kiro::ui::wm::Close, 0, 0);
    EXPECT_EQ(box.caption + L": " + box.text, L"Yes / No: このメモを削除しますか？");
    EXPECT_EQ(file(text.datPath()), "keep me?");

    // Clearing, answered yes: the note still protected alone stays, on screen and on disk.
    box = uitest::BoxSeen{};
    uitest::answerBox(&box, kiro::ui::IdYes);
    memo.command(tavi::tool::Command(L"memo -clear"));
    EXPECT_EQ(box.text, L"保護以外の全てのメモを削除しますか？");
    ASSERT_EQ(memo.notes().size(), 1u);
    EXPECT_TRUE(note(0).isProtected() && mapped(note(0)));
    std::set<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(folder.path() / "data/memo"))
        left.insert(e.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"20240101000003.dat", "20240101000003.dat.ini"}));
}

}  // namespace
