// Sticky notes on a real display with real files in a temporary application folder: new notes
// and their editor, what reaches the disk and when, protection, copying, deleting, clearing.
#include "tavi/tool/memo.h"

#include <gtest/gtest.h>

#include <optional>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/boxflags.h"
#include "kiro/ui/clipboard.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/screen.h"
#include "kiro/ui/window_gtk.h"
#include "support/scoped_folders.h"
#include "support/uidriver_gtk.h"
#include "tavi/tool/sticky.h"

#include <gdk/gdkx.h>  // after the rest: Xlib's macros clash with names in other headers

namespace {

using tavi::tool::Memo;
using Sticky = tavi::tool::Memo::Sticky;
namespace fs = std::filesystem;

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string utf8(const std::wstring& w) {
    return kiro::io::toUtf8(w);
}

class MemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
        // The input method every GTK build has: Ctrl+Shift+U composes a character.
        g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE);
        folder.emplace();
        owner = std::make_unique<kiro::ui::Window>();
    }
    void TearDown() override {
        memo.reset();
        owner.reset();
        folder.reset();
    }

    void start() {
        memo = std::make_unique<Memo>(owner.get(), [] {
            kiro::LocalTime t;
            t.year = 2025, t.month = 5, t.day = 25, t.hour = 14, t.minute = 30, t.second = 5;
            return t;
        });
    }
    Sticky& note(size_t i) { return *memo->notes().at(i); }
    std::string file(const std::wstring& path) { return bytesOf(folder->path() / utf8(path)); }

    static bool mapped(Sticky& n) {
        GtkWidget* top = gtkToplevel(n);
        return top != nullptr && gtk_widget_get_mapped(top);
    }
    static kiro::ui::Point at(Sticky& n) {
        kiro::ui::Point p;
        n.position(p);
        return p;
    }
    // Runs xdotool to its end while the main loop turns (typed characters are looked up in a
    // keyboard map that xdotool changes as it goes).
    static void xdo(std::vector<std::string> args) {
        std::vector<gchar*> argv{const_cast<gchar*>("xdotool")};
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        GPid pid = 0;
        bool done = false;
        ASSERT_TRUE(g_spawn_async(nullptr, argv.data(), nullptr,
                                  GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr, &pid,
                                  nullptr));
        g_child_watch_add(
            pid,
            [](GPid child, gint, gpointer data) {
                *static_cast<bool*>(data) = true;
                g_spawn_close_pid(child);
            },
            &done);
        ASSERT_TRUE(uitest::waitUntil([&] { return done; }, 20000));
        uitest::settle(150);
    }
    // The keys that compose text character by character in the input method (Ctrl+Shift+U,
    // the hexadecimal code, space): no keyboard map involved, so nothing is lost on a busy
    // machine.
    static std::vector<std::string> composing(const std::wstring& text) {
        std::vector<std::string> keys{"key", "--delay", "30"};
        for (wchar_t c : text) {
            keys.push_back("ctrl+shift+u");
            char hex[16];
            std::snprintf(hex, sizeof hex, "%x", unsigned(c));
            for (const char* h = hex; *h; ++h) keys.push_back(std::string(1, *h));
            keys.push_back("space");
        }
        return keys;
    }
    // Waits until the note's window is up, gives it the keyboard and types.
    void typeInto(Sticky& n, const std::vector<std::string>& args) {
        ASSERT_TRUE(uitest::waitUntil([&] { return mapped(n); }));
        uitest::settle(100);
        const auto xid = gdk_x11_window_get_xid(gtk_widget_get_window(gtkToplevel(n)));
        xdo({"windowfocus", "--sync", std::to_string(xid)});
        xdo(args);
    }
    // Right-clicks the card and, once the menu is up, runs action on its window.
    void openMenu(Sticky& n, std::function<void(GtkWidget*)> action) {
        const kiro::ui::Point p = at(n);
        uitest::warpPointer(p.x + 20, p.y + 5);
        uitest::settle(50);
        uitest::whenMenuOpen(std::move(action));
        uitest::xdotool({"click", "3"});
    }
    // The same, pressing an item's access key.
    void pickFromMenu(Sticky& n, const std::string& key) {
        openMenu(n, [key](GtkWidget*) { uitest::xdotool({"key", key}); });
    }
    // The colour of one screen pixel as 0xRRGGBB.
    static std::uint32_t screenPixel(int x, int y) {
        GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
        const guchar* p = gdk_pixbuf_get_pixels(shot);
        const std::uint32_t rgb = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        g_object_unref(shot);
        return rgb;
    }

    std::optional<tavi::test::ScopedWorkFolder> folder;
    std::unique_ptr<kiro::ui::Window> owner;
    std::unique_ptr<Memo> memo;
};

