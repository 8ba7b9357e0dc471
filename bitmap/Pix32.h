#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Pictures.h"
#include "platform/Streams.h"
#include "platform/Types.h"

// The 32-bit picture type of the editor and the value types under it:
// colours, 16.16 fixed point, points and rectangles.

// ---------------------------------------------------------------- colours

// Alpha in bits 24..31, then red, green and blue; in memory the bytes are
// blue, green, red, alpha. $FF000000 is opaque black, alpha 0 transparent.
using TColor32 = uint32_t;
using PColor32 = TColor32*;
// An open run of colours (a row of pixels, a palette), and a dynamic array.
using TColor32Array = std::span<TColor32>;
using TArrayOfColor32 = std::vector<TColor32>;

using TArrayOfByte = std::vector<uint8_t>;
using TArrayOfInteger = std::vector<int32_t>;
using TArrayOfArrayOfInteger = std::vector<TArrayOfInteger>;
using TArrayOfSingle = std::vector<float>;

inline constexpr TColor32 clBlack32 = 0xFF000000u;
inline constexpr TColor32 clWhite32 = 0xFFFFFFFFu;

// A GUI colour as an opaque TColor32; system colours are resolved first.
TColor32 Color32(TColor color);
constexpr TColor32 Color32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return static_cast<TColor32>(a) << 24 | static_cast<TColor32>(r) << 16 | static_cast<TColor32>(g) << 8 | b;
}
inline TColor32 Color32(uint8_t index, const TArrayOfColor32& palette) { return palette.at(index); }
constexpr TColor32 Gray32(uint8_t intensity, uint8_t alpha = 255) {
    return static_cast<TColor32>(alpha) << 24 | intensity * 0x010101u;
}
// $00BBGGRR of the colour's red, green and blue.
constexpr TColor WinColor(TColor32 c) {
    return static_cast<TColor>((c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16);
}
// The colours[0..high].
TArrayOfColor32 ArrayOfColor32(const TColor32* colors, int32_t high);

constexpr int32_t RedComponent(TColor32 c) { return c >> 16 & 0xFF; }
constexpr int32_t GreenComponent(TColor32 c) { return c >> 8 & 0xFF; }
constexpr int32_t BlueComponent(TColor32 c) { return c & 0xFF; }
constexpr int32_t AlphaComponent(TColor32 c) { return c >> 24; }
constexpr int32_t Intensity(TColor32 c) { return (RedComponent(c) * 61 + GreenComponent(c) * 174 + BlueComponent(c) * 21) >> 8; }
// The alpha replaced by newAlpha clamped to 0..255.
constexpr TColor32 SetAlpha(TColor32 c, int32_t newAlpha) {
    uint32_t a = newAlpha < 0 ? 0 : newAlpha > 255 ? 255 : static_cast<uint32_t>(newAlpha);
    return (c & 0x00FFFFFFu) | a << 24;
}

// Hue, saturation and lightness in 0..1.
TColor32 HSLtoRGB(float H, float S, float L);
void RGBtoHSL(TColor32 C, float& H, float& S, float& L);

// Round(255 * (i/255)^gamma) for i = 0..255; filled with 0.7 at start.
extern std::array<uint8_t, 256> GAMMA_TABLE;
void SetGamma(float Gamma);

// ------------------------------------------------------------- fixed point

// value * 65536: 16 integer bits with sign, 16 fraction bits.
using TFixed = int32_t;

TFixed Fixed(float value);
constexpr TFixed Fixed(int32_t value) { return static_cast<TFixed>(static_cast<uint32_t>(value) << 16); }
constexpr int32_t FixedFloor(TFixed f) { return f >> 16; }
constexpr int32_t FixedCeil(TFixed f) { return static_cast<int32_t>((static_cast<int64_t>(f) + 0xFFFF) >> 16); }
// A fraction of exactly one half rounds down.
constexpr int32_t FixedRound(TFixed f) { return static_cast<int32_t>((static_cast<int64_t>(f) + 0x7FFF) >> 16); }
constexpr TFixed FixedMul(TFixed a, TFixed b) {
    return static_cast<TFixed>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(a) * b >> 16)));
}
// Truncated toward zero; b must not be 0.
TFixed FixedDiv(TFixed a, TFixed b);

