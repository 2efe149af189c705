// The Windows face names the system uses resolve to installed Japanese faces on Linux.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <string>

#include "kiro/ui/canvas.h"
#include "kiro/ui/font_gtk.h"

namespace kiro::ui {
namespace {

std::string resolvedFamily(const char* family) {
    prepareFonts();
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    PangoFontDescription* wanted = pango_font_description_from_string(family);
    pango_font_description_set_absolute_size(wanted, 17 * PANGO_SCALE);
    PangoFont* font = pango_font_map_load_font(map, context, wanted);
    std::string result;
    if (font) {
        PangoFontDescription* got = pango_font_describe(font);
        result = pango_font_description_get_family(got);
        pango_font_description_free(got);
        g_object_unref(font);
    }
    pango_font_description_free(wanted);
    g_object_unref(context);
    return result;
}

TEST(FontGtk, WindowsFaceNamesMapToJapaneseFaces) {
    EXPECT_EQ(resolvedFamily("ＭＳ ゴシック"), "IPAGothic");
    EXPECT_EQ(resolvedFamily("MS Gothic"), "IPAGothic");
    EXPECT_EQ(resolvedFamily("ＭＳ Ｐゴシック"), "IPAPGothic");
    EXPECT_EQ(resolvedFamily("Meiryo"), "IPAPGothic");
    EXPECT_EQ(resolvedFamily("メイリオ"), "IPAPGothic");
    EXPECT_EQ(resolvedFamily("DejaVu Sans"), "DejaVu Sans");
}

}  // namespace
}  // namespace kiro::ui
