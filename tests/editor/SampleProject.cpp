#include "SampleProject.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

#include "editor/Main.h"
#include "editor/MissionInspector.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "support/PictureFiles.h"

namespace thorn::test {

namespace {

constexpr TColor32 kSea = 0xFF0000FF;
constexpr TColor32 kGreen = 0xFF00FF00;

// The top-left corner of the first side x side square of one colour,
// searched row by row in steps of side, whose colour passes the test.
template <typename Test>
TPoint FindSquare(const TBitmap32& picture, int side, Test test) {
    for (int y = side; y + 2 * side < picture.Height(); y += side)
        for (int x = side; x + 2 * side < picture.Width(); x += side) {
            const TColor32 c = picture.GetPixel(x, y);
            if (!test(c)) continue;
            bool same = true;
            for (int dy = -side; dy < 2 * side && same; ++dy)
                for (int dx = -side; dx < 2 * side && same; ++dx) same = picture.GetPixel(x + dx, y + dy) == c;
            if (same) return {x, y};
        }
    throw std::runtime_error("no such square in the sample world");
}

void Fill(TBitmap32& picture, const TRect& r, TColor32 c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) picture.SetPixel(x, y, c);
}

}  // namespace

Specks WorldWithSpecks(const std::filesystem::path& folder, std::filesystem::path& world) {
    TBitmap32 picture;
    picture.LoadFromFile(folder / "worlds/small_isles.bmp");
    const TPoint inland = FindSquare(picture, 3, [](TColor32 c) { return c != kSea && c != kGreen; });
    const TPoint sea = FindSquare(picture, 5, [](TColor32 c) { return c == kSea; });
    const Specks specks{{inland.X, inland.Y, inland.X + 3, inland.Y + 3}, {sea.X, sea.Y, sea.X + 5, sea.Y + 5}};
    Fill(picture, specks.joined, 0xFF123456);
    Fill(picture, specks.island, 0xFF654321);
    world = folder / "specks.bmp";
    WriteBmp24(world, picture);
    return specks;
}

void MakeProject(const std::filesystem::path& world) {
    CMapProject& project = *MapProject;
    ASSERT_NE(project.ImportWorldImage(world, 0), 0);
    ASSERT_EQ(project.NewMissionFromImage(), 1);
    MainForm->ImgVWorld->SetScale(2.0f);
    project.FitWorldImage();
    project.SetZoom(2.0f);
    project.EnableProjectUI(1);
}

void NewSampleProject() {
    CMapProject& project = *MapProject;
    if (project.ImportWorldImage("worlds/small_isles.bmp", 0) == 0 || project.NewMissionFromImage() == 0)
        throw std::runtime_error("the sample world makes no mission");
    project.Tables.Add(std::make_unique<CStringTable>());
    project.CurrentStringTable = 1;
    MissFrame->FillMissionInspector();
    UpdateMissionInspector(project);
    project.EnableProjectUI(1);
    project.Modified = 0;
    Application->ProcessMessages();
}

}  // namespace thorn::test
