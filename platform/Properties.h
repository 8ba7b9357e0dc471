#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Sets.h"

class TPersistent;

// Published properties: what a form stream writes of an object and reads back
// into it. A class lists its properties, base class first, by overriding
// TPersistent::PublishProperties; each entry names the property and gives a
// getter and a setter (usually lambdas on this object) and, for ordinal kinds,
// the declared default:
//
//     void TrmIntegerInspectorItem::PublishProperties(thorn::PropertyList& list) {
//         TrmCustomInspectorItem::PublishProperties(list);
//         list.Integer("MinValue", [this] { return minValue_; }, [this](int32_t v) { SetMinValue(v); }, 0);
//         list.Boolean("UseRange", [this] { return useRange_; }, [this](bool v) { SetUseRange(v); }, false);
//     }
//
// A property is stored when it differs from its default: an ordinal with a
// declared default when it differs from it (without one, always), a string
// when it is not empty (or always, after StoreEmpty), a number of the float
// kinds when it is not zero; a StoredWhen predicate can hold any of them back. A property without a setter
// is neither written nor read. An Object property names a persistent object
// the owner keeps: its own properties are written under "Name." ("Font.Size",
// "Items.Data"), and a collection as a list of its items. The list is made
// afresh for each object each time it is streamed.
namespace thorn {

enum class PropertyKind { Integer, Int64, Char, Boolean, Enumeration, Set, Float, Date, String, Object };

struct PropertyInfo {
    std::string name;
    PropertyKind kind = PropertyKind::Integer;
    // The ordinal kinds as 64-bit numbers: a character as its byte, a
    // boolean as 0 or 1, an enumeration as its member's index, a set as its
    // bits.
    std::function<int64_t()> getOrdinal;
    std::function<void(int64_t)> setOrdinal;
    std::optional<int64_t> defaultOrdinal;
    // Member names of an enumeration or set, by index.
    std::span<const std::string_view> names;
    std::function<double()> getFloat;
    std::function<void(double)> setFloat;
    std::function<std::string()> getString;
    std::function<void(const std::string&)> setString;
    std::function<TPersistent*()> getObject;
    std::function<bool()> stored;
    bool storeEmpty = false;

    bool Writable() const { return setOrdinal || setFloat || setString || kind == PropertyKind::Object; }
};

class PropertyList {
public:
    template <typename T>
    using Getter = std::function<T()>;
    template <typename T>
    using Setter = std::function<void(T)>;

    void Integer(std::string name, Getter<int32_t> get, Setter<int32_t> set,
                 std::optional<int32_t> defaultValue = std::nullopt);
    void Int64(std::string name, Getter<int64_t> get, Setter<int64_t> set,
               std::optional<int64_t> defaultValue = std::nullopt);
    void Char(std::string name, Getter<char> get, Setter<char> set, std::optional<char> defaultValue = std::nullopt);
    void Boolean(std::string name, Getter<bool> get, Setter<bool> set, std::optional<bool> defaultValue = std::nullopt);
    // A string, written in full (a setter that takes std::string or
    // const std::string& both fit).
    void String(std::string name, Getter<std::string> get, std::function<void(const std::string&)> set);
    // Floating-point numbers; a Date is written as a date-time value.
    void Float(std::string name, Getter<double> get, Setter<double> set);
    void Date(std::string name, Getter<TDateTime> get, Setter<TDateTime> set);
    // A persistent object (or collection) the owner keeps; null skips it.
    void Object(std::string name, Getter<TPersistent*> get);

    // An enumeration whose members are numbered from 0 and named by names
    // (the names must outlive the list: a static table).
    template <typename E>
    void Enumeration(std::string name, Getter<E> get, Setter<E> set, std::span<const std::string_view> names,
                     std::optional<E> defaultValue = std::nullopt) {
        PropertyInfo& p = Add(std::move(name), PropertyKind::Enumeration);
        p.getOrdinal = [get = std::move(get)] { return static_cast<int64_t>(get()); };
        if (set) p.setOrdinal = [set = std::move(set)](int64_t v) { set(static_cast<E>(v)); };
        if (defaultValue) p.defaultOrdinal = static_cast<int64_t>(*defaultValue);
        p.names = names;
    }

    // A set of enumeration members named by names.
    template <typename E>
    void Set(std::string name, Getter<EnumSet<E>> get, Setter<EnumSet<E>> set, std::span<const std::string_view> names,
             std::optional<EnumSet<E>> defaultValue = std::nullopt) {
        PropertyInfo& p = Add(std::move(name), PropertyKind::Set);
        p.getOrdinal = [get = std::move(get)] { return static_cast<int64_t>(get().Bits()); };
        if (set)
            p.setOrdinal = [set = std::move(set)](int64_t v) { set(EnumSet<E>::FromBits(static_cast<uint64_t>(v))); };
        if (defaultValue) p.defaultOrdinal = static_cast<int64_t>(defaultValue->Bits());
        p.names = names;
    }

    // Holds the property added last back whenever stored answers false.
    void StoredWhen(std::function<bool()> stored);
    // Writes the string property added last even when it is empty: a text
    // that starts otherwise reads back empty only if its emptiness is written.
    void StoreEmpty();

    const std::vector<PropertyInfo>& Items() const { return items_; }
    // The property of that name (case ignored), or null.
    const PropertyInfo* Find(std::string_view name) const;

private:
    PropertyInfo& Add(std::string name, PropertyKind kind);
    std::vector<PropertyInfo> items_;
};

}  // namespace thorn