TEST_F(MemoTest, NewNotesOpenTheirEditorMidScreenAndWhatIsTypedIsOnDiskAtEscape) {
    start();
    ASSERT_TRUE(memo->notes().empty());
    // Two notes in the same second: the second takes the next free second.
    memo->command(tavi::tool::Command(L"memo -new"));
    memo->command(tavi::tool::Command(L"memo -new"));
    ASSERT_EQ(memo->notes().size(), 2u);
    EXPECT_EQ(note(0).datPath(), L"data/memo/20250525143005.dat");
    EXPECT_EQ(note(1).datPath(), L"data/memo/20250525143006.dat");

    Sticky& first = note(0);
    const kiro::ui::Rect area = kiro::ui::workArea();
    EXPECT_EQ(first.state(), Sticky::Editing);
    EXPECT_EQ(first.title(), L"メモを編集中...");
    EXPECT_EQ(at(first).x, area.right / 2);
    EXPECT_EQ(at(first).y, area.bottom / 2);

    typeInto(first, {"type", "--delay", "40", "Memo 1"});
    xdo({"key", "Return"});
    xdo(composing(L"日本語のメモ"));
    EXPECT_EQ(first.state(), Sticky::Editing);
    xdo({"key", "Escape"});
    ASSERT_TRUE(uitest::waitUntil([&] { return first.state() == Sticky::Showing; }));
    // UTF-8 without a byte-order mark, bare line feeds, nothing added.
    EXPECT_EQ(file(first.datPath()), "Memo 1\n日本語のメモ");
    EXPECT_EQ(file(first.iniPath()), "clickable=false\nprotect=false\nx=" + std::to_string(area.right / 2) +
                                         "\ny=" + std::to_string(area.bottom / 2) + "\n\n");
    // A card sized to its two lines, at least 200 pixels wide.
    kiro::ui::Size card;
    first.clientSize(card);
    EXPECT_GE(card.cx, 200);
    EXPECT_GT(card.cy, 2 * Sticky::margin + 20);
    EXPECT_LT(card.cy, Sticky::editHeight);

    // Escape while an input method composes ends the composition, not the editor; the
    // composed character arrives whole.
    Sticky& second = note(1);
    typeInto(second, {"key", "--delay", "60", "ctrl+shift+u", "3", "0", "4", "2", "Escape"});
    uitest::settle(300);
    EXPECT_EQ(second.state(), Sticky::Editing);
    xdo({"key", "--delay", "60", "ctrl+shift+u", "6", "5", "e", "5", "space", "Escape"});
    ASSERT_TRUE(uitest::waitUntil([&] { return second.state() == Sticky::Showing; }));
    EXPECT_EQ(file(second.datPath()), "\xE6\x97\xA5");
}

