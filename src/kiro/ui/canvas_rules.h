// Argument rules shared by the Canvas backends.
#pragma once

namespace kiro::ui {

// The new size for resize(width, height), a 0 side following the aspect; false: no change.
bool resizeTarget(int oldWidth, int oldHeight, int& width, int& height);
// Opacity for drawOnto, clamped to 0..1 (not a number: 0).
float clampOpacity(float opacity);

}  // namespace kiro::ui
