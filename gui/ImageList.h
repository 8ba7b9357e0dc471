#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "bitmap/Canvas.h"
#include "bitmap/Pix32.h"
#include "platform/Components.h"

// How an image is drawn: as it is, blended with the selection colour (the
// way a selected row shows its image) or greyed out (embossed).
enum TImageDrawStyle : uint8_t { idsNormal, idsSelected, idsDisabled };

// Images of one size (Width x Height) kept in order: menu items, tool
// buttons and list views show them by index. Images are added from bitmaps
// side by side, with one colour standing for transparency.
class TCustomImageList : public TComponent {
public:
    TCustomImageList();
    TCustomImageList(int width, int height);
    ~TCustomImageList() override;

    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // A new size drops every image. Sizes below 1 become 1.
    void SetSize(int width, int height);
    void SetWidth(int value) { SetSize(value, height_); }
    void SetHeight(int value) { SetSize(width_, value); }
    int GetCount() const { return static_cast<int>(images_.size()); }

    // Adds the images that bitmap holds side by side (its width divided by
    // Width; at least one, cut or padded to the list's size). Pixels of
    // maskColor become transparent; clDefault takes the bitmap's bottom-left
    // pixel as that colour, clNone keeps every pixel (and its alpha). Answers
    // the index of the first image added.
    int AddMasked(const TBitmap32& bitmap, TColor maskColor);
    // Replaces image index by the first image of bitmap.
    void ReplaceMasked(int index, const TBitmap32& bitmap, TColor maskColor);
    void Delete(int index);
    void Clear();
    void Move(int curIndex, int newIndex);

    // Draws image index with its top-left corner at (x, y) of the canvas'
    // logical coordinates, blending it over what is there. An index outside
    // the list draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, TImageDrawStyle style = idsNormal) const;
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
        Draw(canvas, x, y, index, enabled ? idsNormal : idsDisabled);
    }
    // Copies image index into bitmap (Width x Height, transparent pixels with
    // alpha 0).
    void GetBitmap(int index, TBitmap32& bitmap) const;

    // The colour a selected image is blended with (half and half).
    TColor GetBlendColor() const { return blendColor_; }
    void SetBlendColor(TColor value);

    // Runs after every change of the images or their size.
    TNotifyEvent OnChange;

    // Tells listener after every change until the returned token is
    // destroyed; several controls share one list this way.
    using Subscription = std::shared_ptr<void>;
    [[nodiscard]] Subscription Subscribe(std::function<void()> listener);

protected:
    virtual void Change();

private:
    void CheckIndex(int index) const;
    void Cut(const TBitmap32& bitmap, int column, TColor32 mask, bool masked, TBitmap32& image) const;

    int width_ = 16;
    int height_ = 16;
    TColor blendColor_ = clHighlight;
    std::vector<std::unique_ptr<TBitmap32>> images_;
    std::shared_ptr<std::vector<std::pair<int, std::function<void()>>>> listeners_;
    int nextListener_ = 0;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};
