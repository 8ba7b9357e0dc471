// The world view's repaint and the designer's work in it.
//
// Repaint beside pixman: a 2000 x 2000 world picture under 400 bitmap
// layers (icons of 20 x 20 to 120 x 40, half of them blended with a master
// alpha), seen through a 1280 x 800 window at zoom 1, 2 and 8, painted by the
// image control into its form's back buffer straight ("ours") or through
// its own buffer ("buffered"), beside pixman compositing the same stack into
// a buffer of the window's size (and, for the buffered way, into a buffer of
// its own first). pixman samples the world where ours does
// and gets the blended icons premultiplied; the check compares both frames.
// Showing the result on a screen costs the same for both and is left out.
//
// The designer's cases, on a mission built from a synthetic world with the
// start folder's catalogue (99 provinces, four layers each, and the
// neighbour-link overlay): the zoom stepped in and out, one castle icon
// dragged across the view (time, and the pixels repainted against the
// pixels the icon left and took), the layer under the cursor found among
// them, and a 3840 x 2160 view of a 4096 x 4096 world.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Harness.h"
#include "PixelCheck.h"
#include "PixmanPeer.h"
#include "Session.h"
#include "SyntheticWorld.h"
#include "bitmap/Pix32_Transfer.h"
#include "bitmapui/Pix32_Image.h"
#include "bitmapui/Pix32_Layers.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "model/Settings.h"

namespace {

using namespace thorn::bench;

constexpr int kWorld = 2000;
constexpr int kViewW = 1280;
constexpr int kViewH = 800;
constexpr int kLayers = 400;
constexpr double kFrameMs = 16;

// ------------------------------------------------------------- the host

// The rectangles the form presented last, kept by the blind host's windows.
std::vector<TRect>& Presented() {
    static std::vector<TRect> rects;
    return rects;
}

// The headless host, with windows that show nothing.
class BlindHost : public thorn::HeadlessHost {
public:
    std::unique_ptr<thorn::HostWindow> CreateWindow(thorn::HostWindowClient&, thorn::WindowKind) override {
        return std::make_unique<Window>();
    }

private:
    struct Window : thorn::HostWindow {
        void SetBounds(const TRect&) override {}
        void SetCaption(std::string_view) override {}
        void SetVisible(bool) override {}
        void Activate() override {}
        void Present(const TBitmap32&, std::span<const TRect> rects) override {
            Presented().assign(rects.begin(), rects.end());
        }
        void SetCapture(bool) override {}
        void SetBorderStyle(TFormBorderStyle) override {}
        void SetFormStyle(TFormStyle) override {}
        void SetWindowState(TWindowState) override {}
        void ReadPixels(TBitmap32& into) const override { into.SetSize(0, 0); }
    };
};

// How many pixels of a w x h view the rectangles cover together.
int64_t CoveredPixels(std::span<const TRect> rects, int w, int h) {
    std::vector<uint8_t> covered(static_cast<size_t>(w) * h);
    for (const TRect& r : rects)
        for (int y = std::max(0, r.Top); y < std::min(h, r.Bottom); ++y)
            for (int x = std::max(0, r.Left); x < std::min(w, r.Right); ++x) covered[static_cast<size_t>(y) * w + x] = 1;
    return std::count(covered.begin(), covered.end(), 1);
}

// ------------------------------------------------------- repaint beside pixman

struct Icon {
    std::unique_ptr<TBitmap32> picture, premultiplied;
    int worldX = 0, worldY = 0;  // where the icon's top-left sits in the world
    bool blended = false;
    uint8_t masterAlpha = 255;
};

// The same icons for both: rounded shapes with transparent corners.
const std::vector<Icon>& Icons() {
    static const std::vector<Icon> icons = [] {
        std::vector<Icon> list;
        std::mt19937 rng(2024);
        for (int i = 0; i < kLayers; ++i) {
            Icon icon;
            const int w = 20 + static_cast<int>(rng() % 101), h = 20 + static_cast<int>(rng() % 21);
            icon.picture = std::make_unique<TBitmap32>();
            icon.picture->SetSize(w, h);
            const TColor32 colour = 0xFF000000u | (rng() & 0xFFFFFF);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool corner = (x < 3 || x >= w - 3) && (y < 3 || y >= h - 3);
                    icon.picture->SetPixel(x, y, corner ? 0 : SetAlpha(colour, 128 + (x * 127) / w));
                }
            icon.premultiplied = std::make_unique<TBitmap32>();
            Premultiply(*icon.picture, *icon.premultiplied);
            icon.worldX = static_cast<int>(rng() % (kWorld - w));
            icon.worldY = static_cast<int>(rng() % (kWorld - h));
            icon.blended = i % 2 == 1;
            icon.masterAlpha = static_cast<uint8_t>(96 + rng() % 160);
            list.push_back(std::move(icon));
        }
        return list;
    }();
    return icons;
}

