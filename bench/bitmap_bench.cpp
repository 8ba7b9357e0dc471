// The bitmap library's pixel kernels beside peers doing the same job:
// blending, fills, block transfer, nearest and bilinear stretching (pixman)
// and kernel resampling (stb_image_resize, pixman's separable convolution
// for Lanczos), each also beside a plain memcpy of the same bytes, the
// machine's limit.
//
// Same job: pixman composites premultiplied pixels, ours blends straight
// ones, so pixman gets our source premultiplied and the destinations are
// opaque; then only the rounding differs (ours weighs by a/256, pixman by
// a/255, and our alpha channel is mixed like a colour, so it is not
// compared). pixman's transforms are set so that it samples where ours
// does (the centres of the first and last pixels of each axis onto each
// other), and stb is given the same scale and offset. Each check runs once
// after the timing, on the benchmark's own input.
#include <benchmark/benchmark.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Harness.h"
#include "PixelCheck.h"
#include "PixmanPeer.h"
#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_Transfer.h"

namespace {

using namespace thorn::bench;

// The kernels over whole pictures are bound by memory, which a busy machine
// shares out most unevenly: they get more repetitions than the default, so
// that their medians hold still. The resamplers' slow peers keep the default.
constexpr int kKernelRepetitions = 15;

void Register(const std::string& name, std::function<void(benchmark::State&)> body,
              benchmark::TimeUnit unit = benchmark::kMillisecond, int repetitions = kKernelRepetitions) {
    auto* b = benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& s) { body(s); })->Unit(unit);
    if (repetitions > 0) b->Repetitions(Repetitions(repetitions));
}

// A row against the peer, the ratio of times at most `ratio`.
void Versus(const std::string& label, const std::string& peer, double ratio = 1.0, std::string note = {}) {
    Row row;
    row.label = label;
    row.ours.benchmark = label + "/ours";
    row.peerName = peer;
    row.peer.benchmark = label + "/" + peer;
    row.target = RatioAtMost(ratio);
    row.note = std::move(note);
    AddRow(row);
}

// ------------------------------------------------------- memcpy, the limit

std::string MemcpyName(size_t bytes) { return "memcpy " + std::to_string(bytes) + " bytes"; }

void RegisterMemcpy(size_t bytes) {
    Register(MemcpyName(bytes), [bytes](benchmark::State& state) {
        static std::vector<uint8_t> from, to;
        from.assign(bytes, 1);
        to.assign(bytes, 2);
        for (auto _ : state) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    });
}

// The kernel's bandwidth (the bytes of the pixels it writes) against memcpy
// of as many bytes; at least `fraction` of it when given.
void Bandwidth(const std::string& label, size_t bytes, double fraction = 0) {
    Row row;
    row.label = label + ", bandwidth";
    row.ours.benchmark = label + "/ours";
    row.peerName = "memcpy";
    row.peer.benchmark = MemcpyName(bytes);
    if (fraction > 0) row.target = RatioAtLeast(fraction);
    row.bytes = static_cast<double>(bytes);
    AddRow(row);
}

// --------------------------------------------------------------- blending

constexpr int kBig = 4096;
constexpr size_t kBigBytes = size_t{kBig} * kBig * 4;

// Straight source pixels of random alpha for ours, the same premultiplied
// for pixman, and an opaque destination.
struct BlendSet {
    TBitmap32 src, premultiplied, dst, original;
    BlendSet() {
        RandomPixels(src, kBig, kBig, 1);
        Premultiply(src, premultiplied);
        RandomPixels(original, kBig, kBig, 2, true);
        dst.Assign(original);
    }
};

BlendSet& Blend() {
    static BlendSet set;
    return set;
}

void BlendOurs(TBitmap32& dst, uint32_t master) {
    const BlendSet& s = Blend();
    for (int32_t y = 0; y < kBig; ++y)
        if (master >= 255)
            BlendLine(s.src.ScanLine(y), dst.ScanLine(y), kBig);
        else
            BlendLineEx(s.src.ScanLine(y), dst.ScanLine(y), kBig, master);
}

void BlendPixman(TBitmap32& dst, uint32_t master) {
    PixmanImage src(Blend().premultiplied), out(dst);
    PixmanAlpha mask(master);
    pixman_image_composite32(PIXMAN_OP_OVER, src.get(), master >= 255 ? nullptr : mask.get(), out.get(), 0, 0, 0, 0,
                             0, 0, kBig, kBig);
}

