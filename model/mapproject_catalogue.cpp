// The game-data catalogue read into the project: unit types, castle and army
// types with their pictures, resources, skills, abilities and computer-player
// types. Every reader checks its part of the document before it stores any.
#include <memory>
#include <string>
#include <vector>

#include "model/GameData.h"
#include "model/mapproject.h"

using thorn::EGameDataError;
using thorn::GameCatalogue;

namespace {

IXMLNode Catalogue(CMapProject& project) {
    const IXMLNode root = project.Editor().GameDataElement();
    if (!root) throw EGameDataError("Game data \"pw.xml\": the document is missing or empty");
    return root;
}

CStringTable& FirstTable(CMapProject& project) {
    if (!project.Tables.GetAt(0)) project.Tables.Add(std::make_unique<CStringTable>());
    return *project.Tables.GetAt(0);
}

// The castle pictures, then the army pictures, replace the list's items.
void StorePictures(CMapProject& project, const std::vector<const TBitmap32*>& pictures) {
    TBitmap32Collection& items = *project.Editor().CastlePictures().GetBitmaps();
    items.Clear();
    for (const TBitmap32* picture : pictures) {
        TBitmap32& bitmap = *items.Add()->GetBitmap();
        bitmap.Assign(*picture);
        bitmap.SetDrawMode(dmBlend);
    }
}

void StoreCastlesAndArmies(CMapProject& project, const GameCatalogue& catalogue) {
    CStringTable& table = FirstTable(project);
    std::vector<const TBitmap32*> pictures;
    project.CastlePivots.SetSize(0);
    for (size_t k = 0; k < catalogue.castles.size(); ++k) {
        const GameCatalogue::IconType& castle = catalogue.castles[k];
        table.SetCastleTypeName(static_cast<uint8_t>(k), castle.name);
        table.SetCastleImagePath(static_cast<uint8_t>(k), castle.path);
        project.CastlePivots.Add(castle.pivot);
        pictures.push_back(castle.picture.get());
    }
    for (size_t m = 0; m < catalogue.armies.size(); ++m) {
        const GameCatalogue::IconType& army = catalogue.armies[m];
        table.SetArmyImagePath(static_cast<uint8_t>(m), army.path);
        project.CastlePivots.Add(army.pivot);
        pictures.push_back(army.picture.get());
    }
    StorePictures(project, pictures);
    project.NumCastleTypes = static_cast<uint8_t>(catalogue.castles.size());
    project.NumArmyTypes = static_cast<uint8_t>(catalogue.armies.size());
    project.Editor().BuildCastleLegend();
}

void StoreUnits(CMapProject& project, const GameCatalogue& catalogue) {
    CStringTable& table = FirstTable(project);
    project.NumStandardUnits = catalogue.standardUnits;
    project.NumNonStandardUnits = catalogue.nonStandardUnits;
    for (size_t i = 0; i < catalogue.unitNames.size(); ++i)
        table.SetUnitName(static_cast<uint8_t>(i), catalogue.unitNames[i]);
    project.NumUnitTypesLoaded = static_cast<uint8_t>(catalogue.unitNames.size());
}

void StoreResources(CMapProject& project, const GameCatalogue& catalogue) {
    CStringTable& table = FirstTable(project);
    for (size_t r = 0; r < catalogue.resources.size(); ++r) {
        table.SetResourceName(static_cast<uint8_t>(r), catalogue.resources[r].name);
        project.ResourceMin[r] = catalogue.resources[r].min;
        project.ResourceMax[r] = catalogue.resources[r].max;
    }
    project.NumResources = static_cast<uint8_t>(catalogue.resources.size());
}

void StoreSkills(CMapProject& project, const GameCatalogue& catalogue) {
    CStringTable& table = FirstTable(project);
    for (size_t s = 0; s < catalogue.skills.size(); ++s) table.SetSkillName(static_cast<uint8_t>(s), catalogue.skills[s]);
}

void StoreNamedValues(CList<CAbilityStruct>& list, const std::vector<CAbilityStruct>& values) {
    list.Clear();
    for (const CAbilityStruct& value : values) list.Append(std::make_unique<CAbilityStruct>(value));
}

}  // namespace

void LoadGameData(CMapProject& project) {
    const GameCatalogue catalogue = thorn::ReadGameCatalogue(Catalogue(project), project.Editor().StartFolder());
    project.CurrentStringTable = 0;
    project.Tables.Add(std::make_unique<CStringTable>());
    StoreCastlesAndArmies(project, catalogue);
    StoreUnits(project, catalogue);
    StoreResources(project, catalogue);
    StoreSkills(project, catalogue);
}

int LoadUnits(CMapProject& project) {
    GameCatalogue catalogue;
    thorn::ReadUnits(Catalogue(project), catalogue);
    StoreUnits(project, catalogue);
    return 1;
}

int LoadCastlesAndArmies(CMapProject& project, int withNames) {
    if (withNames) {
        GameCatalogue catalogue;
        thorn::ReadCastlesAndArmies(Catalogue(project), project.Editor().StartFolder(), catalogue);
        StoreCastlesAndArmies(project, catalogue);
        return 1;
    }

    // After a project file: the pictures of the types the project holds,
    // from the paths its first string table keeps, under the same rule as
    // the catalogue's (the file may come from elsewhere).
    const std::filesystem::path startFolder = project.Editor().StartFolder();
    const CStringTable* table = project.Tables.GetAt(0);
    std::vector<std::unique_ptr<TBitmap32>> loaded;
    auto load = [&](const char* kind, int n, const std::string& path) {
        try {
            loaded.push_back(thorn::LoadIconPicture(startFolder, path));
        } catch (const EGameDataError& error) {
            throw EGameDataError(std::string("The ") + kind + " picture " + std::to_string(n) + " of the project: " +
                                 error.what());
        }
    };
    if (!table && project.NumCastleTypes + project.NumArmyTypes > 0)
        throw EGameDataError("The project has no string table naming its castle and army pictures");
    for (uint8_t k = 0; k < project.NumCastleTypes; ++k) load("castle", k, table->GetCastleImagePath(k));
    for (uint8_t m = 0; m < project.NumArmyTypes; ++m) load("army", m, table->GetArmyImagePath(m));

    std::vector<const TBitmap32*> pictures;
    for (const auto& picture : loaded) pictures.push_back(picture.get());
    StorePictures(project, pictures);
    project.Editor().BuildCastleLegend();
    return 1;
}

int LoadResources(CMapProject& project) {
    GameCatalogue catalogue;
    thorn::ReadResources(Catalogue(project), catalogue);
    StoreResources(project, catalogue);
    return 1;
}

int LoadSkills(CMapProject& project) {
    GameCatalogue catalogue;
    thorn::ReadSkills(Catalogue(project), catalogue);
    StoreSkills(project, catalogue);
    return 1;
}

int LoadAbilities(CMapProject& project) {
    GameCatalogue catalogue;
    thorn::ReadAbilities(Catalogue(project), catalogue);
    StoreNamedValues(project.Abilities, catalogue.abilities);
    StoreNamedValues(project.ComputerPlayerTypes, catalogue.computerPlayers);
    return 1;
}
