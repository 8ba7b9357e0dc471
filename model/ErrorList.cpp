#include "model/ErrorList.h"

#include <new>

#include "model/BitmapHelpers.h"
#include "model/mapproject.h"

namespace {

constexpr int32_t kMarked = static_cast<int32_t>(0xFFFF0000u);

}  // namespace

// ------------------------------------------------------------------ list

// The warnings go without being hidden: the project they would repaint may
// be going too.
CErrorList::~CErrorList() = default;

int CErrorList::Add(std::unique_ptr<CErrorBase> warning) {
    if (!warning) return -1;
    try {
        warnings_.push_back(std::move(warning));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<int>(warnings_.size() - 1);
}

CErrorList::CErrorBase* CErrorList::GetAt(int32_t i) const {
    return i >= 0 && i < GetCount() ? warnings_[static_cast<size_t>(i)].get() : nullptr;
}

void CErrorList::Clear() {
    SetCurrent(nullptr);
    project_.Editor().SetWarningRowCount(0);
    warnings_.clear();
}

void CErrorList::SetCurrent(CErrorBase* warning) {
    CErrorBase* shown = current_;
    current_ = nullptr;
    if (shown) shown->Hide();
    current_ = warning;
}

void CErrorList::FillListView() {
    thorn::EditorLink& editor = project_.Editor();
    editor.SetWarningRowCount(GetCount());
    for (int32_t i = 0; i < GetCount(); ++i) {
        CErrorBase& warning = *warnings_[static_cast<size_t>(i)];
        editor.SetWarningRow(i, warning.GetText(), &warning, warning.GetImageIndex());
    }
}

// ------------------------------------------------------------- connected

CErrorConnect::CErrorConnect(CMapProject& project, const CProvinceMap& absorbed, CProvinceMap* absorbing)
    : project_(project),
      piece_(absorbing),
      left_(absorbed.Left),
      top_(absorbed.Top),
      right_(static_cast<uint16_t>(absorbed.Right + 1)),
      bottom_(static_cast<uint16_t>(absorbed.Bottom + 1)) {
    const TBitmap32& mask = *absorbed.Mask;
    pixels_.Resize(mask.Width(), mask.Height());
    for (int32_t y = 0; y < mask.Height(); ++y)
        for (int32_t x = 0; x < mask.Width(); ++x)
            if (mask.GetPixel(x, y) != 0) pixels_.Set(x, y, kMarked);
}

std::string CErrorConnect::GetText() const {
    const CProvince* province = project_.FindProvinceByMapPiece(piece_);
    return std::string("Piece was connected to ") +
           (province ? project_.CurrentProvinceName(province) : std::string("<unhandled map>"));
}

void CErrorConnect::Show() {
    project_.ErrorList.SetCurrent(this);
    project_.Editor().ClearSelection();
    const uint16_t n = project_.MapPieces.IndexOf(piece_);
    if (n == CProvinceMap::kNoPiece) return;
    project_.SelectMapPiece(n);
    TBitmap32& mask = *piece_->Mask;
    for (int32_t y = 0; y < pixels_.Height(); ++y)
        for (int32_t x = 0; x < pixels_.Width(); ++x)
            if (const int32_t cell = pixels_.Get(x, y); cell != -1)
                mask.SetPixelS(left_ + x - piece_->Left, top_ + y - piece_->Top, static_cast<TColor32>(cell));
    project_.DrawMapPiece(n);
    project_.ScrollViewTo(static_cast<uint16_t>((left_ + right_ + 1) / 2), static_cast<uint16_t>((top_ + bottom_ + 1) / 2));
}

void CErrorConnect::Hide() {
    const uint16_t n = project_.MapPieces.IndexOf(piece_);
    if (n == CProvinceMap::kNoPiece) return;
    project_.RedrawPiece(n);
    project_.DeselectMapPiece(n);
}

// ------------------------------------------------------------- converted

CErrorConverted::CErrorConverted(CMapProject& project, CProvinceMap* piece, std::string text)
    : project_(project), piece_(piece), text_(std::move(text)) {}

void CErrorConverted::Show() {
    project_.ErrorList.SetCurrent(this);
    const uint16_t n = project_.MapPieces.IndexOf(piece_);
    if (n == CProvinceMap::kNoPiece) return;
    FillNonZeroPixels(piece_->Mask.get(), 0xFFFF0000);
    project_.DrawMapPiece(n);
    project_.ScrollViewTo(static_cast<uint16_t>((piece_->Left + piece_->Right) / 2),
                          static_cast<uint16_t>((piece_->Top + piece_->Bottom) / 2));
}

void CErrorConverted::Hide() {
    const uint16_t n = project_.MapPieces.IndexOf(piece_);
    if (n == CProvinceMap::kNoPiece) return;
    project_.RedrawPiece(n);
    project_.DeselectMapPiece(n);
}