// Both sides from the same opaque destination.
std::string CheckBlend(const std::function<void(TBitmap32&)>& ours, const std::function<void(TBitmap32&)>& peer,
                       int bound, const std::string& why) {
    TBitmap32 a, b;
    a.Assign(Blend().original);
    b.Assign(Blend().original);
    ours(a);
    peer(b);
    return ColoursWithin(a, b, bound, why);
}

constexpr const char* kBlendRounding = "weights a/256 against a/255, and premultiplying";

void RegisterBlending() {
    for (uint32_t master : {255u, 128u}) {
        const std::string label =
            master == 255 ? "blend 4096 random alpha" : "blend 4096 master alpha " + std::to_string(master);
        Register(label + "/ours", [master](benchmark::State& state) {
            TBitmap32& dst = Blend().dst;
            for (auto _ : state) BlendOurs(dst, master);
            state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigBytes));
        });
        Register(label + "/pixman", [master](benchmark::State& state) {
            TBitmap32& dst = Blend().dst;
            for (auto _ : state) BlendPixman(dst, master);
        });
        Versus(label, "pixman");
        Bandwidth(label, kBigBytes, 0.5);
        AddCheck(label, [master] {
            return CheckBlend([master](TBitmap32& d) { BlendOurs(d, master); },
                              [master](TBitmap32& d) { BlendPixman(d, master); }, 2, kBlendRounding);
        });
    }
}

// ------------------------------------------------------------------ fills

constexpr TColor32 kFillColour = 0xFF336699u;
constexpr int kFillFrom = 10, kFillTo = kBig - 10;
constexpr size_t kFillBytes = size_t{kFillTo - kFillFrom} * (kFillTo - kFillFrom) * 4;

void PlainFill(TBitmap32& dst, int32_t from, int32_t to) {
    for (int32_t y = from; y < to; ++y) {
        uint32_t* p = dst.PixelPtr(from, y);
        for (int32_t i = 0; i < to - from; ++i) p[i] = kFillColour;
    }
    benchmark::ClobberMemory();
}

void PixmanFill(TBitmap32& dst) {
    pixman_fill(dst.Bits(), kBig, 32, kFillFrom, kFillFrom, kFillTo - kFillFrom, kFillTo - kFillFrom, kFillColour);
}

// Both sides over the same picture.
std::string CheckFill(const std::function<void(TBitmap32&)>& ours, const std::function<void(TBitmap32&)>& peer) {
    TBitmap32 a, b;
    a.Assign(Blend().original);
    b.Assign(Blend().original);
    ours(a);
    peer(b);
    return SamePixels(a, b);
}

void RegisterFills() {
    Register("clear 4096/ours", [](benchmark::State& state) {
        TBitmap32& dst = Blend().dst;
        for (auto _ : state) dst.Clear(kFillColour);
    });
    Register("clear 4096/plain fill", [](benchmark::State& state) {
        TBitmap32& dst = Blend().dst;
        for (auto _ : state) PlainFill(dst, 0, kBig);
    });
    Versus("clear 4096", "plain fill", 1.2);
    Bandwidth("clear 4096", kBigBytes);
    AddCheck("clear 4096", [] {
        return CheckFill([](TBitmap32& d) { d.Clear(kFillColour); }, [](TBitmap32& d) { PlainFill(d, 0, kBig); });
    });

    const std::string fill = "fill rect 4076";
    auto ours = [](TBitmap32& d) { d.FillRectS(kFillFrom, kFillFrom, kFillTo, kFillTo, kFillColour); };
    Register(fill + "/ours", [ours](benchmark::State& state) {
        TBitmap32& dst = Blend().dst;
        for (auto _ : state) ours(dst);
    });
    Register(fill + "/pixman", [](benchmark::State& state) {
        TBitmap32& dst = Blend().dst;
        for (auto _ : state) PixmanFill(dst);
    });
    Versus(fill, "pixman");
    Bandwidth(fill, kFillBytes);
    AddCheck(fill, [ours] { return CheckFill(ours, PixmanFill); });
}

// --------------------------------------------------------- block transfer

void BlockOurs(TBitmap32& dst, TDrawMode mode) {
    const TBitmap32& src = mode == dmBlend ? Blend().src : Blend().original;
    BlockTransfer(&dst, 0, 0, dst.BoundsRect(), &src, src.BoundsRect(), mode);
}

