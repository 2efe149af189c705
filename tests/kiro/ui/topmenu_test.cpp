// The menu bar of a window: one bar per window above its client area, a click sends the item's
// command, clear removes the bar.
#include "kiro/ui/topmenu.h"

#include "kiro/ui/window.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using Labels = std::vector<std::wstring>;

// A bar with these items, numbered from 1; it stays with the window when the object goes.
static void attachBar(Window& window, const Labels& labels) {
    TopMenu menu(window);
    for (size_t i = 0; i < labels.size(); ++i) menu.addItem(labels[i], std::uint32_t(i + 1));
    menu.attach();
}

using MenuBar = uitest::Ui;

TEST_F(MenuBar, ClicksSendCommandsOnePerWindowAttachReplacesAndClearTakesItAway) {
    test::Recorder window(nullptr, ws::OverlappedWindow);
    window.moveTo(200, 200);
    window.setClientSize(300, 100);
    attachBar(window, {L"編集(&E)", L"保存して閉じる(&Esc)"});
    window.show();
    uitest::pump(200);
    EXPECT_EQ(uitest::menuBar(window), (Labels{L"編集(E)", L"保存して閉じる(Esc)"}));
    window.setClientSize(300, 100);  // the bar comes on top of the client area
    uitest::pump(200);
    EXPECT_EQ(test::sizeOf(window), test::XY(300, 100));
    EXPECT_GT(window.height(), 105);
    uitest::clickMenuBar(window, 1);
    ASSERT_TRUE(window.saw("menu 2"));
    EXPECT_FALSE(window.has("menu 1"));
    {
        TopMenu same(window);  // takes the bar the window already has
        same.addItem(L"third", 3);
        same.attach();
    }
    EXPECT_EQ(uitest::menuBar(window), (Labels{L"編集(E)", L"保存して閉じる(Esc)", L"third"}));
    TopMenu(window).clear();
    EXPECT_TRUE(uitest::menuBar(window).empty());
    TopMenu(window).addItem(L"never attached", 3);
    EXPECT_TRUE(uitest::menuBar(window).empty());
    attachBar(window, {std::wstring(100, L'x')});
    EXPECT_EQ(uitest::menuBar(window), Labels{std::wstring(63, L'x')});
    TopMenu(window).clear();
    TopMenu(window).clear();  // nothing left: no effect
    EXPECT_TRUE(uitest::menuBar(window).empty());
    // Two bars started before either is attached are different bars: the second replaces.
    TopMenu first(window), second(window);
    first.addItem(L"one", 1);
    first.attach();
    second.addItem(L"two", 2);
    second.attach();
    EXPECT_EQ(uitest::menuBar(window), Labels{L"two"});
}

}  // namespace kiro::ui
