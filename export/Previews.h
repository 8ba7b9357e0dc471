#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "export/WorldBytes.h"

class CMapProject;
namespace thorn {
class PieceShadeCache;
}

// The small pictures of a world that the game's mission lists show: every
// pixel a province index (0..98), a border (the dark bevel of a province),
// ocean or green land, shrunk so that borders stay visible.
namespace thorn {

inline constexpr uint8_t kPreviewBorder = 0xFA;
inline constexpr uint8_t kPreviewOcean = 0xFE;
inline constexpr uint8_t kPreviewLand = 0xFF;

// The world's preview bytes at full size.
using PreviewMap = WorldBytes;

// Ocean and green land from their pieces, then each province's piece in list
// order: its dark edges border, the rest the province's index. Shows its
// steps in the progress window.
PreviewMap BuildPreviewMap(CMapProject& project, PieceShadeCache& shades);

// The map shrunk to at most width x height (a side no longer than the
// world's stays the world's): each output pixel is the top-left pixel of its
// area, or border when more than a quarter of the area is border.
std::vector<uint8_t> ShrinkPreview(const PreviewMap& map, int32_t& width, int32_t& height);

}  // namespace thorn

// Writes one preview picture. Throws thorn::ExportError when the file cannot
// be written.
void WritePreviewImage(const std::filesystem::path& file, int32_t width, int32_t height, const thorn::PreviewMap& map);
