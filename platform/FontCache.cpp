#include "platform/FontCache.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include FT_SIZES_H
#include FT_OUTLINE_H

#include "platform/Charset.h"
#include "platform/Classes.h"
#include "platform/SymbolFont.h"

namespace thorn::text {
namespace {

// The face names of the original platform and the installed families that
// stand in for them (metric-compatible where one exists). The interface
// faces ("MS Sans Serif", "Tahoma" and the dialog faces that name them) are
// set narrower than Arial at the sizes windows use: Liberation Sans drawn at
// ten elevenths of its width takes about their measure, so the texts the
// windows were laid out for fit the room they were given.
struct FamilyAlias {
    const char* name;
    const char* family;
    double widthScale = 1.0;
};
constexpr double kInterfaceWidth = 10.0 / 11.0;
constexpr FamilyAlias kAliases[] = {
    {"ms sans serif", "Liberation Sans", kInterfaceWidth},
    {"tahoma", "Liberation Sans", kInterfaceWidth},
    {"ms shell dlg", "Liberation Sans", kInterfaceWidth},
    {"ms shell dlg 2", "Liberation Sans", kInterfaceWidth},
    {"arial", "Liberation Sans"},
    {"small fonts", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"verdana", "DejaVu Sans"},
    {"helvetica", "Liberation Sans"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},
    {"terminal", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
};
constexpr const char* kFallbackFamilies[] = {"Liberation Sans", "DejaVu Sans"};

// Limits on what a font may ask for, so that an absurd height cannot make
// one glyph take gigabytes.
constexpr int32_t kDefaultEmPixels = 11;
constexpr int32_t kMaxEmPixels = 2000;
constexpr size_t kMaxSizedFonts = 256;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const FamilyAlias* AliasOf(const std::string& name) {
    const std::string lower = Lower(name);
    for (const auto& alias : kAliases)
        if (lower == alias.name) return &alias;
    return nullptr;
}

std::string FamilyFor(const std::string& name) {
    if (const FamilyAlias* alias = AliasOf(name)) return alias->family;
    return name.empty() ? kFallbackFamilies[0] : name;
}

struct FreeTypeLibrary {
    FT_Library library = nullptr;
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&library) != 0) throw Exception("The font engine cannot start");
    }
    ~FreeTypeLibrary() { FT_Done_FreeType(library); }
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
};

struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

int32_t CeilPixels(double value) { return static_cast<int32_t>(std::ceil(value - 1e-6)); }
int32_t RoundPixels(double value) { return static_cast<int32_t>(std::lround(value)); }

class FreeTypeSizedFont final : public SizedFont {
public:
    FreeTypeSizedFont(FT_Face face, int32_t fontHeight, const ResolvedFont& resolved)
        : face_(face), synthBold_(resolved.syntheticBold), synthItalic_(resolved.syntheticItalic) {
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const double units = face->units_per_EM > 0 ? face->units_per_EM : 1000;
        double ascentUnits = face->ascender, descentUnits = -face->descender;
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
            ascentUnits = os2->usWinAscent, descentUnits = os2->usWinDescent;
        if (ascentUnits + descentUnits <= 0) ascentUnits = units * 0.8, descentUnits = units * 0.2;

        // A negative height is the em size; a positive one the cell height.
        int32_t em = kDefaultEmPixels;
        if (fontHeight < 0) em = -static_cast<int64_t>(fontHeight) > kMaxEmPixels ? kMaxEmPixels : -fontHeight;
        if (fontHeight > 0)
            em = std::clamp<int32_t>(RoundPixels(std::min(fontHeight, kMaxEmPixels) * units / (ascentUnits + descentUnits)),
                                     1, kMaxEmPixels);
        const double scale = em / units;
        if (fontHeight > 0 && fontHeight <= kMaxEmPixels) {
            metrics_.height = fontHeight;
            metrics_.ascent = RoundPixels(fontHeight * ascentUnits / (ascentUnits + descentUnits));
            metrics_.descent = metrics_.height - metrics_.ascent;
        } else {
            metrics_.ascent = CeilPixels(ascentUnits * scale);
            metrics_.descent = CeilPixels(descentUnits * scale);
            metrics_.height = metrics_.ascent + metrics_.descent;
        }
        metrics_.internalLeading = std::max(0, metrics_.height - em);

        FT_New_Size(face_, &size_);
        FT_Activate_Size(size_);
        // Hinted outlines come in whole pixels per em, across as down.
        const auto across = std::max<int32_t>(1, RoundPixels(em * resolved.widthScale));
        FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(across), static_cast<FT_UInt>(em));
        emboldenPixels_ = synthBold_ ? std::max(1, em / 24) : 0;

