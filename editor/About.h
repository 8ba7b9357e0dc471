#pragma once

#include "gui/Forms.h"

// The modal about box.
class TFrmAbout : public TForm {
public:
    explicit TFrmAbout(TComponent& owner);
};
