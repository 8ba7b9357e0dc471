#include "bitmap/Pix32_Layers.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <utility>

#include "bitmap/Pix32_Image.h"
#include "bitmap/Pix32_Transfer.h"
#include "gui/Application.h"
#include "platform/Collections.h"

namespace {

TLayerState StateOf(TMouseButton button) {
    return button == mbLeft ? lsMouseLeft : button == mbRight ? lsMouseRight : lsMouseMiddle;
}

void SetScreenCursor(TCursor cursor) {
    if (Screen) Screen->SetCursor(cursor);
}

}  // namespace

// ============================================================ TLayerCollection

TLayerCollection::TLayerCollection(TPersistent* owner) : owner_(owner) {}

TLayerCollection::~TLayerCollection() {
    updateCount_ = 1;  // a dying collection tells nobody
    OnChanging = nullptr;
    OnChange = nullptr;
    OnGDIUpdate = nullptr;
    Clear();
}

TCustomLayer* TLayerCollection::Add(const TLayerClass& layerClass) { return Adopt(layerClass()); }

TCustomLayer* TLayerCollection::Adopt(std::unique_ptr<TCustomLayer> layer) {
    TCustomLayer* raw = layer.get();
    if (raw->collection_) throw EInvalidOperation("The layer belongs to a collection already");
    InsertItem(raw, std::move(layer));
    return raw;
}

TCustomLayer* TLayerCollection::Insert(int index, const TLayerClass& layerClass) {
    TCustomLayer* layer = nullptr;
    thorn::WithinUpdate(*this, [&] {
        layer = Add(layerClass);
        layer->SetIndex(index);
    });
    return layer;
}

void TLayerCollection::InsertItem(TCustomLayer* layer, std::unique_ptr<TCustomLayer> owned) {
    BeginUpdate();
    items_.push_back(std::move(owned));
    layer->collection_ = this;
    EndUpdate();
}

std::unique_ptr<TCustomLayer> TLayerCollection::RemoveItem(TCustomLayer* layer) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == layer; });
    if (it == items_.end()) return nullptr;
    BeginUpdate();
    std::unique_ptr<TCustomLayer> taken = std::move(*it);
    items_.erase(it);
    layer->collection_ = nullptr;
    EndUpdate();
    return taken;
}

void TLayerCollection::DestroyLayer(TCustomLayer* layer) {
    layer->BeforeDestruction();
    layer->destroying_ = true;
    layer->ForgetNotifications();
    if (mouseListener_ == layer) SetMouseListener(nullptr);
    std::unique_ptr<TCustomLayer> taken = RemoveItem(layer);
    taken.reset();
}

void TLayerCollection::Delete(int index) { DestroyLayer(GetItem(index)); }

void TLayerCollection::Delete(TCustomLayer* layer) {
    if (!layer || layer->collection_ != this) throw EInvalidOperation("The layer is not in this collection");
    DestroyLayer(layer);
}

void TLayerCollection::Clear() {
    thorn::WithinUpdate(*this, [&] {
        while (!items_.empty()) DestroyLayer(items_.back().get());
    });
}

TCustomLayer* TLayerCollection::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return items_[static_cast<size_t>(index)].get();
}

void TLayerCollection::SetItem(int index, const TCustomLayer& layer) { GetItem(index)->Assign(layer); }

int TLayerCollection::IndexOf(const TCustomLayer* layer) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == layer) return static_cast<int>(i);
    return -1;
}

void TLayerCollection::MoveItem(TCustomLayer* layer, int index) {
    int from = IndexOf(layer);
    if (from < 0 || from == index) return;
    std::unique_ptr<TCustomLayer> taken = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, std::move(taken));
}

