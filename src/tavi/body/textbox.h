// The speech balloon of one body: a per-pixel-transparent window beside it in which the lines
// appear as rounded balloons with a tail pointing at the body.
#pragma once

#include <string>

#include "tavi/body/balloonlines.h"
#include "tavi/body/body.h"

namespace tavi {

class Body::Textbox : public kiro::ui::Window {
public:
    static constexpr int WindowSize = 400;
    static constexpr int TextWidth = WindowSize - 64;
    static constexpr int StackStep = 60;

    // Reads the "textbox" section of folder + "setup.json"; stays hidden until the first line.
    Textbox(kiro::ui::Window* owner, const std::wstring& folder);

    void add(const std::wstring& text);
    void update(float seconds);
    bool isEmpty(float* silence = nullptr) const { return lines_.isEmpty(silence); }
    // Places the window beside the owner's window rectangle (by default, where it is now).
    void reposition();
    void reposition(const kiro::ui::Rect& owner);

    const BalloonLines& lines() const { return lines_; }
    bool right() const { return right_; }

    kiro::ui::LResult onClose() override;
    kiro::ui::LResult onPaint(kiro::ui::Canvas& canvas) override;

private:
    void drawLine(kiro::ui::Canvas& canvas, const BalloonLine& line, int k) const;

    BalloonLines lines_;
    bool right_ = false;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

}  // namespace tavi
