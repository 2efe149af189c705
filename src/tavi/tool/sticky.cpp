// The sticky note window: its card, its editor, its context menu and its two files.
#include "tavi/tool/sticky.h"

#include <algorithm>

#include "kiro/io/file.h"
#include "kiro/io/ini.h"
#include "kiro/io/text.h"
#include "kiro/ui/ask.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/clipboard.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/editbox.h"
#include "kiro/ui/screen.h"
#include "kiro/ui/topmenu.h"

namespace tavi::tool {

using kiro::ui::LParam;
using kiro::ui::LResult;
using kiro::ui::NotHandled;
using kiro::ui::WParam;

namespace {

constexpr kiro::ui::Rgb CardColor = 0xF0F0F0;
constexpr kiro::ui::Rgb HoverCardColor = 0xFFFFFF;
constexpr kiro::ui::Rgb FrameColor = 0x404040;
constexpr kiro::ui::Rgb TextColor = 0x404040;
constexpr kiro::ui::Rgb HoverTextColor = 0x7878FF;

constexpr int MinCardWidth = 200;
constexpr int EmptyCardHeight = 40;
constexpr int MeasureWidth = 400;  // long lines wrap here

constexpr const wchar_t* EmptyLabel = L"新規メモ";
constexpr const wchar_t* EditorTitle = L"メモを編集中...";
constexpr const wchar_t* SaveAndCloseLabel = L"保存して閉じる(&Esc)";
constexpr const wchar_t* DeleteQuestion = L"このメモを削除しますか？";
constexpr const wchar_t* ProtectedMessage =
    L"このメモは保護されています。\n編集する場合は右クリックメニューから保護を解除してください。";

}  // namespace

Memo::Sticky::Sticky(kiro::ui::Window* owner, const std::wstring& datPath)
    : Window(owner, kiro::ui::ws::Popup, 0), iniPath_(datPath + L".ini"), datPath_(datPath) {
    menu_.addCheck(L"保護(&L)", Protect, false);
    menu_.add(L"編集(&E)", Edit);
    menu_.add(L"テキストをコピー(&C)", CopyText);
    menu_.addCheck(L"クリックでテキストをコピー(&A)", CopyOnClick, false);
    menu_.addSeparator();
    menu_.add(L"削除(&D)", Delete);
    setDragMove(true);
    setTrackMouseLeave(true);

    if (kiro::io::exists(iniPath_)) {
        load();
        moveTo(disk_.x, disk_.y);
        showCard();
    } else if (kiro::io::exists(datPath_)) {
        // A text without its settings (written before a crash, or copied in by hand) keeps its
        // text and becomes a card like any other.
        load();
        moveToMiddle();
        showCard();
        save();
    } else {
        moveToMiddle();
        edit();
    }
}

Memo::Sticky::~Sticky() {
    save();
    editBox_.reset();
}

void Memo::Sticky::load() {
    if (kiro::io::exists(datPath_)) {
        text_ = kiro::io::Text(datPath_).str();
        disk_.text = true;
        disk_.textValue = text_;
    }
    if (!kiro::io::exists(iniPath_)) return;
    kiro::io::Ini ini(iniPath_);
    kiro::io::Ini::Section& section = ini.section(L"");
    // The settings count as on disk only when the file holds all of them.
    disk_.settings = true;
    for (const wchar_t* key : {L"x", L"y", L"protect", L"clickable"}) {
        if (section.keys().count(key) == 0) disk_.settings = false;
    }
    disk_.x = section[L"x"].getInt(0);
    disk_.y = section[L"y"].getInt(0);
    disk_.protect = section[L"protect"].getBool(false);
    disk_.clickable = section[L"clickable"].getBool(false);
    menu_.setChecked(Protect, disk_.protect);
    menu_.setChecked(CopyOnClick, disk_.clickable);
}

void Memo::Sticky::save() {
    if (datPath_.empty()) return;  // deleted
    if (editBox_) text_ = editBox_->getText();
    // The text first: cut off before its settings, a note still comes back (in the middle).
    if (!disk_.text || disk_.textValue != text_) {
        kiro::io::Text file;
        file.str() = text_;
        if (file.save(datPath_)) {
            disk_.text = true;
            disk_.textValue = text_;
        }
    }
    kiro::ui::Point at{disk_.x, disk_.y};  // where it was, if the window is gone already
    if (handle()) position(at);
    const bool protect = isProtected();
    const bool clickable = menu_.isChecked(CopyOnClick);
    if (disk_.settings && at.x == disk_.x && at.y == disk_.y && protect == disk_.protect &&
        clickable == disk_.clickable)
        return;
    // Keys of others in the file stay as they are.
    kiro::io::Ini ini(iniPath_);
    kiro::io::Ini::Section& section = ini.section(L"");
    section[L"x"].setInt(at.x);
    section[L"y"].setInt(at.y);
    section[L"protect"].setBool(protect);
    section[L"clickable"].setBool(clickable);
    if (!ini.save()) return;
    disk_.settings = true;
    disk_.x = at.x;
    disk_.y = at.y;
    disk_.protect = protect;
    disk_.clickable = clickable;
}

void Memo::Sticky::moveToMiddle() {
    const kiro::ui::Rect area = kiro::ui::workArea();
    moveTo(area.right / 2, area.bottom / 2);
}

void Memo::Sticky::showCard() {
    if (state_ == Deleted) return;
    const bool leavingEditor = state_ == Editing;
    state_ = Showing;
    menu_.setDisabled(Edit, isProtected());
    menu_.setDisabled(Delete, isProtected());
    kiro::ui::TopMenu(*this).clear();
    if (editBox_) {
        text_ = editBox_->getText();
        editBox_.reset();
    }

    int width = MinCardWidth;
    int height = EmptyCardHeight;
    if (!text_.empty()) {
        kiro::ui::Canvas canvas(MeasureWidth, MeasureWidth);
        canvas.setFont(0);
        kiro::ui::Size size{0, 0};
        canvas.measureText(text_, &size, MeasureWidth);
        width = std::max(MinCardWidth, size.cx + 2 * margin);
        height = size.cy + 2 * margin;
    }
    setStyle(kiro::ui::ws::Popup);
    setClientSize(width, height);
    Window::show();
    if (leavingEditor) save();
}

void Memo::Sticky::edit() {
    if (state_ == Deleted) return;
    if (isProtected()) {
        alert(ProtectedMessage);
        return;
    }
    if (state_ == Editing) return;
    state_ = Editing;
    hover_ = false;

    editBox_ = std::make_unique<kiro::ui::EditBox>(*this);
    editBox_->setFont(nullptr, 15);
    editBox_->setForwardMessage(keyMessage);
    editBox_->setText(text_);
    const kiro::ui::Size bars = kiro::ui::scrollBarSize();

    kiro::ui::TopMenu bar(*this);
    bar.addItem(SaveAndCloseLabel, SaveAndClose);
    bar.attach();
    setTitle(EditorTitle);
    setStyle(kiro::ui::ws::OverlappedWindow);
    setClientSize(editWidth + bars.cx, editHeight + bars.cy);
    kiro::ui::Rect client;
    getClientRect(client);
    editBox_->setBounds(client);
    Window::show();
    focus();
    editBox_->focus();
}

void Memo::Sticky::remove(bool ask) {
    // A protected note is kept without a question that could only be answered in vain.
    if (state_ == Deleted || isProtected()) return;
    if (ask && !text_.empty() && !kiro::ui::ask(DeleteQuestion, this)) return;
    if (state_ == Deleted) return;  // gone while the question was open
    kiro::io::removeFile(iniPath_);
    kiro::io::removeFile(datPath_);
    iniPath_.clear();
    datPath_.clear();
    text_.clear();
    state_ = Deleted;
    editBox_.reset();
    destroy();
}

LResult Memo::Sticky::onUserMessage(std::uint32_t msg, WParam wParam, LParam) {
    if (msg == keyMessage && wParam == kiro::ui::vk::Escape) onCommand(SaveAndClose);
    return 0;
}

LResult Memo::Sticky::onClose() {
    if (editBox_) text_ = editBox_->getText();
    onCommand(Delete);  // closing a note asks to delete it
    return 0;
}

LResult Memo::Sticky::onPaint(kiro::ui::Canvas& canvas) {
    if (state_ != Showing) {
        // The edit box covers the client area and draws itself.
        if (editBox_) editBox_->invalidate();
        return NotHandled;
    }
    const int w = canvas.width();
    const int h = canvas.height();
    canvas.clear(hover_ ? HoverCardColor : CardColor);
    canvas.setColor(FrameColor, 255);
    canvas.drawRect(kiro::ui::Rect{0, 0, w, h}, false, 0);
    canvas.setColor(hover_ ? HoverTextColor : TextColor, 255);
    canvas.setFont(0);
    canvas.drawText(text_.empty() ? EmptyLabel : text_, margin, margin, w - margin, false);
    canvas.setColor(FrameColor, 255);
    const kiro::ui::Point corner[3] = {{0, 0}, {10, 0}, {0, 10}};
    canvas.drawPolygon(corner, 3, true);
    return 0;
}

LResult Memo::Sticky::onSizing(kiro::ui::Rect*) {
    kiro::ui::Size size;
    clientSize(size);
    return onSize(size);
}

LResult Memo::Sticky::onSize(const kiro::ui::Size&) {
    if (editBox_) {
        kiro::ui::Rect client;
        getClientRect(client);
        editBox_->setBounds(client);
    }
    return 0;
}

LResult Memo::Sticky::onMove(int, int) {
    if (editBox_) editBox_->invalidate();
    return 0;
}

LResult Memo::Sticky::onCommand(std::uint32_t id) {
    switch (id) {
    case SaveAndClose:
        showCard();
        return 0;
    case Protect:
        showCard();
        save();
        return 0;
    case Edit:
        edit();
        return 0;
    case Delete:
        remove(true);
        return 0;
    case CopyText:
        kiro::ui::setClipboardText(text_);
        return 0;
    case CopyOnClick: {
        // Under the pointer the card turns to its hover colours at once.
        kiro::ui::Rect r;
        getWindowRect(r);
        const kiro::ui::Point p = kiro::ui::cursorPosition();
        hover_ = menu_.isChecked(CopyOnClick) && p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
        invalidate();
        save();
        return 0;
    }
    default:
        return NotHandled;
    }
}

LResult Memo::Sticky::onLButtonUp(int, int) {
    if (state_ != Showing) return 0;
    if (menu_.isChecked(CopyOnClick)) kiro::ui::setClipboardText(text_);
    // A drag always ends with this release: the new place goes to disk.
    save();
    return 0;
}

LResult Memo::Sticky::onLButtonDblClk(int, int) {
    edit();
    return 0;
}

LResult Memo::Sticky::onRButtonUp(int, int) {
    if (state_ != Showing) return 0;
    focus();
    if (const kiro::ui::ContextMenu::Item* item = menu_.show(this)) onCommand(item->id);
    return 0;
}

LResult Memo::Sticky::onMouseOver(bool inside) {
    hover_ = inside && state_ == Showing && menu_.isChecked(CopyOnClick);
    invalidate();
    return 0;
}

LResult Memo::Sticky::onSetCursor(std::uint32_t) {
    if (!hover_) return NotHandled;
    kiro::ui::setCursor(&kiro::ui::Cursor::hand());
    return 0;
}

}  // namespace tavi::tool
