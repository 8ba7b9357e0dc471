#pragma once

#include <cstdint>
#include <optional>

class CPlayerData;
class CProvince;
class CStringTableList;

namespace thorn {

// What the mission records need of the project they belong to, and nothing
// more. The project object implements it and installs itself with a
// ScopedProjectLink while it lives; the records reach it through Project().
//
// Setters mark the project modified through it; the player, province and
// event records size their per-unit-type and per-resource arrays by its
// counts; the province and the string table find a province's index and a
// player through it; the event list hands out and frees text pairs in its
// string tables.
class ProjectLink {
public:
    // Sets the project's modified flag to 1.
    virtual void MarkModified() = 0;

    // Number of resources of the game data (0..16).
    virtual int ResourceCount() const = 0;
    // Number of unit types: the standard plus the non-standard count of the
    // game data, added at full width (never wraps at 256).
    virtual int UnitTypeCount() const = 0;

    // Player slot n, or null when n is at or past the end of the player list.
    virtual CPlayerData* PlayerAt(uint32_t n) = 0;
    // The index of the province in the project's province list; 255 for null
    // or a province that is not in the list.
    virtual uint8_t ProvinceIndex(const CProvince* province) const = 0;
    // The id of the first computer-player type of the game data; empty when
    // the game data define none.
    virtual std::optional<uint32_t> FirstComputerPlayerId() const = 0;

    // The project's string tables.
    virtual CStringTableList& StringTables() = 0;

protected:
    ~ProjectLink() = default;
};

// The installed project; while none is installed, a detached stand-in that
// marks nothing, counts 0 resources and unit types, has no players, no
// provinces, no computer-player types and an empty list of string tables.
ProjectLink& Project();

// Installs a project for the lifetime of this object. The editor keeps one
// project at a time, and every record reaches that one: installing a project
// while another is installed throws EInvalidOperation.
class ScopedProjectLink {
public:
    explicit ScopedProjectLink(ProjectLink& link);
    ~ScopedProjectLink();
    ScopedProjectLink(const ScopedProjectLink&) = delete;
    ScopedProjectLink& operator=(const ScopedProjectLink&) = delete;
};

}  // namespace thorn
