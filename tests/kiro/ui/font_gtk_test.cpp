// The Windows face names the system uses resolve to installed Japanese faces on Linux.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "kiro/ui/font_gtk.h"

namespace kiro::ui {

TEST(FontGtk, WindowsFaceNamesMapToJapaneseFaces) {
    prepareFonts();
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    for (const auto& [name, family] : {std::pair{"ＭＳ ゴシック", "IPAGothic"},
                                       {"MS Gothic", "IPAGothic"},
                                       {"ＭＳ Ｐゴシック", "IPAPGothic"},
                                       {"Meiryo", "IPAPGothic"},
                                       {"メイリオ", "IPAPGothic"},
                                       {"DejaVu Sans", "DejaVu Sans"}}) {
        PangoFontDescription* wanted = pango_font_description_from_string(name);
        pango_font_description_set_absolute_size(wanted, 17 * PANGO_SCALE);
        PangoFont* font = pango_font_map_load_font(map, context, wanted);
        ASSERT_NE(font, nullptr) << name;
        PangoFontDescription* got = pango_font_describe(font);
        EXPECT_STREQ(pango_font_description_get_family(got), family) << name;
        pango_font_description_free(got);
        pango_font_description_free(wanted);
        g_object_unref(font);
    }
    g_object_unref(context);
}

}  // namespace kiro::ui