namespace thorn {
// Round half to even, kept inside 32 bits: a value beyond them (or NaN,
// which gives the lowest) cannot wrap round.
int32_t RoundToInt(double v);
}  // namespace thorn

// ----------------------------------------------------------------- geometry

struct TFloatPoint {
    float X = 0;
    float Y = 0;
    bool operator==(const TFloatPoint&) const = default;
};

struct TFixedPoint {
    TFixed X = 0;
    TFixed Y = 0;
    bool operator==(const TFixedPoint&) const = default;
};

struct TFloatRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
    bool operator==(const TFloatRect&) const = default;
};

struct TFixedRect {
    TFixed Left = 0;
    TFixed Top = 0;
    TFixed Right = 0;
    TFixed Bottom = 0;
    bool operator==(const TFixedRect&) const = default;
};

enum TRectRounding : uint8_t { rrClosest, rrOutside, rrInside };

using TArrayOfPoint = std::vector<TPoint>;
using TArrayOfArrayOfPoint = std::vector<TArrayOfPoint>;
using TArrayOfFloatPoint = std::vector<TFloatPoint>;
using TArrayOfArrayOfFloatPoint = std::vector<TArrayOfFloatPoint>;
using TArrayOfFixedPoint = std::vector<TFixedPoint>;
using TArrayOfArrayOfFixedPoint = std::vector<TArrayOfFixedPoint>;

inline constexpr TRect ZERO_RECT{0, 0, 0, 0};

constexpr TPoint Point(int32_t x, int32_t y) { return {x, y}; }
TPoint Point(const TFloatPoint& p);
constexpr TPoint Point(const TFixedPoint& p) { return {FixedRound(p.X), FixedRound(p.Y)}; }
constexpr TFloatPoint FloatPoint(float x, float y) { return {x, y}; }
constexpr TFloatPoint FloatPoint(const TPoint& p) { return {static_cast<float>(p.X), static_cast<float>(p.Y)}; }
constexpr TFloatPoint FloatPoint(const TFixedPoint& p) { return {p.X * (1.0f / 65536), p.Y * (1.0f / 65536)}; }
constexpr TFixedPoint FixedPoint(int32_t x, int32_t y) { return {Fixed(x), Fixed(y)}; }
inline TFixedPoint FixedPoint(float x, float y) { return {Fixed(x), Fixed(y)}; }
constexpr TFixedPoint FixedPoint(const TPoint& p) { return {Fixed(p.X), Fixed(p.Y)}; }
inline TFixedPoint FixedPoint(const TFloatPoint& p) { return {Fixed(p.X), Fixed(p.Y)}; }

constexpr TRect MakeRect(int32_t l, int32_t t, int32_t r, int32_t b) { return {l, t, r, b}; }
TRect MakeRect(const TFloatRect& r, TRectRounding rounding = rrClosest);
TRect MakeRect(const TFixedRect& r, TRectRounding rounding = rrClosest);
constexpr TFloatRect FloatRect(float l, float t, float r, float b) { return {l, t, r, b}; }
constexpr TFloatRect FloatRect(const TRect& r) {
    return {static_cast<float>(r.Left), static_cast<float>(r.Top), static_cast<float>(r.Right),
            static_cast<float>(r.Bottom)};
}

