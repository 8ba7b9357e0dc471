#pragma once

#include <filesystem>

#include "startfiles/EditorImageStrips.h"

class TCustomImageList;

namespace thorn {

// Fills the main window's list (20 x 20) and the warnings list (16 x 16)
// from the start folder's strips, replacing what they held. Throws
// EFOpenError or EInvalidGraphic when a strip cannot be read, and
// EInvalidGraphic when it does not hold every picture.
void LoadEditorImages(TCustomImageList& large, TCustomImageList& small, const std::filesystem::path& startFolder);
// The same for one list, from the strip of the given side (20 or 16), for
// a window that is made after the other list was filled.
void LoadEditorImageList(TCustomImageList& list, int side, const std::filesystem::path& startFolder);

}  // namespace thorn
