#include "model/GameData.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>

#include "model/BitmapHelpers.h"
#include "model/StringTable.h"

namespace thorn {

namespace {

using Limits = GameDataLimits;
constexpr TColor32 kMagenta = 0xFFFF00FF;

// Where an entry sits, for messages: "Castles" > "Castle" #2.
struct Place {
    Place(std::string parentName, std::string elementName = {}, int n = 0)
        : parent(std::move(parentName)), element(std::move(elementName)), number(n) {}

    std::string parent;
    std::string element;
    int number = 0;  // 1-based among its like; 0 for the section itself

    std::string Text() const {
        std::string text = "\"" + parent + "\"";
        if (!element.empty()) text += " > \"" + element + "\"" + (number ? " #" + std::to_string(number) : "");
        return text;
    }
};

[[noreturn]] void Fail(const Place& place, const std::string& what) {
    throw EGameDataError("Game data \"pw.xml\": " + place.Text() + ": " + what);
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The attribute's text; an absent attribute reads as "".
std::string_view Text(pugi::xml_node node, const char* attribute) { return node.attribute(attribute).value(); }

// A name or path the project's string tables and files can hold.
std::string StoredText(pugi::xml_node node, const char* attribute, const Place& place) {
    const std::string_view text = Text(node, attribute);
    if (text.size() > CStringTable::kMaxTextLength)
        Fail(place, "attribute " + Quoted(attribute) + " is longer than 65534 characters");
    return std::string(text);
}

// A whole decimal number, as the string-to-integer conversion reads it:
// leading blanks, an optional sign, digits, nothing after them.
std::optional<int64_t> ParseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    text.remove_prefix(i);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A number attribute within lo..hi; an empty text gives emptyValue when one
// is allowed, else it is no number.
int64_t Number(pugi::xml_node node, const char* attribute, const Place& place, int64_t lo, int64_t hi,
               std::optional<int64_t> emptyValue = std::nullopt) {
    const std::string_view text = Text(node, attribute);
    if (text.empty() && emptyValue) return *emptyValue;
    const std::optional<int64_t> value = ParseInteger(text);
    if (!value) Fail(place, "attribute " + Quoted(attribute) + " is not a number: " + Quoted(text));
    if (*value < lo || *value > hi)
        Fail(place, "attribute " + Quoted(attribute) + " is " + std::to_string(*value) + ", outside " +
                        std::to_string(lo) + " to " + std::to_string(hi));
    return *value;
}

// The child elements of node, in document order; with a name, only those.
std::vector<pugi::xml_node> Elements(pugi::xml_node node, std::string_view name = {}) {
    std::vector<pugi::xml_node> found;
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && (name.empty() || name == child.name())) found.push_back(child);
    return found;
}

pugi::xml_node Section(pugi::xml_node root, const char* name) {
    pugi::xml_node section = FindChildNode(root, name);
    if (!section) Fail({name}, "the element is missing");
    return section;
}

void CheckCount(const Place& place, size_t count, int least, int most, const std::string& what) {
    if (count < static_cast<size_t>(least))
        Fail(place, "holds " + std::to_string(count) + " " + what + "; the editor needs at least " +
                        std::to_string(least));
    if (count > static_cast<size_t>(most))
        Fail(place, "holds " + std::to_string(count) + " " + what + "; at most " + std::to_string(most) +
                        " are allowed");
}

// Castle or army types of one section.
std::vector<GameCatalogue::IconType> ReadIconTypes(pugi::xml_node root, const char* sectionName,
                                                   const char* entryName, bool named, int least, int most,
                                                   const std::filesystem::path& startFolder) {
    const pugi::xml_node section = Section(root, sectionName);
    const std::vector<pugi::xml_node> entries = Elements(section, entryName);
    CheckCount({sectionName}, entries.size(), least, most, std::string("\"") + entryName + "\" entries");
    std::vector<GameCatalogue::IconType> types;
    for (const pugi::xml_node entry : entries) {
        const Place place{sectionName, entryName, static_cast<int>(types.size()) + 1};
        GameCatalogue::IconType type;
        if (named) type.name = StoredText(entry, "name", place);
        type.path = StoredText(entry, "path", place);
        type.pivot.X = static_cast<int32_t>(Number(entry, "pivot_x", place, INT16_MIN, INT16_MAX));
        type.pivot.Y = static_cast<int32_t>(Number(entry, "pivot_y", place, INT16_MIN, INT16_MAX));
        const std::filesystem::path file = CataloguePicturePath(startFolder, type.path);
        try {
            type.picture = LoadIconPicture(file);
        } catch (const std::exception& error) {
            Fail(place, "the picture of attribute \"path\" (" + file.string() + ") cannot be loaded: " + error.what());
        }
        types.push_back(std::move(type));
    }
    return types;
}

// Named values: abilities or computer-player types.
std::vector<CAbilityStruct> ReadNamedValues(pugi::xml_node root, const char* sectionName, const char* entryName,
                                            int least, int most, int64_t lo, int64_t hi) {
    const pugi::xml_node section = Section(root, sectionName);
    const std::vector<pugi::xml_node> entries = Elements(section, entryName);
    CheckCount({sectionName}, entries.size(), least, most, std::string("\"") + entryName + "\" entries");
    std::vector<CAbilityStruct> values;
    for (const pugi::xml_node entry : entries) {
        const Place place{sectionName, entryName, static_cast<int>(values.size()) + 1};
        CAbilityStruct value;
        value.Name = StoredText(entry, "name", place);
        value.Value = static_cast<uint32_t>(Number(entry, "val", place, lo, hi));
        values.push_back(std::move(value));
    }
    return values;
}

}  // namespace

pugi::xml_node FindChildNode(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && name == child.name()) return child;
    return {};
}

