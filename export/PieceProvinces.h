#pragma once

#include <cstdint>
#include <vector>

class CMapProject;

namespace thorn {

// The province each map piece stands for in the game's files: per piece, the
// position in the province list of the first province whose piece index, in
// its low 16 bits, is the piece's (FindProvinceByPieceIndex), 255 when none.
std::vector<uint8_t> ProvinceOfEachPiece(const CMapProject& project);

}  // namespace thorn
