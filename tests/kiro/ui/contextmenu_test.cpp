// Context menu: the item tree and its numbering, and real popups chosen from with the keyboard.
#include "kiro/ui/contextmenu.h"

#include <gtest/gtest.h>

#include "kiro/ui/window.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

// Writes down what the menu asks a builder to make, one line per call.
struct RecordingBuilder : ContextMenu::Builder {
    std::vector<std::wstring> log;
    void beginSubmenu(const ContextMenu::Item& item) override { log.push_back(L"sub " + item.label); }
    void endSubmenu() override { log.push_back(L"end"); }
    void separator() override { log.push_back(L"sep"); }
    void entry(const ContextMenu::Item& item, uint32_t n) override {
        log.push_back(item.label + L" " + std::to_wstring(n));
    }
};

ContextMenu withSubmenu() {
    ContextMenu sub, menu;
    sub.add(L"C", 0, L"payload-c");
    sub.add(L"D", 0);  // neither id nor payload: greyed
    menu.add(L"A", 10);
    menu.addSeparator();
    menu.addSubmenu(L"B", sub);
    menu.addCheck(L"E", 11, false);
    return menu;
}

// Opens the menu and presses the keys once it is up; what show() returned.
ContextMenu::Item* pick(ContextMenu& menu, const std::string& keys) {
    uitest::Rescue rescue;
    uitest::whenMenuOpen([keys](const uitest::MenuSeen&) { uitest::keys(keys); });
    ContextMenu::Item* item = menu.show();
    EXPECT_FALSE(rescue.fired()) << "the menu did not react to " << keys;
    return item;
}

TEST(ContextMenuItems, NumbersChoosableEntriesDepthFirstAndFindsItemsBeforeTheirSubmenus) {
    std::vector<ContextMenu::Item> items = withSubmenu().items();
    RecordingBuilder builder;
    std::vector<ContextMenu::Item*> commands;
    ContextMenu::build(items, builder, commands);
    EXPECT_EQ(builder.log, (std::vector<std::wstring>{L"A 1", L"sep", L"sub B", L"C 2", L"D 0", L"end", L"E 3"}));
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(*commands[1]->payload, L"payload-c");
    EXPECT_EQ(commands[2]->id, 11u);

    ContextMenu inner, menu;
    inner.add(L"inner", 5, L"in-sub");
    menu.add(L"first", 1);
    menu.addSubmenu(L"sub", inner);
    menu.add(L"later", 5, L"later");
    ASSERT_NE(menu.find(5), nullptr);
    EXPECT_EQ(menu.find(5)->label, L"inner");
    EXPECT_EQ(menu.find(0), nullptr);  // the submenu entry itself has id 0
    inner.setChecked(5, true);         // the submenu was copied
    EXPECT_FALSE(menu.isChecked(5));
    menu.setChecked(5, true);
    menu.setDisabled(1, true);
    menu.setChecked(99, true);  // absent: no effect
    EXPECT_TRUE(menu.isChecked(5) && menu.find(5)->checked && menu.find(1)->disabled && !menu.isChecked(99));
    auto payload = std::make_shared<std::wstring>(L"cmd");
    menu.add(L"p", 3, payload);
    EXPECT_EQ(menu.find(3)->payload.get(), payload.get());
    EXPECT_EQ(ContextMenu().show(), nullptr);  // an empty menu is not shown at all
}

TEST(ContextMenuItems, OpensTowardsTheMiddleOfTheWorkArea) {
    auto at = [](int x, int y, int left, int right) {
        const auto a = ContextMenu::alignmentAt(x, y, left, 0, right, 800);
        return std::pair(a.right, a.bottom);
    };
    EXPECT_EQ(at(100, 100, 0, 1280), std::pair(false, false));
    EXPECT_EQ(at(640, 400, 0, 1280), std::pair(true, true));  // exactly half: right and lower
    EXPECT_EQ(at(639, 399, 0, 1280), std::pair(false, false));
    EXPECT_EQ(at(1500, 100, 1280, 2560).first, false);  // a second monitor's left half
}

class ContextMenuPopup : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::start()) GTEST_SKIP() << "no display";
        uitest::moveTo(200, 150);
    }
};