// The overlap of r1 and r2; touching rectangles count. When there is none,
// dst becomes all zero and the answer is false.
bool IntersectRect(TRect& dst, const TRect& r1, const TRect& r2);
bool IntersectRectF(TFloatRect& dst, const TFloatRect& r1, const TFloatRect& r2);
constexpr bool EqualRect(const TRect& r1, const TRect& r2) { return r1 == r2; }
void InflateRect(TRect& r, int32_t dx, int32_t dy);
void InflateRectF(TFloatRect& r, float dx, float dy);
void OffsetRect(TRect& r, int32_t dx, int32_t dy);
void OffsetRectF(TFloatRect& r, float dx, float dy);
constexpr bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr bool IsRectEmptyF(const TFloatRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr bool PtInRect(const TRect& r, const TPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// ------------------------------------------------------- drawing settings

enum TDrawMode : uint8_t { dmOpaque, dmBlend, dmCustom };
enum TStretchFilter : uint8_t { sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell };

// Combines a source colour F into the destination pixel B; M is the source
// bitmap's master alpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

// --------------------------------------------------------- object bases

// Change notification with an update counter, and a lock.
class TThreadPersistent : public TPersistent {
public:
    TThreadPersistent() = default;
    ~TThreadPersistent() override;
    TThreadPersistent(const TThreadPersistent&) = delete;
    TThreadPersistent& operator=(const TThreadPersistent&) = delete;

    void BeginUpdate() { ++UpdateCount; }
    // Throws when there was no matching BeginUpdate; never notifies.
    void EndUpdate();
    // Calls OnChange unless an update is in progress.
    virtual void Changed();

    void Lock();
    void Unlock();
    int32_t LockCount() const;
    int32_t GetUpdateCount() const { return UpdateCount; }

    TNotifyEvent OnChange;

protected:
    // Whether the object outlived what ran while the watch stood: a handler
    // of a notification may free the object's owner, and the object with
    // it, and the code that told must then stop. Watches of one object end
    // in the reverse order of their start, as scopes do.
    class LifeWatch {
    public:
        explicit LifeWatch(TThreadPersistent& object) : object_(&object), next_(object.watches_) {
            object.watches_ = this;
        }
        ~LifeWatch() {
            if (object_) object_->watches_ = next_;
        }
        LifeWatch(const LifeWatch&) = delete;
        LifeWatch& operator=(const LifeWatch&) = delete;
        bool Gone() const { return object_ == nullptr; }

    private:
        friend class TThreadPersistent;
        TThreadPersistent* object_;
        LifeWatch* next_;
    };

    int32_t UpdateCount = 0;

private:
    std::recursive_mutex lock_;
    int32_t lockCount_ = 0;
    LifeWatch* watches_ = nullptr;
};

// Width, height and the resizing protocol.
class TCustomMap : public TThreadPersistent {
public:
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }

    // Negative sizes become 0. Answers whether the size changed; a change
    // runs ChangeSize, then Changed, then Resized.
    virtual bool SetSize(int32_t NewWidth, int32_t NewHeight);
    bool SetWidth(int32_t value) { return SetSize(value, Height_); }
    bool SetHeight(int32_t value) { return SetSize(Width_, value); }
    // The size of another map, or (0, 0) for none; other sources throw.
    bool SetSizeFrom(const TPersistent* source);

    virtual void Delete() { SetSize(0, 0); }
    virtual bool Empty() const { return Width_ == 0 || Height_ == 0; }
    virtual void Resized();

    // Runs body, a change of the size and the content together, inside an
    // update bracket with Resized held back too, so that nobody is told of
    // a change half made; answers whether the size changed. The caller
    // tells afterwards (TellWholeChange).
    bool HoldingResize(const std::function<void()>& body);
    // Changed, then Resized when the size changed, unless a handler of
    // OnChange freed the map (with its owner, say). Inside a change that
    // holds the resize back, that change tells instead.
    void TellWholeChange(bool resized);

    TNotifyEvent OnResize;

protected:
    virtual void ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight);

    int32_t Width_ = 0;
    int32_t Height_ = 0;

private:
    bool holdingResize_ = false;
    bool resizeHeld_ = false;
};

// Pen, brush and font drawing on a bitmap (bitmap/Canvas.h).
class TCanvas;

// ------------------------------------------------------------------ bitmap

// A 32-bit picture: Width x Height TColor32 pixels, row 0 at the top, pixel
// (x, y) at index y*Width + x. SetSize gives a zero-filled store.
class TBitmap32 : public TCustomMap {
public:
    TBitmap32();
    ~TBitmap32() override;

