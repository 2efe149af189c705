// Windows backend of the font registry on GDI+: a private font collection loaded from memory
// (addFont) and the family behind each Font.
// Implements: addFont, Font. A face found neither among the loaded fonts nor among the
// installed ones is given a stand-in: the system's Japanese faces map to each other and to
// the free Japanese faces (a desktop without them, such as Wine's, still shows Japanese text),
// and any other face falls back to an installed Japanese sans-serif face before the generic one.
#include <vector>

#include "kiro/ui/canvas_win32.h"

namespace kiro::ui {

namespace {

using Gdiplus::FontFamily;

// Fixed-pitch and proportional Japanese faces, in the order a stand-in is looked for.
const wchar_t* const FixedFaces[] = {L"ＭＳ ゴシック",         L"MS Gothic",   L"IPAGothic", L"IPAゴシック",
                                     L"Noto Sans Mono CJK JP", L"TakaoGothic", L"VL Gothic"};
const wchar_t* const ProportionalFaces[] = {L"ＭＳ Ｐゴシック", L"MS PGothic",       L"Meiryo",       L"メイリオ",
                                            L"MS UI Gothic",    L"Yu Gothic",        L"游ゴシック",   L"IPAPGothic",
                                            L"IPA Pゴシック",   L"Noto Sans CJK JP", L"TakaoPGothic", L"VL PGothic"};

template <std::size_t N>
bool listed(const wchar_t* const (&faces)[N], const std::wstring& face) {
    for (const wchar_t* f : faces)
        if (face == f) return true;
    return false;
}

std::unique_ptr<FontFamily> available(const wchar_t* face, const Gdiplus::FontCollection* collection) {
    auto family = std::make_unique<FontFamily>(face, collection);
    if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable()) return nullptr;
    return family;
}

template <std::size_t N>
std::unique_ptr<FontFamily> firstInstalled(const wchar_t* const (&faces)[N]) {
    for (const wchar_t* f : faces)
        if (auto family = available(f, nullptr)) return family;
    return nullptr;
}

std::unique_ptr<FontFamily> familyFor(const std::wstring& face) {
    Toolkit& kit = toolkit();
    if (!face.empty()) {
        if (kit.fonts)
            if (auto family = available(face.c_str(), kit.fonts.get())) return family;
        if (auto family = available(face.c_str(), nullptr)) return family;
    }
    if (listed(FixedFaces, face))
        if (auto family = firstInstalled(FixedFaces)) return family;
    if (auto family = firstInstalled(ProportionalFaces)) return family;
    if (auto family = firstInstalled(FixedFaces)) return family;
    return std::unique_ptr<FontFamily>(FontFamily::GenericSansSerif()->Clone());
}

}  // namespace

Font::Font(const std::wstring& face, int px, bool bold)
    : face_(face), px_(px), bold_(bold), native_(std::make_unique<Native>()) {
    native_->family = familyFor(face);
    const INT style = bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
    native_->font = std::make_unique<Gdiplus::Font>(native_->family.get(), float(px), style, Gdiplus::UnitPixel);
    if (native_->font->GetLastStatus() != Gdiplus::Ok) {
        // A family without that style (a face that has no bold) is drawn in its regular style.
        native_->font = std::make_unique<Gdiplus::Font>(native_->family.get(), float(px), Gdiplus::FontStyleRegular,
                                                        Gdiplus::UnitPixel);
    }
}

Font::~Font() = default;

bool addFont(const void* data, std::size_t size, std::wstring* face) {
    Toolkit& kit = toolkit();
    if (!data || size == 0 || size > 0x7FFFFFFF) return false;
    if (!kit.fonts) kit.fonts = std::make_unique<Gdiplus::PrivateFontCollection>();
    // The collection reads the font from this memory for as long as it lives.
    const auto* bytes = static_cast<const unsigned char*>(data);
    kit.fontFiles.emplace_back(bytes, bytes + size);
    if (kit.fonts->AddMemoryFont(kit.fontFiles.back().data(), INT(size)) != Gdiplus::Ok) {
        kit.fontFiles.pop_back();
        return false;
    }
    if (!face) return true;
    std::vector<FontFamily> families(10);
    INT found = 0;
    kit.fonts->GetFamilies(INT(families.size()), families.data(), &found);
    for (INT i = 0; i < found; ++i) {
        WCHAR name[LF_FACESIZE] = {};
        families[std::size_t(i)].GetFamilyName(name);
        if (!kit.handedOutFaces.insert(name).second) continue;
        *face = name;
        break;
    }
    return true;
}

}  // namespace kiro::ui