        const double acrossScale = scale * across / em;
        const double average =
            os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth * acrossScale : GlyphOf('x').advance;
        metrics_.averageCharWidth = std::max(1, RoundPixels(average)) + emboldenPixels_;
        metrics_.maxCharWidth = std::max(metrics_.averageCharWidth,
                                         CeilPixels((face->bbox.xMax - face->bbox.xMin) * acrossScale) + emboldenPixels_);

        const double underlineThickness = face->underline_thickness > 0 ? face->underline_thickness * scale : em / 14.0;
        underline_.thickness = std::max(1, RoundPixels(underlineThickness));
        underline_.offset = RoundPixels(-face->underline_position * scale - underline_.thickness / 2.0);
        underline_.offset = std::clamp(underline_.offset, 1, std::max(1, metrics_.descent - underline_.thickness));
        const bool os2Strike = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0;
        strikeOut_.thickness = os2Strike ? std::max(1, RoundPixels(os2->yStrikeoutSize * scale)) : underline_.thickness;
        // The strike-out position is the top of its stroke, above the baseline.
        const double strikeTop = os2Strike ? os2->yStrikeoutPosition * scale : metrics_.ascent / 3.0;
        strikeOut_.offset = -RoundPixels(strikeTop);
    }

    ~FreeTypeSizedFont() override { FT_Done_Size(size_); }

    const FontMetrics& Metrics() const override { return metrics_; }
    Stroke Underline() const override { return underline_; }
    Stroke StrikeOut() const override { return strikeOut_; }

    const Glyph& GlyphOf(unsigned char ch) override {
        auto& slot = glyphs_[ch];
        if (!slot) slot = IsLineBreak(ch) ? LineBreakGlyph(ch) : Render(Windows1252ToUnicode(ch));
        return *slot;
    }

    Glyph TurnedGlyph(unsigned char ch, double radians, double fractionX, double fractionY) override {
        Glyph glyph;
        if (IsLineBreak(ch)) return glyph;  // blank, as upright
        FT_Activate_Size(size_);
        // Hints fit outlines to the pixel grid of upright text; a turned
        // outline goes unhinted.
        FT_GlyphSlot slot = LoadOutline(Windows1252ToUnicode(ch), FT_LOAD_NO_HINTING);
        if (!slot || slot->format != FT_GLYPH_FORMAT_OUTLINE) return glyph;
        const auto fixed = [](double v) { return static_cast<FT_Fixed>(std::lround(v * 65536.0)); };
        const double c = std::cos(radians), s = std::sin(radians);
        FT_Matrix turn{fixed(c), fixed(-s), fixed(s), fixed(c)};
        FT_Outline_Transform(&slot->outline, &turn);
        // The outline's y axis points up.
        FT_Outline_Translate(&slot->outline, std::lround(fractionX * 64), -std::lround(fractionY * 64));
        Rasterize(slot, glyph);
        return glyph;
    }

private:
    static bool IsLineBreak(unsigned char ch) { return ch == '\r' || ch == '\n'; }

    // A line break inside one line of text (a CR LF text in a grid row, a
    // list cell, an edit) shows as one space: LF takes a space's room and CR
    // none, so CR LF and a lone LF both read as a gap between the words.
    Glyph LineBreakGlyph(unsigned char ch) {
        if (ch == '\r') return Glyph{};
        return GlyphOf(' ');
    }

    Glyph Render(char32_t ch) {
        Glyph glyph;
        FT_Activate_Size(size_);
        FT_GlyphSlot slot = LoadOutline(ch, FT_LOAD_DEFAULT);
        if (!slot) return glyph;
        glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6) + emboldenPixels_;
        Rasterize(slot, glyph);
        return glyph;
    }

    // The character's glyph in the slot, made oblique or bold when the face
    // lacks that style; null when it has no outline.
    FT_GlyphSlot LoadOutline(char32_t ch, FT_Int32 flags) {
        const FT_UInt index = FT_Get_Char_Index(face_, ch);
        if (FT_Load_Glyph(face_, index, flags | FT_LOAD_NO_BITMAP) != 0) return nullptr;
        FT_GlyphSlot slot = face_->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (synthItalic_) FT_GlyphSlot_Oblique(slot);
            if (synthBold_) FT_Outline_Embolden(&slot->outline, emboldenPixels_ * 64);
        }
        return slot;
    }

    static void Rasterize(FT_GlyphSlot slot, Glyph& glyph) {
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int32_t>(bitmap.width);
        glyph.rows = static_cast<int32_t>(bitmap.rows);
        glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
        const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
        for (int32_t y = 0; y < glyph.rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            for (int32_t x = 0; x < glyph.width; ++x)
                glyph.coverage[static_cast<size_t>(y) * glyph.width + x] =
                    static_cast<uint8_t>(levels == 255 ? row[x] : row[x] * 255 / levels);
        }
    }

    FT_Face face_;
    FT_Size size_ = nullptr;
    bool synthBold_;
    bool synthItalic_;
    int32_t emboldenPixels_ = 0;
    FontMetrics metrics_;
    Stroke underline_;
    Stroke strikeOut_;
    std::array<std::optional<Glyph>, 256> glyphs_;
};

