#include "model/GameData.h"

#include <algorithm>
#include <new>
#include <optional>
#include <tuple>
#include <utility>

#include "model/BitmapHelpers.h"
#include "model/StringTable.h"
#include "platform/Charset.h"
#include "platform/Pictures.h"
#include "platform/QuotedText.h"

namespace thorn {

namespace {

using Limits = GameDataLimits;
constexpr TColor32 kMagenta = 0xFFFF00FF;

// Where an entry sits, for messages: "Castles" > "Castle" #2. Names come
// from the file and are cut like values.
struct Place {
    Place(std::string parentName, std::string elementName = {}, int n = 0)
        : parent(std::move(parentName)), element(std::move(elementName)), number(n) {}

    std::string parent;
    std::string element;
    int number = 0;  // 1-based among its like; 0 for the section itself

    std::string Text() const {
        std::string text = QuotedShort(parent);
        if (!element.empty()) text += " > " + QuotedShort(element) + (number ? " #" + std::to_string(number) : "");
        return text;
    }
};

[[noreturn]] void Fail(const Place& place, const std::string& what) {
    throw EGameDataError("Game data \"pw.xml\": " + place.Text() + ": " + what);
}

std::string AttributeName(const char* attribute) { return "attribute \"" + std::string(attribute) + "\""; }

// A name or path the project's string tables and files can hold, in the
// model's code page.
std::string StoredText(IXMLNode node, const char* attribute, const Place& place) {
    const std::optional<std::string> text = Utf8ToWindows1252(node.Attributes(attribute));
    if (!text) Fail(place, AttributeName(attribute) + " holds a character outside Windows-1252");
    if (text->size() > CStringTable::kMaxTextLength)
        Fail(place, AttributeName(attribute) + " is longer than 65534 characters");
    return *text;
}

// A picture path: present and not empty, as it is stored.
std::string PathText(IXMLNode node, const Place& place) {
    if (!node.HasAttribute("path")) Fail(place, "attribute \"path\" is missing");
    std::string path = StoredText(node, "path", place);
    if (path.empty()) Fail(place, "attribute \"path\" is empty");
    return path;
}

struct ParsedInteger {
    int64_t value = 0;
    bool huge = false;  // beyond every range a catalogue number has
    std::string_view digits;  // sign and digits, without the leading blanks
};

// A whole decimal number as the string-to-integer conversion reads it:
// leading blanks, one optional sign, at least one digit, nothing after.
// Digits past 64 bits still make a number, only a huge one.
std::optional<ParsedInteger> ParseInteger(std::string_view text) {
    constexpr uint64_t kHuge = 1'000'000'000'000'000'000;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    ParsedInteger parsed;
    parsed.digits = text;
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = std::min(magnitude * 10 + static_cast<uint64_t>(c - '0'), kHuge);
    }
    parsed.huge = magnitude >= kHuge;
    parsed.value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return parsed;
}

// A number attribute within lo..hi. An absent or empty one gives emptyValue
// when one is allowed; otherwise it is "missing" or "empty".
int64_t Number(IXMLNode node, const char* attribute, const Place& place, int64_t lo, int64_t hi,
               std::optional<int64_t> emptyValue = std::nullopt) {
    const std::string text = node.Attributes(attribute);
    if (text.empty() && emptyValue) return *emptyValue;
    if (!node.HasAttribute(attribute)) Fail(place, AttributeName(attribute) + " is missing");
    if (text.empty()) Fail(place, AttributeName(attribute) + " is empty");
    const std::optional<ParsedInteger> parsed = ParseInteger(text);
    if (!parsed) Fail(place, AttributeName(attribute) + " is not a number: " + QuotedShort(text));
    if (parsed->huge || parsed->value < lo || parsed->value > hi)
        Fail(place, AttributeName(attribute) + " is " + QuotedShort(parsed->digits) + ", outside " + std::to_string(lo) +
                        " to " + std::to_string(hi));
    return parsed->value;
}

// The child elements of node, in document order; with a name, only those.
std::vector<IXMLNode> Elements(IXMLNode node, std::string_view name = {}) {
    std::vector<IXMLNode> found;
    for (const IXMLNode& child : node.ChildNodes())
        if (name.empty() || name == child.NodeName()) found.push_back(child);
    return found;
}

IXMLNode Section(IXMLNode root, const char* name) {
    IXMLNode section = FindChildNode(root, name);
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
std::vector<GameCatalogue::IconType> ReadIconTypes(IXMLNode root, const char* sectionName, const char* entryName,
                                                   bool named, int least, int most,
                                                   const std::filesystem::path& startFolder) {
    const std::vector<IXMLNode> entries = Elements(Section(root, sectionName), entryName);
    CheckCount({sectionName}, entries.size(), least, most, std::string("\"") + entryName + "\" entries");
    std::vector<GameCatalogue::IconType> types;
    for (const IXMLNode& entry : entries) {
        const Place place{sectionName, entryName, static_cast<int>(types.size()) + 1};
        GameCatalogue::IconType type;
        if (named) type.name = StoredText(entry, "name", place);
        type.path = PathText(entry, place);
        type.pivot.X = static_cast<int32_t>(Number(entry, "pivot_x", place, INT16_MIN, INT16_MAX));
        type.pivot.Y = static_cast<int32_t>(Number(entry, "pivot_y", place, INT16_MIN, INT16_MAX));
        try {
            type.picture = LoadIconPicture(startFolder, type.path);
        } catch (const EGameDataError& error) {
            Fail(place, "attribute \"path\": " + std::string(error.what()));
        }
        types.push_back(std::move(type));
    }
    return types;
}

// Named values: abilities or computer-player types.
std::vector<CAbilityStruct> ReadNamedValues(IXMLNode root, const char* sectionName, const char* entryName, int least,
                                            int most, int64_t lo, int64_t hi) {
    const std::vector<IXMLNode> entries = Elements(Section(root, sectionName), entryName);
    CheckCount({sectionName}, entries.size(), least, most, std::string("\"") + entryName + "\" entries");
    std::vector<CAbilityStruct> values;
    for (const IXMLNode& entry : entries) {
        const Place place{sectionName, entryName, static_cast<int>(values.size()) + 1};
        CAbilityStruct value;
        value.Name = StoredText(entry, "name", place);
        value.Value = static_cast<uint32_t>(Number(entry, "val", place, lo, hi));
        values.push_back(std::move(value));
    }
    return values;
}

// The file a picture path names, links followed. Throws EGameDataError
// when the path holds a NUL (the system would read it as ending there), is
// absolute, cannot be reached (saying why), or its file lies outside the
// start folder.
std::filesystem::path ResolvePicturePath(const std::filesystem::path& startFolder, std::string_view path) {
    if (const size_t nul = path.find('\0'); nul != std::string_view::npos)
        throw EGameDataError("the picture path holds a NUL character after " + QuotedShort(path.substr(0, nul)));
    const auto outside = [path] {
        return EGameDataError("the picture " + QuotedShort(path) + " lies outside the start folder");
    };
    std::string relative(path);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::filesystem::path named(relative);
    if (named.is_absolute() || named.has_root_name() || named.has_root_directory()) throw outside();
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::weakly_canonical(startFolder.empty() ? std::filesystem::current_path() : startFolder, error);
    if (error) throw EGameDataError("the start folder cannot be reached: " + error.message());
    const std::filesystem::path file = std::filesystem::weakly_canonical(base / named, error);
    if (error) throw EGameDataError("the picture " + QuotedShort(path) + " cannot be reached: " + error.message());
    // Inside: the base's parts are the first parts of the file's.
    auto [baseEnd, fileAt] = std::mismatch(base.begin(), base.end(), file.begin(), file.end());
    if (baseEnd != base.end() && !baseEnd->empty()) throw outside();
    return file;
}

}  // namespace

std::unique_ptr<TXMLDocument> OpenGameData(const std::filesystem::path& file) {
    try {
        auto document = std::make_unique<TXMLDocument>();
        document->LoadFromFile(file);
        return document;
    } catch (const Exception& error) {
        throw EGameDataError("Game data \"pw.xml\": " + std::string(error.what()));
    } catch (const std::bad_alloc&) {
        throw EGameDataError("Game data \"pw.xml\": there is not enough memory to read it");
    }
}

IXMLNode FindChildNode(IXMLNode node, std::string_view name) { return node.ChildNodes().FindNode(name); }

std::unique_ptr<TBitmap32> LoadIconPicture(const std::filesystem::path& startFolder, std::string_view path) {
    const std::filesystem::path file = ResolvePicturePath(startFolder, path);
    auto picture = std::make_unique<TBitmap32>();
    try {
        picture->LoadFromFile(file, PictureLimits{Limits::kMaxIconSide, int64_t{Limits::kMaxIconSide} *
                                                                             Limits::kMaxIconSide});
    } catch (const Exception& error) {
        throw EGameDataError("the picture cannot be loaded: " + std::string(error.what()));
    }
    picture->SetDrawMode(dmBlend);
    ReplaceColor(*picture, kMagenta, 0);
    return picture;
}

void ReadUnits(IXMLNode root, GameCatalogue& out) {
    const IXMLNode units = Section(root, "Units");
    const Place place{"Units"};
    const int64_t standard = Number(units, "standart", place, 0, Limits::kMaxUnitTypes);
    const int64_t other = Number(units, "non-standart", place, 0, Limits::kMaxUnitTypes);
    if (standard + other > Limits::kMaxUnitTypes)
        Fail(place, "\"standart\" and \"non-standart\" make " + std::to_string(standard + other) +
                        " unit types; at most 40 are allowed");
    if (standard + other < Limits::kMinUnitTypes) Fail(place, "no unit type is given; the editor needs at least one");

    // The counts say how many unit types each list gives: further children
    // are not read, and a list shorter than its count is refused.
    std::vector<std::string> names;
    for (const auto& [listName, attribute, count] :
         {std::tuple{"Standart", "standart", standard}, std::tuple{"NonStandart", "non-standart", other}}) {
        const std::vector<IXMLNode> entries = Elements(FindChildNode(units, listName));
        if (static_cast<int64_t>(entries.size()) < count)
            Fail({"Units", listName}, "holds " + std::to_string(entries.size()) + " unit types but \"" + attribute +
                                          "\" of \"Units\" says " + std::to_string(count));
        for (int64_t i = 0; i < count; ++i) {
            const IXMLNode& entry = entries[static_cast<size_t>(i)];
            names.push_back(StoredText(entry, "name", {"Units > " + std::string(listName), entry.NodeName(),
                                                       static_cast<int>(i) + 1}));
        }
    }
    out.standardUnits = static_cast<uint8_t>(standard);
    out.nonStandardUnits = static_cast<uint8_t>(other);
    out.unitNames = std::move(names);
}

void ReadCastlesAndArmies(IXMLNode root, const std::filesystem::path& startFolder, GameCatalogue& out) {
    auto castles = ReadIconTypes(root, "Castles", "Castle", true, Limits::kMinCastleTypes, Limits::kMaxCastleTypes,
                                 startFolder);
    auto armies =
        ReadIconTypes(root, "Armies", "Army", false, Limits::kMinArmyTypes, Limits::kMaxArmyTypes, startFolder);
    out.castles = std::move(castles);
    out.armies = std::move(armies);
}

void ReadResources(IXMLNode root, GameCatalogue& out) {
    const std::vector<IXMLNode> entries = Elements(Section(root, "Resources"), "Resource");
    CheckCount({"Resources"}, entries.size(), Limits::kMinResources, Limits::kMaxResources, "\"Resource\" entries");
    std::vector<GameCatalogue::Resource> resources;
    for (const IXMLNode& entry : entries) {
        const Place place{"Resources", "Resource", static_cast<int>(resources.size()) + 1};
        GameCatalogue::Resource resource;
        resource.name = StoredText(entry, "name", place);
        // A province's value of a resource is one byte.
        resource.min = static_cast<int16_t>(Number(entry, "min", place, 0, UINT8_MAX, 0));
        resource.max = static_cast<int16_t>(Number(entry, "max", place, 0, UINT8_MAX, 0));
        // The province grid keeps a resource's value between the two, and a
        // new province starts at the minimum: an empty range holds nothing.
        if (resource.min > resource.max)
            Fail(place, "attribute \"min\" (" + std::to_string(resource.min) + ") is above \"max\" (" +
                            std::to_string(resource.max) + ")");
        resources.push_back(std::move(resource));
    }
    out.resources = std::move(resources);
}

void ReadSkills(IXMLNode root, GameCatalogue& out) {
    const std::vector<IXMLNode> entries = Elements(Section(root, "Skills"), "Skill");
    CheckCount({"Skills"}, entries.size(), 0, Limits::kMaxSkills, "\"Skill\" entries");
    std::vector<std::string> skills;
    for (const IXMLNode& entry : entries)
        skills.push_back(StoredText(entry, "name", {"Skills", "Skill", static_cast<int>(skills.size()) + 1}));
    out.skills = std::move(skills);
}

void ReadAbilities(IXMLNode root, GameCatalogue& out) {
    auto abilities = ReadNamedValues(root, "Abilities", "Ability", 0, Limits::kMaxAbilities, 0, UINT8_MAX);
    auto computers = ReadNamedValues(root, "AIs", "AI", Limits::kMinComputerPlayers, Limits::kMaxComputerPlayers,
                                     Limits::kMinComputerPlayerId, Limits::kMaxComputerPlayerId);
    out.abilities = std::move(abilities);
    out.computerPlayers = std::move(computers);
}

GameCatalogue ReadGameCatalogue(IXMLNode root, const std::filesystem::path& startFolder) {
    if (!root) throw EGameDataError("Game data \"pw.xml\": the document is missing or empty");
    StoredText(root, "dwID", {root.NodeName()});
    GameCatalogue catalogue;
    ReadCastlesAndArmies(root, startFolder, catalogue);
    ReadUnits(root, catalogue);
    ReadResources(root, catalogue);
    ReadSkills(root, catalogue);
    ReadAbilities(root, catalogue);
    return catalogue;
}

std::string CheckGameData(IXMLNode root, const std::filesystem::path& startFolder) {
    try {
        ReadGameCatalogue(root, startFolder);
    } catch (const EGameDataError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return "Game data \"pw.xml\": there is not enough memory to check it";
    }
    return {};
}

uint32_t GameDataId(IXMLNode root) {
    const std::string text = root.Attributes("dwID");
    // The catalogue check refuses an id outside the code page; unchecked,
    // its bytes count as they are.
    const std::string id = Utf8ToWindows1252(text).value_or(text);
    uint32_t packed = 0;
    for (size_t i = 0; i < 4; ++i) packed = packed << 8 | (i < id.size() ? static_cast<uint8_t>(id[i]) : 0u);
    return packed;
}

}  // namespace thorn
