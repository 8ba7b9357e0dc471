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

    // The step's caption and the bar's maximum (step 1), the bar at its
    // start, painted at once when the window shows.
    void ShowStep(std::string_view caption, int32_t steps);

    TLabel* LbStat = nullptr;
    TProgressBar* PBSlide = nullptr;
};