void TLayerCollection::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TLayerCollection*>(&source)) {
        if (other == this) return;
        thorn::WithinUpdate(*this, [&] {
            while (!items_.empty()) DestroyLayer(items_.back().get());
            for (const auto& layer : other->items_) Adopt(layer->NewInstance())->Assign(*layer);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TLayerCollection::BeginUpdate() {
    if (updateCount_ == 0) Changing();
    ++updateCount_;
}

void TLayerCollection::EndUpdate() {
    if (updateCount_ <= 0) throw EInvalidOperation("Unpaired EndUpdate");
    if (--updateCount_ == 0) Changed();
}

void TLayerCollection::Changing() {
    if (OnChanging) OnChanging(this);
}

void TLayerCollection::Changed() {
    if (OnChange) OnChange(this);
}

void TLayerCollection::GDIUpdate() {
    if (updateCount_ == 0 && OnGDIUpdate) OnGDIUpdate(this);
}

void TLayerCollection::AreaChanged(std::span<const TRect> areas) {
    if (OnAreaChanged)
        OnAreaChanged(this, areas);
    else
        Changed();
}

TCustomLayer* TLayerCollection::FindLayerAtPos(int x, int y, uint32_t optionsMask) const {
    // OnHitTest may free the control holding the collection, or a layer.
    const thorn::ComponentWatch holder = WatchHolder();
    for (size_t i = items_.size(); i-- > 0;) {
        if (i >= items_.size()) continue;
        TCustomLayer* layer = items_[i].get();
        if ((layer->layerOptions_ & optionsMask) == 0) continue;
        const bool hit = layer->HitTest(x, y);
        if (holder.Freed()) return nullptr;
        if (hit && IndexOf(layer) >= 0) return layer;
    }
    return nullptr;
}

void TLayerCollection::SetMouseEvents(bool value) {
    mouseEvents_ = value;
    SetMouseListener(nullptr);
}

void TLayerCollection::SetMouseListener(TCustomLayer* value) {
    if (value == mouseListener_) return;
    if (mouseListener_) mouseListener_->layerStates_ = {};
    mouseListener_ = value;
}

// A layer that its own mouse handler freed is not reported further.
TCustomLayer* TLayerCollection::StillHere(TCustomLayer* layer) const { return IndexOf(layer) >= 0 ? layer : nullptr; }

// The mouse routing answers null when a handler freed the control holding
// the collection.
TCustomLayer* TLayerCollection::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    const thorn::ComponentWatch holder = WatchHolder();
    TCustomLayer* layer = mouseListener_ ? mouseListener_ : FindLayerAtPos(x, y, kLayerMouseEvents);
    if (holder.Freed()) return nullptr;
    if (button == mbLeft && layer != mouseListener_ && (!layer || !(layer->layerOptions_ & kLayerNoCapture)))
        SetMouseListener(layer);
    if (TCustomLayer* listener = mouseListener_) {
        listener->layerStates_.Include(StateOf(button));
        listener->MouseDown(button, shift, x, y);
        if (holder.Freed()) return nullptr;
    }
    return StillHere(layer);
}

TCustomLayer* TLayerCollection::MouseMove(TShiftState shift, int x, int y) {
    const thorn::ComponentWatch holder = WatchHolder();
    TCustomLayer* layer = mouseListener_ ? mouseListener_ : FindLayerAtPos(x, y, kLayerMouseEvents);
    if (holder.Freed()) return nullptr;
    if (layer)
        layer->MouseMove(shift, x, y);
    else if (OwnerCursor)
        SetScreenCursor(OwnerCursor());
    return holder.Freed() ? nullptr : StillHere(layer);
}

TCustomLayer* TLayerCollection::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const thorn::ComponentWatch holder = WatchHolder();
    TCustomLayer* layer = mouseListener_ ? mouseListener_ : FindLayerAtPos(x, y, kLayerMouseEvents);
    if (holder.Freed()) return nullptr;
    if (layer) {
        layer->layerStates_.Exclude(StateOf(button));
        layer->MouseUp(button, shift, x, y);
        if (holder.Freed()) return nullptr;
    }
    // A listener freed by the handler has already let go.
    if (mouseListener_ && mouseListener_->layerStates_.Empty()) SetMouseListener(nullptr);
    return StillHere(layer);
}

// ================================================================ TCustomLayer

TCustomLayer::TCustomLayer() = default;

TCustomLayer::~TCustomLayer() {
    destroying_ = true;
    ForgetNotifications();
    // A layer destroyed by its holder rather than by its collection.
    if (collection_) {
        if (collection_->mouseListener_ == this) collection_->SetMouseListener(nullptr);
        std::unique_ptr<TCustomLayer> self = collection_->RemoveItem(this);
        (void)self.release();  // we are being destroyed already
    }
}

void TCustomLayer::BeforeDestruction() {
    if (OnDestroy) OnDestroy(this);
}

void TCustomLayer::ForgetNotifications() {
    // Tell the layers that asked, last first; then make sure no layer is
    // left holding a pointer to this one.
    while (!freeNotifies_.empty()) {
        TCustomLayer* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        std::erase(other->watching_, this);
        other->Notification(this);
    }
    for (TCustomLayer* watched : watching_) std::erase(watched->freeNotifies_, this);
    watching_.clear();
}

void TCustomLayer::AddNotification(TCustomLayer* layer) {
    if (!layer || layer == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), layer) != freeNotifies_.end()) return;
    freeNotifies_.push_back(layer);
    layer->watching_.push_back(this);
}