const TBitmap32& World() { return SharedWorld(kWorld); }

// The window's left-top corner in zoomed world pixels: the middle of the world.
TPoint Scroll(int zoom) { return {(kWorld * zoom - kViewW) / 2, (kWorld * zoom - kViewH) / 2}; }

// The form with the image control and its layers, as the map view places
// them: unscaled, at the zoomed world point.
struct IconView {
    IconView(int zoom, bool buffered) : app(std::make_unique<BlindHost>()) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, kViewW, kViewH);
        image = thorn::Make<TImage32>(*form);
        image->SetParent(form);
        image->SetKeepBuffer(buffered);
        image->SetScaleMode(smScale);
        image->SetScale(static_cast<float>(zoom));
        image->GetBitmap()->Assign(World());
        const TPoint scroll = Scroll(zoom);
        image->SetBounds(-scroll.X, -scroll.Y, kWorld * zoom, kWorld * zoom);
        for (const Icon& icon : Icons()) {
            auto* layer = image->GetLayers()->Add<TBitmapLayer>();
            layer->GetBitmap()->Assign(*icon.picture);
            layer->GetBitmap()->SetDrawMode(icon.blended ? dmBlend : dmOpaque);
            layer->GetBitmap()->SetMasterAlpha(icon.masterAlpha);
            const float x = static_cast<float>(icon.worldX * zoom), y = static_cast<float>(icon.worldY * zoom);
            layer->SetLocation({x, y, x + icon.picture->Width(), y + icon.picture->Height()});
        }
        form->Show();
        Application->ProcessMessages();
    }
    void Repaint() {
        image->Invalidate();
        form->PaintPending();
    }
    TApplication app;
    TForm* form = nullptr;
    TImage32* image = nullptr;
};

void RepaintOurs(benchmark::State& state, int zoom, bool buffered) {
    IconView view(zoom, buffered);
    if (view.image->GetPaintedDirect() == buffered) state.SkipWithError("the image painted the other way");
    for (auto _ : state) {
        view.Repaint();
        benchmark::DoNotOptimize(view.form->GetBackBuffer().Bits());
    }
}

Stretch WorldStretch(int zoom) {
    const TPoint scroll = Scroll(zoom);
    return {kWorld, kWorld, kWorld * zoom, kWorld * zoom, scroll.X, scroll.Y, kViewW, kViewH};
}

