// Canvases that cannot be made (too large, negative sides): drawing with them or onto them
// does nothing, and the canvases they meet keep working.
#include <gtest/gtest.h>

#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"

namespace kiro::ui {
namespace {

TEST(CanvasFailure, AFailedCanvasDrawsNothingAndHarmsNothing) {
    ASSERT_TRUE(initializeToolkit());
    const std::pair<int, int> sides[] = {{40000, 4}, {4, 32768}, {65535, 65535}, {-3, 5}};
    for (const auto& [width, height] : sides) {
        SCOPED_TRACE(std::to_string(width) + " by " + std::to_string(height));
        Canvas target(8, 8);
        Canvas failed(width, height);
        Canvas shrunk(4, 4);
        shrunk.resize(width, 40000);
        for (Canvas* c : {&failed, &shrunk}) {
            c->drawOnto(target, 0, 0);
            target.drawOnto(*c, 0, 0);
            c->drawText(L"x", 0, 0, 0, true);
            Size size{};
            c->measureText(L"x", &size, 0);
        }
        target.setColor(255, 0, 0, 255);
        target.drawRect(Rect{0, 0, 8, 8}, true, 0);
        EXPECT_EQ(target.pixel(4, 4), 0xFFFF0000u) << "the target stopped drawing";
    }
}

}  // namespace
}  // namespace kiro::ui
