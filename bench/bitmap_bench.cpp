// The bitmap library beside its peers, case by case: blending, fills,
// block transfer, nearest and bilinear stretching (pixman) and kernel
// resampling (stb_image_resize, pixman's separable convolution). Each case
// runs as "<case>/ours" and "<case>/<peer>"; the summary at the end gives
// every case's time and its ratio to the peer (below 1: we are faster).
#include <benchmark/benchmark.h>
#include <pixman.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_Transfer.h"

namespace {

// ------------------------------------------------------------------ pictures

void RandomPixels(TBitmap32& b, int32_t w, int32_t h, uint32_t seed) {
    b.SetSize(w, h);
    std::mt19937 rng(seed);
    for (int64_t i = 0, n = int64_t{w} * h; i < n; ++i) b.Bits()[i] = rng();
}

// pixman wants premultiplied pixels: each channel at most the alpha.
void Premultiply(TBitmap32& b) {
    for (int64_t i = 0, n = int64_t{b.Width()} * b.Height(); i < n; ++i) {
        TColor32 c = b.Bits()[i];
        uint32_t a = c >> 24;
        auto ch = [&](int s) { return ((c >> s & 0xFF) * a / 255) << s; };
        b.Bits()[i] = (a << 24) | ch(16) | ch(8) | ch(0);
    }
}

struct PixmanImage {
    pixman_image_t* image;
    explicit PixmanImage(TBitmap32& b)
        : image(pixman_image_create_bits(PIXMAN_a8r8g8b8, b.Width(), b.Height(), b.Bits(), b.Width() * 4)) {}
    ~PixmanImage() { pixman_image_unref(image); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
};

void Scale(pixman_image_t* image, double sx, double sy, pixman_filter_t filter) {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(1 / sx), pixman_double_to_fixed(1 / sy));
    pixman_image_set_transform(image, &t);
    pixman_image_set_filter(image, filter, nullptr, 0);
    pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);
}

// --------------------------------------------------------------- blending

constexpr int kBig = 4096;

struct BlendSet {
    TBitmap32 src, dst;
    BlendSet() {
        RandomPixels(src, kBig, kBig, 1);
        RandomPixels(dst, kBig, kBig, 2);
        Premultiply(src);
    }
};

BlendSet& Blend() {
    static BlendSet set;
    return set;
}

void BM_BlendRandomAlpha_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state)
        for (int32_t y = 0; y < kBig; ++y) BlendLine(s.src.ScanLine(y), s.dst.ScanLine(y), kBig);
    state.SetItemsProcessed(state.iterations() * kBig * kBig);
}
BENCHMARK(BM_BlendRandomAlpha_Ours)->Name("blend 4096 random alpha/ours")->Unit(benchmark::kMillisecond);

void BM_BlendRandomAlpha_Pixman(benchmark::State& state) {
    auto& s = Blend();
    PixmanImage src(s.src), dst(s.dst);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kBig, kBig);
    state.SetItemsProcessed(state.iterations() * kBig * kBig);
}
BENCHMARK(BM_BlendRandomAlpha_Pixman)->Name("blend 4096 random alpha/pixman")->Unit(benchmark::kMillisecond);

void BM_BlendMaster_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state)
        for (int32_t y = 0; y < kBig; ++y) BlendLineEx(s.src.ScanLine(y), s.dst.ScanLine(y), kBig, 128);
}
BENCHMARK(BM_BlendMaster_Ours)->Name("blend 4096 master alpha 128/ours")->Unit(benchmark::kMillisecond);

void BM_BlendMaster_Pixman(benchmark::State& state) {
    auto& s = Blend();
    PixmanImage src(s.src), dst(s.dst);
    pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, src.image, mask, dst.image, 0, 0, 0, 0, 0, 0, kBig, kBig);
    pixman_image_unref(mask);
}
BENCHMARK(BM_BlendMaster_Pixman)->Name("blend 4096 master alpha 128/pixman")->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ fills

void BM_Clear_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) s.dst.Clear(0xFF336699u);
}
BENCHMARK(BM_Clear_Ours)->Name("clear 4096/ours")->Unit(benchmark::kMillisecond);

void BM_Clear_Plain(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) {
        uint32_t* p = s.dst.Bits();
        for (size_t i = 0, n = size_t{kBig} * kBig; i < n; ++i) p[i] = 0xFF336699u;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Clear_Plain)->Name("clear 4096/plain fill")->Unit(benchmark::kMillisecond);

void BM_FillRect_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) s.dst.FillRectS(10, 10, kBig - 10, kBig - 10, 0xFF336699u);
}
BENCHMARK(BM_FillRect_Ours)->Name("fill rect 4076/ours")->Unit(benchmark::kMillisecond);

