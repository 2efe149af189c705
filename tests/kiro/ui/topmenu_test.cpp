// The menu bar of a window: one bar per window, commands reach onCommand, clear removes it.
#include "kiro/ui/topmenu.h"

#include <gtest/gtest.h>

#include <vector>

#include "kiro/ui/types.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "support/uidriver_gtk.h"

namespace {

using kiro::ui::LResult;
using kiro::ui::TopMenu;

class EditorWindow : public kiro::ui::Window {
public:
    EditorWindow() : Window(nullptr, kiro::ui::ws::OverlappedWindow) {}
    LResult onCommand(std::uint32_t id) override {
        commands.push_back(id);
        return 0;
    }
    std::vector<std::uint32_t> commands;
};

// The menu bars standing in the window, and the labels of the first one's items.
std::vector<GtkWidget*> menuBars(kiro::ui::Window& w) {
    std::vector<GtkWidget*> bars;
    GtkWidget* frame = gtk_widget_get_parent(gtkClientArea(w));
    GList* kids = gtk_container_get_children(GTK_CONTAINER(frame));
    for (GList* l = kids; l != nullptr; l = l->next) {
        if (GTK_IS_MENU_BAR(l->data)) bars.push_back(GTK_WIDGET(l->data));
    }
    g_list_free(kids);
    return bars;
}

std::vector<GtkWidget*> itemsOf(GtkWidget* bar) {
    std::vector<GtkWidget*> items;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(bar));
    for (GList* l = kids; l != nullptr; l = l->next) items.push_back(GTK_WIDGET(l->data));
    g_list_free(kids);
    return items;
}

std::string labelOf(GtkWidget* item) {
    return gtk_menu_item_get_label(GTK_MENU_ITEM(item));
}

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
        window = std::make_unique<EditorWindow>();
        window->moveTo(200, 200);
        window->setClientSize(300, 100);
    }
    std::unique_ptr<EditorWindow> window;
};

TEST_F(MenuBar, ClickedItemSendsItsCommandToTheWindow) {
    {
        TopMenu menu(*window);
        menu.addItem(L"保存して閉じる(&Esc)", 1);
        menu.attach();
    }  // the bar stays with the window
    window->show();
    ASSERT_TRUE(uitest::waitUntil([this] { return gtk_widget_get_mapped(gtkToplevel(*window)); }));
    uitest::settle(150);

    const auto bars = menuBars(*window);
    ASSERT_EQ(bars.size(), 1u);
    const auto items = itemsOf(bars[0]);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(labelOf(items[0]), "保存して閉じる(_Esc)");

    GtkAllocation a;
    gtk_widget_get_allocation(items[0], &a);
    int x = 0;
    int y = 0;
    gdk_window_get_origin(gtk_widget_get_window(items[0]), &x, &y);
    if (const char* dir = g_getenv("TAVI_SHOT_DIR")) {
        const std::string cmd = std::string("import -window root ") + dir + "/topmenu.png";
        if (std::system(cmd.c_str()) != 0) g_printerr("screenshot failed\n");
    }
    uitest::xdotool({"mousemove", "--sync", std::to_string(x + a.x + a.width / 2),
                     std::to_string(y + a.y + a.height / 2), "click", "1"});
    EXPECT_TRUE(uitest::waitUntil([this] { return !window->commands.empty(); }));
    ASSERT_EQ(window->commands.size(), 1u);
    EXPECT_EQ(window->commands[0], 1u);
}

TEST_F(MenuBar, OneBarPerWindowAndClearTakesItAway) {
    {
        TopMenu menu(*window);
        menu.addItem(L"first", 1);
        menu.attach();
    }
    {
        TopMenu same(*window);  // takes the bar the window already has
        same.addItem(L"second", 2);
        same.attach();
    }
    auto bars = menuBars(*window);
    ASSERT_EQ(bars.size(), 1u);
    auto items = itemsOf(bars[0]);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(labelOf(items[1]), "second");

    {
        // Building a bar without attaching it leaves the window's bar alone.
        TopMenu loose(*window);
        loose.clear();
        TopMenu fresh(*window);
        EXPECT_EQ(menuBars(*window).size(), 0u);
        fresh.addItem(std::wstring(100, L'x'), 3);  // cut to 63 characters
        fresh.attach();
    }
    bars = menuBars(*window);
    ASSERT_EQ(bars.size(), 1u);
    items = itemsOf(bars[0]);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(labelOf(items[0]), std::string(63, 'x'));

    TopMenu(*window).clear();
    EXPECT_EQ(menuBars(*window).size(), 0u);
    TopMenu(*window).clear();  // nothing left: no effect
    EXPECT_EQ(menuBars(*window).size(), 0u);
}

TEST_F(MenuBar, AttachingAnotherBarReplacesTheFirst) {
    // Both start before either is attached, so they are two different bars.
    TopMenu first(*window);
    TopMenu second(*window);
    first.addItem(L"one", 1);
    first.attach();
    second.addItem(L"two", 2);
    second.attach();
    const auto bars = menuBars(*window);
    ASSERT_EQ(bars.size(), 1u);
    const auto items = itemsOf(bars[0]);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(labelOf(items[0]), "two");
}

}  // namespace