// pixman's frame: the world, then each icon, the blended ones premultiplied
// and over the frame through a mask of their master alpha.
struct PixmanView {
    explicit PixmanView(int zoom) : zoom(zoom) {
        world.Assign(World());
        view.SetSize(kViewW, kViewH);
        dst = std::make_unique<PixmanImage>(view);
        src = std::make_unique<PixmanImage>(world);
        MapLikeStretch(src->get(), WorldStretch(zoom), PIXMAN_FILTER_NEAREST);
        for (const Icon& icon : Icons()) {
            icons.push_back(std::make_unique<PixmanImage>(icon.blended ? *icon.premultiplied : *icon.picture));
            masks.push_back(icon.blended ? std::make_unique<PixmanAlpha>(icon.masterAlpha) : nullptr);
        }
    }
    void Repaint() {
        const TPoint scroll = Scroll(zoom);
        pixman_image_composite32(PIXMAN_OP_SRC, src->get(), nullptr, dst->get(), scroll.X, scroll.Y, 0, 0, 0, 0, kViewW,
                                 kViewH);
        const std::vector<Icon>& list = Icons();
        for (size_t i = 0; i < list.size(); ++i) {
            const Icon& icon = list[i];
            const int x = icon.worldX * zoom - scroll.X, y = icon.worldY * zoom - scroll.Y;
            pixman_image_composite32(masks[i] ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, icons[i]->get(),
                                     masks[i] ? masks[i]->get() : nullptr, dst->get(), 0, 0, 0, 0, x, y,
                                     icon.picture->Width(), icon.picture->Height());
        }
    }
    int zoom;
    TBitmap32 world, view;
    std::unique_ptr<PixmanImage> dst, src;
    std::vector<std::unique_ptr<PixmanImage>> icons;
    std::vector<std::unique_ptr<PixmanAlpha>> masks;
};

void RepaintPixman(benchmark::State& state, int zoom) {
    PixmanView view(zoom);
    for (auto _ : state) {
        view.Repaint();
        benchmark::DoNotOptimize(view.view.Bits());
    }
}

// The buffered job: the frame composited into a buffer of its own, then
// copied into the window's.
void RepaintPixmanBuffered(benchmark::State& state, int zoom) {
    PixmanView view(zoom);
    TBitmap32 window;
    window.SetSize(kViewW, kViewH);
    PixmanImage shown(window);
    for (auto _ : state) {
        view.Repaint();
        pixman_image_composite32(PIXMAN_OP_SRC, view.dst->get(), nullptr, shown.get(), 0, 0, 0, 0, 0, 0, kViewW,
                                 kViewH);
        benchmark::DoNotOptimize(window.Bits());
    }
}

// Both frames: the world's pixels where both take the same source pixel,
// the icons' colours within the rounding of the two blends.
std::string CheckRepaint(int zoom, bool buffered) {
    const Stretch stretch = WorldStretch(zoom);
    auto ours = [&](TBitmap32& src, TBitmap32& dst) {
        StretchTransfer(&dst, {-stretch.drawnX, -stretch.drawnY, stretch.dstW - stretch.drawnX,
                               stretch.dstH - stretch.drawnY},
                        dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmOpaque);
    };
    auto peer = [&](TBitmap32& src, TBitmap32& dst) {
        PixmanImage in(src), out(dst);
        MapLikeStretch(in.get(), stretch, PIXMAN_FILTER_NEAREST);
        pixman_image_composite32(PIXMAN_OP_SRC, in.get(), nullptr, out.get(), stretch.drawnX, stretch.drawnY, 0, 0, 0,
                                 0, kViewW, kViewH);
    };
    const Picks ourPicks = PicksOf(stretch, ours), peerPicks = PicksOf(stretch, peer);
    std::string agreement = SamePicks(stretch, ourPicks, peerPicks);
    IconView mine(zoom, buffered);
    PixmanView theirs(zoom);
    theirs.Repaint();
    auto samePick = [&](int32_t x, int32_t y) {
        return ourPicks.columns[x] == peerPicks.columns[x] && ourPicks.rows[y] == peerPicks.rows[y];
    };
    return agreement + "; " +
           ColoursWithin(mine.form->GetBackBuffer(), theirs.view, 2, "blends weighted a/256 against a/255", samePick);
}

// A frame takes a fraction of a millisecond, and at zoom 1 both sides are
// bound by copying the frame at memory speed, where a busy machine moves
// single figures most: more repetitions steady the medians.
constexpr int kRepaintRepetitions = 15;