void BM_FillRect_Plain(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) {
        for (int32_t y = 10; y < kBig - 10; ++y) {
            uint32_t* p = s.dst.PixelPtr(10, y);
            for (int32_t i = 0; i < kBig - 20; ++i) p[i] = 0xFF336699u;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillRect_Plain)->Name("fill rect 4076/plain fill")->Unit(benchmark::kMillisecond);

void BM_FillRect_Pixman(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state)
        pixman_fill(s.dst.Bits(), kBig, 32, 10, 10, kBig - 20, kBig - 20, 0xFF336699u);
}
BENCHMARK(BM_FillRect_Pixman)->Name("fill rect 4076/pixman")->Unit(benchmark::kMillisecond);

// --------------------------------------------------------- block transfer

void BM_BlockOpaque_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) BlockTransfer(&s.dst, 0, 0, s.dst.BoundsRect(), &s.src, s.src.BoundsRect(), dmOpaque);
}
BENCHMARK(BM_BlockOpaque_Ours)->Name("block transfer opaque/ours")->Unit(benchmark::kMillisecond);

void BM_BlockOpaque_Pixman(benchmark::State& state) {
    auto& s = Blend();
    PixmanImage src(s.src), dst(s.dst);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kBig, kBig);
}
BENCHMARK(BM_BlockOpaque_Pixman)->Name("block transfer opaque/pixman")->Unit(benchmark::kMillisecond);

void BM_BlockBlend_Ours(benchmark::State& state) {
    auto& s = Blend();
    for (auto _ : state) BlockTransfer(&s.dst, 0, 0, s.dst.BoundsRect(), &s.src, s.src.BoundsRect(), dmBlend);
}
BENCHMARK(BM_BlockBlend_Ours)->Name("block transfer blended/ours")->Unit(benchmark::kMillisecond);

void BM_BlockBlend_Pixman(benchmark::State& state) {
    auto& s = Blend();
    PixmanImage src(s.src), dst(s.dst);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kBig, kBig);
}
BENCHMARK(BM_BlockBlend_Pixman)->Name("block transfer blended/pixman")->Unit(benchmark::kMillisecond);

// ---------------------------------------------------- nearest stretching

constexpr int kHdW = 1920, kHdH = 1080;

void BM_Nearest_Ours(benchmark::State& state) {
    int factor = static_cast<int>(state.range(0));
    TBitmap32 src, dst;
    RandomPixels(src, kHdW / factor, kHdH / factor, 3);
    dst.SetSize(kHdW, kHdH);
    for (auto _ : state)
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmOpaque);
}
BENCHMARK(BM_Nearest_Ours)->Name("nearest into 1920x1080/ours")->Arg(2)->Arg(3)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_Nearest_Pixman(benchmark::State& state) {
    int factor = static_cast<int>(state.range(0));
    TBitmap32 src, dst;
    RandomPixels(src, kHdW / factor, kHdH / factor, 3);
    dst.SetSize(kHdW, kHdH);
    PixmanImage s(src), d(dst);
    Scale(s.image, factor, factor, PIXMAN_FILTER_NEAREST);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kHdW, kHdH);
}
BENCHMARK(BM_Nearest_Pixman)->Name("nearest into 1920x1080/pixman")->Arg(2)->Arg(3)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_NearestBlend_Ours(benchmark::State& state) {
    TBitmap32 src, dst;
    RandomPixels(src, kHdW / 2, kHdH / 2, 3);
    Premultiply(src);
    dst.SetSize(kHdW, kHdH);
    for (auto _ : state)
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmBlend);
}
BENCHMARK(BM_NearestBlend_Ours)->Name("nearest blended 2x/ours")->Unit(benchmark::kMicrosecond);

void BM_NearestBlend_Pixman(benchmark::State& state) {
    TBitmap32 src, dst;
    RandomPixels(src, kHdW / 2, kHdH / 2, 3);
    Premultiply(src);
    dst.SetSize(kHdW, kHdH);
    PixmanImage s(src), d(dst);
    Scale(s.image, 2, 2, PIXMAN_FILTER_NEAREST);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kHdW, kHdH);
}
BENCHMARK(BM_NearestBlend_Pixman)->Name("nearest blended 2x/pixman")->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- bilinear

void BM_Bilinear_Ours(benchmark::State& state) {
    TBitmap32 src, dst;
    RandomPixels(src, 512, 512, 4);
    dst.SetSize(2048, 2048);
    for (auto _ : state)
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLinear, dmOpaque);
}
BENCHMARK(BM_Bilinear_Ours)->Name("bilinear 512 to 2048/ours")->Unit(benchmark::kMillisecond);

void BM_Bilinear_Pixman(benchmark::State& state) {
    TBitmap32 src, dst;
    RandomPixels(src, 512, 512, 4);
    dst.SetSize(2048, 2048);
    PixmanImage s(src), d(dst);
    Scale(s.image, 4, 4, PIXMAN_FILTER_BILINEAR);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, 2048, 2048);
}
BENCHMARK(BM_Bilinear_Pixman)->Name("bilinear 512 to 2048/pixman")->Unit(benchmark::kMillisecond);

// -------------------------------------------------------------- resampling

struct Sizes {
    int from, to;
};

