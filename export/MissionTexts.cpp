#include "export/MissionTexts.h"

#include <array>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "export/ExportFiles.h"
#include "model/mapproject.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void WriteText(const std::filesystem::path& file, std::string_view text) {
    thorn::WriteGameFile(file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// A text the game must have: written even when empty, after a warning.
void WriteRequiredText(CMapProject& project, const std::filesystem::path& file, std::string_view text,
                       std::string_view warning) {
    const std::string flat = ReplaceLineBreaks(text);
    if (flat.empty()) project.Editor().ShowError(warning);
    WriteText(file, flat);
}

void WriteOptionalText(const std::filesystem::path& file, std::string_view text) {
    const std::string flat = ReplaceLineBreaks(text);
    if (!flat.empty()) WriteText(file, flat);
}

std::string EventFileName(int number) {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "event%2d.txt", number);
    return name.data();
}

std::string MissionOverview(const CMapProject& project, const CStringTable& table) {
    std::string text = table.MissionName;
    text += kLineEnd;
    text += kLineEnd;
    const uint32_t slots = project.Players.GetCount();
    for (uint32_t i = 0; i < slots; ++i) {
        if (!project.Players[i].Active) continue;
        text += table.GetPlayerName(static_cast<uint8_t>(i));
        text += kLineEnd;
    }
    text += kLineEnd;
    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i) {
        text += table.GetProvinceName(project.Provinces.GetAt(static_cast<uint8_t>(i)));
        text += kLineEnd;
    }
    return text;
}

}  // namespace

void WriteMissionTextFiles(CMapProject& project, const CStringTable& table, const std::filesystem::path& folder) {
    WriteOptionalText(folder / "author.txt", table.Author);
    WriteOptionalText(folder / "authnotes.txt", table.AuthorNotes);
    WriteRequiredText(project, folder / "shortdescr.txt", table.ShortDescription,
                      "Warning! Mission short description is not present!");
    WriteRequiredText(project, folder / "victory.txt", table.VictoryText,
                      "Warning! Mission victory text is not present!");
    WriteRequiredText(project, folder / "defeat.txt", table.DefeatText, "Warning! Mission defeat text is not present!");

    int number = 0;
    for (uint16_t i = 0; i < project.Events.GetCount(); ++i) {
        const CEvent& event = *project.Events.GetAt(i);
        if (!event.Enabled) continue;
        const std::string text =
            table.GetEventTitle(event.TextSlot) + std::string(kLineEnd) + ReplaceLineBreaks(table.GetEventText(event.TextSlot));
        WriteText(folder / EventFileName(number++), text);
    }
    WriteText(folder / "mission.txt", MissionOverview(project, table));
}
