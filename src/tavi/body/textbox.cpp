// Placement and drawing of the speech balloon.
#include "tavi/body/textbox.h"

#include "kiro/io/jsonfile.h"
#include "kiro/ui/canvas.h"

namespace tavi {

using kiro::ui::Canvas;
using kiro::ui::LResult;
using kiro::ui::Point;
using kiro::ui::Rect;
using kiro::ui::rgb;

namespace {
constexpr kiro::ui::Rgb White = rgb(255, 255, 255);
constexpr kiro::ui::Rgb Black = rgb(0, 0, 0);
constexpr kiro::ui::Rgb TextColor = rgb(64, 64, 64);
constexpr int Inset = 16;
constexpr int Corner = 32;
constexpr int TailDepth = 12;
constexpr float OlderOpacity = 0.7f;
constexpr double MaxOffset = 32767;

// An offset as far as any screen reaches; beyond that (where the sums with the body's
// position would overflow) the default 0.
int offset(const json11w::Json& value) {
    const double v = value.number_value();
    return v >= -MaxOffset && v <= MaxOffset ? int(v) : 0;
}
}  // namespace

Body::Textbox::Textbox(kiro::ui::Window* owner, const std::wstring& folder)
    : Window(owner, kiro::ui::ws::Popup, kiro::ui::wsex::Layered) {
    setClientSize(WindowSize, WindowSize);
    setNoActivate(true);
    kiro::io::JsonFile setup(folder + L"setup.json");
    const auto& box = setup[L"textbox"];
    offsetX_ = offset(box[L"x"]);
    offsetY_ = offset(box[L"y"]);
    right_ = box[L"right"].bool_value();
    // "sound" is accepted for compatibility of skin files; the balloon plays no sound.
}

void Body::Textbox::add(const std::wstring& text) {
    if (!lines_.add(text)) return;
    reposition();
    invalidate();
    show();
}

void Body::Textbox::update(float seconds) {
    if (lines_.update(seconds)) invalidate();
}

void Body::Textbox::reposition() {
    Rect owner{};
    if (parent()) parent()->getWindowRect(owner);
    reposition(owner);
}

void Body::Textbox::reposition(const Rect& owner) {
    kiro::ui::Size size{};
    clientSize(size);
    int x = offsetX_ + owner.left - size.cx;
    int y = offsetY_ + owner.bottom - size.cy - ((owner.bottom - owner.top) >> 1);
    if (right_) x = owner.right;
    moveTo(x, y);
}

LResult Body::Textbox::onClose() { return 0; }

LResult Body::Textbox::onPaint(Canvas& canvas) {
    const auto& lines = lines_.lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        drawLine(canvas, lines[i], static_cast<int>(lines.size() - 1 - i));
    }
    return 0;
}

void Body::Textbox::drawLine(Canvas& canvas, const BalloonLine& line, int k) const {
    Canvas scratch(WindowSize, WindowSize);
    kiro::ui::Size text{};
    scratch.measureText(line.text, &text, TextWidth);
    scratch.resize(text.cx + 64, text.cy + 32);
    const int cw = text.cx + 64;
    const int ch = text.cy + 32;
    const int m = (ch >> 1) - 8;
    const int edge = right_ ? Inset : cw - Inset;
    const int tip = right_ ? Inset - TailDepth : cw - Inset + TailDepth;
    const Point tail[3] = {{edge, m}, {tip, m + 8}, {edge, m + 16}};

    scratch.setColor(White, 255);
    scratch.drawPolygon(tail, 3, true);
    scratch.setColor(Black, 255);
    scratch.drawLine(tail[0].x, tail[0].y, tail[1].x, tail[1].y);
    scratch.drawLine(tail[2].x, tail[2].y, tail[1].x, tail[1].y);
    const Rect body{Inset, 0, cw - Inset, ch};
    scratch.setColor(White, 255);
    scratch.drawRect(body, true, Corner);
    scratch.setColor(Black, 255);
    scratch.drawRect(body, false, Corner);
    // Open the outline where the tail joins the balloon.
    scratch.setColor(White, 255);
    const int gap = right_ ? Inset : cw - Inset - 1;
    scratch.drawLine(gap, m + 1, gap, m + 15);

    scratch.setColor(TextColor, 255);
    scratch.drawText(line.text.substr(0, line.revealed), 32, 16, TextWidth, false);

    const int x = right_ ? 0 : canvas.width() - cw;
    const int y = canvas.height() - ch - StackStep * k;
    if (y > 0 || k == 0) scratch.drawOnto(canvas, x, y, k == 0 ? 1.0f : OlderOpacity);
}

}  // namespace tavi