void RegisterRepaints() {
    for (int zoom : {1, 2, 8}) {
        const std::string z = std::to_string(zoom);
        for (bool buffered : {false, true}) {
            const std::string label =
                std::string(buffered ? "buffered repaint" : "repaint") + " 1280x800 of 400 icons, zoom " + z;
            benchmark::RegisterBenchmark((label + "/ours").c_str(), [zoom, buffered](benchmark::State& s) {
                RepaintOurs(s, zoom, buffered);
            })->Unit(benchmark::kMillisecond)->Repetitions(Repetitions(kRepaintRepetitions));
            Row row;
            row.label = label;
            row.ours = {label + "/ours"};
            row.peerName = buffered ? "pixman buffered" : "pixman";
            row.peer = {std::string(buffered ? "pixman buffered repaint" : "pixman repaint") + ", zoom " + z};
            row.target = RatioAtMost(1.0);
            AddRow(row);
            AddCheck(label, [zoom, buffered] { return CheckRepaint(zoom, buffered); });
        }
        benchmark::RegisterBenchmark(("pixman repaint, zoom " + z).c_str(), [zoom](benchmark::State& s) {
            RepaintPixman(s, zoom);
        })->Unit(benchmark::kMillisecond)->Repetitions(Repetitions(kRepaintRepetitions));
        benchmark::RegisterBenchmark(("pixman buffered repaint, zoom " + z).c_str(), [zoom](benchmark::State& s) {
            RepaintPixmanBuffered(s, zoom);
        })->Unit(benchmark::kMillisecond)->Repetitions(Repetitions(kRepaintRepetitions));
    }
}

// ------------------------------------------------------ the designer's view

// A mission on the synthetic world of the given side, made once while the
// cases ask for that side (the editor keeps one project at a time).
Session& Mission(int32_t side) {
    static std::unique_ptr<Session> session;
    static int32_t sessionSide = 0;
    if (!session || sessionSide != side) {
        session.reset();
        session = std::make_unique<Session>();
        sessionSide = side;
        // Castles, armies and names shown: three of each province's four
        // layers.
        CSettings& settings = session->editor.Settings();
        settings.ShIcons = 0;
        settings.ShCastles = settings.ShArmies = settings.ShNames = 1;
        NewMission(session->project, SharedWorld(side));
    }
    return *session;
}

// The mission's world view shown in a form of the given size, at the zoom
// the New command sets; the view leaves the form when this goes.
struct MissionView {
    MissionView(int32_t side, int width, int height, float zoom)
        : app(std::make_unique<BlindHost>()), session(Mission(side)), view(session.editor.WorldView()) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, width, height);
        view.SetParent(form);
        session.project.SetZoom(zoom);
        form->Show();
        Application->ProcessMessages();
    }
    ~MissionView() { view.SetParent(nullptr); }
    TApplication app;
    Session& session;
    TImage32& view;
    TForm* form = nullptr;
};

constexpr int32_t kMissionWorld = 2048;

// Zoom in step by step to 800 % and out again, a frame painted at each step.
void ZoomSteps(benchmark::State& state) {
    MissionView mission(kMissionWorld, kViewW, kViewH, 2);
    float zoom = 2, step = 1;
    for (auto _ : state) {
        if (zoom + step > 8 || zoom + step < 1) step = -step;
        zoom += step;
        mission.session.project.SetZoom(zoom);
        mission.form->PaintPending();
    }
    state.counters["layers"] = mission.view.GetLayers()->GetCount();
}

