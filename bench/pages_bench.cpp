// The world view and the pages beside it as the designer uses them, on the
// 4096 x 4096 world of the benchmarks (99 provinces) opened as New opens it,
// in the headless host with the main window at 1280 x 800 and the view at
// 100 %. Each case is one input from the host, handled and repainted (the
// host's message loop runs until no paint is pending): a click on the
// provinces page that selects a province, one step of a province marker
// dragged, all 99 provinces selected in the provinces list (Shift+End from
// its first row), one owner chosen in the province grid for all 99, and the
// view paged down after all 99 were selected.
// Beside them, the model's redraw of every province piece, which the last
// two include: each of their provinces changes its piece's texture. The
// redraw paints only what the view shows and puts the rest off until it is
// looked at; the last case reads it all at once after the redraw.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "EditorRun.h"
#include "Harness.h"
#include "SyntheticWorld.h"
#include "bitmapui/Pix32_Layers.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "gui/ScrollBox.h"
#include "inspector/Rminspectoritems.h"

namespace {

using namespace thorn::bench;

constexpr int32_t kWorldSide = 4096;
constexpr int kProvincesPage = 1;
constexpr double kFrameMs = 16;

TMainForm& Main() { return EditorRun::Main(); }
CMapProject& Project() { return *MapProject; }

// The point the host takes for a control's client point.
TPoint FormPointOf(const TControl& control, TPoint client) {
    const TPoint screen = control.ClientToScreen(client);
    return {screen.X - Main().GetLeft(), screen.Y - Main().GetTop()};
}

TPoint FormPointOfWorld(TPoint world) {
    const double scale = Main().ImgVWorld->GetScale();
    return FormPointOf(*Main().ImgVWorld, {static_cast<int32_t>(world.X * scale), static_cast<int32_t>(world.Y * scale)});
}

bool InSight(TPoint world) {
    const TPoint at = FormPointOfWorld(world);
    const TPoint inBox = Main().ScrBWorld->ScreenToClient(
        {at.X + Main().GetLeft(), at.Y + Main().GetTop()});
    return inBox.X >= 0 && inBox.Y >= 0 && inBox.X < Main().ScrBWorld->GetClientWidth() &&
           inBox.Y < Main().ScrBWorld->GetClientHeight();
}

// A point of the province's piece, in sight, with no layer on it.
TPoint OpenPointOf(const CProvince& province) {
    const CProvinceMap& piece = *Project().MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex));
    for (int y = piece.Top + 4; y < piece.Top + piece.Mask->Height() - 4; y += 2)
        for (int x = piece.Left + 4; x < piece.Left + piece.Mask->Width() - 4; x += 2) {
            if (Project().GetPieceAt(x, y) != province.MapPieceIndex || !InSight({x, y})) continue;
            if (!Main().ImgVWorld->GetLayers()->FindLayerAtPos(x, y, kLayerMouseEvents)) return {x, y};
        }
    throw std::runtime_error("no open point of the province in sight");
}

void Painted() {
    if (Main().HasPendingPaint()) throw std::runtime_error("a paint is still pending");
}

// The editor with the big world open on the provinces page, made once.
class Desk {
public:
    Desk();
    static Desk& Get() { return *the; }
    // Made before any timing and closed before the program ends.
    static std::unique_ptr<Desk> the;

    thorn::HeadlessHost& Host() { return editor_.Host(); }
    CProvince& Province(int i) { return *Project().Provinces.GetAt(static_cast<uint8_t>(i)); }

    void ShowProvincesPage() {
        TPageControl& pages = *Main().PgCMissionProperties;
        if (pages.GetActivePageIndex() == kProvincesPage) return;
        const TRect tab = pages.TabRect(kProvincesPage);
        const TPoint at = FormPointOf(pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
        Host().Click(Main(), at.X, at.Y);
    }
    void ClickWorld(TPoint world) {
        const TPoint at = FormPointOfWorld(world);
        Host().Click(Main(), at.X, at.Y);
    }
    void ClickProvinceRow(int row) {
        TListItem& item = *Main().LVProvinces->GetItems()->GetItem(row);
        item.MakeVisible();
        const TRect r = item.DisplayRect();
        const TPoint at = FormPointOf(*Main().LVProvinces, {r.Left + 20, (r.Top + r.Bottom) / 2});
        Host().Click(Main(), at.X, at.Y);
    }
    void SelectAllRows() {
        ClickProvinceRow(0);
        Host().PressKey(VK_END, {ssShift});
    }
    // Drops the owner row's list, with the grid's selection walked to it.
    TCustomComboBox& DropOwnerList() {
        TrmInspector& grid = *Main().RMIProvince;
        const int wanted = grid.VisibileItemIndex(grid.GetItemByName("Owner"));
        const TRect caption = grid.GetVisibleItemRect(wanted - grid.GetVScrollPos(), false);
        const TPoint row = FormPointOf(grid, {caption.Left + 10, (caption.Top + caption.Bottom) / 2});
        Host().Click(Main(), row.X, row.Y);
        auto* combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor());
        if (!combo) throw std::runtime_error("the owner row has no list");
        const TPoint box = FormPointOf(*combo, {combo->GetWidth() - 6, combo->GetHeight() / 2});
        Host().Click(Main(), box.X, box.Y);
        if (!combo->GetDroppedDown()) throw std::runtime_error("the owner list did not drop");
        return *combo;
    }
    void ChooseInList(TCustomComboBox& combo, int entry) {
        thorn::RowView& rows = *combo.GetListView();
        const TRect r = rows.RowRect(entry);
        const TPoint at = rows.ClientToParent({r.Left + 5, (r.Top + r.Bottom) / 2}, combo.GetListWindow());
        Host().Click(*combo.GetListWindow(), at.X, at.Y);
    }

private:
    InStartFolder folder_;
    EditorRun editor_;
};

