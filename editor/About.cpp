#include "editor/About.h"

TFrmAbout::TFrmAbout(TComponent& owner) { SetCaption("About Thornvale II Mission editor"); }