using SizedKey = std::tuple<std::string, int, int32_t, bool, bool, double>;

// Everything the text calls keep for the whole run. The members go in the
// reverse order of their declaration: sized fonts before the faces they
// use, faces before the library.
struct FontconfigSession {
    bool ready = FcInit() == FcTrue;
    FontconfigSession() = default;
    ~FontconfigSession() {
        if (ready) FcFini();
    }
    FontconfigSession(const FontconfigSession&) = delete;
    FontconfigSession& operator=(const FontconfigSession&) = delete;
};

struct FontStore {
    FontconfigSession fontconfig;
    FreeTypeLibrary library;
    std::map<std::pair<std::string, int>, FacePtr> faces;
    std::map<std::tuple<std::string, bool, bool>, ResolvedFont> resolved;
    std::map<SizedKey, std::unique_ptr<FreeTypeSizedFont>> sized;
    struct LastUsed {
        std::string name;
        int32_t height = 0;
        TFontStyles styles = 0;
        FreeTypeSizedFont* font = nullptr;  // one of sized
    } last;
};

FontStore& Store() {
    static FontStore store;
    return store;
}

// Opened faces by file and index.
FT_Face OpenFace(const std::string& file, int index) {
    auto& faces = Store().faces;
    auto key = std::make_pair(file, index);
    auto found = faces.find(key);
    if (found != faces.end()) return found->second.get();
    FT_Face face = nullptr;
    if (FT_New_Face(Store().library.library, file.c_str(), index, &face) != 0) return nullptr;
    FacePtr owner(face);
    if (!FT_IS_SCALABLE(face)) return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return faces.emplace(key, std::move(owner)).first->second.get();
}

struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

std::optional<ResolvedFont> MatchFamily(const std::string& family, bool bold, bool italic) {
    if (!Store().fontconfig.ready) return std::nullopt;
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    ResolvedFont resolved;
    resolved.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &resolved.faceIndex);
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);
    resolved.syntheticBold = bold && weight < FC_WEIGHT_DEMIBOLD;
    resolved.syntheticItalic = italic && slant == FC_SLANT_ROMAN;
    if (!OpenFace(resolved.file, resolved.faceIndex)) return std::nullopt;
    return resolved;
}

}  // namespace

ResolvedFont ResolveFace(const std::string& name, bool bold, bool italic) {
    auto& resolved = Store().resolved;
    const auto key = std::make_tuple(Lower(name), bold, italic);
    auto found = resolved.find(key);
    if (found != resolved.end()) return found->second;
    auto match = MatchFamily(FamilyFor(name), bold, italic);
    for (const char* fallback : kFallbackFamilies)
        if (!match) match = MatchFamily(fallback, bold, italic);
    if (!match) throw Exception("No usable font is installed for \"" + name + "\"");
    if (const FamilyAlias* alias = AliasOf(name)) match->widthScale = alias->widthScale;
    return resolved.emplace(key, *match).first->second;
}

SizedFont& FontFor(const TFont& font) {
    if (IsSymbolFace(font.GetName())) return SymbolFontFor(font.GetHeight());
    // Most calls draw with the same font as the one before: that one is
    // answered without building keys.
    auto& store = Store();
    auto& last = store.last;
    const TFontStyles styles = font.GetStyle() & (fsBold | fsItalic);
    if (last.font && last.height == font.GetHeight() && last.styles == styles && last.name == font.GetName())
        return *last.font;

    const bool bold = styles & fsBold;
    const bool italic = styles & fsItalic;
    const ResolvedFont face = ResolveFace(font.GetName(), bold, italic);
    const SizedKey key{face.file,          face.faceIndex,         font.GetHeight(),
                       face.syntheticBold, face.syntheticItalic,   face.widthScale};
    auto found = store.sized.find(key);
    if (found == store.sized.end()) {
        if (store.sized.size() >= kMaxSizedFonts) {
            last.font = nullptr;
            store.sized.clear();
        }
        FT_Face ftFace = OpenFace(face.file, face.faceIndex);
        if (!ftFace) throw Exception("The font file \"" + face.file + "\" cannot be opened");
        found = store.sized.emplace(key, std::make_unique<FreeTypeSizedFont>(ftFace, font.GetHeight(), face)).first;
    }
    last = {font.GetName(), font.GetHeight(), styles, found->second.get()};
    return *last.font;
}

}  // namespace thorn::text
