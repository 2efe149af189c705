// Linux backend of the font registry: fontconfig set-up (Windows face names mapped to installed
// Japanese faces), fonts loaded from memory as application fonts, pango font descriptions.
#include <fontconfig/fontconfig.h>
#include <glib.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "kiro/ui/canvas.h"
#include "kiro/ui/font_gtk.h"

namespace kiro::ui {

namespace {

// The system's texts name Windows faces; give them the closest installed faces.
const char* const FixedFaces[] = {"ＭＳ ゴシック", "MS Gothic", "MS UI Gothic", "ＭＳ 明朝", "MS Mincho",
                                  "Osaka-Mono"};
const char* const ProportionalFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic", "Meiryo", "メイリオ", "Meiryo UI",
                                         "Yu Gothic", "游ゴシック", "Yu Gothic UI", "ＭＳ Ｐ明朝",
                                         "MS PMincho", "Osaka"};
const char* const FixedTargets =
    "<family>IPAGothic</family><family>Noto Sans Mono CJK JP</family><family>Noto Sans CJK JP</family>"
    "<family>TakaoGothic</family><family>VL Gothic</family>";
const char* const ProportionalTargets =
    "<family>IPAPGothic</family><family>Noto Sans CJK JP</family><family>TakaoPGothic</family>"
    "<family>VL PGothic</family><family>IPAGothic</family>";

std::string faceAliases() {
    std::string xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
    auto add = [&xml](const char* face, const char* targets) {
        xml += std::string("<alias binding=\"strong\"><family>") + face + "</family><prefer>" + targets +
               "</prefer></alias>\n";
    };
    for (const char* face : FixedFaces) add(face, FixedTargets);
    for (const char* face : ProportionalFaces) add(face, ProportionalTargets);
    return xml + "</fontconfig>\n";
}

struct FontEnvironment {
    std::vector<std::string> families;  // families of the fonts loaded from memory, in order
    std::set<std::string> handedOut;
    std::vector<int> files;             // memory files holding those fonts, open for good

    FontEnvironment() {
        FcInit();
        FcConfig* config = FcConfigGetCurrent();
        FcConfigSetRescanInterval(config, 0);  // a rescan would drop the application fonts
        const std::string aliases = faceAliases();
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(aliases.c_str()), FcTrue);
        fontsChanged();
    }
    ~FontEnvironment() {
        for (int fd : files) close(fd);
    }
    static void fontsChanged() {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
    }
};

FontEnvironment& environment() {
    static FontEnvironment env;
    return env;
}

}  // namespace

void prepareFonts() { environment(); }

struct Font::Native {
    PangoFontDescription* description = nullptr;
    ~Native() { pango_font_description_free(description); }
};

Font::Font(const std::wstring& face, int px, bool bold)
    : face_(face), px_(px), bold_(bold), native_(std::make_unique<Native>()) {
    prepareFonts();
    native_->description = pango_font_description_new();
    if (!face.empty()) {
        gchar* family = g_ucs4_to_utf8(reinterpret_cast<const gunichar*>(face.c_str()),
                                       glong(face.size()), nullptr, nullptr, nullptr);
        pango_font_description_set_family(native_->description, family ? family : "sans-serif");
        g_free(family);
    } else {
        // No face: a proportional Japanese face where one is installed (the aliases above), as
        // the Windows backend and the system there choose, else the desktop's sans-serif.
        pango_font_description_set_family(native_->description, "MS PGothic,sans-serif");
    }
    pango_font_description_set_absolute_size(native_->description, double(px) * PANGO_SCALE);
    pango_font_description_set_weight(native_->description,
                                      bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
}

Font::~Font() = default;

const PangoFontDescription* descriptionOf(const Font& font) { return font.native()->description; }

bool addFont(const void* data, std::size_t size, std::wstring* face) {
    FontEnvironment& env = environment();
    if (!data || size == 0) return false;
    const int fd = memfd_create("kiro-font", MFD_CLOEXEC);
    if (fd < 0) return false;
    const auto* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, bytes + written, size - written);
        if (n <= 0) {
            close(fd);
            return false;
        }
        written += std::size_t(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const auto* file = reinterpret_cast<const FcChar8*>(path.c_str());
    if (!FcConfigAppFontAddFile(FcConfigGetCurrent(), file)) {
        close(fd);
        return false;
    }
    env.files.push_back(fd);
    FcFontSet* set = FcFontSetCreate();
    FcFreeTypeQueryAll(file, -1, nullptr, nullptr, set);
    for (int i = 0; i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
        const std::string name = reinterpret_cast<const char*>(family);
        bool known = false;
        for (const std::string& f : env.families) known = known || f == name;
        if (!known) env.families.push_back(name);
    }
    FcFontSetDestroy(set);
    FontEnvironment::fontsChanged();
    if (!face) return true;
    const std::size_t listed = std::min<std::size_t>(env.families.size(), 10);
    for (std::size_t i = 0; i < listed; ++i) {
        const std::string& name = env.families[i];
        if (env.handedOut.count(name)) continue;
        env.handedOut.insert(name);
        glong n = 0;
        gunichar* u = g_utf8_to_ucs4(name.c_str(), -1, nullptr, &n, nullptr);
        if (u) *face = std::wstring(reinterpret_cast<const wchar_t*>(u), std::size_t(n));
        g_free(u);
        break;
    }
    return true;
}

}  // namespace kiro::ui