void BlockPixman(TBitmap32& dst, TDrawMode mode) {
    PixmanImage src(mode == dmBlend ? Blend().premultiplied : Blend().original), out(dst);
    pixman_image_composite32(mode == dmBlend ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, src.get(), nullptr, out.get(), 0, 0, 0,
                             0, 0, 0, kBig, kBig);
}

void RegisterBlockTransfer() {
    for (TDrawMode mode : {dmOpaque, dmBlend}) {
        const std::string label = mode == dmOpaque ? "block transfer opaque" : "block transfer blended";
        Register(label + "/ours", [mode](benchmark::State& state) {
            TBitmap32& dst = Blend().dst;
            for (auto _ : state) BlockOurs(dst, mode);
        });
        Register(label + "/pixman", [mode](benchmark::State& state) {
            TBitmap32& dst = Blend().dst;
            for (auto _ : state) BlockPixman(dst, mode);
        });
        Versus(label, "pixman");
        Bandwidth(label, kBigBytes, 0.5);
        AddCheck(label, [mode] {
            auto ours = [mode](TBitmap32& d) { BlockOurs(d, mode); };
            auto peer = [mode](TBitmap32& d) { BlockPixman(d, mode); };
            if (mode == dmOpaque) {
                // The source copied over a cleared destination.
                TBitmap32 a, b;
                a.SetSize(kBig, kBig);
                b.SetSize(kBig, kBig);
                ours(a);
                peer(b);
                return SamePixels(a, b);
            }
            return CheckBlend(ours, peer, 2, kBlendRounding);
        });
    }
}

// ---------------------------------------------------- nearest stretching

constexpr int kHdW = 1920, kHdH = 1080;
constexpr size_t kHdBytes = size_t{kHdW} * kHdH * 4;

struct StretchSet {
    TBitmap32 src, premultiplied, dst, original;
};

// The source of a 1920 x 1080 picture enlarged `factor` times, and an opaque
// destination.
StretchSet& HdSet(int factor) {
    static std::map<int, std::unique_ptr<StretchSet>> sets;
    auto& set = sets[factor];
    if (!set) {
        set = std::make_unique<StretchSet>();
        RandomPixels(set->src, kHdW / factor, kHdH / factor, 3);
        Premultiply(set->src, set->premultiplied);
        RandomPixels(set->original, kHdW, kHdH, 4, true);
        set->dst.Assign(set->original);
    }
    return *set;
}

Stretch HdStretch(int factor) { return {kHdW / factor, kHdH / factor, kHdW, kHdH}; }

void NearestOurs(const TBitmap32& src, TBitmap32& dst, TDrawMode mode) {
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, mode);
}

void NearestPixman(TBitmap32& src, TBitmap32& dst, TDrawMode mode) {
    PixmanImage in(src), out(dst);
    MapLikeStretch(in.get(), {src.Width(), src.Height(), dst.Width(), dst.Height()}, PIXMAN_FILTER_NEAREST);
    pixman_image_composite32(mode == dmBlend ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, in.get(), nullptr, out.get(), 0, 0, 0,
                             0, 0, 0, dst.Width(), dst.Height());
}

// Which source pixels each side takes, and for blending, the colours where
// both take the same.
std::string CheckNearest(int factor, TDrawMode mode) {
    const Stretch stretch = HdStretch(factor);
    const Picks ours = PicksOf(stretch, [](TBitmap32& s, TBitmap32& d) { NearestOurs(s, d, dmOpaque); });
    const Picks peer = PicksOf(stretch, [](TBitmap32& s, TBitmap32& d) { NearestPixman(s, d, dmOpaque); });
    std::string agreement = SamePicks(stretch, ours, peer);
    if (mode == dmOpaque) return agreement;
    StretchSet& set = HdSet(factor);
    TBitmap32 a, b;
    a.Assign(set.original);
    b.Assign(set.original);
    NearestOurs(set.src, a, dmBlend);
    NearestPixman(set.premultiplied, b, dmBlend);
    auto samePick = [&](int32_t x, int32_t y) { return ours.columns[x] == peer.columns[x] && ours.rows[y] == peer.rows[y]; };
    return agreement + "; " + ColoursWithin(a, b, 2, kBlendRounding, samePick);
}

