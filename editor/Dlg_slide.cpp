#include "editor/Dlg_slide.h"

#include <string>

TFormSlide::TFormSlide(TComponent& owner) {
    SetName("FormSlide");
    SetCaption("Progress...");
    SetWindowKind(thorn::WindowKind::Dialog);
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
    // A maximum below the minimum would be refused: an operation of no
    // steps shows an empty bar. A step begins with none of it done: the bar
    // of the step before would show it finished already.
    PBSlide->SetMax(steps > 0 ? steps : 0);
    PBSlide->SetStep(1);
    PBSlide->SetPosition(PBSlide->GetMin());
    // Painted at once: the operation may hold the loop until its first
    // position.
    Repaint();
}
