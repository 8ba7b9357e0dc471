// The default start folder shipped in startdir/: complete, readable by the
// editor's readers, and exactly what the generator makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "platform/Pictures.h"
#include "support/SourceTree.h"
#include "support/TempDir.h"
#include "tools/BmpWriter.h"
#include "tools/Random.h"
#include "tools/SampleWorlds.h"
#include "tools/StartFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kStartDir = thorn::test::SourceDir() / "startdir";

constexpr uint32_t kMagenta = 0xFFFF00FF;
constexpr uint32_t kSea = 0xFF0000FF;
constexpr uint32_t kGreenLand = 0xFF00FF00;

std::optional<int> Integer(const pugi::xml_attribute& attribute) {
    const std::string text = attribute.value();
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

pugi::xml_document ParseXml(const fs::path& file) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_file(file.c_str());
    EXPECT_TRUE(result) << file << ": " << result.description();
    return document;
}

uint32_t Pixel(const thorn::DecodedPicture& p, int x, int y) { return p.pixels[static_cast<size_t>(y) * p.width + x]; }

// A castle or army picture: magenta around a drawn shape.
void ExpectIconOnMagenta(const fs::path& file) {
    SCOPED_TRACE(file.string());
    const thorn::DecodedPicture p = thorn::LoadPictureFile(file);
    EXPECT_GE(p.width, 8);
    EXPECT_GE(p.height, 8);
    EXPECT_LE(p.width, 255);  // the map view takes the sides as one byte
    EXPECT_LE(p.height, 255);
    const auto magenta = std::count(p.pixels.begin(), p.pixels.end(), kMagenta);
    EXPECT_GE(magenta * 4, static_cast<long>(p.pixels.size()));
    EXPECT_GE((static_cast<long>(p.pixels.size()) - magenta) * 8, static_cast<long>(p.pixels.size()));
    int frame = 0, frameMagenta = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1) {
                ++frame;
                frameMagenta += Pixel(p, x, y) == kMagenta;
            }
    EXPECT_GT(frameMagenta * 2, frame) << "the background along the edges is magenta";
}

TEST(Startdir, HoldsEveryFileTheEditorReads) {
    for (const char* name : {"ini.xml", "pw.xml", "res/MapTexturesNormal.bmp", "res/MapTexturesSelected.bmp",
                             "res/SeaTexture.bmp", "res/marker.bmp", "data/names.txt"})
        EXPECT_TRUE(fs::is_regular_file(kStartDir / name)) << name;
}

// What the catalogue's reader does not check itself (the model's tests read
// this catalogue): castle and army pictures drawn on magenta with their
// pivots inside, unit pictures that load, three skills, distinct
// computer-player ids.
TEST(Startdir, CataloguePicturesAndIdsAreUsable) {
    const pugi::xml_document document = ParseXml(kStartDir / "pw.xml");
    const pugi::xml_node root = document.document_element();
    const auto children = [](pugi::xml_node node, const char* name = nullptr) {
        std::vector<pugi::xml_node> list;
        for (pugi::xml_node child : node.children())
            if (child.type() == pugi::node_element && (!name || std::string(child.name()) == name))
                list.push_back(child);
        return list;
    };
    for (const char* list : {"Standart", "NonStandart"})
        for (pugi::xml_node unit : children(root.child("Units").child(list)))
            EXPECT_NO_THROW(thorn::LoadPictureFile(kStartDir / unit.attribute("path").value()));
    for (auto [section, name] : {std::pair{"Castles", "Castle"}, {"Armies", "Army"}})
        for (pugi::xml_node entry : children(root.child(section), name)) {
            const fs::path picture = kStartDir / entry.attribute("path").value();
            ExpectIconOnMagenta(picture);
            const auto px = Integer(entry.attribute("pivot_x")), py = Integer(entry.attribute("pivot_y"));
            const thorn::DecodedPicture p = thorn::LoadPictureFile(picture);
            EXPECT_TRUE(px && py && *px >= 0 && *px < p.width && *py >= 0 && *py < p.height) << picture;
        }
    EXPECT_EQ(children(root.child("Skills"), "Skill").size(), 3u);  // a player has three skill levels
    std::set<int> ids;
    for (pugi::xml_node ai : children(root.child("AIs"), "AI")) ids.insert(*Integer(ai.attribute("val")));
    EXPECT_EQ(ids.size(), children(root.child("AIs"), "AI").size()) << "computer-player ids are distinct";
}

// Mean brightness of tile i.
int TileBrightness(const thorn::DecodedPicture& strip, int tile) {
    int64_t sum = 0;
    const int side = strip.height;
    for (int y = 0; y < side; ++y)
        for (int x = tile * side; x < (tile + 1) * side; ++x) {
            const uint32_t c = Pixel(strip, x, y);
            sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        }
    return static_cast<int>(sum / (3 * side * side));
}

