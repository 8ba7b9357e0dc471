// The pictures of the editor's image lists, from the start folder's strips.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "editor/EditorImages.h"
#include "gui/ImageList.h"
#include "platform/Classes.h"
#include "support/PictureFiles.h"
#include "support/SourceTree.h"
#include "support/TempDir.h"

namespace {

using thorn::EditorImage;

std::vector<TColor32> Pixels(const TImageList& list, int index) {
    TBitmap32 image;
    list.GetBitmap(index, image);
    return {image.Bits(), image.Bits() + image.Width() * image.Height()};
}

TEST(EditorImages, BothListsHoldEveryPictureDistinctOnATransparentGround) {
    TImageList large, small;
    thorn::LoadEditorImages(large, small, thorn::test::SourceDir() / "startdir");
    for (const TImageList* list : {&large, &small}) {
        SCOPED_TRACE(list->GetWidth());
        ASSERT_EQ(list->GetCount(), thorn::kEditorImageCount);
        EXPECT_EQ(list->GetWidth(), list->GetHeight());
        std::set<std::vector<TColor32>> seen;
        for (int i = 0; i < list->GetCount(); ++i) {
            SCOPED_TRACE(i);
            std::vector<TColor32> pixels = Pixels(*list, i);
            auto opaque = std::count_if(pixels.begin(), pixels.end(), [](TColor32 c) { return (c >> 24) == 0xFF; });
            auto clear = std::count_if(pixels.begin(), pixels.end(), [](TColor32 c) { return (c >> 24) == 0; });
            EXPECT_GT(opaque * 8, static_cast<long>(pixels.size()));  // a picture, not a speck
            EXPECT_GT(clear, 0);                                       // the magenta ground is gone
            EXPECT_EQ(opaque + clear, static_cast<long>(pixels.size()));
            EXPECT_TRUE(seen.insert(pixels).second) << "the same as another picture";
        }
    }
    EXPECT_EQ(large.GetWidth(), 20);
    EXPECT_EQ(small.GetWidth(), 16);
    // Every warning shows a yellow sign: beside its dark outline and mark,
    // gold is the warning picture's commonest colour.
    std::map<TColor32, int> counts;
    for (TColor32 c : Pixels(small, thorn::Index(EditorImage::Warning)))
        if ((c >> 24) == 0xFF && std::max({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}) > 0x80) ++counts[c];
    auto commonest = std::max_element(counts.begin(), counts.end(),
                                      [](const auto& a, const auto& b) { return a.second < b.second; })->first;
    EXPECT_GT((commonest >> 16) & 0xFF, 200u);
    EXPECT_GT((commonest >> 8) & 0xFF, 150u);
    EXPECT_LT(commonest & 0xFF, 100u);
}

TEST(EditorImages, AStripThatIsMissingOrOfTheWrongSizeIsRefusedByName) {
    thorn::test::TempDir dir;
    std::filesystem::create_directories(dir / "res/icons");
    TImageList large, small;
    try {
        thorn::LoadEditorImages(large, small, dir.Path());
        FAIL() << "loaded without strips";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("images20.bmp"), std::string::npos) << e.what();
    }
    TBitmap32 wrong;
    wrong.SetSize(20 * 3, 20);
    thorn::test::WriteBmp24(dir / thorn::kLargeImagesFile, wrong);
    try {
        thorn::LoadEditorImages(large, small, dir.Path());
        FAIL() << "a strip of three pictures was taken";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("does not hold 34 pictures of 20 x 20 pixels"), std::string::npos)
            << e.what();
    }
}

}  // namespace
