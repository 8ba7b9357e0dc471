#pragma once

#include "gui/Forms.h"

// "Edit text": the modal dialog the tool windows edit long texts in.
class TDlgComplex : public TForm {
public:
    explicit TDlgComplex(TComponent& owner);
};