TEST(Startdir, TextureStripsAreRowsOfAtLeastEightSquareTiles) {
    std::map<std::string, thorn::DecodedPicture> strips;
    for (const char* name : {"MapTexturesNormal.bmp", "MapTexturesSelected.bmp", "SeaTexture.bmp"}) {
        const thorn::DecodedPicture p = thorn::LoadPictureFile(kStartDir / "res" / name);
        EXPECT_EQ(p.width % p.height, 0) << name;
        EXPECT_GE(p.width / p.height, 8) << name;
        std::set<uint32_t> colours(p.pixels.begin(), p.pixels.end());
        EXPECT_GT(colours.size(), 100u) << name << " is textured, not flat";
        EXPECT_EQ(std::count(p.pixels.begin(), p.pixels.end(), 0u), 0) << name;
        strips.emplace(name, p);
    }
    const auto& normal = strips.at("MapTexturesNormal.bmp");
    const auto& selected = strips.at("MapTexturesSelected.bmp");
    ASSERT_EQ(normal.width, selected.width);
    ASSERT_EQ(normal.height, selected.height);
    for (int tile = 0; tile < normal.width / normal.height; ++tile)
        EXPECT_GT(TileBrightness(selected, tile), TileBrightness(normal, tile) + 15) << "tile " << tile;
}

TEST(Startdir, ProvinceNamesAreWindows1252LinesWithCrLf) {
    const std::vector<uint8_t> bytes = thorn::test::ReadFileBytes(kStartDir / "data/names.txt");
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.back(), '\n');
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint8_t b = bytes[i];
        if (b == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR without LF at " << i;
            lines.push_back(line);
            line.clear();
            ++i;
            continue;
        }
        ASSERT_NE(b, '\n') << "LF without CR at " << i;
        ASSERT_GE(b, 0x20) << "control byte at " << i;
        for (uint8_t undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x7F}) ASSERT_NE(b, undefined) << "at " << i;
        line += static_cast<char>(b);
    }
    EXPECT_GE(lines.size(), 200u);
    EXPECT_LE(lines.size(), 1000u);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size()) << "no name twice";
    for (const std::string& name : lines) {
        EXPECT_GE(name.size(), 4u) << name;  // shorter samples teach the name generator nothing
        EXPECT_TRUE(name[0] >= 'A' && name[0] <= 'Z') << name;
    }
}

TEST(Startdir, SettingsFileHoldsEveryPreferenceAndAWindowLayout) {
    const pugi::xml_document document = ParseXml(kStartDir / "ini.xml");
    const pugi::xml_node editor = document.document_element().child("Editor");
    ASSERT_TRUE(editor);
    for (const char* name : {"AutoResize", "AutoShowErr", "ConvertCapTo", "MaxCapPopulation", "MaxPopulation",
                             "MinCapPopulation", "MinPopulation", "OwnerColors", "ShArmies", "ShCastles", "ShIcons",
                             "ShNames", "ShPaths", "TransArmies", "TransCastles", "TransValue"}) {
        const auto value = Integer(editor.attribute(name));
        EXPECT_TRUE(value && *value >= 0 && *value <= 255) << name;
    }
    const pugi::xml_node font = editor.child("Font");
    EXPECT_STREQ(font.attribute("Name").value(), "Tahoma");
    EXPECT_EQ(Integer(font.attribute("Size")), 8);
    for (const char* name : {"Charset", "Color", "Height", "Pitch", "PixelsPerInch", "Bold", "Italic", "Underline",
                             "StrikeOut"})
        EXPECT_TRUE(Integer(font.attribute(name))) << name;

    const auto expectWord = [](pugi::xml_node node, const char* name) {
        const std::string value = node.attribute(name).value();
        EXPECT_TRUE(value == "True" || value == "False") << node.name() << " " << name;
    };
    const auto expectBounds = [](pugi::xml_node node) {
        const auto w = Integer(node.attribute("Width")), h = Integer(node.attribute("Height"));
        const auto l = Integer(node.attribute("Left")), t = Integer(node.attribute("Top"));
        ASSERT_TRUE(w && h && l && t) << node.name();
        EXPECT_TRUE(*w > 100 && *h > 100 && *l >= 0 && *t >= 0) << node.name();
        EXPECT_LE(*l + *w, 1280) << node.name();
        EXPECT_LE(*t + *h, 800) << node.name();
    };
    for (const char* name : {"MissForm", "EventsForm"}) {
        const pugi::xml_node form = editor.child(name);
        expectWord(form, "Visible");
        expectBounds(form);
        EXPECT_TRUE(Integer(form.attribute("SplitPos"))) << name;
    }
    EXPECT_TRUE(Integer(editor.child("EventsForm").attribute("Splitter")));
    expectBounds(editor.child("ErrorsForm"));
    const pugi::xml_node main = editor.child("MainForm");
    expectBounds(main);
    EXPECT_EQ(Integer(main.attribute("State")), 0);
    for (const char* name : {"Splitter", "SplitPlPos", "SplitPrPos", "ProvHeight", "ProvWidName", "ProvWidOwner"})
        EXPECT_TRUE(Integer(main.attribute(name))) << name;
    for (const char* name : {"FilePanel", "ShowPanel", "ZoomPanel"}) expectWord(main, name);

    // The main window and the tool windows stand clear of each other with
    // a window manager's frames round them (6 pixels at the sides and
    // bottom, 30 at the top), all inside 1280 x 800.
    std::vector<std::pair<const char*, std::array<int, 4>>> frames;
    for (const char* name : {"MainForm", "MissForm", "EventsForm"}) {
        const pugi::xml_node form = editor.child(name);
        const int l = *Integer(form.attribute("Left")), t = *Integer(form.attribute("Top"));
        const int r = l + *Integer(form.attribute("Width")), b = t + *Integer(form.attribute("Height"));
        frames.push_back({name, {l - 6, t - 30, r + 6, b + 6}});
        EXPECT_TRUE(l - 6 >= 0 && t - 30 >= 0 && r + 6 <= 1280 && b + 6 <= 800) << name;
    }
    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t j = i + 1; j < frames.size(); ++j) {
            const auto& a = frames[i].second;
            const auto& c = frames[j].second;
            EXPECT_FALSE(a[0] < c[2] && c[0] < a[2] && a[1] < c[3] && c[1] < a[3])
                << frames[i].first << " over " << frames[j].first;
        }
}