// One castle icon dragged along a row of the view, a few pixels a step.
void DragCastle(benchmark::State& state) {
    MissionView mission(kMissionWorld, kViewW, kViewH, 2);
    CMapProject& project = mission.session.project;
    // The first province whose castle shows in the view.
    TBitmapLayer* icon = nullptr;
    for (uint8_t i = 0; i < project.Provinces.GetCount() && !icon; ++i) {
        TBitmapLayer* candidate = project.FindCastleLayer(project.Provinces.GetAt(i));
        const TFloatRect at = candidate ? candidate->GetLocation() : TFloatRect{};
        if (candidate && at.Left > 0 && at.Right < kViewW && at.Top > 0 && at.Bottom < kViewH) icon = candidate;
    }
    if (!icon) {
        state.SkipWithError("no castle shows in the view");
        return;
    }
    const TFloatRect start = icon->GetLocation();
    float dx = 3;
    TRect before{}, after{};
    for (auto _ : state) {
        TFloatRect at = icon->GetLocation();
        if (at.Right + dx > kViewW || at.Left + dx < 0) dx = -dx;
        before = *icon->PaintArea();
        icon->SetLocation({at.Left + dx, at.Top, at.Right + dx, at.Bottom});
        after = *icon->PaintArea();
        mission.form->PaintPending();
    }
    // The last step's; the control lies at the form's (0, 0).
    const TRect changed[] = {before, after};
    state.counters["repainted_px"] = static_cast<double>(CoveredPixels(Presented(), kViewW, kViewH));
    state.counters["changed_px"] = static_cast<double>(CoveredPixels(changed, kViewW, kViewH));
    state.counters["layers"] = mission.view.GetLayers()->GetCount();
    icon->SetLocation(start);
    mission.form->PaintPending();
}

// The topmost layer under each of 1000 cursor points of the view.
void HitTests(benchmark::State& state) {
    MissionView mission(kMissionWorld, kViewW, kViewH, 2);
    std::mt19937 rng(5);
    std::vector<TPoint> points(1000);
    for (TPoint& p : points) p = {static_cast<int>(rng() % kViewW), static_cast<int>(rng() % kViewH)};
    TLayerCollection& layers = *mission.view.GetLayers();
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const TPoint& p : points) found += layers.FindLayerAtPos(p.X, p.Y, kLayerMouseEvents) != nullptr;
    }
    state.counters["found"] = found;
    state.counters["layers"] = layers.GetCount();
}

// A full repaint of a 3840 x 2160 view of a 4096 x 4096 mission at 100 %.
void LargeView(benchmark::State& state) {
    MissionView mission(4096, 3840, 2160, 1);
    for (auto _ : state) {
        mission.view.Invalidate();
        mission.form->PaintPending();
    }
    state.counters["layers"] = mission.view.GetLayers()->GetCount();
}

void RegisterDesignerCases() {
    auto add = [](const std::string& name, void (*body)(benchmark::State&)) {
        benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMillisecond);
    };
    add("zoom step with the mission's layers/ours", ZoomSteps);
    add("castle drag step/ours", DragCastle);
    add("1000 hit tests among the mission's layers/ours", HitTests);
    add("3840x2160 view of a 4096 mission/ours", LargeView);

    Row zoom;
    zoom.label = "zoom step, 2048 mission in 1280x800, 4 layers a province";
    zoom.ours = {"zoom step with the mission's layers/ours"};
    zoom.target = Below(kFrameMs);
    AddRow(zoom);
    Row drag;
    drag.label = "castle icon drag step, 3 px";
    drag.ours = {"castle drag step/ours"};
    AddRow(drag);
    Row area;
    area.label = "castle icon drag step, pixels repainted";
    area.ours = {"castle drag step/ours", "repainted_px"};
    area.peerName = "left and taken";
    area.peer = {"castle drag step/ours", "changed_px"};
    area.unit = "px";
    area.target = RatioAtMost(1.0);
    AddRow(area);
    Row hits;
    hits.label = "1000 hit tests, 4 layers a province";
    hits.ours = {"1000 hit tests among the mission's layers/ours"};
    AddRow(hits);
    Row large;
    large.label = "repaint 3840x2160 of a 4096 mission";
    large.ours = {"3840x2160 view of a 4096 mission/ours"};
    large.target = Below(kFrameMs);
    AddRow(large);
}

}  // namespace

int main(int argc, char** argv) {
    RegisterRepaints();
    RegisterDesignerCases();
    return Main(argc, argv);
}
