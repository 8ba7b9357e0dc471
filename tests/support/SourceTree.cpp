#include "support/SourceTree.h"

namespace thorn::test {

const std::filesystem::path& SourceDir() {
    static const std::filesystem::path dir = THORN_SOURCE_DIR;
    return dir;
}

}  // namespace thorn::test
