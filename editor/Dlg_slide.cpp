#include "editor/Dlg_slide.h"

#include <string>

TFormSlide::TFormSlide(TComponent& owner) {
    SetName("FormSlide");
    SetCaption("Progress...");
    SetBorderStyle(bsSingle);
    SetPosition(poDesktopCenter);
    SetClientWidth(285);
    SetClientHeight(55);

    LbStat = thorn::Make<TLabel>(*this);
    LbStat->SetName("LbStat");
    LbStat->SetAutoSize(false);
    LbStat->SetCaption("");
    LbStat->SetParent(this);
    LbStat->SetBounds(6, 8, 274, 18);

    PBSlide = thorn::Make<TProgressBar>(*this);
    PBSlide->SetName("PBSlide");
    PBSlide->SetParent(this);
    PBSlide->SetBounds(6, 28, 273, 17);
    PBSlide->SetRange(0, 10);
}

void TFormSlide::ShowStep(std::string_view caption, int32_t steps) {
    LbStat->SetCaption(std::string(caption));
    LbStat->Repaint();
    // A maximum below the minimum would be refused: an operation of no
    // steps shows an empty bar.
    PBSlide->SetMax(steps > 0 ? steps : 0);
    PBSlide->SetStep(1);
}