void TCustomLayer::RemoveNotification(TCustomLayer* layer) {
    if (!layer) return;
    std::erase(freeNotifies_, layer);
    std::erase(layer->watching_, this);
}

void TCustomLayer::SetLayerCollection(TLayerCollection* collection) {
    if (collection == collection_) return;
    if (!collection_) throw EInvalidOperation("A layer on its own is held by whoever made it");
    if (collection_->mouseListener_ == this) collection_->SetMouseListener(nullptr);
    std::unique_ptr<TCustomLayer> self = collection_->RemoveItem(this);
    if (collection)
        collection->InsertItem(this, std::move(self));
    else
        self.reset();
}

int TCustomLayer::GetIndex() const { return collection_ ? collection_->IndexOf(this) : -1; }

void TCustomLayer::SetIndex(int value) {
    if (!collection_) return;
    int current = GetIndex();
    if (value == current) return;
    value = std::clamp(value, 0, collection_->GetCount() - 1);
    if (value == current) return;
    bool visible = GetVisible();
    if (visible) collection_->BeginUpdate();
    collection_->MoveItem(this, value);
    if (visible) collection_->EndUpdate();
}

void TCustomLayer::BringToFront() { SetIndex(collection_ ? collection_->GetCount() : 0); }

void TCustomLayer::SendToBack() { SetIndex(0); }

void TCustomLayer::SetLayerOptions(uint32_t value) {
    bool wasVisible = GetVisible();
    Changing();
    layerOptions_ = value;
    Changed();
    // Hiding a layer must take its picture off the screen too.
    if (wasVisible && !GetVisible() && collection_ && !(layerOptions_ & kLayerNoUpdate)) collection_->Changed();
}

void TCustomLayer::SetVisible(bool value) {
    SetLayerOptions(value ? layerOptions_ | kLayerVisible : layerOptions_ & ~kLayerVisible);
}

void TCustomLayer::SetMouseEvents(bool value) {
    SetLayerOptions(value ? layerOptions_ | kLayerMouseEvents : layerOptions_ & ~kLayerMouseEvents);
}

void TCustomLayer::SetCursor(TCursor value) {
    cursor_ = value;
    if (collection_ && collection_->mouseListener_ == this) SetScreenCursor(value);
}

void TCustomLayer::SetAsMouseListener() {
    if (!collection_) return;
    collection_->SetMouseListener(this);
    SetScreenCursor(cursor_);
}

void TCustomLayer::Changing() {
    if (destroying_) return;
    if (GetVisible() && collection_ && !(layerOptions_ & kLayerNoUpdate)) {
        changing_ = true;
        areaBefore_ = PaintArea();
        collection_->Changing();
    }
}

