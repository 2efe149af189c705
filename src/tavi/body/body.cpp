// The body window: skin, balloon, status line and grab cursors, driven by the main tick.
#include "tavi/body/body.h"

#include <algorithm>

#include "kiro/app.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/screen.h"
#include "tavi/body/skin.h"
#include "tavi/body/statusline.h"
#include "tavi/body/textbox.h"
#include "tavi/braininterface.h"
#include "tavi/events.h"
#include "tavi/ticks.h"

namespace tavi {

using kiro::ui::LResult;
using kiro::ui::NotHandled;
namespace wm = kiro::ui::wm;

namespace {
constexpr float StandbySeconds = 10.0f;
}

// A missing file gives no cursor: nothing is shown over the body then.
class Body::GrabCursors {
public:
    std::unique_ptr<kiro::ui::Cursor> grab = kiro::ui::Cursor::fromFile(L"resource/icons/grab.cur");
    std::unique_ptr<kiro::ui::Cursor> grabbing =
        kiro::ui::Cursor::fromFile(L"resource/icons/grabbing.cur");
};

Body::Body(kiro::ui::Window* owner, const std::wstring& folder, BrainInterface* brain)
    : Window(owner, kiro::ui::ws::Popup, kiro::ui::wsex::Layered), brain_(brain) {
    int w = 0, h = 0;
    skin_ = std::make_unique<Skin>(folder, w, h, L"idle");
    const kiro::ui::Rect area = kiro::ui::workArea();
    setClientSize(w, h);
    moveTo(area.right - w, area.bottom - h);
    balloon_ = std::make_unique<Textbox>(this, folder);
    status_ = std::make_unique<StatusLine>();
    cursors_ = std::make_unique<GrabCursors>();
    disableIme();
    setDragMove(true);
    show();
}

Body::~Body() {
    skin_.reset();
    balloon_.reset();
    status_.reset();
    cursors_.reset();
}

void Body::update(float seconds) {
    if (painted_ && !skin_->complete()) loadRestOfSkin();
    skin_->update(seconds);
    balloon_->update(seconds);
    status_->update(seconds);
    float silence = 0;
    if (balloon_->isEmpty(&silence)) {
        skin_->play(silence > StandbySeconds ? L"idle" : L"standby", false);
    }
    if (skin_->takeChanged() || status_->takeChanged()) invalidate();
}

uint32_t Body::ticksUntilDue() const {
    if (!skin_->complete()) return 1;
    uint32_t due = std::min({skin_->ticksUntilChange(), balloon_->lines().ticksUntilDue(), status_->ticksUntilDue()});
    float silence = 0;
    if (balloon_->isEmpty(&silence)) due = std::min(due, ticksUntilPast(silence, StandbySeconds));
    return due;
}

// Pictures larger than the first motion's grow the window, keeping its bottom-right corner.
void Body::loadRestOfSkin() {
    int w = 0, h = 0;
    skin_->decodeRest(w, h);
    kiro::ui::Rect r{};
    getWindowRect(r);
    if (w == r.right - r.left && h == r.bottom - r.top) return;
    setClientSize(w, h);
    moveTo(r.right - w, r.bottom - h);
}

void Body::speak(const std::wstring& text, const std::wstring& action) {
    balloon_->add(text);
    skin_->play(action, true);
}

void Body::showStatus(const std::wstring& text) { status_->show(text); }

bool Body::isSpeaking() const { return !balloon_->isEmpty(); }

LResult Body::onMessage(std::uint32_t msg, kiro::ui::WParam, kiro::ui::LParam) {
    if (brain_) {
        if (msg == wm::LButtonDown) brain_->post(events::unitDrag());
        if (msg == wm::LButtonUp) brain_->post(events::unitDrop());
    }
    return NotHandled;
}

LResult Body::onClose() {
    kiro::app::quit();
    return 0;
}

LResult Body::onPaint(kiro::ui::Canvas& canvas) {
    painted_ = true;
    skin_->draw(canvas);
    status_->draw(canvas);
    return 0;
}

// The balloon follows the body exactly: during a drag each step is announced with the new
// rectangle before the body moves, and every move (also one made by the window manager)
// reports the new position after it.
LResult Body::onMoving(kiro::ui::Rect* rect) {
    if (rect && balloon_) balloon_->reposition(*rect);
    return 0;
}

LResult Body::onMove(int, int) {
    if (balloon_) balloon_->reposition();
    return 0;
}

LResult Body::onKeyDown(std::uint32_t) { return 0; }

LResult Body::onSetCursor(std::uint32_t mouseMsg) {
    if (mouseMsg == wm::LButtonDown) {
        kiro::ui::setCursor(cursors_->grabbing.get());
        return 0;
    }
    if (mouseMsg == wm::MouseMove || mouseMsg == wm::LButtonUp) {
        kiro::ui::setCursor(cursors_->grab.get());
        return 0;
    }
    return NotHandled;
}

}  // namespace tavi
