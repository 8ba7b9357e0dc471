#include "platform/FontFamilies.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "platform/Charset.h"
#include "platform/FontCache.h"
#include "platform/StringList.h"

namespace thorn::text {

namespace {

struct Face {
    std::string style;  // UTF-8, as fontconfig gives it
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
};

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

std::optional<std::string> StringOf(FcPattern* pattern, const char* object, int index) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || !value) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(value));
}

// Every face of every family name.
std::map<std::string, std::vector<Face>> ListFaces() {
    std::map<std::string, std::vector<Face>> families;
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_FILE, FC_INDEX, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return families;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        Face face;
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        FcPatternGetInteger(font, FC_INDEX, 0, &face.index);
        face.bold = weight >= FC_WEIGHT_DEMIBOLD;
        face.italic = slant != FC_SLANT_ROMAN;
        face.file = StringOf(font, FC_FILE, 0).value_or("");
        // A face named in several families carries one style name per
        // family, in the same order.
        for (int n = 0; std::optional<std::string> family = StringOf(font, FC_FAMILY, n); ++n) {
            face.style = StringOf(font, FC_STYLE, n).value_or(StringOf(font, FC_STYLE, 0).value_or(""));
            families[*family].push_back(face);
        }
    }
    return families;
}

std::string StyleName(const std::string& utf8, bool bold, bool italic) {
    if (std::optional<std::string> name = Utf8ToWindows1252(utf8); name && !name->empty()) return *name;
    return bold ? (italic ? "Bold Italic" : "Bold") : (italic ? "Italic" : "Regular");
}

std::vector<FontFamily> ReadFamilies() {
    std::vector<FontFamily> result;
    for (const auto& [utf8Name, faces] : ListFaces()) {
        std::optional<std::string> name = Utf8ToWindows1252(utf8Name);
        if (!name || name->empty()) continue;
        FontFamily family{*name, {}};
        // Regular, italic, bold, bold italic.
        for (bool bold : {false, true})
            for (bool italic : {false, true}) {
                auto fits = [&](const Face& f) { return f.bold == bold && f.italic == italic; };
                auto first = std::find_if(faces.begin(), faces.end(), fits);
                if (first == faces.end()) continue;
                // The face the text calls draw names the style.
                const Face* named = &*first;
                try {
                    ResolvedFont drawn = ResolveFace(*name, bold, italic);
                    for (const Face& f : faces)
                        if (fits(f) && f.file == drawn.file && f.index == drawn.faceIndex) named = &f;
                } catch (const std::exception&) {
                }
                family.styles.push_back({StyleName(named->style, bold, italic), bold, italic});
            }
        if (!family.styles.empty()) result.push_back(std::move(family));
    }
    std::sort(result.begin(), result.end(), [](const FontFamily& a, const FontFamily& b) {
        int order = CompareText(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    result.erase(std::unique(result.begin(), result.end(),
                             [](const FontFamily& a, const FontFamily& b) { return a.name == b.name; }),
                 result.end());
    return result;
}

}  // namespace

const std::vector<FontFamily>& FontFamilies() {
    // Resolving a face first starts fontconfig in the font store, which
    // outlives this list's use.
    try {
        ResolveFace("", false, false);
    } catch (const std::exception&) {
    }
    static const std::vector<FontFamily> families = ReadFamilies();
    return families;
}

}  // namespace thorn::text
