#include "model/ProjectLink.h"

#include "model/StringTableList.h"
#include "platform/Classes.h"

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

ProjectLink*& Installed() {
    static ProjectLink* link = nullptr;
    return link;
}

}  // namespace

ProjectLink& Project() {
    ProjectLink* link = Installed();
    return link ? *link : Detached();
}

ScopedProjectLink::ScopedProjectLink(ProjectLink& link) {
    if (Installed()) throw EInvalidOperation("Only one project can be open at a time: another project is still open");
    Installed() = &link;
}

ScopedProjectLink::~ScopedProjectLink() { Installed() = nullptr; }

}  // namespace thorn