TEST_F(MemoTest, SettingsFollowProtectionMovesAndCopyOnClickAndKeepOtherKeys) {
    folder->write("data/memo/20240101000000.dat", "守るメモ\nsecond line");
    folder->write("data/memo/20240101000000.dat.ini", "y=150\nzeta=keep\nx=120\nprotect=true\n[extra]\nk=v\n");
    start();
    ASSERT_EQ(memo->notes().size(), 1u);
    Sticky& n = note(0);
    EXPECT_EQ(n.state(), Sticky::Showing);
    EXPECT_EQ(n.text(), L"守るメモ\nsecond line");
    ASSERT_TRUE(uitest::waitUntil([&] { return mapped(n); }));
    EXPECT_EQ(at(n).x, 120);
    EXPECT_EQ(at(n).y, 150);

    // Protected: a double click shows why nothing can be edited; edit and delete are greyed.
    uitest::BoxSeen box;
    uitest::answerBox(&box, kiro::ui::IdOk);
    uitest::warpPointer(140, 160);
    uitest::settle(50);
    uitest::xdotool({"click", "--repeat", "2", "--delay", "60", "1"});
    ASSERT_TRUE(uitest::waitUntil([&] { return box.seen && !uitest::openMessageBox(); }, 8000));
    EXPECT_EQ(box.caption, "alert");
    EXPECT_EQ(box.text, "このメモは保護されています。\n編集する場合は右クリックメニューから保護を解除してください。");
    EXPECT_EQ(n.state(), Sticky::Showing);

    std::vector<std::pair<std::string, bool>> items;
    openMenu(n, [&items](GtkWidget* w) {
        GList* kids = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(w))));
        for (GList* l = kids; l != nullptr; l = l->next) {
            const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(l->data));
            items.emplace_back(label ? label : "", gtk_widget_get_sensitive(GTK_WIDGET(l->data)));
        }
        g_list_free(kids);
        uitest::xdotool({"key", "l"});  // lifts the protection
    });
    ASSERT_TRUE(uitest::waitUntil([&] { return !n.isProtected(); }));
    const std::vector<std::pair<std::string, bool>> expected{{"保護(_L)", true},
                                                             {"編集(_E)", false},
                                                             {"テキストをコピー(_C)", true},
                                                             {"クリックでテキストをコピー(_A)", true},
                                                             {"", true},
                                                             {"削除(_D)", false}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(file(n.iniPath()), "clickable=false\nprotect=false\nx=120\ny=150\nzeta=keep\n\n[extra]\nk=v\n\n");

    // A drag: the new place is on disk once the button is up.
    uitest::xdotoolSync({"mousemove", "140", "160", "mousedown", "1"});
    for (int step = 1; step <= 6; ++step) {
        uitest::xdotoolSync({"mousemove", std::to_string(140 + 10 * step), std::to_string(160 + 7 * step)});
        uitest::settle(40);
    }
    uitest::xdotoolSync({"mouseup", "1"});
    ASSERT_TRUE(uitest::waitUntil([&] { return file(n.iniPath()).find("x=180\ny=192") != std::string::npos; }))
        << file(n.iniPath());

    kiro::ui::setClipboardText(L"before");
    pickFromMenu(n, "c");
    EXPECT_TRUE(uitest::waitUntil([] { return kiro::ui::getClipboardText() == L"守るメモ\nsecond line"; }));

    // Copy on click: under the pointer the card turns white with the hand cursor, and a click
    // copies the text.
    kiro::ui::setClipboardText(L"before");
    pickFromMenu(n, "a");
    ASSERT_TRUE(uitest::waitUntil([&] { return n.hovered(); }));
    EXPECT_NE(file(n.iniPath()).find("clickable=true"), std::string::npos);
    uitest::xdotoolSync({"mousemove", "200", "196"});
    uitest::settle(300);
    const kiro::ui::Point p = at(n);
    EXPECT_EQ(screenPixel(p.x + 3, p.y + 20), 0xFFFFFFu);
    GdkWindow* client = gtk_widget_get_window(gtkClientArea(n));
    EXPECT_EQ(gdk_window_get_cursor(client), gdkCursor(kiro::ui::Cursor::hand()));
    uitest::xdotool({"click", "1"});
    EXPECT_TRUE(uitest::waitUntil([] { return kiro::ui::getClipboardText() == L"守るメモ\nsecond line"; }));
    uitest::warpPointer(5, 5);
    ASSERT_TRUE(uitest::waitUntil([&] { return !n.hovered(); }));
    uitest::settle(200);
    EXPECT_EQ(screenPixel(p.x + 3, p.y + 20), 0xF0F0F0u);
}