void RegisterNearest() {
    for (int factor : {2, 3, 8}) {
        for (TDrawMode mode : {dmOpaque, dmBlend}) {
            if (mode == dmBlend && factor != 2) continue;
            const std::string label = mode == dmOpaque
                                          ? "nearest into 1920x1080 x" + std::to_string(factor)
                                          : "nearest blended into 1920x1080 x" + std::to_string(factor);
            Register(
                label + "/ours",
                [=](benchmark::State& state) {
                    StretchSet& set = HdSet(factor);
                    for (auto _ : state) NearestOurs(set.src, set.dst, mode);
                },
                benchmark::kMicrosecond);
            Register(
                label + "/pixman",
                [=](benchmark::State& state) {
                    StretchSet& set = HdSet(factor);
                    TBitmap32& src = mode == dmBlend ? set.premultiplied : set.src;
                    for (auto _ : state) NearestPixman(src, set.dst, mode);
                },
                benchmark::kMicrosecond);
            Versus(label, "pixman");
            if (factor == 2) Bandwidth(label, kHdBytes);
            AddCheck(label, [=] { return CheckNearest(factor, mode); });
        }
    }
}

// ---------------------------------------------------------------- bilinear

constexpr int kBilinearFrom = 512, kBilinearTo = 2048;

struct BilinearSet {
    TBitmap32 src, dst;
    BilinearSet() {
        RandomPixels(src, kBilinearFrom, kBilinearFrom, 5);
        dst.SetSize(kBilinearTo, kBilinearTo);
    }
};

BilinearSet& Bilinear() {
    static BilinearSet set;
    return set;
}

void BilinearOurs(TBitmap32& dst) {
    const TBitmap32& src = Bilinear().src;
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLinear, dmOpaque);
}

void BilinearPixman(TBitmap32& dst) {
    PixmanImage in(Bilinear().src), out(dst);
    MapLikeStretch(in.get(), {kBilinearFrom, kBilinearFrom, kBilinearTo, kBilinearTo}, PIXMAN_FILTER_BILINEAR);
    pixman_image_composite32(PIXMAN_OP_SRC, in.get(), nullptr, out.get(), 0, 0, 0, 0, 0, 0, kBilinearTo, kBilinearTo);
}

void RegisterBilinear() {
    const std::string label = "bilinear 512 to 2048";
    Register(label + "/ours", [](benchmark::State& state) {
        TBitmap32& dst = Bilinear().dst;
        for (auto _ : state) BilinearOurs(dst);
    });
    Register(label + "/pixman", [](benchmark::State& state) {
        TBitmap32& dst = Bilinear().dst;
        for (auto _ : state) BilinearPixman(dst);
    });
    Versus(label, "pixman");
    Bandwidth(label, size_t{kBilinearTo} * kBilinearTo * 4);
    AddCheck(label, [] {
        TBitmap32 a, b;
        a.SetSize(kBilinearTo, kBilinearTo);
        b.SetSize(kBilinearTo, kBilinearTo);
        BilinearOurs(a);
        BilinearPixman(b);
        // Our weights round to 1/256, pixman's are cut to 1/128: samples up
        // to 1/100 pixel apart, 2.5 levels an axis between neighbours that
        // differ by 255, and each of our two passes truncates.
        return ColoursWithin(a, b, 6, "weights of 1/256 against 1/128, passes truncated");
    });
}

// -------------------------------------------------------------- resampling

struct Sizes {
    int from, to;
};

struct ResampleSet {
    TBitmap32 src, dst;
};

ResampleSet& Resampling(Sizes sizes) {
    static std::map<int, std::unique_ptr<ResampleSet>> sets;
    auto& set = sets[sizes.from];
    if (!set) {
        set = std::make_unique<ResampleSet>();
        RandomPixels(set->src, sizes.from, sizes.from, 6);
        set->dst.SetSize(sizes.to, sizes.to);
    }
    return *set;
}

// Our resampler for every kernel, also where StretchTransfer would take the
// bilinear path (linear enlargement), so each kernel is measured.
void ResampleOurs(TBitmap32& dst, TStretchFilter filter, Sizes sizes) {
    const TBitmap32& src = Resampling(sizes).src;
    thorn::Resample(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(), filter, dmOpaque, {});
}

// stb with our mapping: destination pixel k centred on source pixel
// k * (from - 1) / (to - 1), each channel on its own, edges clamped.
void ResampleStb(TBitmap32& dst, stbir_filter filter, Sizes sizes) {
    const TBitmap32& src = Resampling(sizes).src;
    const float scale = static_cast<float>(sizes.to - 1) / static_cast<float>(sizes.from - 1);
    const float shift = (scale - 1) / 2;
    stbir_resize_subpixel(src.Bits(), sizes.from, sizes.from, 0, dst.Bits(), sizes.to, sizes.to, 0, STBIR_TYPE_UINT8,
                          4, STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, filter, filter,
                          STBIR_COLORSPACE_LINEAR, nullptr, scale, scale, shift, shift);
}

