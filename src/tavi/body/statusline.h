// A transient line of text over the body's picture (the loading progress, for instance).
#pragma once

#include <cstdint>
#include <string>

#include "tavi/body/body.h"

namespace kiro::ui {
class Canvas;
}

namespace tavi {

class Body::StatusLine {
public:
    static constexpr float ShowSeconds = 4.0f;

    void show(const std::wstring& text);
    void update(float seconds);
    void draw(kiro::ui::Canvas& canvas) const;
    bool takeChanged();
    // Ticks of update(TickSeconds) until the text goes; NeverDue when none is counting down.
    uint32_t ticksUntilDue() const;
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
    float remaining_ = 0;
    bool changed_ = false;
};

}  // namespace tavi