TEST_F(MemoTest, DeletingAsksUnlessEmptyAndClearingKeepsProtectedNotes) {
    folder->write("data/memo/20240101000001.dat", "");
    folder->write("data/memo/20240101000001.dat.ini", "x=10\ny=10\n");
    folder->write("data/memo/20240101000002.dat", "keep me?");
    folder->write("data/memo/20240101000002.dat.ini", "x=10\ny=300\n");
    folder->write("data/memo/20240101000003.dat", "protected");
    folder->write("data/memo/20240101000003.dat.ini", "x=400\ny=10\nprotect=true\n");
    // A text without settings, in UTF-8 with a form feed, a vertical tab and an escape byte.
    const std::string orphan = "表\f罫\v線\x1b[0m";
    folder->write("data/memo/20240101000004.dat", orphan);
    start();
    ASSERT_EQ(memo->notes().size(), 4u);
    auto find = [&](char last) -> Sticky& {
        for (const auto& n : memo->notes())
            if (n->datPath() == std::wstring(L"data/memo/2024010100000") + wchar_t(last) + L".dat") return *n;
        throw std::runtime_error("no note");
    };
    Sticky& empty = find('1');
    Sticky& text = find('2');
    Sticky& orphaned = find('4');
    for (const auto& n : memo->notes()) ASSERT_TRUE(uitest::waitUntil([&] { return mapped(*n); }));

    EXPECT_EQ(orphaned.state(), Sticky::Showing);
    EXPECT_EQ(utf8(orphaned.text()), orphan);
    const kiro::ui::Rect area = kiro::ui::workArea();
    EXPECT_EQ(at(orphaned).x, area.right / 2);
    EXPECT_EQ(at(orphaned).y, area.bottom / 2);
    EXPECT_EQ(file(orphaned.datPath()), orphan);
    EXPECT_NE(file(orphaned.iniPath()).find("x=" + std::to_string(area.right / 2)), std::string::npos);

    // An empty note goes without a question; one with text only when the answer is yes.
    uitest::BoxSeen box;
    pickFromMenu(empty, "d");
    ASSERT_TRUE(uitest::waitUntil([&] { return empty.state() == Sticky::Deleted; }));
    EXPECT_FALSE(fs::exists(folder->path() / "data/memo/20240101000001.dat"));
    EXPECT_FALSE(fs::exists(folder->path() / "data/memo/20240101000001.dat.ini"));
    EXPECT_FALSE(uitest::openMessageBox());

    uitest::answerBox(&box, kiro::ui::IdNo);
    text.sendMessage(kiro::ui::wm::Close, 0, 0);  // closing a note asks the same
    ASSERT_TRUE(uitest::waitUntil([&] { return box.seen && !uitest::openMessageBox(); }, 8000));
    EXPECT_EQ(box.caption, "Yes / No");
    EXPECT_EQ(box.text, "このメモを削除しますか？");
    EXPECT_EQ(text.state(), Sticky::Showing);
    EXPECT_EQ(file(text.datPath()), "keep me?");

    // Clearing, answered yes: the protected note alone stays, on screen and on disk.
    box = uitest::BoxSeen{};
    uitest::answerBox(&box, kiro::ui::IdYes);
    memo->command(tavi::tool::Command(L"memo -clear"));
    EXPECT_EQ(box.text, "保護以外の全てのメモを削除しますか？");
    ASSERT_EQ(memo->notes().size(), 1u);
    EXPECT_TRUE(note(0).isProtected());
    EXPECT_TRUE(mapped(note(0)));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder->path() / "data/memo"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"20240101000003.dat", "20240101000003.dat.ini"}));
}

}  // namespace