void TCustomLayer::Changed() {
    const bool changing = std::exchange(changing_, false);
    const std::optional<TRect> before = std::exchange(areaBefore_, std::nullopt);
    if (destroying_ || !collection_ || (layerOptions_ & kLayerNoUpdate)) return;
    if (!GetVisible()) {
        if (layerOptions_ & kLayerGdiOverlay) collection_->GDIUpdate();
        return;
    }
    // A change without Changing (the layer's bitmap, its cropping) stays
    // where the layer paints now.
    const std::optional<TRect> after = PaintArea();
    if (after && (before || !changing)) {
        const TRect areas[2] = {*after, before.value_or(*after)};
        collection_->AreaChanged(std::span<const TRect>(areas, before && !(*before == *after) ? 2 : 1));
        return;
    }
    collection_->Changed();
}

bool TCustomLayer::HitTest(int x, int y) {
    bool result = DoHitTest(x, y);
    if (OnHitTest) OnHitTest(this, x, y, result);
    return result;
}

void TCustomLayer::DoPaint(TBitmap32* buffer) {
    Paint(buffer);
    if (OnPaint) OnPaint(this, buffer);
}

// The base paints nothing.
bool TCustomLayer::PaintsInsideClip() const { return !OnPaint && typeid(*this) == typeid(TCustomLayer); }

void TCustomLayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomLayer::MouseMove(TShiftState shift, int x, int y) {
    SetScreenCursor(cursor_);
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TCustomLayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    SetScreenCursor(crDefault);
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TCustomLayer::Assign(const TPersistent& source) {
    if (auto* layer = dynamic_cast<const TCustomLayer*>(&source)) {
        layer->AssignTo(*this);
        return;
    }
    TPersistent::Assign(source);
}

void TCustomLayer::AssignTo(TPersistent& dest) const {
    auto* layer = dynamic_cast<TCustomLayer*>(&dest);
    if (!layer) {
        TPersistent::AssignTo(dest);
        return;
    }
    layer->Changing();
    layer->cursor_ = cursor_;
    layer->layerOptions_ = layerOptions_;
    layer->tag_ = tag_;
    layer->OnHitTest = OnHitTest;
    layer->OnMouseDown = OnMouseDown;
    layer->OnMouseMove = OnMouseMove;
    layer->OnMouseUp = OnMouseUp;
    layer->OnPaint = OnPaint;
    layer->Changed();
}

// ============================================================ TPositionedLayer

TPositionedLayer::TPositionedLayer() { SetLayerOptions(kLayerVisible | kLayerMouseEvents); }

void TPositionedLayer::SetLocation(const TFloatRect& value) {
    Changing();
    DoSetLocation(value);
    Changed();
}

void TPositionedLayer::SetScaled(bool value) {
    if (value == scaled_) return;
    Changing();
    scaled_ = value;
    Changed();
}

TFloatRect TPositionedLayer::GetControlLocation() const {
    TFloatRect r = location_;
    TLayerCollection* collection = GetLayerCollection();
    if (!collection || !scaled_) return r;
    if (const TCoordTransform* t = collection->GetCoordTransform()) {
        r.Left = t->ScaleX * r.Left / 65536 + t->ShiftX;
        r.Right = t->ScaleX * r.Right / 65536 + t->ShiftX;
        r.Top = t->ScaleY * r.Top / 65536 + t->ShiftY;
        r.Bottom = t->ScaleY * r.Bottom / 65536 + t->ShiftY;
    }
    return r;
}

TFloatRect TPositionedLayer::GetAdjustedLocation() const {
    TFloatRect r = GetControlLocation();
    TLayerCollection* collection = GetLayerCollection();
    TPoint offset = collection ? collection->GetPaintOffset() : TPoint{};
    if (offset.X || offset.Y) OffsetRectF(r, static_cast<float>(-offset.X), static_cast<float>(-offset.Y));
    return r;
}

bool TPositionedLayer::PaintsInsideClip() const { return !OnPaint && typeid(*this) == typeid(TPositionedLayer); }

bool TPositionedLayer::DoHitTest(int x, int y) {
    TFloatRect r = GetAdjustedLocation();
    return r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom;
}

void TPositionedLayer::AssignTo(TPersistent& dest) const {
    TCustomLayer::AssignTo(dest);
    if (auto* layer = dynamic_cast<TPositionedLayer*>(&dest)) {
        layer->Changing();
        layer->location_ = location_;
        layer->scaled_ = scaled_;
        layer->Changed();
    }
}

// ================================================================ TBitmapLayer

TBitmapLayer::TBitmapLayer() : bitmap_(std::make_unique<TBitmap32>()) {
    bitmap_->OnChange = [this](TObject*) { Changed(); };
}

TBitmapLayer::~TBitmapLayer() { bitmap_->OnChange = nullptr; }

void TBitmapLayer::SetBitmap(const TBitmap32& value) { bitmap_->Assign(value); }

void TBitmapLayer::SetCropped(bool value) {
    if (value == cropped_) return;
    cropped_ = value;
    Changed();
}

void TBitmapLayer::Paint(TBitmap32* buffer) {
    if (!buffer || buffer->Empty()) return;
    TLayerCollection* collection = GetLayerCollection();
    TPoint offset = collection ? collection->GetPaintOffset() : TPoint{};
    // Rounded where the layer lies in the control, then moved into the
    // buffer: whichever part of the control a buffer holds, it gets the
    // same pixels.
    TRect dstRect = MakeRect(GetControlLocation(), rrClosest);
    OffsetRect(dstRect, -offset.X, -offset.Y);
    TRect clipRect = buffer->BoundsRect();
    if (collection && collection->GetPaintClip()) IntersectRect(clipRect, clipRect, *collection->GetPaintClip());
    // Layers off the buffer cost nothing, not even a look at their bitmap.
    TRect visible;
    if (!IntersectRect(visible, dstRect, clipRect) || IsRectEmpty(visible) || bitmap_->Empty()) return;
    if (cropped_ && collection) {
        auto* image = dynamic_cast<TCustomImage32*>(collection->GetOwner());
        if (image && !image->GetPaintToMode()) {
            TRect bitmapRect = image->GetBitmapRect();
            OffsetRect(bitmapRect, -offset.X, -offset.Y);
            IntersectRect(clipRect, clipRect, bitmapRect);
            if (!IntersectRect(visible, dstRect, clipRect) || IsRectEmpty(visible)) return;
        }
    }
    StretchTransfer(buffer, dstRect, clipRect, bitmap_.get(), bitmap_->BoundsRect(), bitmap_->StretchFilter(),
                    bitmap_->DrawMode(), bitmap_->OnPixelCombine);
}

bool TBitmapLayer::PaintsInsideClip() const { return !OnPaint && typeid(*this) == typeid(TBitmapLayer); }

std::optional<TRect> TBitmapLayer::PaintArea() const {
    if (!PaintsInsideClip()) return std::nullopt;
    return MakeRect(GetControlLocation(), rrClosest);
}

bool TBitmapLayer::DoHitTest(int x, int y) {
    if (!TPositionedLayer::DoHitTest(x, y)) return false;
    if (!alphaHitTest_) return true;
    TFloatRect r = GetAdjustedLocation();
    double w = std::nearbyint(static_cast<double>(r.Right) - r.Left);
    double h = std::nearbyint(static_cast<double>(r.Bottom) - r.Top);
    if (w < 0.5 || h < 0.5) return false;
    double bx = std::nearbyint((x - static_cast<double>(r.Left)) * bitmap_->Width() / w);
    double by = std::nearbyint((y - static_cast<double>(r.Top)) * bitmap_->Height() / h);
    return (bitmap_->GetPixelS(static_cast<int32_t>(bx), static_cast<int32_t>(by)) & 0xFF000000u) != 0;
}

void TBitmapLayer::AssignTo(TPersistent& dest) const {
    TPositionedLayer::AssignTo(dest);
    if (auto* layer = dynamic_cast<TBitmapLayer*>(&dest)) {
        layer->Changing();
        layer->bitmap_->Assign(*bitmap_);
        layer->alphaHitTest_ = alphaHitTest_;
        layer->cropped_ = cropped_;
        layer->Changed();
    }
}
