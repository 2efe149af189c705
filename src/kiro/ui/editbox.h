// The text-entry control: a multi-line, scrolling text box inside a window, with the
// platform's input methods (Japanese included).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kiro/ui/types.h"

namespace kiro::ui {

class Window;

class EditBox {
public:
    // Creates the control in parent's client area at (0, 0), 16 by 16 pixels, with the
    // default font at height 17.
    explicit EditBox(Window& parent);
    ~EditBox();
    EditBox(const EditBox&) = delete;
    EditBox& operator=(const EditBox&) = delete;

    // Replaces the text and puts the caret at its end. Carriage returns, alone or before a
    // line feed, count as line feeds.
    void setText(const std::wstring& text);
    // The text with each line ending in a bare line feed. The reference stays valid until the
    // next call; after the parent window is gone it holds the last text the control had.
    const std::wstring& getText();

    // face null: the default face. height: the character cell height in pixels. The face is
    // cut to 31 characters.
    void setFont(const wchar_t* face, int height);
    // Places the control at (r.left, r.top) with width r.right and height r.bottom (a client
    // rectangle, whose left and top are 0, covers the whole client area).
    void setBounds(const Rect& r);
    void focus();
    void invalidate();
    // From now on every key pressed in the control is also posted to the parent window as
    // message msg, with the key's virtual-key code as wParam and the key data as lParam
    // (0 turns it off). While an input method composes text the code is 0xE5.
    void setForwardMessage(std::uint32_t msg);

    static constexpr std::size_t maxFace = 31;
    static constexpr const wchar_t* defaultFace = L"ＭＳ Ｐゴシック";

    // Line-break rules shared by the platforms.
    static std::wstring toLineFeeds(const std::wstring& text);     // CR LF and CR become LF
    static std::wstring withoutReturns(const std::wstring& text);  // every CR removed

    struct Native;

private:
    Window* parent_;
    std::unique_ptr<Native> native_;
    std::wstring text_;
    std::uint32_t forwardMessage_ = 0;
};

}  // namespace kiro::ui
