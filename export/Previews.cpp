#include "export/Previews.h"

#include <algorithm>

#include "export/ExportFiles.h"
#include "export/GfxPicture.h"
#include "export/PieceShades.h"
#include "model/mapproject.h"

namespace thorn {
namespace {

// Shades 3 and 4, the dark bottom and right edges, are borders.
constexpr uint8_t kFirstDarkCode = 1 + 3;

void DrawProvince(const CProvinceMap& piece, const PieceShades& shades, uint8_t index, PreviewMap& map) {
    const int32_t width = std::min<int32_t>(shades.width, map.width - piece.Left);
    const int32_t height = std::min<int32_t>(shades.height, map.height - piece.Top);
    for (int32_t v = 0; v < height; ++v) {
        const uint8_t* codes = shades.Row(v);
        uint8_t* out = map.Row(piece.Top + v) + piece.Left;
        for (int32_t u = 0; u < width; ++u)
            if (codes[u] != PieceShades::kOutside) out[u] = codes[u] >= kFirstDarkCode ? kPreviewBorder : index;
    }
}

}  // namespace

PreviewMap BuildPreviewMap(CMapProject& project, PieceShadeCache& shades) {
    PreviewMap map{project.WorldWidth, project.WorldHeight, {}};
    map.bytes.assign(static_cast<size_t>(map.width) * map.height, 0);

    FillLandAndWater(project, map, [](const CProvinceMap& piece) -> std::optional<uint8_t> {
        if (piece.IsOcean()) return kPreviewOcean;
        if (piece.IsGreenLand()) return kPreviewLand;
        return std::nullopt;  // small pieces and any other kind stay 0
    });

    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i) {
        const CProvince* province = project.Provinces.GetAt(static_cast<uint8_t>(i));
        if (!province || province->MapPieceIndex < 0) continue;
        const uint16_t n = static_cast<uint16_t>(province->MapPieceIndex);
        const CProvinceMap* piece = project.MapPieces.GetAt(n);
        if (!piece) continue;
        DrawProvince(*piece, shades.Get(n), static_cast<uint8_t>(i), map);
    }
    return map;
}

std::vector<uint8_t> ShrinkPreview(const PreviewMap& map, int32_t& width, int32_t& height) {
    const int64_t W = map.width, H = map.height;
    if (W <= width) width = static_cast<int32_t>(W);
    if (H <= height) height = static_cast<int32_t>(H);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height);
    // Each band of rows of one output row: first the border pixels of each
    // source column summed down the band (a pass the compiler turns into
    // vector code), then those sums added across each output pixel's area.
    std::vector<uint32_t> column(static_cast<size_t>(W));
    for (int64_t j = 0; j < height; ++j) {
        const int64_t y0 = j * H / height, y1 = std::min((j + 1) * H / height, H);
        std::fill(column.begin(), column.end(), 0u);
        for (int64_t y = y0; y < y1; ++y) {
            const uint8_t* row = map.bytes.data() + y * W;
            for (int64_t x = 0; x < W; ++x) column[static_cast<size_t>(x)] += row[x] == kPreviewBorder;
        }
        for (int64_t i = 0; i < width; ++i) {
            const int64_t x0 = i * W / width, x1 = std::min((i + 1) * W / width, W);
            int64_t border = 0;
            for (int64_t x = x0; x < x1; ++x) border += column[static_cast<size_t>(x)];
            const int64_t pixels = (y1 - y0) * (x1 - x0);
            const uint8_t value = map.bytes[static_cast<size_t>(y0 * W + x0)];
            out[static_cast<size_t>(j * width + i)] = border != 0 && border > pixels / 4 ? kPreviewBorder : value;
        }
    }
    return out;
}

}  // namespace thorn

void WritePreviewImage(const std::filesystem::path& file, int32_t width, int32_t height, const thorn::PreviewMap& map) {
    const std::vector<uint8_t> bytes = thorn::ShrinkPreview(map, width, height);
    const CGfxPicture picture(static_cast<uint16_t>(width), static_cast<uint16_t>(height), bytes, 0);
    thorn::WriteGameFile(file, picture.Bytes(), thorn::FileCut::ByRows);
}
