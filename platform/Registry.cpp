#include "platform/Registry.h"

#include <cstdlib>
#include <functional>
#include <optional>

#include "platform/RegistryStore.h"
#include "platform/StringList.h"

namespace thorn {

std::filesystem::path RegistryFile() {
    std::filesystem::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && *config && std::filesystem::path(config).is_absolute()) base = config;
    else if (home && *home) base = std::filesystem::path(home) / ".config";
    else return {};
    return base / "thornvale-editor" / "registry";
}

}  // namespace thorn

namespace {

using thorn::registry::Key;

std::string_view RootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return {};
    }
}

// The key at path below the root key; null when it is missing or the root
// is unknown. A root key is always there, empty until something is written.
const Key* Find(const Key& top, HKEY root, const std::vector<std::string>& path) {
    static const Key kEmptyRoot;
    const std::string_view rootName = RootName(root);
    if (rootName.empty()) return nullptr;
    const Key* key = top.Find(rootName);
    if (!key) return path.empty() ? &kEmptyRoot : nullptr;
    for (size_t level = 0; key && level < path.size(); ++level) key = key->Find(path[level]);
    return key;
}

// The same key to change; a root key not yet written is not made here.
Key* Find(Key& top, HKEY root, const std::vector<std::string>& path) {
    const std::string_view rootName = RootName(root);
    Key* key = rootName.empty() ? nullptr : top.Find(rootName);
    for (size_t level = 0; key && level < path.size(); ++level) key = key->Find(path[level]);
    return key;
}

// The key at path below the root key, made with the keys above it when
// missing; null when the root is unknown.
Key* Obtain(Key& top, HKEY root, const std::vector<std::string>& path) {
    const std::string_view rootName = RootName(root);
    if (rootName.empty()) return nullptr;
    Key* key = &top.Obtain(rootName);
    for (const std::string& name : path) key = &key->Obtain(name);
    return key;
}

// What a read of the store answers from the key at path.
template <typename Answer>
Answer ReadKey(HKEY root, const std::vector<std::string>& path, const std::function<Answer(const Key*)>& answer) {
    std::optional<Answer> result;
    thorn::registry::Read([&](const Key& top) { result = answer(Find(top, root, path)); });
    return std::move(*result);
}

std::string Quoted(std::string_view name) {
    std::string quoted(1, '\'');  // appended: GCC 12 warns falsely of an overlap for "'" + name
    quoted += name;
    quoted += '\'';
    return quoted;
}

// The refusal of a write, with what the store said.
std::string Because(std::string message, const EStreamError& why) {
    message += ". ";
    message += why.Message();
    if (!message.ends_with('.')) message += '.';
    return message;
}

}  // namespace

std::vector<std::string> TRegistry::Resolve(std::string_view key) const {
    std::vector<std::string> path;
    if (open_ && !key.starts_with('\\')) path = current_;
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string_view::npos) end = key.size();
        if (end > start) path.emplace_back(key.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

namespace {

// A path the store's file can hold: no deeper than its key limit below the
// root key, every name valid.
bool IsValidPath(const std::vector<std::string>& path) {
    if (path.size() > thorn::registry::kMaxDepth) return false;
    for (const std::string& name : path)
        if (!thorn::registry::IsValidKeyName(name)) return false;
    return true;
}

}  // namespace

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    const std::vector<std::string> path = Resolve(key);
    if (!IsValidPath(path)) return false;
    if (!ReadKey<bool>(root_, path, [](const Key* found) { return found != nullptr; })) {
        if (!canCreate) return false;
        try {
            if (!thorn::registry::Change([&](Key& top) { return Obtain(top, root_, path) != nullptr; })) return false;
        } catch (const EStreamError&) {
            return false;
        }
    }
    open_ = true;
    readOnly_ = false;
    current_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
    const std::vector<std::string> path = Resolve(key);
    if (!IsValidPath(path) || !ReadKey<bool>(root_, path, [](const Key* found) { return found != nullptr; }))
        return false;
    open_ = true;
    readOnly_ = true;
    current_ = path;
    return true;
}

void TRegistry::CloseKey() {
    open_ = false;
    readOnly_ = false;
    current_.clear();
}

std::string TRegistry::GetCurrentPath() const {
    std::string path;
    for (const std::string& name : current_) path += (path.empty() ? "" : "\\") + name;
    return path;
}

