#include "platform/RegistryFile.h"

#include <algorithm>
#include <charconv>

#include "platform/Components.h"
#include "platform/StringList.h"

namespace thorn::registry {

namespace {

constexpr std::string_view kHeader = "Thornvale registry 1";

template <typename Keys>
auto FindIn(Keys& keys, std::string_view name) {
    return std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return SameText(k->name, name); });
}

void Quote(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void FormatKey(std::string& out, const Key& key, std::vector<std::string_view>& path) {
    path.push_back(key.name);
    out += "key";
    for (std::string_view level : path) out += ' ', Quote(out, level);
    out += '\n';
    for (const Value& v : key.values) {
        if (const auto* text = std::get_if<std::string>(&v.data)) {
            out += "string ";
            Quote(out, v.name);
            out += ' ';
            Quote(out, *text);
        } else {
            out += "integer ";
            Quote(out, v.name);
            out += ' ' + std::to_string(std::get<int32_t>(v.data));
        }
        out += '\n';
    }
    for (const auto& child : key.keys) FormatKey(out, *child, path);
    path.pop_back();
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One line of the file, read word by word.
class Line {
public:
    explicit Line(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    // A bare word followed by a blank or the end.
    std::optional<std::string_view> Word() {
        const size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ' ') ++pos_;
        if (pos_ == start) return std::nullopt;
        const std::string_view word = text_.substr(start, pos_ - start);
        return Separator() ? std::optional(word) : std::nullopt;
    }
    std::optional<std::string> Quoted() {
        if (pos_ >= text_.size() || text_[pos_] != '"') return std::nullopt;
        std::string out;
        for (++pos_; pos_ < text_.size(); ++pos_) {
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return Separator() ? std::optional(std::move(out)) : std::nullopt;
            }
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++pos_ == text_.size()) return std::nullopt;
            const char escaped = text_[pos_];
            if (escaped == '\\' || escaped == '"') {
                out += escaped;
            } else if (escaped == 'x' && pos_ + 2 < text_.size() && HexValue(text_[pos_ + 1]) >= 0 &&
                       HexValue(text_[pos_ + 2]) >= 0) {
                out += static_cast<char>(HexValue(text_[pos_ + 1]) * 16 + HexValue(text_[pos_ + 2]));
                pos_ += 2;
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

private:
    // One blank between words; none after the last.
    bool Separator() {
        if (pos_ == text_.size()) return true;
        if (text_[pos_] != ' ' || pos_ + 1 == text_.size()) return false;
        ++pos_;
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

bool IsValidKeyName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxKeyName && name.find('\\') == std::string_view::npos;
}

Key* Key::Find(std::string_view child) {
    auto it = FindIn(keys, child);
    return it == keys.end() ? nullptr : it->get();
}

const Key* Key::Find(std::string_view child) const {
    auto it = FindIn(keys, child);
    return it == keys.end() ? nullptr : it->get();
}

Key& Key::Obtain(std::string_view child) {
    if (Key* found = Find(child)) return *found;
    auto key = std::make_unique<Key>();
    key->name = std::string(child);
    auto at = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return CompareText(k->name, child) > 0; });
    return **keys.insert(at, std::move(key));
}

bool Key::Remove(std::string_view child) {
    auto it = FindIn(keys, child);
    if (it == keys.end()) return false;
    keys.erase(it);
    return true;
}

Value* Key::FindValue(std::string_view value) {
    auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameText(v.name, value); });
    return it == values.end() ? nullptr : &*it;
}

void Key::SetValue(std::string_view value, Data data) {
    if (Value* found = FindValue(value)) found->data = std::move(data);
    else values.push_back({std::string(value), std::move(data)});
}

bool Key::RemoveValue(std::string_view value) {
    auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameText(v.name, value); });
    if (it == values.end()) return false;
    values.erase(it);
    return true;
}

std::string Format(const Key& top) {
    std::string out(kHeader);
    out += '\n';
    std::vector<std::string_view> path;
    for (const auto& root : top.keys) FormatKey(out, *root, path);
    return out;
}

std::optional<Key> Parse(std::string_view text) {
    if (text.size() > kMaxFileSize) return std::nullopt;
    Key top;
    Key* current = nullptr;
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return std::nullopt;  // every line ends with a line feed
        Line line(text.substr(start, end - start));
        start = end + 1;
        if (first) {
            if (text.substr(0, end) != kHeader) return std::nullopt;
            first = false;
            continue;
        }
        const auto word = line.Word();
        if (!word) return std::nullopt;
        if (*word == "key") {
            current = &top;
            size_t depth = 0;
            while (!line.AtEnd()) {
                auto name = line.Quoted();
                if (!name || !IsValidKeyName(*name) || ++depth > kMaxDepth) return std::nullopt;
                current = &current->Obtain(*name);
            }
            if (depth == 0) return std::nullopt;
        } else if (*word == "string" || *word == "integer") {
            auto name = line.Quoted();
            if (!current || !name) return std::nullopt;
            if (*word == "string") {
                auto value = line.Quoted();
                if (!value || !line.AtEnd()) return std::nullopt;
                current->SetValue(*name, std::move(*value));
            } else {
                const auto number = line.Word();
                int32_t value = 0;
                if (!number || !line.AtEnd()) return std::nullopt;
                const auto [ptr, error] = std::from_chars(number->data(), number->data() + number->size(), value);
                if (error != std::errc() || ptr != number->data() + number->size()) return std::nullopt;
                current->SetValue(*name, value);
            }
        } else {
            return std::nullopt;
        }
    }
    if (first) return std::nullopt;
    return top;
}

}  // namespace thorn::registry
