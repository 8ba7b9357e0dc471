#include "platform/ClassRegistry.h"

#include <algorithm>
#include <vector>

#include "platform/Components.h"

namespace {

// Held by pointer so that what GetClass answers stays put while others register.
std::vector<std::unique_ptr<thorn::ClassInfo>>& Registered() {
    static std::vector<std::unique_ptr<thorn::ClassInfo>> classes;
    return classes;
}

auto Named(std::string_view name) {
    auto& classes = Registered();
    return std::find_if(classes.begin(), classes.end(),
                        [&](const auto& c) { return thorn::SameText(c->Name(), name); });
}

}  // namespace

namespace thorn {

void RegisterClassInfo(ClassInfo info) {
    auto it = Named(info.Name());
    if (it != Registered().end()) {
        if ((*it)->Type() == info.Type()) return;
        throw EFilerError("A class named " + info.Name() + " already exists");
    }
    Registered().push_back(std::make_unique<ClassInfo>(std::move(info)));
}

const ClassInfo* ClassOf(const TObject& object) {
    const std::type_index type = typeid(object);
    for (const auto& c : Registered())
        if (c->Type() == type) return c.get();
    return nullptr;
}

std::string ClassName(const TObject& object) {
    const ClassInfo* info = ClassOf(object);
    return info ? info->Name() : std::string();
}

}  // namespace thorn

void UnRegisterClass(std::string_view name) {
    auto it = Named(name);
    if (it != Registered().end()) Registered().erase(it);
}

const thorn::ClassInfo* GetClass(std::string_view name) {
    auto it = Named(name);
    return it != Registered().end() ? it->get() : nullptr;
}

const thorn::ClassInfo& FindClass(std::string_view name) {
    if (const thorn::ClassInfo* info = GetClass(name)) return *info;
    throw EClassNotFound("Class " + std::string(name) + " not found");
}