bool TRegistry::CreateKey(std::string_view key) {
    const std::vector<std::string> path = Resolve(key);
    const std::string failed = "Failed to create key " + std::string(key);
    try {
        if (readOnly_ || !IsValidPath(path) ||
            !thorn::registry::Change([&](Key& top) { return Obtain(top, root_, path) != nullptr; }))
            throw ERegistryException(failed);
    } catch (const EStreamError& why) {
        throw ERegistryException(Because(failed, why));
    }
    return true;
}

bool TRegistry::DeleteKey(std::string_view key) {
    std::vector<std::string> path = Resolve(key);
    if (readOnly_ || path.empty() || !IsValidPath(path)) return false;
    const std::string last = path.back();
    path.pop_back();
    try {
        return thorn::registry::Change([&](Key& top) {
            Key* parent = Find(top, root_, path);
            return parent && parent->Remove(last);
        });
    } catch (const EStreamError&) {
        return false;
    }
}

bool TRegistry::KeyExists(std::string_view key) const {
    const std::vector<std::string> path = Resolve(key);
    return IsValidPath(path) && ReadKey<bool>(root_, path, [](const Key* found) { return found != nullptr; });
}

void TRegistry::GetKeyNames(TStrings& names) const {
    const auto list = ReadKey<std::vector<std::string>>(root_, current_, [](const Key* key) {
        std::vector<std::string> out;
        if (key)
            for (const auto& child : key->Keys()) out.push_back(child->Name());
        return out;
    });
    thorn::WithinUpdate(names, [&] {
        names.Clear();
        for (const std::string& name : list) names.Add(name);
    });
}

void TRegistry::GetValueNames(TStrings& names) const {
    const auto list = ReadKey<std::vector<std::string>>(root_, current_, [](const Key* key) {
        std::vector<std::string> out;
        if (key)
            for (const auto& value : key->Values()) out.push_back(value.name);
        return out;
    });
    thorn::WithinUpdate(names, [&] {
        names.Clear();
        for (const std::string& name : list) names.Add(name);
    });
}

bool TRegistry::HasSubKeys() const {
    return ReadKey<bool>(root_, current_, [](const Key* key) { return key && !key->Keys().empty(); });
}

bool TRegistry::ValueExists(std::string_view name) const {
    return ReadKey<bool>(root_, current_, [&](const Key* key) { return key && key->FindValue(name); });
}

bool TRegistry::DeleteValue(std::string_view name) {
    if (readOnly_) return false;
    try {
        return thorn::registry::Change([&](Key& top) {
            Key* key = Find(top, root_, current_);
            return key && key->RemoveValue(name);
        });
    } catch (const EStreamError&) {
        return false;
    }
}

std::string TRegistry::ReadString(std::string_view name) const {
    const auto value = ReadKey<std::optional<thorn::registry::Data>>(root_, current_, [&](const Key* key) {
        const auto* found = key ? key->FindValue(name) : nullptr;
        return found ? std::optional(found->data) : std::nullopt;
    });
    if (!value) return {};
    const auto* text = std::get_if<std::string>(&*value);
    if (!text) throw ERegistryException("Invalid data type for " + Quoted(name));
    return *text;
}

int32_t TRegistry::ReadInteger(std::string_view name) const {
    const auto value = ReadKey<std::optional<thorn::registry::Data>>(root_, current_, [&](const Key* key) {
        const auto* found = key ? key->FindValue(name) : nullptr;
        return found ? std::optional(found->data) : std::nullopt;
    });
    if (!value) throw ERegistryException("Failed to get data for " + Quoted(name));
    const auto* number = std::get_if<int32_t>(&*value);
    if (!number) throw ERegistryException("Invalid data type for " + Quoted(name));
    return *number;
}

void TRegistry::WriteValue(std::string_view name, thorn::registry::Data data) {
    const std::string failed = "Failed to set data for " + Quoted(name);
    bool written = false;
    try {
        written = !readOnly_ && thorn::registry::Change([&](Key& top) {
            // The root key's own values need the root key in the file.
            Key* key = current_.empty() ? Obtain(top, root_, current_) : Find(top, root_, current_);
            if (key) key->SetValue(name, std::move(data));
            return key != nullptr;
        });
    } catch (const EStreamError& why) {
        throw ERegistryException(Because(failed, why));
    }
    if (!written) throw ERegistryException(failed);
}

void TRegistry::WriteString(std::string_view name, std::string_view value) { WriteValue(name, std::string(value)); }

void TRegistry::WriteInteger(std::string_view name, int32_t value) { WriteValue(name, value); }
