#include "editor/MarkerPicture.h"

#include "bitmapui/Pix32_Image.h"

namespace thorn {

bool LoadMarkerPicture(TBitmap32List& list, const std::filesystem::path& file) {
    TBitmap32 picture;
    try {
        picture.LoadFromFile(file);
    } catch (const std::exception&) {
        return false;
    }
    TBitmap32Collection& pictures = *list.GetBitmaps();
    pictures.Clear();
    TBitmap32& marker = *pictures.Add()->GetBitmap();
    marker.Assign(picture);
    marker.SetDrawMode(dmBlend);
    return true;
}

}  // namespace thorn
