// Writes the seed corpus of the project-file target: real projects made by
// the import and the new-mission sequence from the start folder's catalogue,
// edited as a designer would, and saved.
//   make_project_seeds <corpus folder>   (writes project_file/)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/DetachedEditor.h"
#include "model/GameData.h"
#include "model/mapproject.h"

namespace {

const std::filesystem::path kStartFolder = std::filesystem::path(THORN_SOURCE_DIR) / "startdir";

// A world of w x h: a grid of province regions of the given side, an ocean
// border and a strip of green land.
std::unique_ptr<TBitmap32> GridWorld(int32_t w, int32_t h, int32_t side) {
    auto world = std::make_unique<TBitmap32>();
    world->SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            TColor32 c = 0xFF800000u | static_cast<uint32_t>((x / side) * 16 + y / side + 1);
            if (x < 8 || y < 8) c = 0xFF0000FF;
            if (y >= h - 12) c = 0xFF00FF00;
            world->SetPixel(x, y, c);
        }
    return world;
}

// A tiny world made of whole rectangles, without the import (whose
// pictures are 160 pixels a side at least): two provinces side by side
// above a strip of ocean, and a green corner.
void TinyWorld(CMapProject& project) {
    struct Rect {
        uint16_t left, top, right, bottom;
        TColor32 colour;
        uint32_t kind;
    };
    const Rect rects[] = {{0, 0, 23, 15, 0xFF800001, CProvinceMap::Province},
                          {24, 0, 41, 15, 0xFF800002, CProvinceMap::Province},
                          {42, 0, 47, 15, 0xFF00FF00, CProvinceMap::GreenLand},
                          {0, 16, 47, 31, 0xFF0000FF, CProvinceMap::Ocean}};
    project.WorldWidth = 48;
    project.WorldHeight = 32;
    project.SetViewSize();
    for (const Rect& r : rects) {
        auto piece = std::make_unique<CProvinceMap>();
        piece->Color = r.colour;
        piece->Left = r.left, piece->Top = r.top, piece->Right = r.right, piece->Bottom = r.bottom;
        piece->Mask->SetSize(r.right - r.left + 1, r.bottom - r.top + 1);
        piece->Mask->Clear(r.colour);
        piece->PixelCount = static_cast<uint32_t>(piece->Mask->Width() * piece->Mask->Height());
        piece->Kind = r.kind;
        project.MapPieces.Add(std::move(piece));
    }
    project.ReassignMapIndexes();
    CalcNeighbours(project);
    project.CalcCastlePlaces();
}

void Save(CMapProject& project, const std::filesystem::path& file) {
    if (!project.SaveProject(file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_project_seeds <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::path(argv[1]) / "project_file";
    std::filesystem::create_directories(out);
    const std::unique_ptr<TXMLDocument> catalogue = thorn::OpenGameData(kStartFolder / "pw.xml");

    auto fresh = [&](thorn::DetachedEditor& editor, CMapProject& project, std::unique_ptr<TBitmap32> world) {
        editor.SetGameData(catalogue->GetDocumentElement(), kStartFolder);
        project.SetEditorLink(&editor);
        if (world && !project.ImportWorldBitmap(std::move(world), 0)) std::exit(1);
        if (!project.NewMissionFromImage()) std::exit(1);
    };

    {  // a grid of four provinces, nothing edited
        thorn::DetachedEditor editor;
        CMapProject project;
        fresh(editor, project, GridWorld(160, 160, 76));
        Save(project, out / "grid4.pw");
    }
    {  // nine provinces with owners, capitals, castles, events and a second table
        thorn::DetachedEditor editor;
        CMapProject project;
        fresh(editor, project, GridWorld(180, 170, 58));
        for (uint8_t k = 0; k < project.Provinces.GetCount(); ++k) {
            CProvince& p = *project.Provinces.GetAt(k);
            p.SetOwner(k % 3);
            p.SetHasCastle(k % 2);
            p.SetGuardianArmy(1, 5 * k);
        }
        for (uint32_t i = 0; i < 3; ++i) {
            project.Players[i].SetActive(1);
            project.Players[i].SetCapital(project.Provinces.GetAt(static_cast<uint8_t>(i)));
        }
        for (int e = 0; e < 3; ++e) project.Events.AddEvent()->Turn = static_cast<uint16_t>(10 * e + 1);
        project.VictoryConds.VictoryType = 4;
        project.VictoryConds.Data.ProvinceToCapture = 2;
        project.Tables.Add(std::make_unique<CStringTable>(*project.Tables.GetAt(0)));
        Save(project, out / "grid9-edited.pw");
    }
    {  // the start folder's sample world
        thorn::DetachedEditor editor;
        CMapProject project;
        auto world = std::make_unique<TBitmap32>();
        world->LoadFromFile(kStartFolder / "worlds/small_isles.bmp");
        fresh(editor, project, std::move(world));
        Save(project, out / "small_isles.pw");
    }
    {  // a tiny world of two provinces, one the capital of an active player
        thorn::DetachedEditor editor;
        CMapProject project;
        editor.SetGameData(catalogue->GetDocumentElement(), kStartFolder);
        project.SetEditorLink(&editor);
        TinyWorld(project);
        if (!project.NewMissionFromImage()) return 1;
        project.Provinces.GetAt(1)->SetOwner(0);
        project.Players[0].SetActive(1);
        project.Players[0].SetCapital(project.Provinces.GetAt(1));
        project.Events.AddEvent();
        Save(project, out / "tiny.pw");
    }
    {  // game data and players only: no world picture
        thorn::DetachedEditor editor;
        CMapProject project;
        fresh(editor, project, nullptr);
        Save(project, out / "empty.pw");
    }
    std::printf("seeds written to %s\n", out.c_str());
    return 0;
}