struct Region {
    uint32_t colour;
    int size = 0;
    int minX, minY, maxX, maxY;
};

// The four-connected one-colour regions of a picture, as the editor's
// analysis cuts them.
std::vector<Region> Regions(const thorn::DecodedPicture& p) {
    std::vector<Region> regions;
    std::vector<bool> seen(p.pixels.size(), false);
    std::vector<size_t> stack;
    for (size_t start = 0; start < p.pixels.size(); ++start) {
        if (seen[start]) continue;
        Region r{p.pixels[start], 0, p.width, p.height, -1, -1};
        seen[start] = true;
        stack.push_back(start);
        while (!stack.empty()) {
            const size_t i = stack.back();
            stack.pop_back();
            const int x = static_cast<int>(i % p.width), y = static_cast<int>(i / p.width);
            ++r.size;
            r.minX = std::min(r.minX, x), r.maxX = std::max(r.maxX, x);
            r.minY = std::min(r.minY, y), r.maxY = std::max(r.maxY, y);
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                if (nx < 0 || ny < 0 || nx >= p.width || ny >= p.height) continue;
                const size_t n = static_cast<size_t>(ny) * p.width + nx;
                if (!seen[n] && p.pixels[n] == r.colour) {
                    seen[n] = true;
                    stack.push_back(n);
                }
            }
        }
        regions.push_back(r);
    }
    return regions;
}

TEST(Startdir, SampleWorldsCutIntoWholeProvinces) {
    std::map<std::string, int> provinceCounts;
    for (const auto& entry : fs::directory_iterator(kStartDir / "worlds")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const thorn::DecodedPicture p = thorn::LoadPictureFile(entry.path());
        EXPECT_GE(p.width, 160);
        EXPECT_GE(p.height, 160);
        EXPECT_EQ(Pixel(p, 0, 0), kSea) << "the sea surrounds the land";
        std::map<uint32_t, int> partsOfColour;
        bool green = false;
        for (const Region& r : Regions(p)) {
            if (r.colour == kSea || r.colour == kGreenLand) {
                green |= r.colour == kGreenLand;
                EXPECT_GE(r.size, 100) << "no crumbs of sea or green land";
                continue;
            }
            ++partsOfColour[r.colour];
            // A province piece: at least 250 pixels in a box of at least 4 x 4.
            EXPECT_GE(r.size, 250);
            EXPECT_GE(r.maxX - r.minX + 1, 4);
            EXPECT_GE(r.maxY - r.minY + 1, 4);
            EXPECT_NE(r.colour, kMagenta);
        }
        EXPECT_TRUE(green) << "some free green land";
        for (const auto& [colour, parts] : partsOfColour) EXPECT_EQ(parts, 1) << std::hex << colour;
        EXPECT_LE(partsOfColour.size(), 99u);
        provinceCounts[name] = static_cast<int>(partsOfColour.size());
        if (p.width <= 400) {
            EXPECT_GE(partsOfColour.size(), 8u);
            EXPECT_LE(partsOfColour.size(), 12u);
        }
        if (p.width >= 1024) {
            EXPECT_GE(partsOfColour.size(), 40u);
        }
    }
    EXPECT_GE(provinceCounts.size(), 2u);
}

