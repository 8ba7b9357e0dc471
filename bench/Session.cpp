#include "Session.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "SyntheticWorld.h"
#include "model/GameData.h"

namespace thorn::bench {
namespace {

const TXMLDocument& Catalogue() {
    static const std::unique_ptr<TXMLDocument> document = thorn::OpenGameData(StartFolder() / "pw.xml");
    return *document;
}

}  // namespace

const std::filesystem::path& StartFolder() {
    static const std::filesystem::path folder = std::filesystem::path(THORN_SOURCE_DIR) / "startdir";
    return folder;
}

Session::Session() {
    editor.SetGameData(Catalogue().GetDocumentElement(), StartFolder());
    // The texture strips the editor loads at start-up; the detached editor
    // starts with none.
    const std::pair<TextureStrip, const char*> strips[] = {{TextureStrip::Normal, "MapTexturesNormal.bmp"},
                                                           {TextureStrip::Selected, "MapTexturesSelected.bmp"},
                                                           {TextureStrip::Sea, "SeaTexture.bmp"}};
    for (auto [strip, file] : strips)
        if (!const_cast<CTextures&>(editor.Texture(strip)).Load(StartFolder() / "res" / file))
            throw std::runtime_error(std::string("the texture strip cannot be read: ") + file);
    // And the province marker, drawn blended.
    TBitmap32& marker = *editor.MarkerPictures().GetBitmaps()->Add()->GetBitmap();
    marker.LoadFromFile(StartFolder() / "res" / "marker.bmp");
    marker.SetDrawMode(dmBlend);
    project.SetEditorLink(&editor);
}

int NewMission(CMapProject& project, const TBitmap32& world) {
    if (!project.ImportWorldBitmap(CopyOf(world), 0)) throw std::runtime_error("import refused");
    if (!project.NewMissionFromImage()) throw std::runtime_error("catalogue refused");
    return project.Provinces.GetCount();
}

}  // namespace thorn::bench
