#include "gui/PicturePreview.h"

#include <algorithm>

#include "gui/Edges.h"
#include "platform/Classes.h"
#include "platform/Text.h"

namespace thorn {

namespace {

// Kept small so that a repaint never resamples a large picture.
constexpr int kThumbnailSide = 512;
constexpr int kMargin = 4;

// w x h shrunk into box keeping the proportions; never larger than w x h.
TSize Fit(int w, int h, int boxWidth, int boxHeight) {
    if (w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0) return {0, 0};
    if (w <= boxWidth && h <= boxHeight) return {w, h};
    double scale = std::min(static_cast<double>(boxWidth) / w, static_cast<double>(boxHeight) / h);
    return {std::max(1, static_cast<int>(w * scale)), std::max(1, static_cast<int>(h * scale))};
}

}  // namespace

PicturePreview::PicturePreview() {
    SetControlStyle({csOpaque});
    SetColor(clBtnFace);
    SetBounds(0, 0, 180, 200);
}

void PicturePreview::Clear() {
    thumbnail_.SetSize(0, 0);
    pictureSize_ = {0, 0};
    info_.clear();
    Invalidate();
}

void PicturePreview::ShowFile(const std::filesystem::path& file) {
    Clear();
    try {
        TBitmap32 picture;
        PictureLimits limits;
        limits.maxPixels = kMaxPixels;
        picture.LoadFromFile(file, limits);
        pictureSize_ = {picture.Width(), picture.Height()};
        TSize thumb = Fit(picture.Width(), picture.Height(), kThumbnailSide, kThumbnailSide);
        if (thumb.cx == picture.Width() && thumb.cy == picture.Height()) {
            thumbnail_.Assign(picture);
        } else {
            thumbnail_.SetSize(thumb.cx, thumb.cy);
            picture.SetStretchFilter(sfLinear);
            picture.DrawTo(&thumbnail_, thumbnail_.BoundsRect());
        }
        info_ = std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
    } catch (const std::exception& e) {
        thumbnail_.SetSize(0, 0);
        info_ = e.what();
    }
    Invalidate();
}

TRect PicturePreview::PictureArea() const {
    TRect r = GetClientRect();
    int textHeight = GetFontMetrics(GetFont()).height;
    return {r.Left + kMargin, r.Top + kMargin, r.Right - kMargin, r.Bottom - kMargin - textHeight - kMargin};
}

TRect PicturePreview::PictureRect() const {
    if (!HasPicture()) return {};
    TRect area = PictureArea();
    TSize size = Fit(pictureSize_.cx, pictureSize_.cy, area.Width(), area.Height());
    int left = area.Left + (area.Width() - size.cx) / 2;
    int top = area.Top + (area.Height() - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

void PicturePreview::Paint() {
    TCanvas& canvas = Canvas();
    TRect client = GetClientRect();
    canvas.FillColor(client, clBtnFace);
    TRect frame = PictureArea();
    InflateRect(frame, 2, 2);
    DrawEdge(canvas, frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    canvas.FillColor(frame, clWindow);
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    if (HasPicture()) {
        canvas.StretchDraw(PictureRect(), thumbnail_);
        TRect caption{client.Left, client.Bottom - kMargin - GetFontMetrics(GetFont()).height, client.Right,
                      client.Bottom - kMargin};
        canvas.DrawText(caption, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX, info_);
    } else if (!info_.empty()) {
        TRect text = frame;
        InflateRect(text, -kMargin, -kMargin);
        canvas.Font().SetColor(clGrayText);
        canvas.DrawText(text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX, info_);
    }
    canvas.Brush().SetStyle(bsSolid);
}

}  // namespace thorn
