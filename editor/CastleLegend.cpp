#include "editor/CastleLegend.h"

#include <string>

#include "editor/Dlg_options.h"
#include "editor/Main.h"
#include "gui/Label.h"

void BuildCastleLegend() {
    if (!DlgOptions || !MainForm || !MapProject) return;
    TScrollBox& box = *DlgOptions->ScBImages;
    for (int count = box.GetControlCount(); count > 0; --count) {
        TControl* control = box.GetControl(0);
        box.RemoveControl(control);
        if (control->GetOwner()) thorn::Free(control);
    }
    const CStringTable* table = MapProject->Tables.GetAt(MapProject->CurrentStringTable);
    const TBitmap32List& pictures = *MainForm->BLCastleImages;
    const int pictureCount = pictures.GetBitmaps()->GetCount();
    for (int i = 0; i < MapProject->NumCastleTypes; ++i) {
        TImage32* image = thorn::Make<TImage32>(box);
        image->SetName("ImgCastle" + std::to_string(i));
        box.InsertControl(image);
        image->SetBounds(48, 25 * i + 8, 20, 24);
        // A catalogue with fewer pictures than types leaves the row without one.
        if (i < pictureCount) image->SetBitmap(*pictures.GetBitmap(i));

        TLabel* label = thorn::Make<TLabel>(box);
        label->SetName("LbCastle" + std::to_string(i));
        label->SetAutoSize(false);
        box.InsertControl(label);
        label->SetBounds(76, 25 * i + 16, 150, label->GetHeight());
        label->SetCaption(table ? table->GetCastleTypeName(static_cast<uint8_t>(i)) : std::string());
    }
}
