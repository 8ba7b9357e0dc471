#include "gui/ImageList.h"

#include <algorithm>

#include "bitmap/Pix32_Blend.h"
#include "platform/Collections.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// Whether a pixel of an image counts as ink in its greyed-out form: solid
// and darker than the light shades, which vanish as on a disabled button.
bool IsInk(TColor32 c) {
    if ((c >> 24) < 0x80) return false;
    uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (r * 30 + g * 59 + b * 11) / 100 < 0xC0;
}

}  // namespace

TCustomImageList::TCustomImageList() = default;

TCustomImageList::TCustomImageList(int width, int height) { SetSize(width, height); }

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetSize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    images_.clear();
    Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
    if (value == blendColor_) return;
    blendColor_ = value;
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
}

void TCustomImageList::Cut(const TBitmap32& bitmap, int column, TColor32 mask, bool masked, TBitmap32& image) const {
    image.SetSize(width_, height_);  // transparent where the bitmap has no pixels
    int x0 = column * width_;
    for (int y = 0; y < height_ && y < bitmap.Height(); ++y)
        for (int x = 0; x < width_ && x0 + x < bitmap.Width(); ++x) {
            TColor32 c = bitmap.GetPixel(x0 + x, y);
            if (masked) c = (c & 0xFFFFFFu) == mask ? 0 : c | kOpaque;
            image.SetPixel(x, y, c);
        }
}

int TCustomImageList::AddMasked(const TBitmap32& bitmap, TColor maskColor) {
    int first = GetCount();
    if (bitmap.Empty()) return first;
    bool masked = maskColor != clNone;
    TColor32 mask = 0;
    if (maskColor == clDefault)
        mask = bitmap.GetPixel(0, bitmap.Height() - 1) & 0xFFFFFFu;
    else if (masked)
        mask = Color32(maskColor) & 0xFFFFFFu;
    int columns = std::max(1, bitmap.Width() / width_);
    for (int i = 0; i < columns; ++i) {
        auto image = std::make_unique<TBitmap32>();
        Cut(bitmap, i, mask, masked, *image);
        images_.push_back(std::move(image));
    }
    Change();
    return first;
}

void TCustomImageList::ReplaceMasked(int index, const TBitmap32& bitmap, TColor maskColor) {
    CheckIndex(index);
    TCustomImageList single(width_, height_);
    single.AddMasked(bitmap, maskColor);
    images_[static_cast<size_t>(index)] = std::move(single.images_.front());
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    images_.erase(images_.begin() + index);
    Change();
}

void TCustomImageList::Clear() {
    if (images_.empty()) return;
    images_.clear();
    Change();
}

void TCustomImageList::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex) return;
    auto image = std::move(images_[static_cast<size_t>(curIndex)]);
    images_.erase(images_.begin() + curIndex);
    images_.insert(images_.begin() + newIndex, std::move(image));
    Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap32& bitmap) const {
    CheckIndex(index);
    bitmap.Assign(*images_[static_cast<size_t>(index)]);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, TImageDrawStyle style) const {
    if (index < 0 || index >= GetCount()) return;
    canvas.BindTarget();
    TBitmap32* target = canvas.GetTarget();
    if (!target) return;
    const TBitmap32& image = *images_[static_cast<size_t>(index)];
    TPoint origin = canvas.GetOrigin();
    TRect clip = canvas.GetDeviceClip();
    TColor32 blend = Color32(blendColor_);
    TColor32 light = Color32(clBtnHighlight), dark = Color32(clBtnShadow);
    // Plots one colour at an image pixel's place (shifted), within the clip.
    auto plot = [&](int ix, int iy, int shift, TColor32 color) {
        int dx = origin.X + x + ix + shift, dy = origin.Y + y + iy + shift;
        if (dx < clip.Left || dy < clip.Top || dx >= clip.Right || dy >= clip.Bottom) return;
        TColor32& pixel = *target->PixelPtr(dx, dy);
        TColor32 a = pixel & kOpaque;
        BlendMem(color, pixel);
        pixel = (pixel & 0xFFFFFFu) | a;
    };
    if (style == idsDisabled) {
        // Embossed: the ink in the light colour one pixel down and right,
        // then in the shadow colour in place.
        for (int pass = 0; pass < 2; ++pass)
            for (int iy = 0; iy < image.Height(); ++iy)
                for (int ix = 0; ix < image.Width(); ++ix)
                    if (IsInk(image.GetPixel(ix, iy))) plot(ix, iy, pass == 0 ? 1 : 0, pass == 0 ? light : dark);
    } else {
        for (int iy = 0; iy < image.Height(); ++iy)
            for (int ix = 0; ix < image.Width(); ++ix) {
                TColor32 c = image.GetPixel(ix, iy);
                if ((c >> 24) == 0) continue;
                if (style == idsSelected) c = (CombineReg(c, blend, 128) & 0xFFFFFFu) | (c & kOpaque);
                plot(ix, iy, 0, c);
            }
    }
}

TCustomImageList::Subscription TCustomImageList::Subscribe(std::function<void()> listener) {
    if (!listeners_) listeners_ = std::make_shared<std::vector<std::pair<int, std::function<void()>>>>();
    int id = nextListener_++;
    listeners_->emplace_back(id, std::move(listener));
    std::weak_ptr<std::vector<std::pair<int, std::function<void()>>>> weak = listeners_;
    return Subscription(nullptr, [weak, id](void*) {
        if (auto list = weak.lock()) std::erase_if(*list, [id](const auto& entry) { return entry.first == id; });
    });
}

void TCustomImageList::Change() {
    if (listeners_) {
        auto copy = *listeners_;
        for (auto& [id, listener] : copy) listener();
    }
    if (OnChange) OnChange(this);
}