std::filesystem::path CataloguePicturePath(const std::filesystem::path& startFolder, std::string_view path) {
    std::string relative(path);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (startFolder.empty()) return relative;
    return std::filesystem::path(startFolder.string() + "/" + relative);
}

std::unique_ptr<TBitmap32> LoadIconPicture(const std::filesystem::path& file) {
    auto picture = std::make_unique<TBitmap32>();
    picture->LoadFromFile(file);
    picture->SetDrawMode(dmBlend);
    ReplaceColor(*picture, kMagenta, 0);
    return picture;
}

void ReadUnits(pugi::xml_node root, GameCatalogue& out) {
    const pugi::xml_node units = Section(root, "Units");
    const Place place{"Units"};
    const int64_t standard = Number(units, "standart", place, 0, Limits::kMaxUnitTypes);
    const int64_t other = Number(units, "non-standart", place, 0, Limits::kMaxUnitTypes);
    if (standard + other > Limits::kMaxUnitTypes)
        Fail(place, "\"standart\" and \"non-standart\" make " + std::to_string(standard + other) +
                        " unit types; at most 40 are allowed");
    if (standard + other < Limits::kMinUnitTypes) Fail(place, "no unit type is given; the editor needs at least one");

    std::vector<std::string> names;
    for (const auto& [listName, attribute, count] :
         {std::tuple{"Standart", "standart", standard}, std::tuple{"NonStandart", "non-standart", other}}) {
        const std::vector<pugi::xml_node> entries = Elements(FindChildNode(units, listName));
        if (static_cast<int64_t>(entries.size()) != count)
            Fail({"Units", listName}, "holds " + std::to_string(entries.size()) + " unit types but \"" + attribute +
                                          "\" of \"Units\" says " + std::to_string(count));
        for (const pugi::xml_node entry : entries)
            names.push_back(StoredText(entry, "name", {"Units > " + std::string(listName), entry.name(),
                                                       static_cast<int>(names.size()) + 1}));
    }
    out.standardUnits = static_cast<uint8_t>(standard);
    out.nonStandardUnits = static_cast<uint8_t>(other);
    out.unitNames = std::move(names);
}

void ReadCastlesAndArmies(pugi::xml_node root, const std::filesystem::path& startFolder, GameCatalogue& out) {
    auto castles = ReadIconTypes(root, "Castles", "Castle", true, Limits::kMinCastleTypes, Limits::kMaxCastleTypes,
                                 startFolder);
    auto armies =
        ReadIconTypes(root, "Armies", "Army", false, Limits::kMinArmyTypes, Limits::kMaxArmyTypes, startFolder);
    out.castles = std::move(castles);
    out.armies = std::move(armies);
}

void ReadResources(pugi::xml_node root, GameCatalogue& out) {
    const std::vector<pugi::xml_node> entries = Elements(Section(root, "Resources"), "Resource");
    CheckCount({"Resources"}, entries.size(), Limits::kMinResources, Limits::kMaxResources, "\"Resource\" entries");
    std::vector<GameCatalogue::Resource> resources;
    for (const pugi::xml_node entry : entries) {
        const Place place{"Resources", "Resource", static_cast<int>(resources.size()) + 1};
        GameCatalogue::Resource resource;
        resource.name = StoredText(entry, "name", place);
        // A province's value of a resource is one byte.
        resource.min = static_cast<int16_t>(Number(entry, "min", place, 0, UINT8_MAX, 0));
        resource.max = static_cast<int16_t>(Number(entry, "max", place, 0, UINT8_MAX, 0));
        if (resource.min > resource.max)
            Fail(place, "attribute \"min\" (" + std::to_string(resource.min) + ") is above \"max\" (" +
                            std::to_string(resource.max) + ")");
        resources.push_back(std::move(resource));
    }
    out.resources = std::move(resources);
}

void ReadSkills(pugi::xml_node root, GameCatalogue& out) {
    const std::vector<pugi::xml_node> entries = Elements(Section(root, "Skills"), "Skill");
    CheckCount({"Skills"}, entries.size(), 0, Limits::kMaxSkills, "\"Skill\" entries");
    std::vector<std::string> skills;
    for (const pugi::xml_node entry : entries)
        skills.push_back(StoredText(entry, "name", {"Skills", "Skill", static_cast<int>(skills.size()) + 1}));
    out.skills = std::move(skills);
}

void ReadAbilities(pugi::xml_node root, GameCatalogue& out) {
    auto abilities = ReadNamedValues(root, "Abilities", "Ability", 0, Limits::kMaxAbilities, 0, UINT8_MAX);
    auto computers = ReadNamedValues(root, "AIs", "AI", Limits::kMinComputerPlayers, Limits::kMaxComputerPlayers,
                                     Limits::kMinComputerPlayerId, Limits::kMaxComputerPlayerId);
    out.abilities = std::move(abilities);
    out.computerPlayers = std::move(computers);
}

GameCatalogue ReadGameCatalogue(pugi::xml_node root, const std::filesystem::path& startFolder) {
    if (!root) throw EGameDataError("Game data \"pw.xml\": the document is missing or empty");
    GameCatalogue catalogue;
    ReadCastlesAndArmies(root, startFolder, catalogue);
    ReadUnits(root, catalogue);
    ReadResources(root, catalogue);
    ReadSkills(root, catalogue);
    ReadAbilities(root, catalogue);
    return catalogue;
}

std::string CheckGameData(pugi::xml_node root, const std::filesystem::path& startFolder) {
    try {
        ReadGameCatalogue(root, startFolder);
    } catch (const EGameDataError& error) {
        return error.what();
    }
    return {};
}

}  // namespace thorn
