// Context menu: finding and marking items, where it opens, and real popups chosen from with the
// keyboard (which also proves the numbering of entries across separators and submenus).
#include "kiro/ui/contextmenu.h"

#include "kiro/ui/window.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

// Opens the menu and presses the keys once it is up; what show() returned.
static ContextMenu::Item* pick(ContextMenu& menu, const std::string& keys) {
    uitest::Rescue rescue;
    uitest::whenMenuOpen([keys](const uitest::MenuSeen&) { uitest::keys(keys); });
    ContextMenu::Item* item = menu.show();
    EXPECT_FALSE(rescue.fired()) << "the menu did not react to " << keys;
    return item;
}

TEST(ContextMenuItems, FindsItemsDepthFirstMarksThemAndOpensTowardsTheMiddle) {
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
    EXPECT_EQ(ContextMenu().show(), nullptr);  // an empty menu is not shown at all
    auto at = [](int x, int y, int left, int right) {
        const auto a = ContextMenu::alignmentAt(x, y, left, 0, right, 800);
        return std::pair(a.right, a.bottom);
    };
    EXPECT_EQ(at(100, 100, 0, 1280), std::pair(false, false));
    EXPECT_EQ(at(640, 400, 0, 1280), std::pair(true, true));  // exactly half: right and lower
    EXPECT_EQ(at(639, 399, 0, 1280), std::pair(false, false));
    EXPECT_EQ(at(1500, 100, 1280, 2560).first, false);  // a second monitor's left half
}

using ContextMenuPopup = uitest::Ui;

TEST_F(ContextMenuPopup, ShowsLabelsAndWhichCanBeChosenKeysChooseChecksFlipAndTimersRunMeanwhile) {
    ContextMenu sub, menu;
    sub.add(L"C", 0, L"payload-c");  // a payload without an id can be chosen
    sub.add(L"D", 0);                // neither: greyed
    menu.addCheck(L"mute", 4, false);
    menu.addSeparator();
    menu.addSubmenu(L"sub(&S)", sub);
    menu.add(L"greyed", 0);
    menu.add(L"off", 22);
    menu.setDisabled(22, true);
    menu.add(L"A && B_c", 23, L"rss -dump");
    test::Recorder ticker;  // its timer keeps running while the menu is open
    ticker.setTimer(20, 1);
    uitest::MenuSeen seen;
    uitest::Rescue rescue;
    uitest::moveTo(200, 150);
    uitest::whenMenuOpen([&](const uitest::MenuSeen& m) {
        seen = m;
        uitest::every(20, [&ticker, opened = ticker.count("timer 1")] {
            if (ticker.count("timer 1") < opened + 3) return true;
            uitest::keys("Up Return");
            return false;
        });
    });
    ContextMenu::Item* item = menu.show();
    EXPECT_FALSE(rescue.fired());
    EXPECT_EQ(seen.labels, (std::vector<std::wstring>{L"mute", L"sub(S)", L"greyed", L"off", L"A & B_c"}));
    EXPECT_EQ(seen.usable, (std::vector<bool>{true, true, false, false, true}));
    EXPECT_TRUE(item == menu.find(23) && *item->payload == L"rss -dump");  // the menu's own item, not a copy
    item = pick(menu, "Down Down Right Return");                           // past the separator into the submenu
    EXPECT_EQ(item ? item->label : L"", L"C");
    item = pick(menu, "Down Return");
    EXPECT_TRUE(item && item->id == 4u && menu.isChecked(4));
    EXPECT_TRUE(pick(menu, "Down Escape") == nullptr && menu.isChecked(4));
}

}  // namespace kiro::ui
