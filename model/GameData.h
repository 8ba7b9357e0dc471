#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/MissionConds.h"
#include "platform/Classes.h"
#include "platform/XMLDoc.h"

class CMapProject;

namespace thorn {

// A game-data catalogue ("pw.xml") the editor cannot use: a file that
// cannot be read or is not complete XML, a number that is no number or out
// of range, too many or too few entries, a text outside Windows-1252, a
// picture that cannot be loaded or lies outside the start folder. The
// message names the element, the entry and the attribute, and stays short.
class EGameDataError : public Exception {
public:
    using Exception::Exception;
};

// What the editor needs of a catalogue, and what its tables can hold.
struct GameDataLimits {
    static constexpr int kMaxUnitTypes = 40;
    static constexpr int kMinUnitTypes = 1;
    static constexpr int kMaxCastleTypes = 16;
    // Picture 0 stands for a province without a castle; a castle or a
    // capital whose picture the catalogue lacks shows the last castle
    // picture there is.
    static constexpr int kMinCastleTypes = 1;
    static constexpr int kMaxArmyTypes = 16;
    // The map shows the first army type's picture for every army.
    static constexpr int kMinArmyTypes = 1;
    static constexpr int kMaxResources = 16;
    // A castle's income goes to resource 0.
    static constexpr int kMinResources = 1;
    static constexpr int kMaxSkills = 16;
    static constexpr int kMaxAbilities = 255;
    // A player made a computer player takes the first computer-player type.
    static constexpr int kMinComputerPlayers = 1;
    static constexpr int kMaxComputerPlayers = 127;
    static constexpr int kMinComputerPlayerId = 1;
    static constexpr int kMaxComputerPlayerId = 127;
    // Castle and army pictures: icons on the map, checked from the
    // picture's header before its pixels are read.
    static constexpr int32_t kMaxIconSide = 512;
};

// The catalogue as read and checked, before anything of a project changes.
struct GameCatalogue {
    // A castle or army type: its name (castles only), the picture's path as
    // written, the pivot and the picture with magenta made transparent.
    struct IconType {
        std::string name;
        std::string path;
        TPoint pivot{};
        std::unique_ptr<TBitmap32> picture;
    };
    struct Resource {
        std::string name;
        int16_t min = 0;
        int16_t max = 0;
    };

    uint8_t standardUnits = 0;
    uint8_t nonStandardUnits = 0;
    std::vector<std::string> unitNames;  // standard first
    std::vector<IconType> castles;
    std::vector<IconType> armies;
    std::vector<Resource> resources;
    std::vector<std::string> skills;
    std::vector<CAbilityStruct> abilities;
    std::vector<CAbilityStruct> computerPlayers;
};

// Reads the catalogue file ("pw.xml" of the start folder): a regular file of
// bounded size holding one complete XML document. Throws EGameDataError
// saying why it cannot be read (the system's reason, the parser's
// description and offset, or too little memory).
std::unique_ptr<TXMLDocument> OpenGameData(const std::filesystem::path& file);

// The first child element of node whose name is exactly name; a null node
// when node is null or no child matches.
IXMLNode FindChildNode(IXMLNode node, std::string_view name);

// Loads the castle or army picture a path of the catalogue or of a project
// names: "\" read as "/", relative to the start folder (the current folder
// when empty), and refused when it holds a NUL, is absolute, cannot be
// followed to its file (a folder on the way that cannot be searched, a loop
// of links, a name too long) or its file, links followed, lies outside the
// start folder; at most kMaxIconSide a side; drawn
// blended, magenta made transparent. Throws EGameDataError with the reason,
// which the caller prefixes with what names the path.
std::unique_ptr<TBitmap32> LoadIconPicture(const std::filesystem::path& startFolder, std::string_view path);

// The readers of the catalogue's sections under its document element. Each
// checks its entries and throws EGameDataError at the first fault; nothing
// outside `out` changes. Texts are converted to Windows-1252.
void ReadUnits(IXMLNode root, GameCatalogue& out);
void ReadCastlesAndArmies(IXMLNode root, const std::filesystem::path& startFolder, GameCatalogue& out);
void ReadResources(IXMLNode root, GameCatalogue& out);
void ReadSkills(IXMLNode root, GameCatalogue& out);
void ReadAbilities(IXMLNode root, GameCatalogue& out);
// Every section, and the mission id "dwID" of the document element.
GameCatalogue ReadGameCatalogue(IXMLNode root, const std::filesystem::path& startFolder);
// The first fault of the whole catalogue, empty when it can be used; for the
// editor to check "pw.xml" when it starts. Short of memory, it says so.
std::string CheckGameData(IXMLNode root, const std::filesystem::path& startFolder);
// The mission id of the document element's "dwID": its first four
// characters (Windows-1252) packed with the first in the top byte, missing
// ones counting 0.
uint32_t GameDataId(IXMLNode root);

}  // namespace thorn

// ---- the catalogue read into a project, through its editor's game-data
// document and start folder. Each reader checks its sections completely
// before the project changes, and throws thorn::EGameDataError. The
// project's own operations report it through the editor's error box:
// NewMissionFromImage then resets the project and answers 0, LoadProject
// answers 0 with the project reset, RebindProvinces keeps the lists it had
// and goes on. The editor can check the document when it starts with
// thorn::CheckGameData.

// A new first string table, then castles and armies, units, resources and
// skills, all checked before any of it is stored.
void LoadGameData(CMapProject& project);
// "Units": the unit-type counts and names. Answers 1.
int LoadUnits(CMapProject& project);
// "Castles" and "Armies" with their pictures, pivots and names; withNames 0
// (after a project file was read) reloads only the pictures of the project's
// castle and army types from the paths in its first string table. The castle
// legend is rebuilt. Answers 1.
int LoadCastlesAndArmies(CMapProject& project, int withNames);
// "Resources": names, minimums, maximums and the count. Answers 1.
int LoadResources(CMapProject& project);
// "Skills": names. Answers 1.
int LoadSkills(CMapProject& project);
// "Abilities" and "AIs": both lists replaced in document order. Answers 1.
int LoadAbilities(CMapProject& project);
