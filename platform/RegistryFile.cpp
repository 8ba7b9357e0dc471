#include "platform/RegistryFile.h"

#include <charconv>
#include <optional>

#include "platform/Components.h"
#include "platform/StringList.h"

namespace thorn::registry {

namespace {

constexpr std::string_view kHeader = "Thornvale registry 1";

// Whether a byte ends a run of plain characters in a quoted text: its end,
// an escape, or a control character (which is written escaped).
bool IsSpecial(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '"' || c == '\\' || byte < 0x20 || byte == 0x7F;
}

void Quote(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '"';
    size_t at = 0;
    while (at < text.size()) {
        size_t plain = at;
        while (plain < text.size() && !IsSpecial(text[plain])) ++plain;
        out.append(text.substr(at, plain - at));
        if (plain == text.size()) break;
        const char c = text[plain];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
        at = plain + 1;
    }
    out += '"';
}

void FormatKey(std::string& out, const Key& key, std::vector<std::string_view>& path) {
    path.push_back(key.Name());
    out += "key";
    for (std::string_view level : path) out += ' ', Quote(out, level);
    out += '\n';
    for (const Value& v : key.Values()) {
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
    for (const auto& child : key.Keys()) FormatKey(out, *child, path);
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
            size_t plain = pos_;
            while (plain < text_.size() && !IsSpecial(text_[plain])) ++plain;
            out.append(text_.substr(pos_, plain - pos_));
            pos_ = plain;
            if (pos_ == text_.size()) break;
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return Separator() ? std::optional(std::move(out)) : std::nullopt;
            }
            if (c != '\\') return std::nullopt;  // a control character
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

bool NameOrder::operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }

bool KeyOrder::operator()(const std::unique_ptr<Key>& a, const std::unique_ptr<Key>& b) const {
    return CompareText(a->Name(), b->Name()) < 0;
}

bool KeyOrder::operator()(const std::unique_ptr<Key>& a, std::string_view b) const {
    return CompareText(a->Name(), b) < 0;
}

bool KeyOrder::operator()(std::string_view a, const std::unique_ptr<Key>& b) const {
    return CompareText(a, b->Name()) < 0;
}

Key* Key::Find(std::string_view child) {
    auto it = keys_.find(child);
    return it == keys_.end() ? nullptr : it->get();
}

const Key* Key::Find(std::string_view child) const {
    auto it = keys_.find(child);
    return it == keys_.end() ? nullptr : it->get();
}

Key& Key::Obtain(std::string_view child) {
    // A file lists keys in name order: a new last key is the usual case.
    if (keys_.empty() || CompareText((*keys_.rbegin())->Name(), child) < 0)
        return **keys_.emplace_hint(keys_.end(), std::make_unique<Key>(std::string(child)));
    auto it = keys_.lower_bound(child);
    if (it != keys_.end() && SameText((*it)->Name(), child)) return **it;
    return **keys_.insert(it, std::make_unique<Key>(std::string(child)));
}

bool Key::Remove(std::string_view child) {
    auto it = keys_.find(child);
    if (it == keys_.end()) return false;
    keys_.erase(it);
    return true;
}

const Value* Key::FindValue(std::string_view value) const {
    auto it = valueIndex_.find(value);
    return it == valueIndex_.end() ? nullptr : &*it->second;
}

void Key::SetValue(std::string_view value, Data data) {
    auto it = valueIndex_.lower_bound(value);
    if (it != valueIndex_.end() && SameText(it->first, value)) {
        it->second->data = std::move(data);
        return;
    }
    auto made = values_.insert(values_.end(), Value{std::string(value), std::move(data)});
    valueIndex_.emplace_hint(it, made->name, made);
}

bool Key::RemoveValue(std::string_view value) {
    auto it = valueIndex_.find(value);
    if (it == valueIndex_.end()) return false;
    const auto held = it->second;
    valueIndex_.erase(it);
    values_.erase(held);
    return true;
}

std::string Format(const Key& top) {
    std::string out(kHeader);
    out += '\n';
    std::vector<std::string_view> path;
    for (const auto& root : top.Keys()) FormatKey(out, *root, path);
    return out;
}

std::unique_ptr<Key> Parse(std::string_view text) {
    if (text.size() > kMaxFileSize) return nullptr;
    auto top = std::make_unique<Key>();
    Key* current = nullptr;
    std::vector<Key*> path;  // the keys named by the last key line
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return nullptr;  // every line ends with a line feed
        std::string_view content = text.substr(start, end - start);
        // A carriage return is never part of a line: texts hold it escaped.
        if (content.ends_with('\r')) content.remove_suffix(1);
        start = end + 1;
        if (first) {
            if (content != kHeader) return nullptr;
            first = false;
            continue;
        }
        Line line(content);
        const auto word = line.Word();
        if (!word) return nullptr;
        if (*word == "key") {
            current = top.get();
            size_t names = 0;
            bool sameAsAbove = true;
            while (!line.AtEnd()) {
                auto name = line.Quoted();
                // The root key's name, then at most kMaxDepth levels.
                if (!name || !IsValidKeyName(*name) || ++names > kMaxDepth + 1) return nullptr;
                // A key's line mostly repeats the path of the line before it.
                sameAsAbove = sameAsAbove && names <= path.size() && SameText(path[names - 1]->Name(), *name);
                if (!sameAsAbove) {
                    path.resize(names - 1);
                    path.push_back(&current->Obtain(*name));
                }
                current = path[names - 1];
            }
            if (names == 0) return nullptr;
            path.resize(names);
        } else if (*word == "string" || *word == "integer") {
            auto name = line.Quoted();
            if (!current || !name) return nullptr;
            if (*word == "string") {
                auto value = line.Quoted();
                if (!value || !line.AtEnd()) return nullptr;
                current->SetValue(*name, std::move(*value));
            } else {
                const auto number = line.Word();
                int32_t value = 0;
                if (!number || !line.AtEnd()) return nullptr;
                const auto [ptr, error] = std::from_chars(number->data(), number->data() + number->size(), value);
                if (error != std::errc() || ptr != number->data() + number->size()) return nullptr;
                current->SetValue(*name, value);
            }
        } else {
            return nullptr;
        }
    }
    if (first) return nullptr;
    return top;
}

}  // namespace thorn::registry
