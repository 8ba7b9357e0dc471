#include "model/ProjectLink.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "model/StringTableList.h"

namespace thorn {
namespace {

// Stands in while no project is installed, so that a record used on its own
// never dereferences a missing project.
class DetachedProject final : public ProjectLink {
public:
    void MarkModified() override {}
    int ResourceCount() const override { return 0; }
    int UnitTypeCount() const override { return 0; }
    CPlayerData* PlayerAt(uint32_t) override { return nullptr; }
    uint8_t ProvinceIndex(const CProvince*) const override { return 255; }
    std::optional<uint32_t> FirstComputerPlayerId() const override { return std::nullopt; }
    CStringTableList& StringTables() override {
        tables_.Clear();  // whatever was added while detached is not kept
        return tables_;
    }

private:
    CStringTableList tables_;
};

DetachedProject& Detached() {
    static DetachedProject detached;
    return detached;
}

// The links installed, the last one in force; a null entry detaches the
// records on purpose.
std::vector<ProjectLink*>& Installed() {
    static std::vector<ProjectLink*> links;
    return links;
}

}  // namespace

ProjectLink& Project() {
    const std::vector<ProjectLink*>& links = Installed();
    return links.empty() || !links.back() ? Detached() : *links.back();
}

void SetProjectLink(ProjectLink* link) {
    std::vector<ProjectLink*>& links = Installed();
    if (links.empty())
        links.push_back(link);
    else
        links.back() = link;
}

ScopedProjectLink::ScopedProjectLink(ProjectLink& link) : link_(&link) { Installed().push_back(link_); }

ScopedProjectLink::~ScopedProjectLink() {
    // Links need not go in the reverse order they came (two projects made
    // one after the other may go in either order): this one's last entry
    // goes wherever it stands, so that no entry outlives its project.
    std::vector<ProjectLink*>& links = Installed();
    auto last = std::find(links.rbegin(), links.rend(), link_);
    if (last != links.rend()) links.erase(std::next(last).base());
}

}  // namespace thorn
