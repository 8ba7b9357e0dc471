#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "export/PackageDirectory.h"

// The game's four-letter code and the package type both packages carry.
inline constexpr std::string_view kPackageCreator = "ZORN";
inline constexpr std::string_view kPackageType = "RSRC";

// Why baseName cannot name a mission's packages, or "" when it can: it must
// be a plain file name, and not the name reserved for the game's own mission
// ("scenario01", compared lower-cased and cut at the last "."). The answer
// completes "You can't save mission because %s".
std::string MissionNameProblem(std::string_view baseName);

// The packages of a mission named baseName in folder: the .pdb, then the
// .pak.
std::array<std::filesystem::path, 2> PackageFilesOf(const std::filesystem::path& folder, std::string_view baseName);

// Packs the whole export tree into "<destinationFolder>/<baseName>.pdb" and
// "<destinationFolder>/<baseName>.pak", both with scrambled names, then
// removes exportTree with everything in it, whatever happened (exceptions
// included). The two replace an earlier pair together or not at all. baseName is the chosen file's name without
// its extension, as the file system gives it (UTF-8); the database name is its
// Windows-1252 form. A base name MissionNameProblem refuses is refused before
// anything is written.
//
// On failure message completes "You can't save mission because %s"; neither
// package was written, any earlier pair stays whole and no file is left
// where there was none.
thorn::PackResult PackExportDirectory(const std::filesystem::path& exportTree,
                                      const std::filesystem::path& destinationFolder, std::string_view baseName,
                                      const thorn::PackEnvironment& env = {});
