// The world view's full repaint: a 2000 x 2000 world picture under 400
// bitmap layers (icons of 20 x 20 to 120 x 40, half of them blended with a
// master alpha), seen through a 1280 x 800 window at zoom 1, 2 and 8, painted
// by the image control into its form's back buffer, beside pixman compositing
// the same stack into a buffer of the window's size. Showing the result on a
// screen costs the same for both and is left out: the host's windows here
// keep nothing. Each case runs as "Repaint/ours/<zoom>" (the image paints
// straight into the form's buffer), "Repaint/buffered/<zoom>" (through the
// image's own buffer, then its copy into the form's) and
// "Repaint/pixman/<zoom>"; the summary gives the ratios to pixman (below 1:
// we are faster), and each case the image buffer's size.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "SyntheticWorld.h"
#include "bitmap/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"

namespace {

constexpr int kWorld = 2000;
constexpr int kViewW = 1280;
constexpr int kViewH = 800;
constexpr int kLayers = 400;

struct Icon {
    std::unique_ptr<TBitmap32> picture;
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
            int w = 20 + static_cast<int>(rng() % 101), h = 20 + static_cast<int>(rng() % 21);
            icon.picture = std::make_unique<TBitmap32>();
            icon.picture->SetSize(w, h);
            TColor32 colour = 0xFF000000u | (rng() & 0xFFFFFF);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    bool corner = (x < 3 || x >= w - 3) && (y < 3 || y >= h - 3);
                    icon.picture->SetPixel(x, y, corner ? 0 : SetAlpha(colour, 128 + (x * 127) / w));
                }
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

const TBitmap32& World() { return thorn::bench::SharedWorld(kWorld); }

// The window's left-top corner in zoomed world pixels: the middle of the world.
TPoint Scroll(int zoom) { return {(kWorld * zoom - kViewW) / 2, (kWorld * zoom - kViewH) / 2}; }

// ------------------------------------------------------------------ ours

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
        void Present(const TBitmap32&, std::span<const TRect>) override {}
        void SetCapture(bool) override {}
        void ReadPixels(TBitmap32& into) const override { into.SetSize(0, 0); }
    };
};

// Full repaint of the form, with or without the image's own buffer.
void Repaint(benchmark::State& state, bool buffered) {
    int zoom = static_cast<int>(state.range(0));
    TApplication app(std::make_unique<BlindHost>());
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(0, 0, kViewW, kViewH);
    TImage32* image = thorn::Make<TImage32>(*form);
    image->SetParent(form);
    image->SetKeepBuffer(buffered);
    image->SetScaleMode(smScale);
    image->SetScale(static_cast<float>(zoom));
    image->GetBitmap()->Assign(World());
    TPoint scroll = Scroll(zoom);
    image->SetBounds(-scroll.X, -scroll.Y, kWorld * zoom, kWorld * zoom);
    // Unscaled layers placed at the zoomed world point, as the map view places them.
    for (const Icon& icon : Icons()) {
        auto* layer = image->GetLayers()->Add<TBitmapLayer>();
        layer->GetBitmap()->Assign(*icon.picture);
        layer->GetBitmap()->SetDrawMode(icon.blended ? dmBlend : dmOpaque);
        layer->GetBitmap()->SetMasterAlpha(icon.masterAlpha);
        float x = static_cast<float>(icon.worldX * zoom), y = static_cast<float>(icon.worldY * zoom);
        layer->SetLocation({x, y, x + icon.picture->Width(), y + icon.picture->Height()});
    }
    form->Show();
    Application->ProcessMessages();
    if (image->GetPaintedDirect() == buffered) state.SkipWithError("the image painted the other way");
    for (auto _ : state) {
        image->Invalidate();
        form->PaintPending();
        benchmark::DoNotOptimize(form->GetBackBuffer().Bits());
    }
    state.counters["buffer_px"] = static_cast<double>(image->GetBuffer()->Width()) * image->GetBuffer()->Height();
}

void RepaintOurs(benchmark::State& state) { Repaint(state, false); }
void RepaintBuffered(benchmark::State& state) { Repaint(state, true); }

// ---------------------------------------------------------------- pixman

void RepaintPixman(benchmark::State& state) {
    int zoom = static_cast<int>(state.range(0));
    TBitmap32 world;
    world.Assign(World());
    TBitmap32 view;
    view.SetSize(kViewW, kViewH);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kViewW, kViewH, view.Bits(), kViewW * 4);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWorld, kWorld, world.Bits(), kWorld * 4);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(1.0 / zoom), pixman_double_to_fixed(1.0 / zoom));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    struct PixmanIcon {
        pixman_image_t* image;
        pixman_image_t* mask;
        const Icon* icon;
    };
    std::vector<std::unique_ptr<TBitmap32>> copies;
    std::vector<PixmanIcon> icons;
    for (const Icon& icon : Icons()) {
        auto copy = std::make_unique<TBitmap32>();
        copy->Assign(*icon.picture);
        pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, copy->Width(), copy->Height(), copy->Bits(),
                                                         copy->Width() * 4);
        pixman_image_t* mask = nullptr;
        if (icon.blended) {
            pixman_color_t alpha{0, 0, 0, static_cast<uint16_t>(icon.masterAlpha * 257)};
            mask = pixman_image_create_solid_fill(&alpha);
        }
        icons.push_back({image, mask, &icon});
        copies.push_back(std::move(copy));
    }
    TPoint scroll = Scroll(zoom);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, scroll.X, scroll.Y, 0, 0, 0, 0, kViewW, kViewH);
        for (const PixmanIcon& p : icons) {
            int x = p.icon->worldX * zoom - scroll.X, y = p.icon->worldY * zoom - scroll.Y;
            int w = p.icon->picture->Width(), h = p.icon->picture->Height();
            pixman_image_composite32(p.mask ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, p.image, p.mask, dst, 0, 0, 0, 0, x, y, w,
                                     h);
        }
        benchmark::DoNotOptimize(view.Bits());
    }
    for (const PixmanIcon& p : icons) {
        pixman_image_unref(p.image);
        if (p.mask) pixman_image_unref(p.mask);
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
}

BENCHMARK(RepaintOurs)->Name("Repaint/ours")->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintPixman)->Name("Repaint/pixman")->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintBuffered)->Name("Repaint/buffered")->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

// Keeps each case's time to print the ratios once everything ran.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median of each case.
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            double ms = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                        benchmark::GetTimeUnitMultiplier(run.time_unit);
            times_[run.run_name.str()] = ms;
        }
    }
    void PrintRatios() const {
        std::printf("\n%-6s %18s %14s %12s %8s %10s\n", "zoom", "full repaint (ms)", "buffered (ms)", "pixman (ms)",
                    "ratio", "buffered");
        for (int zoom : {1, 2, 8}) {
            auto ours = times_.find("Repaint/ours/" + std::to_string(zoom));
            auto buffered = times_.find("Repaint/buffered/" + std::to_string(zoom));
            auto peer = times_.find("Repaint/pixman/" + std::to_string(zoom));
            if (ours == times_.end() || peer == times_.end()) continue;
            double bufferedMs = buffered == times_.end() ? 0 : buffered->second;
            std::printf("%-6d %18.3f %14.3f %12.3f %8.2f %10.2f\n", zoom, ours->second, bufferedMs, peer->second,
                        ours->second / peer->second, bufferedMs / peer->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
