// Context menu: item tree and numbering, and real popups driven by the keyboard under X.
#include "kiro/ui/contextmenu.h"

#include <gtest/gtest.h>

#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "support/uidriver_gtk.h"

namespace {

using kiro::ui::ContextMenu;

struct Recorded {
    std::string what;
    std::wstring label;
    uint32_t number;
};

class RecordingBuilder : public ContextMenu::Builder {
public:
    std::vector<Recorded> log;
    void beginSubmenu(const ContextMenu::Item& item) override { log.push_back({"sub", item.label, 0}); }
    void endSubmenu() override { log.push_back({"end", L"", 0}); }
    void separator() override { log.push_back({"sep", L"", 0}); }
    void entry(const ContextMenu::Item& item, uint32_t n) override {
        log.push_back({"entry", item.label, n});
    }
};

ContextMenu sampleWithSubmenu() {
    ContextMenu sub;
    sub.add(L"C", 0, L"payload-c");
    sub.add(L"D", 0);  // no id and no payload: greyed
    ContextMenu menu;
    menu.add(L"A", 10);
    menu.addSeparator();
    menu.addSubmenu(L"B", sub);
    menu.addCheck(L"E", 11, false);
    return menu;
}

TEST(ContextMenuItems, NumbersChoosableEntriesDepthFirstAndGreysInertOnes) {
    ContextMenu menu = sampleWithSubmenu();
    std::vector<ContextMenu::Item> items = menu.items();
    RecordingBuilder builder;
    std::vector<ContextMenu::Item*> commands;
    ContextMenu::build(items, builder, commands);

    ASSERT_EQ(builder.log.size(), 7u);
    EXPECT_EQ(builder.log[0].what, "entry");
    EXPECT_EQ(builder.log[0].number, 1u);  // A
    EXPECT_EQ(builder.log[1].what, "sep");
    EXPECT_EQ(builder.log[2].what, "sub");
    EXPECT_EQ(builder.log[2].label, L"B");
    EXPECT_EQ(builder.log[3].label, L"C");
    EXPECT_EQ(builder.log[3].number, 2u);  // id 0 but a payload: choosable
    EXPECT_EQ(builder.log[4].label, L"D");
    EXPECT_EQ(builder.log[4].number, 0u);  // greyed, no number
    EXPECT_EQ(builder.log[5].what, "end");
    EXPECT_EQ(builder.log[6].label, L"E");
    EXPECT_EQ(builder.log[6].number, 3u);

    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0]->id, 10u);
    ASSERT_TRUE(commands[1]->payload);
    EXPECT_EQ(*commands[1]->payload, L"payload-c");
    EXPECT_EQ(commands[2]->id, 11u);
}

TEST(ContextMenuItems, EntryKindsFollowLabelIdAndPayload) {
    ContextMenu::Item item;
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Separator);
    item.items.push_back(ContextMenu::Item{});
    // Sub-items without a label still make a separator.
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Separator);
    item.label = L"x";
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Submenu);
    item.items.clear();
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Inert);
    item.payload = std::make_shared<std::wstring>(L"");
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Command);
    item.payload.reset();
    item.id = 7;
    EXPECT_EQ(ContextMenu::kindOf(item), ContextMenu::EntryKind::Command);
}

TEST(ContextMenuItems, FindSearchesItemBeforeSubmenuBeforeLaterItems) {
    ContextMenu inner;
    inner.add(L"inner", 5, L"in-sub");
    ContextMenu menu;
    menu.add(L"first", 1);
    menu.addSubmenu(L"sub", inner);
    menu.add(L"later", 5, L"later");

    ASSERT_NE(menu.find(5), nullptr);
    EXPECT_EQ(menu.find(5)->label, L"inner");
    EXPECT_EQ(menu.find(0), nullptr);  // the submenu entry itself has id 0
    EXPECT_EQ(menu.find(99), nullptr);

    // The submenu was copied: changing the source afterwards changes nothing.
    inner.setChecked(5, true);
    EXPECT_FALSE(menu.isChecked(5));

    menu.setChecked(5, true);
    EXPECT_TRUE(menu.isChecked(5));
    EXPECT_TRUE(menu.find(5)->checked);
    menu.setDisabled(1, true);
    EXPECT_TRUE(menu.find(1)->disabled);
    menu.setChecked(99, true);  // absent: no effect
    EXPECT_FALSE(menu.isChecked(99));

    ContextMenu shared;
    auto payload = std::make_shared<std::wstring>(L"cmd");
    shared.add(L"p", 3, payload);
    EXPECT_EQ(shared.find(3)->payload.get(), payload.get());
}

