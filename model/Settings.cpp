#include "model/Settings.h"

CSettings::CSettings() { LabelFont.SetColor(clBlack); }
