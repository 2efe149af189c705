// The menu bar of a window: one bar per window, a click sends the item's command, clear
// removes the bar.
#include "kiro/ui/topmenu.h"

#include <gtest/gtest.h>

#include "kiro/ui/window.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using Labels = std::vector<std::wstring>;

struct EditorWindow : Window {
    EditorWindow() : Window(nullptr, ws::OverlappedWindow) {}
    LResult onCommand(std::uint32_t id) override { return commands.push_back(id), 0; }
    std::vector<std::uint32_t> commands;
};

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::start()) GTEST_SKIP() << "no display";
        window.moveTo(200, 200);
        window.setClientSize(300, 100);
    }
    void bar(const Labels& labels) {
        TopMenu menu(window);
        for (size_t i = 0; i < labels.size(); ++i) menu.addItem(labels[i], std::uint32_t(i + 1));
        menu.attach();
    }  // the bar stays with the window
    EditorWindow window;
};

TEST_F(MenuBar, AClickedItemSendsItsCommandToTheWindow) {
    bar({L"編集(&E)", L"保存して閉じる(&Esc)"});
    window.show();
    uitest::pump(200);
    EXPECT_EQ(uitest::menuBar(window), (Labels{L"編集(E)", L"保存して閉じる(Esc)"}));
    uitest::clickMenuBar(window, 1);
    ASSERT_TRUE(uitest::waitUntil([this] { return !window.commands.empty(); }));
    EXPECT_EQ(window.commands, std::vector<std::uint32_t>{2});
}

TEST_F(MenuBar, OneBarPerWindowAttachReplacesAndClearTakesItAway) {
    bar({L"first"});
    {
        TopMenu same(window);  // takes the bar the window already has
        same.addItem(L"second", 2);
        same.attach();
    }
    EXPECT_EQ(uitest::menuBar(window), (Labels{L"first", L"second"}));
    {
        TopMenu loose(window);
        loose.clear();
        EXPECT_TRUE(uitest::menuBar(window).empty());
        TopMenu fresh(window);
        fresh.addItem(std::wstring(100, L'x'), 3);
    }  // never attached: the window has no bar
    EXPECT_TRUE(uitest::menuBar(window).empty());
    bar({std::wstring(100, L'x')});
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

}  // namespace
}  // namespace kiro::ui
