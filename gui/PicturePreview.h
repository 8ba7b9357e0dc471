#pragma once

#include <filesystem>
#include <string>

#include "bitmap/Pix32.h"
#include "gui/Controls.h"

namespace thorn {

// The preview of the picture dialogs: the picture of a file shrunk to fit
// (never enlarged), its size in pixels below it, or, when the file cannot be
// read as a picture, the reason in its place. Nothing it meets in a file
// leaves it as an exception: a picture that cannot be shown is a line of
// text here, not a failure of the dialog around it.
class PicturePreview : public TCustomControl {
public:
    PicturePreview();

    // Reads the picture; pictures above kMaxPixels (4096 x 4096) are not
    // read but refused from their header, so that stepping through a folder
    // of large pictures never waits long.
    void ShowFile(const std::filesystem::path& file);
    void Clear();

    bool HasPicture() const { return !thumbnail_.Empty(); }
    // The picture's size as read, or the reason it is not shown.
    const std::string& GetInfo() const { return info_; }
    // Where the picture is drawn (client coordinates; empty without one).
    TRect PictureRect() const;

    static constexpr int64_t kMaxPixels = int64_t{1} << 24;

protected:
    void Paint() override;

private:
    TRect PictureArea() const;

    TBitmap32 thumbnail_;  // the picture shrunk to at most 512 pixels a side
    TSize pictureSize_;
    std::string info_;
};

}  // namespace thorn
