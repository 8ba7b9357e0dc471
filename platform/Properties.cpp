#include "platform/Properties.h"

#include "platform/Components.h"

namespace thorn {

PropertyInfo& PropertyList::Add(std::string name, PropertyKind kind) {
    PropertyInfo& p = items_.emplace_back();
    p.name = std::move(name);
    p.kind = kind;
    return p;
}

void PropertyList::Integer(std::string name, Getter<int32_t> get, Setter<int32_t> set,
                           std::optional<int32_t> defaultValue) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Integer);
    p.getOrdinal = [get = std::move(get)] { return int64_t{get()}; };
    if (set) p.setOrdinal = [set = std::move(set)](int64_t v) { set(static_cast<int32_t>(v)); };
    p.defaultOrdinal = defaultValue;
}

void PropertyList::Int64(std::string name, Getter<int64_t> get, Setter<int64_t> set,
                         std::optional<int64_t> defaultValue) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Int64);
    p.getOrdinal = std::move(get);
    p.setOrdinal = std::move(set);
    p.defaultOrdinal = defaultValue;
}

void PropertyList::Char(std::string name, Getter<char> get, Setter<char> set, std::optional<char> defaultValue) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Char);
    p.getOrdinal = [get = std::move(get)] { return int64_t{static_cast<unsigned char>(get())}; };
    if (set) p.setOrdinal = [set = std::move(set)](int64_t v) { set(static_cast<char>(v)); };
    if (defaultValue) p.defaultOrdinal = static_cast<unsigned char>(*defaultValue);
}

void PropertyList::Boolean(std::string name, Getter<bool> get, Setter<bool> set, std::optional<bool> defaultValue) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Boolean);
    p.getOrdinal = [get = std::move(get)] { return int64_t{get() ? 1 : 0}; };
    if (set) p.setOrdinal = [set = std::move(set)](int64_t v) { set(v != 0); };
    if (defaultValue) p.defaultOrdinal = *defaultValue ? 1 : 0;
}

void PropertyList::String(std::string name, Getter<std::string> get, std::function<void(const std::string&)> set) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::String);
    p.getString = std::move(get);
    p.setString = std::move(set);
}

void PropertyList::Float(std::string name, Getter<double> get, Setter<double> set) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Float);
    p.getFloat = std::move(get);
    p.setFloat = std::move(set);
}

void PropertyList::Date(std::string name, Getter<TDateTime> get, Setter<TDateTime> set) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Date);
    p.getFloat = std::move(get);
    p.setFloat = std::move(set);
}

void PropertyList::Object(std::string name, Getter<TPersistent*> get) {
    Add(std::move(name), PropertyKind::Object).getObject = std::move(get);
}

void PropertyList::StoredWhen(std::function<bool()> stored) {
    if (!items_.empty()) items_.back().stored = std::move(stored);
}

void PropertyList::StoreEmpty() {
    if (!items_.empty()) items_.back().storeEmpty = true;
}

const PropertyInfo* PropertyList::Find(std::string_view name) const {
    for (const PropertyInfo& p : items_)
        if (SameText(p.name, name)) return &p;
    return nullptr;
}

}  // namespace thorn