    // -- storage
    bool Empty() const override;
    void Delete() override { SetSize(0, 0); }
    TColor32* Bits() const { return bits_.get(); }
    TColor32* ScanLine(int32_t y) const { return bits_.get() + static_cast<int64_t>(y) * Width_; }
    TColor32* PixelPtr(int32_t x, int32_t y) const { return ScanLine(y) + x; }
    TRect BoundsRect() const { return {0, 0, Width_, Height_}; }
    // The pixels as the platform's text and picture code sees them.
    thorn::PixelView PixelStore() const { return {bits_.get(), Width_, Height_}; }

    // Opaque black when no colour is given; an empty bitmap is left alone
    // and gives no notification.
    void Clear() { Clear(clBlack32); }
    void Clear(TColor32 color);
    void ResetAlpha();

    // -- settings (each stores and notifies only on a change)
    TDrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(TDrawMode value);
    uint32_t MasterAlpha() const { return masterAlpha_; }
    // Taken as 255 when above.
    void SetMasterAlpha(uint32_t value);
    TStretchFilter StretchFilter() const { return stretchFilter_; }
    void SetStretchFilter(TStretchFilter value);
    TColor32 OuterColor() const { return outerColor_; }
    void SetOuterColor(TColor32 value) { outerColor_ = value; }
    TColor32 PenColor() const { return penColor_; }
    void SetPenColor(TColor32 value) { penColor_ = value; }

