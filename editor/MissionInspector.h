#pragma once

class CMapProject;

// Writes the mission's texts of the project's string table in use into the
// rows of the mission window's grid that exist (a missing row is skipped),
// then lets the condition rows follow. Run after a project is made or
// opened, once the rows are built.
void UpdateMissionInspector(CMapProject& project);
