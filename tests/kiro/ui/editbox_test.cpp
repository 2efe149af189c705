// The text-entry control in a real window: typing, line feeds, key forwarding, font, bounds.
#include "kiro/ui/editbox.h"

#include <gtest/gtest.h>

#include <vector>

#include "kiro/ui/types.h"
#include "kiro/ui/window.h"
#include "kiro/ui/window_gtk.h"
#include "support/uidriver_gtk.h"

namespace {

using kiro::ui::EditBox;
using kiro::ui::LParam;
using kiro::ui::LResult;
using kiro::ui::WParam;

TEST(EditBoxLines, CarriageReturnsBecomeLineFeedsAndAreNeverRead) {
    EXPECT_EQ(EditBox::toLineFeeds(L"a\r\nb\rc\nd\r"), L"a\nb\nc\nd\n");
    EXPECT_EQ(EditBox::toLineFeeds(L"\r\r\n"), L"\n\n");
    EXPECT_EQ(EditBox::toLineFeeds(L""), L"");
    EXPECT_EQ(EditBox::withoutReturns(L"a\r\nb\r"), L"a\nb");
}

struct Key {
    std::uint32_t msg;
    WParam vk;
};

class NoteWindow : public kiro::ui::Window {
public:
    NoteWindow() : Window(nullptr, kiro::ui::ws::OverlappedWindow) {}
    LResult onUserMessage(std::uint32_t msg, WParam wParam, LParam) override {
        keys.push_back({msg, wParam});
        return 0;
    }
    std::vector<Key> keys;
};

GtkWidget* findChild(GtkWidget* root, GType type) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(root, type)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GtkWidget* found = nullptr;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* l = kids; l != nullptr && found == nullptr; l = l->next) {
        found = findChild(GTK_WIDGET(l->data), type);
    }
    g_list_free(kids);
    return found;
}

class EditBoxInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
        window = std::make_unique<NoteWindow>();
        window->moveTo(100, 100);
        window->setClientSize(300, 120);
        box = std::make_unique<EditBox>(*window);
        box->setBounds(kiro::ui::Rect{0, 0, 300, 120});
        window->show();
        uitest::waitUntil([this] {
            GtkWidget* top = gtkToplevel(*window);
            return top != nullptr && gtk_widget_get_mapped(top);
        });
        uitest::settle(100);
        uitest::warpPointer(250, 160);
    }

    void TearDown() override {
        box.reset();
        window.reset();
    }

    // Gives the box the keyboard, types, and waits until the text has arrived.
    void type(const std::vector<std::string>& xdotoolArgs, const std::wstring& expectEnd) {
        window->focus();
        box->focus();
        uitest::settle(50);
        uitest::xdotool(xdotoolArgs);
        uitest::waitUntil([&] {
            const std::wstring& t = box->getText();
            return t.size() >= expectEnd.size() &&
                   t.compare(t.size() - expectEnd.size(), expectEnd.size(), expectEnd) == 0;
        });
    }

    GtkWidget* view() { return findChild(gtkToplevel(*window), GTK_TYPE_TEXT_VIEW); }

    std::unique_ptr<NoteWindow> window;
    std::unique_ptr<EditBox> box;
};

TEST_F(EditBoxInWindow, SetTextReadsBackAndTypingContinuesAtTheEndInAnyScript) {
    box->setText(L"一行目\r\n二行目\n");
    EXPECT_EQ(box->getText(), L"一行目\n二行目\n");

    type({"type", "--delay", "30", "abc"}, L"abc");
    EXPECT_EQ(box->getText(), L"一行目\n二行目\nabc");

    type({"key", "--delay", "30", "Return", "x"}, L"\nx");
    EXPECT_EQ(box->getText(), L"一行目\n二行目\nabc\nx");
    EXPECT_EQ(box->getText().find(L'\r'), std::wstring::npos);

    box->setText(L"");
    type({"type", "--delay", "40", "日本語のメモ"}, L"日本語のメモ");
    EXPECT_EQ(box->getText(), L"日本語のメモ");
}

TEST_F(EditBoxInWindow, KeysAreForwardedWithVirtualKeyCodesOnlyWhenAsked) {
    box->setText(L"");
    type({"key", "a"}, L"a");
    uitest::settle(100);
    EXPECT_TRUE(window->keys.empty());

    box->setForwardMessage(kiro::ui::wm::App);
    type({"key", "--delay", "30", "b", "Escape", "Return"}, L"b\n");
    uitest::waitUntil([this] { return window->keys.size() >= 3; });
    ASSERT_EQ(window->keys.size(), 3u);
    EXPECT_EQ(window->keys[0].msg, kiro::ui::wm::App);
    EXPECT_EQ(window->keys[0].vk, WParam('B'));
    EXPECT_EQ(window->keys[1].vk, WParam(27));
    EXPECT_EQ(window->keys[2].vk, WParam(kiro::ui::vk::Return));
    // The control still handled the keys itself.
    EXPECT_EQ(box->getText(), L"ab\n");

    box->setForwardMessage(0);
    type({"key", "c"}, L"c");
    uitest::settle(100);
    EXPECT_EQ(window->keys.size(), 3u);
}

TEST_F(EditBoxInWindow, BoundsAndFontTakeEffectAndTextSurvivesTheWindow) {
    box->setBounds(kiro::ui::Rect{10, 20, 200, 80});
    uitest::settle(100);
    GtkWidget* scroller = gtk_widget_get_parent(view());
    GtkAllocation a;
    gtk_widget_get_allocation(scroller, &a);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_EQ(a.width, 200);
    EXPECT_EQ(a.height, 80);

    box->setText(L"文字");
    box->setFont(L"IPAGothic", 10);
    uitest::settle(100);
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view())), &start);
    int y = 0;
    int small = 0;
    gtk_text_view_get_line_yrange(GTK_TEXT_VIEW(view()), &start, &y, &small);
    box->setFont(nullptr, 40);
    uitest::settle(100);
    int large = 0;
    gtk_text_view_get_line_yrange(GTK_TEXT_VIEW(view()), &start, &y, &large);
    EXPECT_GT(large, small * 2) << small << " " << large;
    EXPECT_EQ(box->getText(), L"文字");
    // The text survives the window going first.
    box->setText(L"残す\nテキスト");
    window->destroy();
    uitest::settle(50);
    EXPECT_EQ(box->getText(), L"残す\nテキスト");
    box->setText(L"no control");  // nothing to show it in; must not crash
    EXPECT_EQ(box->getText(), L"no control");
}

}  // namespace
