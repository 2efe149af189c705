// Linux backend only: the font set-up and the pango description behind a Font.
#pragma once

#include <pango/pango.h>

#include "kiro/ui/canvas.h"

namespace kiro::ui {

// Sets fontconfig up (face aliases, application fonts) before pango first looks at fonts: called
// where text is laid out or measured, so that a window and its pictures show before the font
// set-up has run.
void prepareFonts();
const PangoFontDescription* descriptionOf(const Font& font);

}  // namespace kiro::ui
