// The status line's timing and drawing.
#include "tavi/body/statusline.h"

#include "kiro/ui/canvas.h"
#include "tavi/ticks.h"

namespace tavi {

void Body::StatusLine::show(const std::wstring& text) {
    text_ = text;
    remaining_ = ShowSeconds;
    changed_ = true;
}

void Body::StatusLine::update(float seconds) {
    if (remaining_ <= 0) return;
    remaining_ -= seconds;
    if (remaining_ <= 0) {
        text_.clear();
        changed_ = true;
    }
}

void Body::StatusLine::draw(kiro::ui::Canvas& canvas) const {
    if (text_.empty()) return;
    canvas.setColor(kiro::ui::rgb(255, 180, 180), 255);
    canvas.drawText(text_, 0, 0, canvas.width(), true);
}

uint32_t Body::StatusLine::ticksUntilDue() const {
    return remaining_ > 0 ? ticksUntilSpent(remaining_) : NeverDue;
}

bool Body::StatusLine::takeChanged() {
    bool was = changed_;
    changed_ = false;
    return was;
}

}  // namespace tavi
