// The families the font dialog offers, read from fontconfig with the fonts
// the project installs (DejaVu and Liberation).
#include <gtest/gtest.h>

#include "platform/FontCache.h"
#include "platform/FontFamilies.h"
#include "platform/StringList.h"

namespace {

using thorn::text::FontFamilies;
using thorn::text::FontFamily;

const FontFamily* Find(const std::string& name) {
    for (const FontFamily& family : FontFamilies())
        if (family.name == name) return &family;
    return nullptr;
}

TEST(FontFamilies, InstalledFamiliesComeWithTheStylesTheirFacesName) {
    struct Case {
        const char* family;
        std::vector<std::string> styles;
    };
    const Case cases[] = {
        {"DejaVu Sans", {"Book", "Oblique", "Bold", "Bold Oblique"}},
        {"Liberation Serif", {"Regular", "Italic", "Bold", "Bold Italic"}},
        {"Liberation Mono", {"Regular", "Italic", "Bold", "Bold Italic"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        const FontFamily* family = Find(c.family);
        ASSERT_NE(family, nullptr);
        std::vector<std::string> names;
        for (const auto& style : family->styles) {
            names.push_back(style.name);
            // Each style draws with the face it is named after.
            thorn::ResolvedFont face = thorn::text::ResolveFace(family->name, style.bold, style.italic);
            EXPECT_FALSE(face.syntheticBold || face.syntheticItalic) << style.name;
        }
        EXPECT_EQ(names, c.styles);
        ASSERT_EQ(family->styles.size(), 4u);
        EXPECT_TRUE(family->styles[3].bold && family->styles[3].italic);
    }
}

TEST(FontFamilies, TheListIsSortedWithoutCaseEachNameOnce) {
    const auto& families = FontFamilies();
    ASSERT_GT(families.size(), 3u);
    for (size_t i = 1; i < families.size(); ++i)
        EXPECT_LT(thorn::CompareText(families[i - 1].name, families[i].name), 0)
            << families[i - 1].name << " / " << families[i].name;
    for (const FontFamily& family : families) EXPECT_FALSE(family.styles.empty()) << family.name;
}

}  // namespace
