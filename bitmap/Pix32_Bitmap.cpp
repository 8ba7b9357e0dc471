// The bitmap object: notification, size and pixel store, copying, the
// "Data" stream, picture files and whole-bitmap geometry.
#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <typeinfo>
#include <utility>

#include "bitmap/Canvas.h"
#include "bitmap/Pix32.h"
#include "bitmap/Pix32_LowLevel.h"
#include "bitmap/Pix32_Transfer.h"
#include "platform/Filer.h"

namespace {

std::mutex& CounterLock() {
    static std::mutex m;
    return m;
}

std::string ClassName(const TObject& object) {
    const char* mangled = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                           &std::free);
    return status == 0 && demangled ? demangled.get() : mangled;
}

// The largest store we agree to allocate: 2^31 pixels (8 GiB).
constexpr int64_t kMaxPixels = int64_t{1} << 31;

}  // namespace

// ---------------------------------------------------------- TThreadPersistent

void TThreadPersistent::EndUpdate() {
    if (UpdateCount < 1) throw EInvalidOperation("Unpaired TThreadPersistent.EndUpdate");
    --UpdateCount;
}

void TThreadPersistent::Changed() {
    if (UpdateCount == 0 && OnChange) OnChange(this);
}

void TThreadPersistent::Lock() {
    {
        std::lock_guard guard(CounterLock());
        ++lockCount_;
    }
    lock_.lock();
}

void TThreadPersistent::Unlock() {
    lock_.unlock();
    std::lock_guard guard(CounterLock());
    --lockCount_;
}

int32_t TThreadPersistent::LockCount() const {
    std::lock_guard guard(CounterLock());
    return lockCount_;
}

TThreadPersistent::~TThreadPersistent() {
    for (LifeWatch* watch = watches_; watch; watch = watch->next_) watch->object_ = nullptr;
}

// ----------------------------------------------------------------- TCustomMap

bool TCustomMap::SetSize(int32_t NewWidth, int32_t NewHeight) {
    NewWidth = std::max(NewWidth, 0);
    NewHeight = std::max(NewHeight, 0);
    if (NewWidth == Width_ && NewHeight == Height_) return false;
    ChangeSize(Width_, Height_, NewWidth, NewHeight);
    TellWholeChange(true);
    return true;
}

bool TCustomMap::HoldingResize(const std::function<void()>& body) {
    // Nothing is told inside the bracket, so no handler frees anything there.
    struct Release {
        TCustomMap& map;
        bool holding;
        bool held;
        ~Release() {
            map.holdingResize_ = holding;
            map.resizeHeld_ = held;
        }
    } release{*this, std::exchange(holdingResize_, true), std::exchange(resizeHeld_, false)};
    thorn::WithinUpdate(*this, body);
    return resizeHeld_;
}

void TCustomMap::TellWholeChange(bool resized) {
    if (holdingResize_) {
        // A change around this one tells once it is whole.
        resizeHeld_ = resizeHeld_ || resized;
        return;
    }
    const LifeWatch life(*this);
    Changed();
    if (resized && !life.Gone()) Resized();
}

bool TCustomMap::SetSizeFrom(const TPersistent* source) {
    if (source == nullptr) return SetSize(0, 0);
    if (const auto* map = dynamic_cast<const TCustomMap*>(source)) return SetSize(map->Width(), map->Height());
    throw Exception("Can't set size from '" + ClassName(*source) + "'");
}

void TCustomMap::Resized() {
    if (OnResize) OnResize(this);
}

void TCustomMap::ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) {
    Width = NewWidth;
    Height = NewHeight;
}

// ------------------------------------------------------------------ TBitmap32

void TBitmap32::FreeDeleter::operator()(TColor32* p) const { std::free(p); }

TBitmap32::TBitmap32() {
    font_.OnChange = [this](TObject* sender) { FontChanged(sender); };
}

TBitmap32::~TBitmap32() {
    // No event of this object may run while it is being taken apart.
    destroying_ = true;
    OnChange = nullptr;
    OnResize = nullptr;
    OnHandleChanged = nullptr;
    OnPixelCombine = nullptr;
    font_.OnChange = nullptr;
    BeginUpdate();
    Lock();
    DeleteCanvas();
    ReleaseStore();
    Width_ = Height_ = 0;
    Unlock();
}

bool TBitmap32::Empty() const { return !bits_ || Width_ == 0 || Height_ == 0; }

void TBitmap32::ReleaseStore() {
    fontSelected_ = false;
    DeleteCanvas();
    bits_.reset();
}

