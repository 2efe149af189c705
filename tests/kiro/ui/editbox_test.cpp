// The text-entry control in a real window: typing in any script, line feeds, key forwarding,
// and the text outliving the window.
#include "kiro/ui/editbox.h"

#include <gtest/gtest.h>

#include "kiro/ui/window.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

struct NoteWindow : Window {
    NoteWindow() : Window(nullptr, ws::OverlappedWindow) {}
    LResult onUserMessage(std::uint32_t msg, WParam key, LParam) override {
        return keys.push_back({msg, std::uint32_t(key)}), 0;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
};

class EditBoxInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::start()) GTEST_SKIP() << "no display";
        window.moveTo(100, 100);
        window.setClientSize(300, 120);
        box.setBounds(Rect{0, 0, 300, 120});
        window.show();
        uitest::pump(200);
        uitest::moveTo(250, 160);
    }
    // Gives the box the keyboard, sends the input and waits until the text ends as expected.
    void input(const std::function<void()>& send, const std::wstring& end) {
        window.focus();
        box.focus();
        uitest::pump(50);
        send();
        uitest::waitUntil([&] {
            const std::wstring t = box.getText();
            return t.size() >= end.size() && t.compare(t.size() - end.size(), end.size(), end) == 0;
        });
    }
    NoteWindow window;
    EditBox box{window};
};

TEST_F(EditBoxInWindow, SetTextReadsBackWithLineFeedsAndTypingContinuesAtTheEndInAnyScript) {
    box.setText(L"一行目\r\n二行目\r");
    EXPECT_EQ(box.getText(), L"一行目\n二行目\n");
    input([] { uitest::type(L"abc"); }, L"abc");
    input([] { uitest::keys("Return x"); }, L"\nx");
    EXPECT_EQ(box.getText(), L"一行目\n二行目\nabc\nx");
    box.setText(L"");
    input([] { uitest::type(L"日本語のメモ"); }, L"日本語のメモ");
    EXPECT_EQ(box.getText(), L"日本語のメモ");
}

TEST_F(EditBoxInWindow, KeysAreForwardedWithVirtualKeyCodesOnlyWhenAsked) {
    box.setText(L"");
    input([] { uitest::keys("a"); }, L"a");
    box.setForwardMessage(wm::App);
    input([] { uitest::keys("b Escape Return"); }, L"b\n");
    uitest::waitUntil([this] { return window.keys.size() >= 3; });
    using Key = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(window.keys, (std::vector<Key>{{wm::App, 'B'}, {wm::App, 27}, {wm::App, vk::Return}}));
    EXPECT_EQ(box.getText(), L"ab\n");  // the control still handled the keys itself
    box.setForwardMessage(0);
    input([] { uitest::keys("c"); }, L"c");
    uitest::pump(100);
    EXPECT_EQ(window.keys.size(), 3u);
}

TEST_F(EditBoxInWindow, TheTextOutlivesTheWindow) {
    box.setText(L"残す\nテキスト");
    window.destroy();
    uitest::pump(50);
    EXPECT_EQ(box.getText(), L"残す\nテキスト");
    box.setText(L"no control");  // nothing to show it in; must not crash
    EXPECT_EQ(box.getText(), L"no control");
}

}  // namespace
}  // namespace kiro::ui
