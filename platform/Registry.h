#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Classes.h"

class TStrings;

// The root keys of the registry.
using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

class ERegistryException : public Exception {
    using Exception::Exception;
};

// The user's settings store: keys named by paths ("Software\Maker\Tool")
// under four root keys, each holding named string and integer values. Names
// are compared ignoring case. The store is one file of the user's
// configuration folder (thorn::RegistryFile, kept by thorn::registry's Read
// and Change): every call sees the file as it is now, so two objects, or two
// programs, see each other's changes; every change is a locked
// read-modify-write that replaces the file in one step, so a failed write
// leaves the file as it was and two programs writing at once lose nothing.
// A damaged file reads as an empty store and is kept aside at the next write.
//
// A key path is taken from the root when it begins with "\", else from the
// open key. Without an open key, values are those of the root key itself.
class TRegistry : public TObject {
public:
    TRegistry() = default;

    HKEY GetRootKey() const { return root_; }
    // Closes the open key.
    void SetRootKey(HKEY root);

    // Opens key; a missing one is made when canCreate (false when it cannot
    // be). Answers whether the key is open.
    bool OpenKey(std::string_view key, bool canCreate);
    // Opens an existing key for reading: writes throw, deletes answer false.
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey();
    // The open key's path from the root ("" without one).
    std::string GetCurrentPath() const;

    // Makes key (and the keys above it); throws ERegistryException
    // "Failed to create key X" when it cannot (saying why when the file
    // cannot be written). A key lies at most 512 levels below its root key.
    bool CreateKey(std::string_view key);
    // Removes key with everything below it.
    bool DeleteKey(std::string_view key);
    bool KeyExists(std::string_view key) const;

    // The open key's sub-keys in name order, and its value names in the
    // order they were made; the list is replaced.
    void GetKeyNames(TStrings& names) const;
    void GetValueNames(TStrings& names) const;
    bool HasSubKeys() const;
    bool ValueExists(std::string_view name) const;
    bool DeleteValue(std::string_view name);

    // A missing value reads as ""; an integer value throws
    // "Invalid data type for 'X'".
    std::string ReadString(std::string_view name) const;
    // A missing value throws "Failed to get data for 'X'", a string value
    // "Invalid data type for 'X'".
    int32_t ReadInteger(std::string_view name) const;
    // Throws "Failed to set data for 'X'" when the key is open read-only or
    // was removed meanwhile; when the file cannot be written, or the store
    // would grow past its size limit, the message goes on to say why.
    void WriteString(std::string_view name, std::string_view value);
    void WriteInteger(std::string_view name, int32_t value);

private:
    std::vector<std::string> Resolve(std::string_view key) const;
    void WriteValue(std::string_view name, std::variant<std::string, int32_t> data);

    HKEY root_ = HKEY_CURRENT_USER;
    bool open_ = false;
    bool readOnly_ = false;
    std::vector<std::string> current_;  // key names from the root
};

namespace thorn {

// The store's file: $XDG_CONFIG_HOME/thornvale-editor/registry, with
// ~/.config when XDG_CONFIG_HOME is unset or not absolute; empty when neither
// it nor HOME is set.
std::filesystem::path RegistryFile();

}  // namespace thorn
