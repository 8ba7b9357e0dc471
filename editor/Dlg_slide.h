#pragma once

#include <cstdint>
#include <string_view>

#include "gui/Forms.h"
#include "gui/Label.h"
#include "gui/ProgressBar.h"

// "Progress...": what a long operation of the project shows while it runs,
// its step's caption over a bar.
class TFormSlide : public TForm {
public:
    explicit TFormSlide(TComponent& owner);

    // The step's caption, painted at once, and the bar's maximum (step 1);
    // the bar keeps its position.
    void ShowStep(std::string_view caption, int32_t steps);

    TLabel* LbStat = nullptr;
    TProgressBar* PBSlide = nullptr;
};