TEST(ContextMenuItems, OpensTowardsTheMiddleOfTheWorkArea) {
    auto a = ContextMenu::alignmentAt(100, 100, 0, 0, 1280, 800);
    EXPECT_FALSE(a.right);
    EXPECT_FALSE(a.bottom);
    a = ContextMenu::alignmentAt(640, 400, 0, 0, 1280, 800);  // exactly half: counts as right/lower
    EXPECT_TRUE(a.right);
    EXPECT_TRUE(a.bottom);
    a = ContextMenu::alignmentAt(639, 399, 0, 0, 1280, 800);
    EXPECT_FALSE(a.right);
    EXPECT_FALSE(a.bottom);
    a = ContextMenu::alignmentAt(1500, 100, 1280, 0, 2560, 800);  // a second monitor's left half
    EXPECT_FALSE(a.right);
}

TEST(ContextMenuItems, EmptyMenuReturnsNullWithoutShowing) {
    ContextMenu menu;
    EXPECT_EQ(menu.show(), nullptr);
}

class ContextMenuPopup : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
        uitest::warpPointer(200, 150);
    }

    // Opens the menu, presses the keys once it is up, and returns what show() returned.
    static ContextMenu::Item* pick(ContextMenu& menu, std::vector<std::string> keys) {
        uitest::Rescue rescue;
        std::vector<std::string> args{"key", "--delay", "40"};
        args.insert(args.end(), keys.begin(), keys.end());
        uitest::whenMenuOpen([args](GtkWidget*) { uitest::xdotool(args); });
        ContextMenu::Item* item = menu.show();
        EXPECT_FALSE(rescue.fired()) << "the menu did not react to the keys";
        return item;
    }
};

TEST_F(ContextMenuPopup, KeyboardChoiceReturnsItemWithPayloadAndSkipsGreyedItems) {
    ContextMenu menu;
    menu.add(L"greyed", 0);
    menu.add(L"first", 21, L"memo -new");
    menu.add(L"off", 22);
    menu.setDisabled(22, true);
    menu.add(L"second", 23, L"rss -dump");

    ContextMenu::Item* item = pick(menu, {"Down", "Down", "Return"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 23u);
    ASSERT_TRUE(item->payload);
    EXPECT_EQ(*item->payload, L"rss -dump");
    EXPECT_EQ(item, menu.find(23));  // the menu's own item, not a copy

    item = pick(menu, {"Down", "Return"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 21u);
}

TEST_F(ContextMenuPopup, ChoosingCheckItemFlipsItAndEscapeChangesNothing) {
    ContextMenu menu;
    menu.addCheck(L"mute", 4, false);
    menu.addCheck(L"stay", 3, true);

    ContextMenu::Item* item = pick(menu, {"Down", "Return"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 4u);
    EXPECT_TRUE(item->checked);
    EXPECT_TRUE(menu.isChecked(3));

    item = pick(menu, {"Down", "Down", "Return"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 3u);
    EXPECT_FALSE(menu.isChecked(3));

    item = pick(menu, {"Down", "Escape"});
    EXPECT_EQ(item, nullptr);
    EXPECT_TRUE(menu.isChecked(4));
    EXPECT_FALSE(menu.isChecked(3));
}

TEST_F(ContextMenuPopup, SubmenuEntryWithPayloadButNoIdIsChosen) {
    ContextMenu menu = sampleWithSubmenu();
    // A, (separator), B > C: Right opens B and selects C.
    ContextMenu::Item* item = pick(menu, {"Down", "Down", "Right", "Return"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label, L"C");
    ASSERT_TRUE(item->payload);
    EXPECT_EQ(*item->payload, L"payload-c");
}

TEST_F(ContextMenuPopup, OpensUpAndLeftInTheLowerRightQuarter) {
    ContextMenu menu;
    menu.add(L"one", 1);
    menu.add(L"two", 2);
    for (const auto& at : {std::pair<int, int>{1000, 700}, std::pair<int, int>{200, 150}}) {
        uitest::warpPointer(at.first, at.second);
        GdkRectangle r{0, 0, 0, 0};
        uitest::Rescue rescue;
        uitest::whenMenuOpen([&r](GtkWidget* w) {
            gdk_window_get_frame_extents(gtk_widget_get_window(w), &r);
            uitest::xdotool({"key", "Escape"});
        });
        EXPECT_EQ(menu.show(), nullptr);
        ASSERT_GT(r.width, 0);
        if (at.first == 1000) {
            EXPECT_LE(r.x + r.width, 1000);
            EXPECT_LE(r.y + r.height, 700);
            EXPECT_GE(r.x + r.width, 990);  // its corner touches the pointer
        } else {
            EXPECT_GE(r.x, 200);
            EXPECT_GE(r.y, 150);
            EXPECT_LE(r.x, 210);
        }
    }
}

TEST_F(ContextMenuPopup, ShowsJapaneseLabelsWithAccessKeys) {
    ContextMenu memo;
    memo.add(L"新規(&N)", 6, L"memo -new");
    memo.add(L"全て削除(&C)", 6, L"memo -clear");
    ContextMenu menu;
    menu.addSubmenu(L"たびめも(&M)", memo);
    menu.add(L"受信済みフィードを表示(&F)", 6, L"rss -dump");
    menu.addSeparator();
    menu.addCheck(L"ちょっと黙って(&Q)", 4, true);
    menu.add(L"A && B_c", 9);

    std::vector<std::string> labels;
    uitest::Rescue rescue;
    uitest::whenMenuOpen([&labels](GtkWidget* w) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(w))));
        for (GList* l = children; l != nullptr; l = l->next) {
            GtkWidget* label = gtk_bin_get_child(GTK_BIN(l->data));
            if (label != nullptr && GTK_IS_LABEL(label)) labels.push_back(gtk_label_get_text(GTK_LABEL(label)));
        }
        g_list_free(children);
        if (const char* dir = g_getenv("TAVI_SHOT_DIR")) {
            const std::string cmd = std::string("import -window root ") + dir + "/contextmenu.png";
            if (std::system(cmd.c_str()) != 0) g_printerr("screenshot failed\n");
        }
        uitest::xdotool({"key", "Escape"});
    });
    EXPECT_EQ(menu.show(), nullptr);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0], "たびめも(M)");
    EXPECT_EQ(labels[1], "受信済みフィードを表示(F)");
    EXPECT_EQ(labels[2], "ちょっと黙って(Q)");
    EXPECT_EQ(labels[3], "A & B_c");
}

