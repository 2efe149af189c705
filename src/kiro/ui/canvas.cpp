// The portable part of Canvas: colour, the font table and font selection by number, and the
// argument rules of resizing, scaling and opacity.
#include "kiro/ui/canvas.h"

#include <cmath>
#include <map>

#include "kiro/ui/canvas_rules.h"

namespace kiro::ui {

namespace {

struct FontDefinition {
    std::wstring face;
    int px;
    bool bold;
};

std::map<int, FontDefinition>& fontTable() {
    static std::map<int, FontDefinition> table;
    return table;
}

}  // namespace

bool resizeTarget(int oldWidth, int oldHeight, int& width, int& height) {
    if (width == 0 && height == 0) return false;
    if (width < 0 || height < 0 || width >= 65536 || height >= 65536) return false;
    if (width == 0 || height == 0) {
        // Keep the aspect; a canvas with no area has none to keep.
        if (oldWidth <= 0 || oldHeight <= 0) return false;
        const float aspect = float(oldWidth) / float(oldHeight);
        if (width == 0) width = int(float(height) * aspect);
        if (height == 0) height = int(float(width) / aspect);
    }
    return true;
}

float clampOpacity(float opacity) {
    if (std::isnan(opacity) || opacity < 0.0f) return 0.0f;
    if (opacity > 1.0f) return 1.0f;
    return opacity;
}

void Canvas::setColor(int r, int g, int b, int a) {
    color_[0] = std::uint8_t(r);
    color_[1] = std::uint8_t(g);
    color_[2] = std::uint8_t(b);
    color_[3] = std::uint8_t(a);
}

void Canvas::setColor(Rgb rgb, int alpha) { setColor(redOf(rgb), greenOf(rgb), blueOf(rgb), alpha); }

void Canvas::scale(float factor) {
    if (!(factor > 0.0f)) return;
    resize(int(float(width()) * factor), int(float(height()) * factor));
}

void Canvas::setFont(int number) {
    std::unique_ptr<Font> font;
    if (createFont(number, font))
        font_ = std::move(font);
    else
        setFont(L"ＭＳ ゴシック", 17);
}

bool defineFont(int number, const std::wstring& face, int px, bool bold) {
    fontTable()[number] = FontDefinition{face, px, bold};
    return true;
}

bool createFont(int number, std::unique_ptr<Font>& out) {
    out.reset();
    auto it = fontTable().find(number);
    if (it == fontTable().end()) return false;
    if (it->second.px <= 0) return false;
    out = std::make_unique<Font>(it->second.face, it->second.px, it->second.bold);
    return true;
}

}  // namespace kiro::ui