std::unique_ptr<Desk> Desk::the;

Desk::Desk() {
    const std::filesystem::path picture = InStartFolder::Path() / "worlds" / "world_4096.bmp";
    SaveBmp24(SharedWorld(kWorldSide), picture);
    Host().ResizeWindow(Main(), 1280, 800);
    OpenWorld(picture, 1.0f);
    if (Project().Provinces.GetCount() != 99)
        throw std::runtime_error("the world gave " + std::to_string(Project().Provinces.GetCount()) + " provinces");
    // The first two players take part, as New leaves them.
    for (uint32_t i : {0u, 1u}) Project().PlayerAt(i)->Active = 1;
    ShowProvincesPage();
    Painted();
}

// Two provinces in sight, clicked in turn: each click clears the
// selection and selects the other.
void BM_ClickSelectsAProvince(benchmark::State& state) {
    Desk& desk = Desk::Get();
    std::array<TPoint, 2> points{};
    int found = 0;
    for (int i = 0; i < Project().Provinces.GetCount() && found < 2; ++i) {
        try {
            points[static_cast<size_t>(found)] = OpenPointOf(desk.Province(i));
            ++found;
        } catch (const std::runtime_error&) {
        }
    }
    if (found < 2) throw std::runtime_error("fewer than two provinces in sight");
    size_t turn = 0;
    for (auto _ : state) {
        desk.ClickWorld(points[turn]);
        turn ^= 1;
        Painted();
    }
    if (Project().Selection.GetCount() != 1) throw std::runtime_error("the click did not select one province");
}

// The marker of a province in sight pressed, then moved to and fro by
// three pixels, inside its piece: one step per iteration.
void BM_MarkerDragStep(benchmark::State& state) {
    Desk& desk = Desk::Get();
    Settings->ShIcons = 1;
    CProvince* province = nullptr;
    TPoint marker{};
    for (int i = 0; i < Project().Provinces.GetCount() && !province; ++i) {
        const TFloatRect r = Project().FindIconLayer(&desk.Province(i))->GetLocation();
        marker = {static_cast<int32_t>((r.Left + r.Right) / 2), static_cast<int32_t>((r.Top + r.Bottom) / 2)};
        if (InSight(marker)) province = &desk.Province(i);
    }
    if (!province) throw std::runtime_error("no marker in sight");
    const TPoint at = FormPointOfWorld(marker);
    desk.Host().MouseDown(Main(), at.X, at.Y);
    if (Project().DragLayerTag == nullptr) throw std::runtime_error("the press took no marker");
    int step = 0;
    for (auto _ : state) {
        step ^= 1;
        desk.Host().MouseMove(Main(), at.X + 3 * step, at.Y + 2 * step, {ssLeft});
        Painted();
    }
    desk.Host().MouseUp(Main(), at.X, at.Y);
    if (province->FreeX != marker.X || province->FreeY != marker.Y)
        if (province->FreeX != marker.X + 3 || province->FreeY != marker.Y + 2)
            throw std::runtime_error("the marker did not follow");
}

void BM_SelectAllFromTheList(benchmark::State& state) {
    Desk& desk = Desk::Get();
    for (auto _ : state) {
        state.PauseTiming();
        desk.ClickProvinceRow(0);
        state.ResumeTiming();
        desk.Host().PressKey(VK_END, {ssShift});
        Painted();
    }
    if (Project().Selection.GetCount() != 99) throw std::runtime_error("not all 99 provinces were selected");
}

