#include "editor/EditorImages.h"

#include "bitmap/Pix32.h"
#include "gui/ImageList.h"
#include "platform/Classes.h"
#include "platform/Files.h"

namespace thorn {

namespace {

void LoadStrip(TCustomImageList& list, int side, const std::filesystem::path& file) {
    TBitmap32 strip;
    strip.LoadFromFile(file);
    if (strip.Height() != side || strip.Width() != side * kEditorImageCount)
        throw EInvalidGraphic(Quoted(file) + " does not hold " + std::to_string(kEditorImageCount) + " pictures of " +
                              std::to_string(side) + " x " + std::to_string(side) + " pixels");
    list.Clear();
    list.SetSize(side, side);
    list.AddMasked(strip, clFuchsia);
}

}  // namespace

void LoadEditorImages(TCustomImageList& large, TCustomImageList& small, const std::filesystem::path& startFolder) {
    LoadEditorImageList(large, 20, startFolder);
    LoadEditorImageList(small, 16, startFolder);
}

void LoadEditorImageList(TCustomImageList& list, int side, const std::filesystem::path& startFolder) {
    LoadStrip(list, side, startFolder / (side == 16 ? kSmallImagesFile : kLargeImagesFile));
}

}  // namespace thorn
