#include "tools/StartFolder.h"

#include <stdexcept>

#include "platform/Files.h"
#include "startfiles/EditorImageStrips.h"
#include "tools/AboutPicture.h"
#include "tools/BmpWriter.h"
#include "tools/Catalogue.h"
#include "tools/Icons.h"
#include "tools/ImageLists.h"
#include "tools/ProvinceNames.h"
#include "tools/SampleWorlds.h"
#include "tools/SettingsFile.h"
#include "tools/TextureStrips.h"

namespace thorn::startdir {

namespace {

constexpr size_t kProvinceNameCount = 320;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

std::vector<GeneratedFile> MakeStartFolder() {
    std::vector<GeneratedFile> files;
    const auto add = [&files](std::string_view path, std::vector<uint8_t> bytes) {
        files.push_back({std::string(path), std::move(bytes)});
    };
    // Keeps git from touching line ends: names.txt must stay CR LF.
    add(".gitattributes", Bytes("* -text\n"));
    add("pw.xml", Bytes(CatalogueXml()));
    add("ini.xml", Bytes(SettingsXml()));
    add("data/names.txt", Bytes(NamesFileText(ProvinceNames(kProvinceNameCount))));
    add("res/MapTexturesNormal.bmp", EncodeBmp24(NormalMapTextures()));
    add("res/MapTexturesSelected.bmp", EncodeBmp24(SelectedMapTextures()));
    add("res/SeaTexture.bmp", EncodeBmp24(SeaTextures()));
    add("res/marker.bmp", EncodeBmp24(DrawProvinceMarker()));
    add(kLargeImagesFile, EncodeBmp24(ListImageStrip(20)));
    add(kSmallImagesFile, EncodeBmp24(ListImageStrip(16)));
    add("res/about.bmp", EncodeBmp8(DrawAboutPicture(), true));
    for (const CastleKind& c : CastleKinds()) add(c.path, EncodeBmp24(DrawCastle(c.look)));
    for (const ArmyKind& a : ArmyKinds()) add(a.path, EncodeBmp24(DrawArmy(a.look)));
    for (const UnitKind& u : UnitKinds()) add(u.path, EncodeBmp24(DrawUnit(u)));
    for (const WorldPlan& plan : SampleWorldPlans()) {
        const World world = MakeWorld(plan);
        add(plan.path, EncodeBmp8(world.width, world.height, world.indices, world.palette, plan.runLength));
    }
    return files;
}

void WriteStartFolder(const std::filesystem::path& folder) {
    for (const GeneratedFile& file : MakeStartFolder()) {
        const std::filesystem::path target = folder / file.path;
        std::error_code error;
        std::filesystem::create_directories(target.parent_path(), error);
        if (!WriteFileReplacing(target, file.bytes)) throw std::runtime_error("Cannot write " + target.string());
    }
}

}  // namespace thorn::startdir
