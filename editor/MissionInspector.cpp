#include "editor/MissionInspector.h"

#include <string>

#include "editor/GridItemKeys.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"

void UpdateMissionInspector(CMapProject& project) {
    if (!MissFrame) return;
    TrmInspector& grid = *MissFrame->RMIMission;
    if (const CStringTable* table = project.Tables.GetAt(project.CurrentStringTable)) {
        namespace Keys = InspectorKeys;
        const std::pair<const char*, const std::string*> values[] = {
            {Keys::MisAuthor, &table->Author},          {Keys::MisAuthorNotes, &table->AuthorNotes},
            {Keys::MisName, &table->MissionName},       {Keys::SDesc, &table->ShortDescription},
            {Keys::VictMsg, &table->VictoryText},       {Keys::DefeatMsg, &table->DefeatText},
        };
        for (const auto& [key, text] : values)
            if (TrmCustomInspectorItem* item = grid.GetItemByName(key)) item->SetStringValue(*text);
    }
    MissFrame->RefreshVictoryConds();
    MissFrame->RefreshLoseConds();
}
