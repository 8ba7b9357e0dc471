#include "editor/ProvinceBlink.h"

#include "editor/Main.h"
#include "model/BitmapHelpers.h"

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
    BlinkPhase = BlinkPhase < kLastPhase ? static_cast<uint8_t>(BlinkPhase + 1) : 1;
}
