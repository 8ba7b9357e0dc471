#pragma once

#include <filesystem>

class CMapProject;
class CStringTable;

// Writes the mission's text files into the folder from one string table:
// "author.txt" and "authnotes.txt" when there is something to write,
// "shortdescr.txt", "victory.txt" and "defeat.txt" always (an empty one
// after a warning to the designer), "event%2d.txt" per enabled event (its
// title, CR LF, its text) and "mission.txt" (the mission name, the active
// players' names, the province names). Line breaks inside the texts become
// "{br}". Throws thorn::ExportError when a file cannot be written.
void WriteMissionTextFiles(CMapProject& project, const CStringTable& table, const std::filesystem::path& folder);