    // -- copying and files
    using TPersistent::Assign;
    void Assign(const TPersistent& source) override;
    // A null source empties the bitmap.
    void Assign(const TPersistent* source);
    // The "Data" stream: int32 width, int32 height, then the pixels top row
    // first. Reading checks the sizes against the bytes left before it
    // allocates; a short or hostile stream throws EReadError and leaves the
    // bitmap as it was.
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream) const;
    // Whether a form file stores "Data" for this bitmap against an ancestor
    // (null: none).
    bool ShouldStoreData(const TPersistent* ancestor) const;
    // The pixels stored as the binary property "Data" of a form stream,
    // when the bitmap is not empty (a form stream names no ancestor).
    void DefineProperties(TFiler& filer) override;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::filesystem::path& fileName);
    // A picture larger than the limits is refused from its header, before
    // its pixels are read.
    void LoadFromFile(const std::filesystem::path& fileName, const thorn::PictureLimits& limits);
    void SaveToFile(const std::filesystem::path& fileName) const;
    // Same class, same size and same pixels; both empty also counts. No
    // bitmap counts as an empty one.
    bool Equal(const TBitmap32* bitmap) const;

    // -- whole-bitmap transfers (each calls Changed on the target once)
    void DrawTo(TBitmap32* Dst) const;
    void DrawTo(TBitmap32* Dst, int32_t X, int32_t Y) const;
    void DrawTo(TBitmap32* Dst, int32_t X, int32_t Y, const TRect& SrcRect) const;
    void DrawTo(TBitmap32* Dst, const TRect& DstRect) const;
    void DrawTo(TBitmap32* Dst, const TRect& DstRect, const TRect& SrcRect) const;
    void Draw(int32_t X, int32_t Y, const TBitmap32* Src);
    void Draw(int32_t X, int32_t Y, const TRect& SrcRect, const TBitmap32* Src);
    void Draw(const TRect& DstRect, const TRect& SrcRect, const TBitmap32* Src);
    // Copies the four bytes of each pixel as they are (alpha not honoured)
    // between this bitmap and another pixel store, stretching by nearest
    // pixel when the sizes differ and clipping to both stores.
    void Draw(const TRect& DstRect, const TRect& SrcRect, const thorn::PixelView& Src);
    void DrawTo(const thorn::PixelView& Dst, int32_t X, int32_t Y) const;
    void DrawTo(const thorn::PixelView& Dst, const TRect& DstRect, const TRect& SrcRect) const;
    // A stretched copy into a pixel store through blocks of 1024 x 1024.
    void TileTo(const thorn::PixelView& Dst, const TRect& DstRect, const TRect& SrcRect) const;

    // -- whole-bitmap geometry
    void Roll(int32_t Dx, int32_t Dy, bool FillBack, TColor32 FillColor);
    void FlipHorz(TBitmap32* Dst = nullptr);
    void FlipVert(TBitmap32* Dst = nullptr);
    void Rotate90(TBitmap32* Dst = nullptr);
    void Rotate180(TBitmap32* Dst = nullptr);
    void Rotate270(TBitmap32* Dst = nullptr);

    // -- single pixels (unchecked, S = checked, B = border-extended)
    TColor32 GetPixel(int32_t x, int32_t y) const { return *PixelPtr(x, y); }
    void SetPixel(int32_t x, int32_t y, TColor32 value) { *PixelPtr(x, y) = value; }
    TColor32 GetPixelS(int32_t x, int32_t y) const;
    void SetPixelS(int32_t x, int32_t y, TColor32 value);
    TColor32 GetPixelB(int32_t x, int32_t y) const;
    void SetPixelT(int32_t x, int32_t y, TColor32 value);
    void SetPixelT(TColor32*& ptr, TColor32 value);
    void SetPixelTS(int32_t x, int32_t y, TColor32 value);
    // Splats at (x/256, y/256) over four pixels.
    void SET_T256(int32_t x, int32_t y, TColor32 value);
    void SET_TS256(int32_t x, int32_t y, TColor32 value);
    void SetPixelF(float x, float y, TColor32 value);
    void SetPixelX(TFixed x, TFixed y, TColor32 value);
    void SetPixelFS(float x, float y, TColor32 value);
    void SetPixelXS(TFixed x, TFixed y, TColor32 value);

    // -- stipple
    void SetStipple(const TArrayOfColor32& pattern);
    void SetStipple(const TColor32* colors, int32_t high);
    void AdvanceStippleCounter(float lengthPixels);
    TColor32 GetStippleColor();
    float StippleCounter() const { return stippleCounter_; }
    void SetStippleCounter(float value) { stippleCounter_ = value; }
    float StippleStep() const { return stippleStep_; }
    void SetStippleStep(float value) { stippleStep_ = value; }

    // -- runs (no notification)
    void HorzLine(int32_t x1, int32_t y, int32_t x2, TColor32 value);
    void HorzLineS(int32_t x1, int32_t y, int32_t x2, TColor32 value);
    void HorzLineT(int32_t x1, int32_t y, int32_t x2, TColor32 value);
    void HorzLineTS(int32_t x1, int32_t y, int32_t x2, TColor32 value);
    void HorzLineTSP(int32_t x1, int32_t y, int32_t x2);
    void VertLine(int32_t x, int32_t y1, int32_t y2, TColor32 value);
    void VertLineS(int32_t x, int32_t y1, int32_t y2, TColor32 value);
    void VertLineT(int32_t x, int32_t y1, int32_t y2, TColor32 value);
    void VertLineTS(int32_t x, int32_t y1, int32_t y2, TColor32 value);
    void VertLineTSP(int32_t x, int32_t y1, int32_t y2);

    // -- lines (end points inclusive; the last one drawn only when L)
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineT(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineA(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineAS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L = false);
    void LineX(TFixed x1, TFixed y1, TFixed x2, TFixed y2, TColor32 value, bool L = false);
    void LineXS(TFixed x1, TFixed y1, TFixed x2, TFixed y2, TColor32 value, bool L = false);
    void LineXP(TFixed x1, TFixed y1, TFixed x2, TFixed y2, bool L = false);
    void LineXSP(TFixed x1, TFixed y1, TFixed x2, TFixed y2, bool L = false);
    void LineF(float x1, float y1, float x2, float y2, TColor32 value, bool L = false);
    void LineFS(float x1, float y1, float x2, float y2, TColor32 value, bool L = false);
    void LineFP(float x1, float y1, float x2, float y2, bool L = false);
    void LineFSP(float x1, float y1, float x2, float y2, bool L = false);

    // -- pen
    void MoveTo(int32_t x, int32_t y);
    void LineToS(int32_t x, int32_t y);
    void LineToTS(int32_t x, int32_t y);
    void LineToAS(int32_t x, int32_t y);
    void MoveToX(TFixed x, TFixed y);
    void MoveToF(float x, float y);
    void LineToXS(TFixed x, TFixed y);
    void LineToXSP(TFixed x, TFixed y);
    void LineToFS(float x, float y);
    void LineToFSP(float x, float y);

    // -- rectangles (half-open)
    void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FillRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FillRectT(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FillRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FillRectS(const TRect& r, TColor32 value) { FillRectS(r.Left, r.Top, r.Right, r.Bottom, value); }
    void FillRectTS(const TRect& r, TColor32 value) { FillRectTS(r.Left, r.Top, r.Right, r.Bottom, value); }
    void FrameRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FrameRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
    void FrameRectTSP(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void FrameRectS(const TRect& r, TColor32 value) { FrameRectS(r.Left, r.Top, r.Right, r.Bottom, value); }
    void FrameRectTS(const TRect& r, TColor32 value) { FrameRectTS(r.Left, r.Top, r.Right, r.Bottom, value); }
    void RaiseRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t contrast);
    void RaiseRectTS(const TRect& r, int32_t contrast) { RaiseRectTS(r.Left, r.Top, r.Right, r.Bottom, contrast); }

    // -- text (single-byte Windows-1252)
    const TFont& Font() const { return font_; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& font);
    void FontChanged(TObject* sender);
    void UpdateFont();
    TSize TextExtent(std::string_view text);
    int32_t TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int32_t TextHeight(std::string_view text) { return TextExtent(text).cy; }
    void Textout(int32_t x, int32_t y, std::string_view text);
    void Textout(int32_t x, int32_t y, const TRect& clipRect, std::string_view text);
    void Textout(const TRect& dstRect, uint32_t flags, std::string_view text);
    // Smoothed text in the given colour and opacity, top-left at (x, y).
    void RenderText(int32_t x, int32_t y, std::string_view text, int32_t AALevel, TColor32 color);

    // -- pen, brush and font drawing on these pixels, made on first use
    TCanvas* Canvas();
    bool CanvasAllocated() const { return canvas_ != nullptr; }
    void DeleteCanvas();

    TNotifyEvent OnHandleChanged;
    TPixelCombineEvent OnPixelCombine;

protected:
    void ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) override;
    virtual void HandleChanged();

private:
    struct FreeDeleter {
        void operator()(TColor32* p) const;
    };

    void ReleaseStore();
    void CopySettingsFrom(const TBitmap32& source);
    // Rotate90 (clockwise) and Rotate270.
    void RotateQuarterTurn(TBitmap32* Dst, bool clockwise);
    void BlendAt(int32_t x, int32_t y, TColor32 value, uint32_t masterAlpha);
    // The sub-pixel line walk of LineX and LineXP; stippled when value is
    // null, checked (splats clipped to the bitmap) when checked.
    void LineXWalk(TFixed x1, TFixed y1, TFixed x2, TFixed y2, const TColor32* value, bool L, bool checked);

    std::unique_ptr<TColor32, FreeDeleter> bits_;
    std::unique_ptr<TCanvas> canvas_;
    TFont font_;
    bool fontSelected_ = false;
    TDrawMode drawMode_ = dmOpaque;
    uint32_t masterAlpha_ = 255;
    TColor32 outerColor_ = 0;
    TColor32 penColor_ = 0xFFFFFFFFu;
    float stippleCounter_ = 0;
    TArrayOfColor32 stipplePattern_;
    float stippleStep_ = 1.0f;
    TStretchFilter stretchFilter_ = sfNearest;
    int32_t rasterX_ = 0;
    int32_t rasterY_ = 0;
    TFixed rasterXF_ = 0;
    TFixed rasterYF_ = 0;
    bool destroying_ = false;
};