std::set<std::string> FilesUnder(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder).generic_string());
    return files;
}

// Remaking the folder gives the committed bytes, file for file, and no file
// is committed that the generator does not make.
TEST(Startdir, IsExactlyWhatTheGeneratorWrites) {
    thorn::test::TempDir fresh;
    thorn::startdir::WriteStartFolder(fresh.Path());
    const std::set<std::string> files = FilesUnder(fresh.Path());
    EXPECT_EQ(FilesUnder(kStartDir), files);
    for (const std::string& file : files)
        EXPECT_EQ(thorn::test::ReadFileBytes(kStartDir / file), thorn::test::ReadFileBytes(fresh / file)) << file;
}

// The generator's parts.

TEST(StartdirGenerator, RandomIsSplitMix64) {
    // The published first outputs of SplitMix64 from seed 0.
    thorn::startdir::Random random(0);
    EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(random.Next(), 0x6E789E6AA1B965F4ull);
    EXPECT_EQ(random.Next(), 0x06C45D188009454Full);
}

TEST(StartdirGenerator, NoiseRepeatsWithItsPeriodSoTilesJoin) {
    using thorn::startdir::FractalNoise;
    using thorn::startdir::ValueNoise;
    for (int y = 0; y < 64; y += 5)
        for (int x = 0; x < 64; x += 3) {
            EXPECT_EQ(ValueNoise(x + 64, y, 16, 64, 9), ValueNoise(x, y, 16, 64, 9));
            EXPECT_EQ(FractalNoise(x, y + 64, 64, 9), FractalNoise(x, y, 64, 9));
            EXPECT_GE(FractalNoise(x, y, 64, 9), 0);
            EXPECT_LE(FractalNoise(x, y, 64, 9), 255);
        }
    // Neighbouring pixels differ little, also across the tile's edge.
    for (int y = 0; y < 64; ++y) EXPECT_LE(std::abs(FractalNoise(63, y, 64, 3) - FractalNoise(64, y, 64, 3)), 24);
}

TEST(StartdirGenerator, EightBitPicturesReadTheSamePlainAndRunLengthCoded) {
    using thorn::startdir::Rgb;
    const int w = 37, h = 5;  // rows of 37 bytes get padding when stored plain
    std::vector<uint8_t> indices(w * h);
    for (int i = 0; i < w * h; ++i) indices[i] = static_cast<uint8_t>((i / 7) % 3);
    const std::vector<Rgb> palette{{0, 0, 255}, {0, 255, 0}, {10, 20, 30}};
    const auto plain = thorn::DecodeBmp(thorn::startdir::EncodeBmp8(w, h, indices, palette, false));
    const auto coded = thorn::DecodeBmp(thorn::startdir::EncodeBmp8(w, h, indices, palette, true));
    EXPECT_EQ(plain.width, w);
    EXPECT_EQ(plain.height, h);
    EXPECT_EQ(plain.pixels, coded.pixels);
    EXPECT_EQ(Pixel(plain, 0, 0), kSea);
    EXPECT_EQ(Pixel(plain, 7, 0), kGreenLand);
    EXPECT_EQ(Pixel(plain, 14, 0), 0xFF0A141Eu);

    // A row of 600 equal pixels needs more than one run.
    const std::vector<uint8_t> wide(600, 2);
    const auto longRun = thorn::DecodeBmp(thorn::startdir::EncodeBmp8(600, 1, wide, palette, true));
    EXPECT_EQ(std::count(longRun.pixels.begin(), longRun.pixels.end(), 0xFF0A141Eu), 600);
}

TEST(StartdirGenerator, TwentyFourBitPicturesKeepEveryPixel) {
    thorn::startdir::Raster r(3, 2, {1, 2, 3});
    r.Set(2, 1, {200, 100, 50});
    const auto p = thorn::DecodeBmp(thorn::startdir::EncodeBmp24(r));
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF010203, 0xFF010203, 0xFF010203, 0xFF010203, 0xFF010203,
                                                0xFFC86432}));
}

TEST(StartdirGenerator, ProvinceColoursAreDistinctAndNeverReserved) {
    std::set<uint32_t> seen;
    for (int k = 0; k < 250; ++k) {
        const thorn::startdir::Rgb c = thorn::startdir::ProvinceColour(k);
        const uint32_t argb = 0xFF000000u | c.r << 16 | c.g << 8 | c.b;
        EXPECT_TRUE(seen.insert(argb).second) << k;
        EXPECT_NE(argb, kSea);
        EXPECT_NE(argb, kGreenLand);
        EXPECT_NE(argb, kMagenta);
    }
}

}  // namespace