const TStretchFilter kFilters[] = {sfLinear, sfSpline, sfLanczos, sfMitchell};
const char* const kFilterNames[] = {"linear", "spline", "lanczos", "mitchell"};
const Sizes kSizes[] = {{4000, 1000}, {500, 2000}};

// Our resampler for every kernel, also where StretchTransfer would take the
// bilinear path (linear enlargement), so each kernel is measured.
void ResampleOurs(benchmark::State& state, TStretchFilter filter, Sizes sizes) {
    TBitmap32 src, dst;
    RandomPixels(src, sizes.from, sizes.from, 5);
    dst.SetSize(sizes.to, sizes.to);
    for (auto _ : state)
        thorn::Resample(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(), filter, dmOpaque, {});
}

void ResampleStb(benchmark::State& state, stbir_filter filter, Sizes sizes) {
    TBitmap32 src, dst;
    RandomPixels(src, sizes.from, sizes.from, 5);
    dst.SetSize(sizes.to, sizes.to);
    for (auto _ : state)
        stbir_resize_uint8_generic(reinterpret_cast<const unsigned char*>(src.Bits()), sizes.from, sizes.from, 0,
                                   reinterpret_cast<unsigned char*>(dst.Bits()), sizes.to, sizes.to, 0, 4,
                                   STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, filter, STBIR_COLORSPACE_LINEAR,
                                   nullptr);
}

void ResamplePixman(benchmark::State& state, pixman_kernel_t kernel, Sizes sizes) {
    TBitmap32 src, dst;
    RandomPixels(src, sizes.from, sizes.from, 5);
    dst.SetSize(sizes.to, sizes.to);
    PixmanImage s(src), d(dst);
    double scale = static_cast<double>(sizes.to) / sizes.from;
    Scale(s.image, scale, scale, PIXMAN_FILTER_NEAREST);
    int n = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &n, pixman_double_to_fixed(1 / scale), pixman_double_to_fixed(1 / scale), kernel, kernel, kernel, kernel, 4, 4);
    pixman_image_set_filter(s.image, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    free(params);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, sizes.to, sizes.to);
}

void RegisterResampling() {
    for (Sizes sizes : kSizes) {
        for (size_t f = 0; f < 4; ++f) {
            std::string name = "resample " + std::to_string(sizes.from) + " to " + std::to_string(sizes.to) + " " +
                               kFilterNames[f];
            benchmark::RegisterBenchmark((name + "/ours").c_str(), ResampleOurs, kFilters[f], sizes)
                ->Unit(benchmark::kMillisecond);
            switch (kFilters[f]) {
            case sfLinear:
                benchmark::RegisterBenchmark((name + "/stb triangle").c_str(), ResampleStb, STBIR_FILTER_TRIANGLE, sizes)
                    ->Unit(benchmark::kMillisecond);
                break;
            case sfSpline:
                benchmark::RegisterBenchmark((name + "/stb cubic b-spline").c_str(), ResampleStb,
                                             STBIR_FILTER_CUBICBSPLINE, sizes)
                    ->Unit(benchmark::kMillisecond);
                break;
            case sfMitchell:
                benchmark::RegisterBenchmark((name + "/stb mitchell").c_str(), ResampleStb, STBIR_FILTER_MITCHELL, sizes)
                    ->Unit(benchmark::kMillisecond);
                break;
            case sfLanczos:
                benchmark::RegisterBenchmark((name + "/pixman lanczos3").c_str(), ResamplePixman,
                                             PIXMAN_KERNEL_LANCZOS3, sizes)
                    ->Unit(benchmark::kMillisecond);
                break;
            default:
                break;
            }
        }
    }
}

// ------------------------------------------------------------------ summary

// Keeps every case's time so the ratios can be printed after the run.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime() *
                                               benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                                               benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    void PrintSummary() const {
        std::printf("\n%-46s %12s %-20s %12s %8s\n", "case", "ours (ms)", "peer", "peer (ms)", "ratio");
        for (const auto& [name, ms] : times_) {
            auto [base, who, arg] = Split(name);
            if (who != "ours") continue;
            for (const auto& [peerName, peerMs] : times_) {
                auto [peerBase, peerWho, peerArg] = Split(peerName);
                if (peerBase != base || peerArg != arg || peerWho == "ours") continue;
                std::printf("%-46s %12.3f %-20s %12.3f %8.2f\n", (base + arg).c_str(), ms, peerWho.c_str(), peerMs,
                            ms / peerMs);
            }
        }
    }

private:
    struct Parts {
        std::string base, who, arg;
    };
    static Parts Split(const std::string& name) {
        size_t slash = name.find('/');
        if (slash == std::string::npos) return {name, "", ""};
        std::string rest = name.substr(slash + 1);
        size_t second = rest.find('/');
        if (second == std::string::npos) return {name.substr(0, slash), rest, ""};
        return {name.substr(0, slash), rest.substr(0, second), " x" + rest.substr(second + 1)};
    }

    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    RegisterResampling();
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
