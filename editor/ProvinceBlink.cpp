#include "editor/ProvinceBlink.h"

#include "editor/Main.h"
#include "model/BitmapHelpers.h"
#include "platform/Classes.h"

namespace {

constexpr uint8_t kLastPhase = 4;

}  // namespace

void StartProvinceBlink(CProvince* province) {
    StopProvinceBlink();
    BlinkProvince = province;
    BlinkPhase = 1;
    if (MainForm) MainForm->Timer->SetEnabled(true);
}

void StopProvinceBlink() {
    if (MainForm) MainForm->Timer->SetEnabled(false);
    if (BlinkProvince && MapProject && BlinkProvince->MapPieceIndex != -1)
        MapProject->RedrawPiece(static_cast<uint16_t>(BlinkProvince->MapPieceIndex & 0xFFFF));
    BlinkProvince = nullptr;
    BlinkPhase = 0;
}

void TMainForm::TimerTimer(TObject* sender) {
    if (!BlinkProvince || !MapProject || BlinkProvince->MapPieceIndex == -1) return;
    const uint16_t n = static_cast<uint16_t>(BlinkProvince->MapPieceIndex & 0xFFFF);
    CProvinceMap* piece = MapProject->MapPieces.GetAt(n);
    // Only the piece changes: the world's bitmap is told nothing while it is
    // drawn, and the view repaints the piece's box alone, not all it shows.
    TBitmap32& world = *ImgVWorld->BitmapAsIs();
    thorn::WithinUpdate(world, [&] {
        switch (BlinkPhase) {
            case 1:
            case 3:
                if (piece && piece->Mask) {
                    if (BlinkPhase == 1)
                        DarkenBitmap(*piece->Mask);
                    else
                        LightenBitmap(*piece->Mask);
                    MapProject->DrawMapPiece(n);
                }
                break;
            case 2:
            case kLastPhase: MapProject->RedrawPiece(n); break;
            default: break;
        }
    });
    if (piece) {
        const TBitmap32& mask = piece->Mask.AsIs();
        ImgVWorld->BitmapAreaChanged({piece->Left, piece->Top, piece->Left + mask.Width(), piece->Top + mask.Height()});
    }
    BlinkPhase = BlinkPhase < kLastPhase ? static_cast<uint8_t>(BlinkPhase + 1) : 1;
}