void TBitmap32::ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) {
    ReleaseStore();
    Width = Height = 0;
    if (NewWidth >= 1 && NewHeight >= 1) {
        int64_t pixels = int64_t{NewWidth} * NewHeight;
        TColor32* store = pixels <= kMaxPixels
                              ? static_cast<TColor32*>(std::calloc(static_cast<size_t>(pixels), sizeof(TColor32)))
                              : nullptr;
        if (!store) throw EOutOfResources("Can't allocate the DIB handle");
        bits_.reset(store);
    }
    Width = NewWidth;
    Height = NewHeight;
    HandleChanged();
}

void TBitmap32::HandleChanged() {
    if (OnHandleChanged && !destroying_) OnHandleChanged(this);
}

TCanvas* TBitmap32::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>(this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

void TBitmap32::DeleteCanvas() { canvas_.reset(); }

void TBitmap32::Clear(TColor32 color) {
    if (Empty()) return;
    FillLongword(bits_.get(), int64_t{Width_} * Height_, color);
    Changed();
}

void TBitmap32::ResetAlpha() {
    if (!Empty()) {
        TColor32* p = bits_.get();
        int64_t n = int64_t{Width_} * Height_;
        for (int64_t i = 0; i < n; ++i) p[i] |= 0xFF000000u;
    }
    Changed();
}

void TBitmap32::SetDrawMode(TDrawMode value) {
    if (drawMode_ == value) return;
    drawMode_ = value;
    Changed();
}

void TBitmap32::SetMasterAlpha(uint32_t value) {
    value = std::min<uint32_t>(value, 255);
    if (masterAlpha_ == value) return;
    masterAlpha_ = value;
    Changed();
}

void TBitmap32::SetStretchFilter(TStretchFilter value) {
    if (stretchFilter_ == value) return;
    stretchFilter_ = value;
    Changed();
}

// ---------------------------------------------------------------- copying

void TBitmap32::CopySettingsFrom(const TBitmap32& source) {
    drawMode_ = source.drawMode_;
    masterAlpha_ = source.masterAlpha_;
    outerColor_ = source.outerColor_;
    stretchFilter_ = source.stretchFilter_;
}

void TBitmap32::Assign(const TPersistent* source) {
    if (source) return Assign(*source);
    TellWholeChange(HoldingResize([&] { SetSize(0, 0); }));
}

void TBitmap32::Assign(const TPersistent& source) {
    const auto* bitmap = dynamic_cast<const TBitmap32*>(&source);
    if (!bitmap) return TPersistent::Assign(source);  // the source may know how to copy itself here
    if (bitmap == this) return;
    TellWholeChange(HoldingResize([&] {
        SetSize(bitmap->Width(), bitmap->Height());
        if (!Empty()) {
            std::memcpy(bits_.get(), bitmap->Bits(), static_cast<size_t>(int64_t{Width_} * Height_) * sizeof(TColor32));
            CopySettingsFrom(*bitmap);
        }
    }));
}

bool TBitmap32::Equal(const TBitmap32* bitmap) const {
    bool otherEmpty = bitmap == nullptr || bitmap->Empty();
    if (Empty() || otherEmpty) return Empty() && otherEmpty;
    if (typeid(*this) != typeid(*bitmap)) return false;
    if (Width_ != bitmap->Width() || Height_ != bitmap->Height()) return false;
    return std::memcmp(bits_.get(), bitmap->Bits(), static_cast<size_t>(int64_t{Width_} * Height_) * sizeof(TColor32)) == 0;
}

// ------------------------------------------------------------ "Data" stream

void TBitmap32::ReadData(TStream& stream) {
    int32_t size[2] = {0, 0};
    stream.ReadBuffer(size, sizeof size);
    int32_t w = std::max(size[0], 0), h = std::max(size[1], 0);
    // Two sides of 32 bits multiply safely in 64; their four bytes a pixel
    // may not, so the count is held against the pixels left, not the bytes.
    const int64_t pixels = int64_t{w} * h;
    if (pixels > kMaxPixels || pixels > std::max<int64_t>(stream.Remaining(), 0) / 4)
        throw EReadError("Bitmap data is truncated: " + std::to_string(size[0]) + " x " + std::to_string(size[1]) +
                         " pixels do not fit in the bytes left");
    const int64_t pixelBytes = pixels * 4;
    // Read into a store of its own first so a failure leaves this bitmap
    // untouched; then take that store.
    TBitmap32 incoming;
    incoming.SetSize(w, h);
    if (!incoming.Empty()) stream.ReadBuffer(incoming.Bits(), pixelBytes);
    TellWholeChange(HoldingResize([&] {
        SetSize(w, h);
        if (!Empty()) bits_.swap(incoming.bits_);
    }));
}

void TBitmap32::WriteData(TStream& stream) const {
    int32_t size[2] = {Width_, Height_};
    stream.WriteBuffer(size, sizeof size);
    if (!Empty()) stream.WriteBuffer(bits_.get(), int64_t{Width_} * Height_ * 4);
}

bool TBitmap32::ShouldStoreData(const TPersistent* ancestor) const {
    if (ancestor == nullptr) return !Empty();
    if (const auto* bitmap = dynamic_cast<const TBitmap32*>(ancestor)) return !Equal(bitmap);
    return true;
}

void TBitmap32::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Data", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); },
        ShouldStoreData(nullptr));
}