TEST_F(ContextMenuPopup, KeysChooseSkipGreyedItemsFlipChecksAndEscapeChangesNothing) {
    ContextMenu menu;
    menu.add(L"greyed", 0);
    menu.add(L"first", 21, L"memo -new");
    menu.add(L"off", 22);
    menu.setDisabled(22, true);
    menu.add(L"second", 23, L"rss -dump");
    ContextMenu::Item* item = pick(menu, "Down Down Return");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item, menu.find(23));  // the menu's own item, not a copy
    EXPECT_EQ(*item->payload, L"rss -dump");
    item = pick(menu, "Down Return");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 21u);
    // A, (separator), B > C: Right opens B and selects C, which has a payload but no id.
    ContextMenu sub = withSubmenu();
    item = pick(sub, "Down Down Right Return");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label, L"C");

    ContextMenu checks;
    checks.addCheck(L"mute", 4, false);
    checks.addCheck(L"stay", 3, true);
    item = pick(checks, "Down Return");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->id == 4u && item->checked && checks.isChecked(3));
    item = pick(checks, "Down Down Return");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->id == 3u && !checks.isChecked(3));
    EXPECT_EQ(pick(checks, "Down Escape"), nullptr);
    EXPECT_TRUE(checks.isChecked(4) && !checks.isChecked(3));
}

TEST_F(ContextMenuPopup, ShowsLabelsWithAccessKeysAndOpensTowardsTheMiddle) {
    ContextMenu memo, menu;
    memo.add(L"新規(&N)", 6, L"memo -new");
    menu.addSubmenu(L"たびめも(&M)", memo);
    menu.add(L"受信済みフィードを表示(&F)", 6, L"rss -dump");
    menu.addSeparator();
    menu.addCheck(L"ちょっと黙って(&Q)", 4, true);
    menu.add(L"A && B_c", 9);
    for (const auto& [x, y] : {std::pair{1000, 700}, std::pair{200, 150}}) {
        uitest::moveTo(x, y);
        uitest::MenuSeen seen;
        uitest::Rescue rescue;
        uitest::whenMenuOpen([&seen](const uitest::MenuSeen& m) {
            seen = m;
            uitest::keys("Escape");
        });
        EXPECT_EQ(menu.show(), nullptr);
        EXPECT_EQ(seen.labels, (std::vector<std::wstring>{L"たびめも(M)", L"受信済みフィードを表示(F)",
                                                          L"ちょっと黙って(Q)", L"A & B_c"}));
        const Rect r = seen.frame;
        ASSERT_GT(r.right, r.left);
        if (x == 1000)  // lower right quarter: up and left, its corner at the pointer
            EXPECT_TRUE(r.right <= 1000 && r.bottom <= 700 && r.right >= 990) << r.left << "," << r.top;
        else
            EXPECT_TRUE(r.left >= 200 && r.top >= 150 && r.left <= 210) << r.left << "," << r.top;
    }
}

// The way the program uses it: a window opens its menu from its right-button release and its
// own timer keeps running meanwhile.
struct CardWindow : Window {
    CardWindow() : Window(nullptr, ws::Popup) {
        menu.addCheck(L"保護(&L)", 4, false);
        menu.add(L"編集(&E)", 2);
    }
    LResult onRButtonUp(int, int) override {
        const int before = ticks;
        ContextMenu::Item* item = menu.show(this);
        ticksDuring = ticks - before;
        chosen = item != nullptr ? item->id : 0;
        return 0;
    }
    LResult onTimer(std::uint32_t) override { return ++ticks, 0; }
    ContextMenu menu;
    int ticks = 0, ticksDuring = 0;
    uint32_t chosen = 99;
};

TEST_F(ContextMenuPopup, RightClickOnAWindowOpensItsMenuWhileItsTimerRuns) {
    CardWindow card;
    card.moveTo(300, 300);
    card.setClientSize(200, 40);
    card.show();
    uitest::pump(200);
    card.setTimer(20, 0);
    uitest::Rescue rescue;
    uitest::whenMenuOpen([&card](const uitest::MenuSeen&) {
        uitest::every(20, [&card, opened = card.ticks] {  // a few ticks with the menu open
            if (card.ticks < opened + 5) return true;
            uitest::keys("Down Return");
            return false;
        });
    });
    uitest::moveTo(350, 320);
    uitest::click(3);
    ASSERT_TRUE(uitest::waitUntil([&] { return card.chosen != 99; }, 10000));
    EXPECT_FALSE(rescue.fired());
    EXPECT_EQ(card.chosen, 4u);
    EXPECT_TRUE(card.menu.isChecked(4));
    EXPECT_GE(card.ticksDuring, 5);
}

}  // namespace
}  // namespace kiro::ui