// The way the program uses it: a window opens its menu from its right-button release and keeps
// its own timer running meanwhile.
class CardWindow : public kiro::ui::Window {
public:
    CardWindow() : Window(nullptr, kiro::ui::ws::Popup) {
        menu.addCheck(L"保護(&L)", 4, false);
        menu.add(L"編集(&E)", 2);
    }
    kiro::ui::LResult onRButtonUp(int, int) override {
        ticksBefore = ticks;
        ContextMenu::Item* item = menu.show(this);
        ticksDuring = ticks - ticksBefore;
        chosen = item != nullptr ? item->id : 0;
        return 0;
    }
    kiro::ui::LResult onTimer(std::uint32_t) override {
        ++ticks;
        return 0;
    }
    ContextMenu menu;
    int ticks = 0;
    int ticksBefore = -1;
    int ticksDuring = 0;
    uint32_t chosen = 99;
};

TEST_F(ContextMenuPopup, RightClickOnAWindowOpensItsMenuWhileItsTimerRuns) {
    CardWindow card;
    card.moveTo(300, 300);
    card.setClientSize(200, 40);
    card.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return gtk_widget_get_mapped(gtkToplevel(card)); }));
    card.setTimer(20, 0);
    uitest::settle(100);

    uitest::Rescue rescue;
    // Waits a few ticks with the menu open before choosing, so the timer's work shows.
    uitest::whenMenuOpen([&card](GtkWidget*) {
        const int opened = card.ticks;
        uitest::every(20, [&card, opened] {
            if (card.ticks < opened + 5) return true;
            uitest::xdotool({"key", "--delay", "40", "Down", "Return"});
            return false;
        });
    });
    uitest::xdotool({"mousemove", "--sync", "350", "320", "click", "3"});
    ASSERT_TRUE(uitest::waitUntil([&] { return card.chosen != 99; }, 10000));
    EXPECT_FALSE(rescue.fired());
    EXPECT_EQ(card.chosen, 4u);
    EXPECT_TRUE(card.menu.isChecked(4));
    EXPECT_GE(card.ticksDuring, 5);
}

}  // namespace