// ------------------------------------------------------- whole-bitmap draws

void TBitmap32::DrawTo(TBitmap32* Dst) const { DrawTo(Dst, 0, 0); }

void TBitmap32::DrawTo(TBitmap32* Dst, int32_t X, int32_t Y) const { DrawTo(Dst, X, Y, BoundsRect()); }

void TBitmap32::DrawTo(TBitmap32* Dst, int32_t X, int32_t Y, const TRect& SrcRect) const {
    if (!Dst || Empty() || Dst->Empty()) return;
    BlockTransfer(Dst, X, Y, Dst->BoundsRect(), this, SrcRect, drawMode_, OnPixelCombine);
    Dst->Changed();
}

void TBitmap32::DrawTo(TBitmap32* Dst, const TRect& DstRect) const { DrawTo(Dst, DstRect, BoundsRect()); }

void TBitmap32::DrawTo(TBitmap32* Dst, const TRect& DstRect, const TRect& SrcRect) const {
    if (!Dst || Empty() || Dst->Empty()) return;
    StretchTransfer(Dst, DstRect, Dst->BoundsRect(), this, SrcRect, stretchFilter_, drawMode_, OnPixelCombine);
    Dst->Changed();
}

void TBitmap32::Draw(int32_t X, int32_t Y, const TBitmap32* Src) {
    if (Src) Src->DrawTo(this, X, Y);
}

void TBitmap32::Draw(int32_t X, int32_t Y, const TRect& SrcRect, const TBitmap32* Src) {
    if (Src) Src->DrawTo(this, X, Y, SrcRect);
}

void TBitmap32::Draw(const TRect& DstRect, const TRect& SrcRect, const TBitmap32* Src) {
    if (Src) Src->DrawTo(this, DstRect, SrcRect);
}

void TBitmap32::Draw(const TRect& DstRect, const TRect& SrcRect, const thorn::PixelView& Src) {
    if (Empty()) return;
    thorn::CopyStretched(PixelStore(), DstRect, Src, SrcRect);
    Changed();
}

void TBitmap32::DrawTo(const thorn::PixelView& Dst, int32_t X, int32_t Y) const {
    if (Empty()) return;
    thorn::CopyStretched(Dst, {X, Y, X + Width_, Y + Height_}, PixelStore(), BoundsRect());
}

void TBitmap32::DrawTo(const thorn::PixelView& Dst, const TRect& DstRect, const TRect& SrcRect) const {
    if (Empty()) return;
    thorn::CopyStretched(Dst, DstRect, PixelStore(), SrcRect);
}

void TBitmap32::TileTo(const thorn::PixelView& Dst, const TRect& DstRect, const TRect& SrcRect) const {
    constexpr int32_t kBlock = 1024;
    int64_t dstW = int64_t{DstRect.Right} - DstRect.Left, dstH = int64_t{DstRect.Bottom} - DstRect.Top;
    if (Empty() || dstW <= 0 || dstH <= 0 || Dst.bits == nullptr) return;
    // Only the blocks that land on the store are drawn.
    TRect visible;
    if (!IntersectRect(visible, DstRect, {0, 0, Dst.width, Dst.height}) || IsRectEmpty(visible)) return;
    for (int64_t by = 0; by < dstH; by += kBlock) {
        for (int64_t bx = 0; bx < dstW; bx += kBlock) {
            TRect area{static_cast<int32_t>(DstRect.Left + bx), static_cast<int32_t>(DstRect.Top + by),
                       static_cast<int32_t>(DstRect.Left + std::min<int64_t>(bx + kBlock, dstW)),
                       static_cast<int32_t>(DstRect.Top + std::min<int64_t>(by + kBlock, dstH))};
            TRect onStore;
            if (!IntersectRect(onStore, area, visible) || IsRectEmpty(onStore)) continue;
            // A fresh block each time: a blended stretch must not land on
            // the pixels of the block before.
            TBitmap32 block;
            block.SetSize(area.Width(), area.Height());
            TRect local = DstRect;
            OffsetRect(local, -area.Left, -area.Top);
            StretchTransfer(&block, local, block.BoundsRect(), this, SrcRect, stretchFilter_, drawMode_, OnPixelCombine);
            thorn::CopyStretched(Dst, area, block.PixelStore(), block.BoundsRect());
        }
    }
}