// With all 99 selected, the owner row's list dropped and the first player
// or "none" chosen in turn.
void BM_OwnerOfAll(benchmark::State& state) {
    Desk& desk = Desk::Get();
    desk.SelectAllRows();
    if (Project().Selection.GetCount() != 99) throw std::runtime_error("not all 99 provinces were selected");
    int entry = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TCustomComboBox& combo = desk.DropOwnerList();
        entry = entry == 1 ? 0 : 1;
        state.ResumeTiming();
        desk.ChooseInList(combo, entry);
        Painted();
    }
    const uint8_t owner = entry == 1 ? 0 : CProvinceB::kNoOwner;
    for (int i = 0; i < 99; ++i)
        if (desk.Province(i).Owner != owner) throw std::runtime_error("a province kept its owner");
}

// All 99 selected, then the view paged down by a click on its scroll bar
// below the thumb, as a user looks at the rest of the world: what comes
// into sight was put off by the selection and is painted now.
void BM_PageDownAfterSelectingAll(benchmark::State& state) {
    Desk& desk = Desk::Get();
    TScrollBox& box = *Main().ScrBWorld;
    const TPoint track = FormPointOf(box, {box.GetClientWidth() + 6, box.GetClientHeight() - 12});
    const int32_t top = box.VertScrollBar().GetPosition();
    for (auto _ : state) {
        state.PauseTiming();
        box.VertScrollBar().SetPosition(top);
        desk.SelectAllRows();
        Painted();
        state.ResumeTiming();
        desk.Host().Click(Main(), track.X, track.Y);
        Painted();
    }
    if (box.VertScrollBar().GetPosition() <= top) throw std::runtime_error("the view did not scroll");
    box.VertScrollBar().SetPosition(top);
}

// What the two cases of all 99 provinces cannot do without: every
// province's piece textured, bevelled and drawn onto the world again, as
// the model does it, with no input and no paint.
void BM_EveryPieceRedrawn(benchmark::State& state) {
    Desk::Get();
    for (auto _ : state) Project().RedrawPieces(0);
}

// The same, then the whole world picture and every piece's mask read:
// whatever the redraw put off, because nobody looked yet, is done.
void BM_EveryPieceRedrawnAndRead(benchmark::State& state) {
    Desk::Get();
    for (auto _ : state) {
        Project().RedrawPieces(0);
        benchmark::DoNotOptimize(Main().ImgVWorld->GetBitmap()->Bits());
        for (uint16_t n = 0; n < Project().MapPieces.GetCount(); ++n) {
            const CProvinceMap& piece = *Project().MapPieces.GetAt(n);
            benchmark::DoNotOptimize(piece.Mask->Bits());
        }
    }
}

void Register() {
    struct Case {
        const char* name;
        void (*run)(benchmark::State&);
        const char* label;
    };
    for (const Case& c : {Case{"pages: click selecting a province", BM_ClickSelectsAProvince,
                               "4096 world, 99 provinces: a click selecting a province, repainted"},
                          Case{"pages: marker drag step", BM_MarkerDragStep,
                               "4096 world, 99 provinces: a drag step of a marker, repainted"},
                          Case{"pages: all 99 selected from the list", BM_SelectAllFromTheList,
                               "4096 world, 99 provinces: all 99 selected in the list, repainted"},
                          Case{"pages: owner of all 99 in one edit", BM_OwnerOfAll,
                               "4096 world, 99 provinces: one owner edit for all 99, repainted"},
                          Case{"pages: page down after all 99 selected", BM_PageDownAfterSelectingAll,
                               "4096 world, 99 provinces selected: the view paged down, repainted"}}) {
        benchmark::RegisterBenchmark(c.name, c.run)->Unit(benchmark::kMillisecond);
        Row row;
        row.label = c.label;
        row.ours = {c.name};
        // One frame of a display refreshed 60 times a second.
        row.target = AtMost(kFrameMs);
        AddRow(row);
    }
    benchmark::RegisterBenchmark("pages: every province piece redrawn", BM_EveryPieceRedrawn)
        ->Unit(benchmark::kMillisecond);
    Row floor;
    floor.label = "4096 world: the 99 province pieces redrawn by the model alone";
    floor.ours = {"pages: every province piece redrawn"};
    floor.note = "part of both cases of all 99 provinces";
    AddRow(floor);
    benchmark::RegisterBenchmark("pages: every province piece redrawn and read", BM_EveryPieceRedrawnAndRead)
        ->Unit(benchmark::kMillisecond);
    Row read;
    read.label = "4096 world: the 99 pieces redrawn, then the world and every mask read";
    read.ours = {"pages: every province piece redrawn and read"};
    read.note = "what the redraw puts off out of sight, all done";
    AddRow(read);
}

}  // namespace

int main(int argc, char** argv) {
    // The world is made, imported and painted once, before any timing.
    Desk::the = std::make_unique<Desk>();
    Register();
    const int result = thorn::bench::Main(argc, argv);
    Desk::the.reset();
    return result;
}