// pixman's separable convolution with the same Lanczos kernel: sampled
// over the source when reducing, reconstructed between source pixels when
// enlarging, at 256 phases a pixel.
void ResamplePixman(TBitmap32& dst, Sizes sizes) {
    ResampleSet& set = Resampling(sizes);
    PixmanImage in(set.src), out(dst);
    MapLikeStretch(in.get(), {sizes.from, sizes.from, sizes.to, sizes.to}, PIXMAN_FILTER_BILINEAR);
    const double s = static_cast<double>(sizes.from - 1) / (sizes.to - 1);
    const bool reducing = sizes.to < sizes.from;
    const pixman_kernel_t reconstruct = reducing ? PIXMAN_KERNEL_IMPULSE : PIXMAN_KERNEL_LANCZOS3;
    const pixman_kernel_t sample = reducing ? PIXMAN_KERNEL_LANCZOS3 : PIXMAN_KERNEL_IMPULSE;
    int n = 0;
    pixman_fixed_t* params =
        pixman_filter_create_separable_convolution(&n, pixman_double_to_fixed(s), pixman_double_to_fixed(s),
                                                   reconstruct, reconstruct, sample, sample, 8, 8);
    pixman_image_set_filter(in.get(), PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    free(params);
    pixman_image_composite32(PIXMAN_OP_SRC, in.get(), nullptr, out.get(), 0, 0, 0, 0, 0, 0, sizes.to, sizes.to);
}

struct Kernel {
    TStretchFilter filter;
    const char* name;
    const char* peer;
    stbir_filter stb;  // unused for Lanczos
};

const Kernel kKernels[] = {{sfLinear, "linear", "stb triangle", STBIR_FILTER_TRIANGLE},
                           {sfSpline, "spline", "stb cubic b-spline", STBIR_FILTER_CUBICBSPLINE},
                           {sfMitchell, "mitchell", "stb mitchell", STBIR_FILTER_MITCHELL},
                           {sfLanczos, "lanczos", "pixman lanczos3", STBIR_FILTER_DEFAULT}};
const Sizes kSizes[] = {{4000, 1000}, {500, 2000}};

void RegisterResampling() {
    for (Sizes sizes : kSizes) {
        for (const Kernel& kernel : kKernels) {
            const std::string label =
                "resample " + std::to_string(sizes.from) + " to " + std::to_string(sizes.to) + " " + kernel.name;
            auto peer = [kernel, sizes](TBitmap32& dst) {
                if (kernel.filter == sfLanczos)
                    ResamplePixman(dst, sizes);
                else
                    ResampleStb(dst, kernel.stb, sizes);
            };
            Register(
                label + "/ours",
                [kernel, sizes](benchmark::State& state) {
                    TBitmap32& dst = Resampling(sizes).dst;
                    for (auto _ : state) ResampleOurs(dst, kernel.filter, sizes);
                },
                benchmark::kMillisecond, 0);
            Register(
                label + "/" + kernel.peer,
                [peer, sizes](benchmark::State& state) {
                    TBitmap32& dst = Resampling(sizes).dst;
                    for (auto _ : state) peer(dst);
                },
                benchmark::kMillisecond, 0);
            Versus(label, kernel.peer);
            AddCheck(label, [kernel, sizes, peer] {
                TBitmap32 a, b;
                a.SetSize(sizes.to, sizes.to);
                b.SetSize(sizes.to, sizes.to);
                ResampleOurs(a, kernel.filter, sizes);
                peer(b);
                // Each weight is off by up to half of 1/256 and the middle one
                // takes the rounding of the sum: a level or two per tap and
                // pass for pixels that differ by 255.
                return ColoursWithin(a, b, 12, "weights of 1/256 each way, sums truncated");
            });
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (size_t bytes : {kBigBytes, kFillBytes, kHdBytes, size_t{kBilinearTo} * kBilinearTo * 4})
        RegisterMemcpy(bytes);
    RegisterBlending();
    RegisterFills();
    RegisterBlockTransfer();
    RegisterNearest();
    RegisterBilinear();
    RegisterResampling();
    return thorn::bench::Main(argc, argv);
}