// ------------------------------------------------------ whole-bitmap geometry

void TBitmap32::Roll(int32_t Dx, int32_t Dy, bool FillBack, TColor32 FillColor) {
    if (Empty() || (Dx == 0 && Dy == 0)) return;
    if (std::abs(int64_t{Dx}) >= Width_ || std::abs(int64_t{Dy}) >= Height_) {
        if (FillBack) Clear(FillColor);
        return;
    }
    int64_t total = int64_t{Width_} * Height_;
    int64_t shift = int64_t{Dy} * Width_ + Dx;
    int64_t count = total - std::abs(shift);
    if (count > 0) {
        if (shift > 0)
            MoveLongword(bits_.get(), bits_.get() + shift, count);
        else
            MoveLongword(bits_.get() - shift, bits_.get(), count);
    }
    if (FillBack) {
        TRect r = BoundsRect();
        OffsetRect(r, Dx, Dy);
        IntersectRect(r, r, BoundsRect());
        BeginUpdate();
        if (r.Top > 0)
            FillRect(0, 0, Width_, r.Top, FillColor);
        else
            FillRect(0, r.Bottom, Width_, Height_, FillColor);
        if (r.Left > 0)
            FillRect(0, r.Top, r.Left, r.Bottom, FillColor);
        else
            FillRect(r.Right, r.Top, Width_, r.Bottom, FillColor);
        EndUpdate();
    }
    Changed();
}

void TBitmap32::FlipHorz(TBitmap32* Dst) {
    if (Dst == nullptr || Dst == this) {
        for (int32_t y = 0; y < Height_; ++y) std::reverse(ScanLine(y), ScanLine(y) + Width_);
        Changed();
        return;
    }
    Dst->TellWholeChange(Dst->HoldingResize([&] {
        Dst->SetSize(Width_, Height_);
        for (int32_t y = 0; y < Height_; ++y) std::reverse_copy(ScanLine(y), ScanLine(y) + Width_, Dst->ScanLine(y));
    }));
}

void TBitmap32::FlipVert(TBitmap32* Dst) {
    if (Dst == nullptr || Dst == this) {
        for (int32_t y = 0; y < Height_ / 2; ++y) std::swap_ranges(ScanLine(y), ScanLine(y) + Width_, ScanLine(Height_ - 1 - y));
        Changed();
        return;
    }
    Dst->TellWholeChange(Dst->HoldingResize([&] {
        Dst->SetSize(Width_, Height_);
        for (int32_t y = 0; y < Height_; ++y) std::copy_n(ScanLine(Height_ - 1 - y), Width_, Dst->ScanLine(y));
    }));
}

namespace {

// Writes the source turned a quarter: clockwise when clockwise, else
// counter-clockwise. The target must already be Height x Width.
void RotateQuarter(const TBitmap32& src, TBitmap32& dst, bool clockwise) {
    int32_t w = src.Width(), h = src.Height();
    for (int32_t y = 0; y < h; ++y) {
        const TColor32* row = src.ScanLine(y);
        for (int32_t x = 0; x < w; ++x) {
            if (clockwise)
                *dst.PixelPtr(h - 1 - y, x) = row[x];
            else
                *dst.PixelPtr(y, w - 1 - x) = row[x];
        }
    }
}

}  // namespace

void TBitmap32::Rotate90(TBitmap32* Dst) { RotateQuarterTurn(Dst, true); }

void TBitmap32::Rotate270(TBitmap32* Dst) { RotateQuarterTurn(Dst, false); }

void TBitmap32::RotateQuarterTurn(TBitmap32* Dst, bool clockwise) {
    if (Dst == nullptr || Dst == this) {
        // The pixels move to other places in a store of another shape:
        // build the result aside, then take it.
        TBitmap32 turned;
        turned.CopySettingsFrom(*this);
        turned.SetSize(Height_, Width_);
        RotateQuarter(*this, turned, clockwise);
        Assign(turned);
        return;
    }
    Dst->TellWholeChange(Dst->HoldingResize([&] {
        Dst->SetSize(Height_, Width_);
        RotateQuarter(*this, *Dst, clockwise);
    }));
}

void TBitmap32::Rotate180(TBitmap32* Dst) {
    int64_t n = int64_t{Width_} * Height_;
    if (Dst == nullptr || Dst == this) {
        if (!Empty()) std::reverse(bits_.get(), bits_.get() + n);
        Changed();
        return;
    }
    Dst->TellWholeChange(Dst->HoldingResize([&] {
        Dst->SetSize(Width_, Height_);
        if (!Empty()) std::reverse_copy(bits_.get(), bits_.get() + n, Dst->Bits());
    }));
}
