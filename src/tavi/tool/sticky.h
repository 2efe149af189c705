// One sticky note: a grey card on the desktop that can be dragged, copied, protected, edited in
// a resizable editor window and deleted, kept as a text file and a settings file that are
// rewritten (each replaced whole) whenever something about the note changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kiro/ui/contextmenu.h"
#include "kiro/ui/window.h"
#include "tavi/tool/memo.h"

namespace kiro::ui {
class EditBox;
}

namespace tavi::tool {

class Memo::Sticky : public kiro::ui::Window {
public:
    enum State { New = 0, Showing = 1, Editing = 2, Deleted = 3 };
    // Command ids of the context menu and the editor's menu bar.
    enum : std::uint32_t { SaveAndClose = 1, Edit = 2, Delete = 3, Protect = 4, CopyText = 5, CopyOnClick = 6 };

    static constexpr int editWidth = 300;  // editor client size before the scroll bars
    static constexpr int editHeight = 100;
    static constexpr int margin = 10;                    // inside the card
    static constexpr std::uint32_t keyMessage = 0x8000;  // keys the edit box passes on

    // A note for its text file: with its settings file, a card where they put it; with only
    // the text file, a card in the middle of the work area; with neither, a new note in its
    // editor there.
    Sticky(kiro::ui::Window* owner, const std::wstring& datPath);
    // Saves what changed (the text from an open editor too).
    ~Sticky() override;

    kiro::ui::LResult onUserMessage(std::uint32_t msg, kiro::ui::WParam wParam, kiro::ui::LParam lParam) override;
    kiro::ui::LResult onClose() override;
    kiro::ui::LResult onPaint(kiro::ui::Canvas& canvas) override;
    kiro::ui::LResult onSizing(kiro::ui::Rect* rect) override;
    kiro::ui::LResult onSize(const kiro::ui::Size& size) override;
    kiro::ui::LResult onMove(int x, int y) override;
    kiro::ui::LResult onCommand(std::uint32_t id) override;
    kiro::ui::LResult onLButtonUp(int x, int y) override;
    kiro::ui::LResult onLButtonDblClk(int x, int y) override;
    kiro::ui::LResult onRButtonUp(int x, int y) override;
    kiro::ui::LResult onMouseOver(bool inside) override;
    kiro::ui::LResult onSetCursor(std::uint32_t mouseMsg) override;

    // The card sized to the text (leaving the editor, which saves the text).
    void showCard();
    // The editor, unless the note is protected (then a message says how to lift that).
    void edit();
    // Deletes both files and the window; asking first when ask is set and there is text.
    // Nothing happens to a protected note.
    void remove(bool ask);
    // Writes the text file and the settings file where they differ from what is on disk.
    void save();

    State state() const { return state_; }
    bool isProtected() const { return menu_.isChecked(Protect); }
    const std::wstring& text() const { return text_; }
    const std::wstring& datPath() const { return datPath_; }
    const std::wstring& iniPath() const { return iniPath_; }
    bool hovered() const { return hover_; }

private:
    // What was last read from or written to the two files.
    struct OnDisk {
        bool text = false;  // the text file holds text_
        std::wstring textValue;
        bool settings = false;  // the settings file holds these
        int x = 0, y = 0;
        bool protect = false, clickable = false;
    };

    void load();
    void moveToMiddle();

    std::unique_ptr<kiro::ui::EditBox> editBox_;
    std::wstring iniPath_;
    std::wstring datPath_;
    std::wstring text_;
    kiro::ui::ContextMenu menu_;
    State state_ = New;
    bool hover_ = false;
    OnDisk disk_;
};

}  // namespace tavi::tool
