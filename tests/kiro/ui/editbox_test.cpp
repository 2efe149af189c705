// The text-entry control in a real window: typing in any script, line feeds, key forwarding,
// and the text outliving the window.
#include "kiro/ui/editbox.h"

#include "kiro/ui/window.h"
#include "support/uidriver.h"

namespace kiro::ui {

struct NoteWindow : Window {
    NoteWindow() : Window(nullptr, ws::OverlappedWindow) {}
    LResult onUserMessage(std::uint32_t msg, WParam key, LParam) override {
        return keys.push_back({msg, std::uint32_t(key)}), 0;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
};

using EditBoxInWindow = uitest::Ui;

TEST_F(EditBoxInWindow, TakesTypingInAnyScriptForwardsKeysWhenAskedAndKeepsItsTextAfterTheWindow) {
    NoteWindow window;
    EditBox box{window};
    window.moveTo(100, 100);
    window.setClientSize(300, 120);
    box.setBounds(Rect{0, 0, 300, 120});
    window.show();
    uitest::pump(200);
    uitest::moveTo(250, 160);
    // Gives the box the keyboard, sends the input and waits until the text ends as expected.
    auto input = [&](const std::function<void()>& send, const std::wstring& end) {
        window.focus();
        box.focus();
        uitest::pump(50);
        send();
        return uitest::waitUntil([&] {
            const std::wstring t = box.getText();
            return t.size() >= end.size() && t.compare(t.size() - end.size(), end.size(), end) == 0;
        });
    };
    box.setText(L"一行目\r\n二行目\r");
    EXPECT_EQ(box.getText(), L"一行目\n二行目\n");
    input([] { uitest::type(L"abc"); }, L"abc");
    input([] { uitest::keys("Return x"); }, L"\nx");
    EXPECT_EQ(box.getText(), L"一行目\n二行目\nabc\nx");
    box.setText(L"");
    input([] { uitest::type(L"日本語のメモ"); }, L"日本語のメモ");
    EXPECT_EQ(box.getText(), L"日本語のメモ");
    // Keys reach the window with virtual key codes only while forwarding is on.
    box.setText(L"");
    input([] { uitest::keys("a"); }, L"a");
    box.setForwardMessage(wm::App);
    input([] { uitest::keys("b Escape Return"); }, L"b\n");
    uitest::waitUntil([&] { return window.keys.size() >= 3; });
    box.setForwardMessage(0);
    input([] { uitest::keys("c"); }, L"c");
    uitest::pump(100);
    using Key = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(window.keys, (std::vector<Key>{{wm::App, 'B'}, {wm::App, 27}, {wm::App, vk::Return}}));
    EXPECT_EQ(box.getText(), L"ab\nc");  // the control still handled the keys itself
    window.destroy();
    uitest::pump(50);
    EXPECT_EQ(box.getText(), L"ab\nc");
    box.setText(L"no control");  // nothing to show it in; must not crash
    EXPECT_EQ(box.getText(), L"no control");
}

}  // namespace kiro::ui
