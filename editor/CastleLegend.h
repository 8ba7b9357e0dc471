#pragma once

// Rebuilds the castle legend of the preferences dialog: for each castle type
// of the project, its picture from the main window's castle pictures beside
// its name in the string table in use, one row every 25 pixels.
void BuildCastleLegend();
