#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The registry's store: a tree of keys holding named string and integer
// values, kept in a small text file:
//
//     Thornvale registry 1
//     key "HKEY_CURRENT_USER" "Software" "Maker"
//     string "Item_0" "C:\\a \"b\""
//     integer "Count" -3
//
// Every line after the first names a key by its path (one quoted name per
// level, the first a root key) or a value of the key named last. Texts are
// Windows-1252 between double quotes, with "\\", "\"" and "\xHH" (for control
// characters) as escapes. Lines end with a line feed, or with a carriage
// return and a line feed as other text editors write them. Anything else
// makes the whole file damaged.
namespace thorn::registry {

using Data = std::variant<std::string, int32_t>;

struct Value {
    std::string name;
    Data data;
};

// Orders names as the store compares them: ignoring case.
struct NameOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

class Key;

struct KeyOrder {
    using is_transparent = void;
    bool operator()(const std::unique_ptr<Key>& a, const std::unique_ptr<Key>& b) const;
    bool operator()(const std::unique_ptr<Key>& a, std::string_view b) const;
    bool operator()(std::string_view a, const std::unique_ptr<Key>& b) const;
};

// A key with its values and sub-keys, both found by name in logarithmic
// time, so that a store of many thousands of keys reads and changes in time
// proportional to its size. Values and sub-keys are held where they were
// made: a key is neither copied nor moved.
class Key {
public:
    explicit Key(std::string name = {}) : name_(std::move(name)) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    const std::string& Name() const { return name_; }
    // Sub-keys in name order, case ignored.
    const std::set<std::unique_ptr<Key>, KeyOrder>& Keys() const { return keys_; }
    // Values in the order they were made.
    const std::list<Value>& Values() const { return values_; }

    // Names are compared ignoring case.
    Key* Find(std::string_view child);
    const Key* Find(std::string_view child) const;
    Key& Obtain(std::string_view child);
    bool Remove(std::string_view child);
    const Value* FindValue(std::string_view value) const;
    void SetValue(std::string_view value, Data data);
    bool RemoveValue(std::string_view value);

private:
    std::string name_;
    std::list<Value> values_;
    // Views of the names held by values_, whose elements never move.
    std::map<std::string_view, std::list<Value>::iterator, NameOrder> valueIndex_;
    std::set<std::unique_ptr<Key>, KeyOrder> keys_;
};

// Limits of what the file may hold; a file beyond them is damaged, and a
// change that would take the store beyond them is refused. A key's line
// names its root key and at most kMaxDepth levels below it.
inline constexpr size_t kMaxFileSize = 16 << 20;
inline constexpr size_t kMaxDepth = 512;
inline constexpr size_t kMaxKeyName = 255;

// The tree of a file: the top key (unnamed) holds the root keys. Null when
// the text is damaged.
std::unique_ptr<Key> Parse(std::string_view text);
std::string Format(const Key& top);

// A name is made of Windows-1252 characters other than "\" (the separator of
// paths), at most kMaxKeyName of them, and is not empty.
bool IsValidKeyName(std::string_view name);

}  // namespace thorn::registry
