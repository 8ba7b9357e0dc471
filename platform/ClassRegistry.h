#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>

#include "platform/Classes.h"

// Classes known by name: a form stream names the class of each component it
// holds, and the reader makes one from that name. Each module registers its
// streamable classes once at start:
//
//     RegisterClass<TrmStringInspectorItem>("TrmStringInspectorItem");
//
// and anyone can then make one by name:
//
//     std::unique_ptr<TComponent> item = FindClass(name).Create<TComponent>();
//
// A class is registered under its own (most derived) C++ type; an object's
// class name is looked up from that type, so a class that is written to a
// stream must be registered itself, not only its base.

class EFilerError : public EStreamError {
    using EStreamError::EStreamError;
};
// "Class TFoo not found".
class EClassNotFound : public EFilerError {
    using EFilerError::EFilerError;
};

namespace thorn {

// One registered class: its name and a way to make an instance.
class ClassInfo {
public:
    ClassInfo(std::string name, std::type_index type, std::function<std::unique_ptr<TPersistent>()> make)
        : name_(std::move(name)), type_(type), make_(std::move(make)) {}

    const std::string& Name() const { return name_; }
    std::type_index Type() const { return type_; }

    // A new instance (no owner), or null when the class is not a T.
    template <typename T = TPersistent>
    std::unique_ptr<T> Create() const {
        std::unique_ptr<TPersistent> made = make_();
        if (auto* object = dynamic_cast<T*>(made.get())) {
            made.release();
            return std::unique_ptr<T>(object);
        }
        return nullptr;
    }

private:
    std::string name_;
    std::type_index type_;
    std::function<std::unique_ptr<TPersistent>()> make_;
};

void RegisterClassInfo(ClassInfo info);

// The registered class of the object's own type, or null.
const ClassInfo* ClassOf(const TObject& object);
// Its registered name, "" when its type is not registered.
std::string ClassName(const TObject& object);

}  // namespace thorn

// Registers T (a default-constructible TPersistent) under name. Registering a
// class again under its name does nothing; another class under a name already
// taken (case ignored) throws EFilerError "A class named X already exists".
template <typename T>
void RegisterClass(std::string name) {
    static_assert(std::is_base_of_v<TPersistent, T>);
    thorn::RegisterClassInfo(thorn::ClassInfo(std::move(name), typeid(T), [] { return std::make_unique<T>(); }));
}

void UnRegisterClass(std::string_view name);

// The class registered under name (case ignored), or null.
const thorn::ClassInfo* GetClass(std::string_view name);
// The same, or EClassNotFound "Class X not found".
const thorn::ClassInfo& FindClass(std::string_view name);
