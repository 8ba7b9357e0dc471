#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
// characters) as escapes. Anything else makes the whole file damaged.
namespace thorn::registry {

using Data = std::variant<std::string, int32_t>;

struct Value {
    std::string name;
    Data data;
};

class Key {
public:
    std::string name;
    std::vector<Value> values;  // in the order they were made
    std::vector<std::unique_ptr<Key>> keys;  // in name order, case ignored

    // Names are compared ignoring case.
    Key* Find(std::string_view child);
    const Key* Find(std::string_view child) const;
    Key& Obtain(std::string_view child);
    bool Remove(std::string_view child);
    Value* FindValue(std::string_view value);
    void SetValue(std::string_view value, Data data);
    bool RemoveValue(std::string_view value);
};

// Limits of what the file may hold; a file beyond them is damaged.
inline constexpr size_t kMaxFileSize = 16 << 20;
inline constexpr size_t kMaxDepth = 512;
inline constexpr size_t kMaxKeyName = 255;

// The tree of a file: the top key (unnamed) holds the root keys. Nothing when
// the text is damaged.
std::optional<Key> Parse(std::string_view text);
std::string Format(const Key& top);

// A name is made of Windows-1252 characters other than "\" (the separator of
// paths), at most kMaxKeyName of them, and is not empty.
bool IsValidKeyName(std::string_view name);

}  // namespace thorn::registry
