#include "platform/Registry.h"

#include <cstdlib>
#include <optional>
#include <system_error>

#include "platform/Files.h"
#include "platform/RegistryFile.h"
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

// The store as its file holds it now: empty when the file is missing,
// unreadable, too large or damaged.
Key Load() {
    const std::filesystem::path file = thorn::RegistryFile();
    std::error_code error;
    if (file.empty() || std::filesystem::file_size(file, error) > thorn::registry::kMaxFileSize || error) return {};
    const auto bytes = thorn::ReadWholeFile(file);
    if (!bytes) return {};
    auto top = thorn::registry::Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return top ? std::move(*top) : Key{};
}

bool Save(const Key& top) {
    const std::filesystem::path file = thorn::RegistryFile();
    std::error_code error;
    if (file.empty()) return false;
    std::filesystem::create_directories(file.parent_path(), error);
    const std::string text = thorn::registry::Format(top);
    return thorn::WriteFileReplacing(file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// The key at path below the root key (made on the way when create); null
// when it is missing or the root is unknown.
Key* Walk(Key& top, HKEY root, const std::vector<std::string>& path, bool create) {
    const std::string_view rootName = RootName(root);
    if (rootName.empty()) return nullptr;
    Key* key = &top.Obtain(rootName);
    for (const std::string& name : path) {
        Key* next = key->Find(name);
        if (!next && !create) return nullptr;
        key = next ? next : &key->Obtain(name);
    }
    return key;
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

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
    Key top = Load();
    if (!Walk(top, root_, path, false)) {
        if (!canCreate || !Walk(top, root_, path, true) || !Save(top)) return false;
    }
    open_ = true;
    readOnly_ = false;
    current_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
    const std::vector<std::string> path = Resolve(key);
    Key top = Load();
    if (!IsValidPath(path) || !Walk(top, root_, path, false)) return false;
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
    Key top = Load();
    if (readOnly_ || !IsValidPath(path) || !Walk(top, root_, path, true) || !Save(top))
        throw ERegistryException("Failed to create key " + std::string(key));
    return true;
}

bool TRegistry::DeleteKey(std::string_view key) {
    std::vector<std::string> path = Resolve(key);
    if (readOnly_ || path.empty() || !IsValidPath(path)) return false;
    const std::string last = path.back();
    path.pop_back();
    Key top = Load();
    Key* parent = Walk(top, root_, path, false);
    return parent && parent->Remove(last) && Save(top);
}

bool TRegistry::KeyExists(std::string_view key) const {
    const std::vector<std::string> path = Resolve(key);
    Key top = Load();
    return IsValidPath(path) && Walk(top, root_, path, false);
}

void TRegistry::GetKeyNames(TStrings& names) const {
    Key top = Load();
    const Key* key = Walk(top, root_, current_, false);
    thorn::WithinUpdate(names, [&] {
        names.Clear();
        if (key)
            for (const auto& child : key->keys) names.Add(child->name);
    });
}

void TRegistry::GetValueNames(TStrings& names) const {
    Key top = Load();
    const Key* key = Walk(top, root_, current_, false);
    thorn::WithinUpdate(names, [&] {
        names.Clear();
        if (key)
            for (const auto& value : key->values) names.Add(value.name);
    });
}

bool TRegistry::HasSubKeys() const {
    Key top = Load();
    const Key* key = Walk(top, root_, current_, false);
    return key && !key->keys.empty();
}

bool TRegistry::ValueExists(std::string_view name) const {
    Key top = Load();
    Key* key = Walk(top, root_, current_, false);
    return key && key->FindValue(name);
}

bool TRegistry::DeleteValue(std::string_view name) {
    if (readOnly_) return false;
    Key top = Load();
    Key* key = Walk(top, root_, current_, false);
    return key && key->RemoveValue(name) && Save(top);
}

std::string TRegistry::ReadString(std::string_view name) const {
    Key top = Load();
    Key* key = Walk(top, root_, current_, false);
    const auto* value = key ? key->FindValue(name) : nullptr;
    if (!value) return {};
    const auto* text = std::get_if<std::string>(&value->data);
    if (!text) throw ERegistryException("Invalid data type for " + Quoted(name));
    return *text;
}

int32_t TRegistry::ReadInteger(std::string_view name) const {
    Key top = Load();
    Key* key = Walk(top, root_, current_, false);
    const auto* value = key ? key->FindValue(name) : nullptr;
    if (!value) throw ERegistryException("Failed to get data for " + Quoted(name));
    const auto* number = std::get_if<int32_t>(&value->data);
    if (!number) throw ERegistryException("Invalid data type for " + Quoted(name));
    return *number;
}

void TRegistry::WriteValue(std::string_view name, thorn::registry::Data data) {
    Key top = Load();
    Key* key = readOnly_ ? nullptr : Walk(top, root_, current_, false);
    if (!key) throw ERegistryException("Failed to set data for " + Quoted(name));
    key->SetValue(name, std::move(data));
    if (!Save(top)) throw ERegistryException("Failed to set data for " + Quoted(name));
}

void TRegistry::WriteString(std::string_view name, std::string_view value) { WriteValue(name, std::string(value)); }

void TRegistry::WriteInteger(std::string_view name, int32_t value) { WriteValue(name, value); }
