#include "platform/StringList.h"

#include <algorithm>
#include <numeric>

#include "platform/Charset.h"
#include "platform/Collections.h"
#include "platform/Components.h"
#include "platform/Filer.h"
#include "platform/Streams.h"

namespace thorn {

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = UpperCase1252(static_cast<unsigned char>(a[i]));
        int cb = UpperCase1252(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace thorn

// ---- TStrings ----

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
    thorn::WithinUpdate(*this, [&] {
        for (int i = 0; i < strings.GetCount(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
    });
}

void TStrings::Exchange(int index1, int index2) {
    thorn::WithinUpdate(*this, [&] {
        std::string s1 = Get(index1);
        TObject* o1 = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s1);
        PutObject(index2, o1);
    });
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    thorn::WithinUpdate(*this, [&] {
        std::string s = Get(curIndex);
        TObject* o = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, o);
    });
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < GetCount(); ++i)
        if (thorn::SameText(Get(i), s)) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < GetCount(); ++i) {
        std::string line = Get(i);
        size_t eq = line.find('=');
        if (eq != std::string::npos && thorn::SameText(std::string_view(line).substr(0, eq), name)) return i;
    }
    return -1;
}

std::string TStrings::GetName(int index) const {
    std::string line = Get(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::GetValueFromIndex(int index) const {
    std::string line = Get(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStrings::GetValue(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : GetValueFromIndex(i);
}

void TStrings::SetValue(std::string_view name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + value;
    if (i < 0)
        Add(line);
    else
        Put(i, line);
}

std::string TStrings::GetText() const {
    std::string text;
    for (int i = 0; i < GetCount(); ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text) {
    thorn::WithinUpdate(*this, [&] {
        Clear();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                Add(std::string(text.substr(start)));
                break;
            }
            Add(std::string(text.substr(start, end - start)));
            start = end + 1;
            if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
        }
    });
}

std::string TStrings::GetCommaText() const {
    std::string text;
    for (int i = 0; i < GetCount(); ++i) {
        if (i > 0) text += ',';
        std::string s = Get(i);
        // A single empty line is written as "" so that it reads back.
        bool quote = s.empty() && GetCount() == 1;
        for (unsigned char c : s)
            if (c <= ' ' || c == ',' || c == '"') quote = true;
        if (!quote) {
            text += s;
            continue;
        }
        text += '"';
        for (char c : s) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TStrings::SetCommaText(std::string_view text) {
    thorn::WithinUpdate(*this, [&] {
        Clear();
        size_t i = 0;
        auto skipBlanks = [&] {
            while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
        };
        skipBlanks();
        while (i < text.size()) {
            std::string item;
            if (text[i] == '"') {
                ++i;
                while (i < text.size()) {
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            item += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    item += text[i++];
                }
            } else {
                while (i < text.size() && static_cast<unsigned char>(text[i]) > ' ' && text[i] != ',') item += text[i++];
            }
            Add(item);
            skipBlanks();
            if (i < text.size() && text[i] == ',') {
                ++i;
                skipBlanks();
                if (i >= text.size()) Add("");
            }
        }
    });
}

void TStrings::LoadFromStream(TStream& stream) {
    std::string text(static_cast<size_t>(std::max<int64_t>(0, stream.Remaining())), '\0');
    stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string text = GetText();
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::filesystem::path& file) {
    TFileStream stream(file, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::filesystem::path& file) const {
    TFileStream stream(file, TFileMode::fmCreate);
    SaveToStream(stream);
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& other) const {
    if (GetCount() != other.GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TStrings::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TStrings*>(&source)) {
        if (other == this) return;
        thorn::WithinUpdate(*this, [&] {
            Clear();
            AddStrings(*other);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "Strings",
        [this](TReader& reader) {
            reader.ReadListBegin();
            thorn::WithinUpdate(*this, [&] {
                Clear();
                while (!reader.EndOfList()) Add(reader.ReadString());
            });
            reader.ReadListEnd();
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int i = 0; i < GetCount(); ++i) writer.WriteString(Get(i));
            writer.WriteListEnd();
        },
        GetCount() > 0);
}

// ---- TStringList ----

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].text = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const std::string& s) {
    int index = GetCount();
    if (sorted_) {
        if (Find(s, index)) {
            if (duplicates_ == dupIgnore) return index;
            if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
        }
    }
    InsertItem(index, s, nullptr);
    return index;
}

void TStringList::Insert(int index, const std::string& s) {
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > GetCount()) ThrowListIndexError(index);
    InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    if (sorted_ && curIndex != newIndex) throw EListError("Operation not allowed on sorted list");
    TStrings::Move(curIndex, newIndex);
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    if (caseSensitive_) return a.compare(b);
    return thorn::CompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) {
        for (int i = 0; i < GetCount(); ++i)
            if (CompareStrings(items_[static_cast<size_t>(i)].text, s) == 0) return i;
        return -1;
    }
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[static_cast<size_t>(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList& list, int a, int b) {
        return list.CompareStrings(list.items_[static_cast<size_t>(a)].text, list.items_[static_cast<size_t>(b)].text);
    });
}

void TStringList::CustomSort(const CompareFunction& compare) {
    if (GetCount() < 2) return;
    Changing();
    // Sort a permutation with the caller's index comparison, then apply it.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
    items_ = std::move(sorted);
    Reordered(order);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == sorted_) return;
    if (value) Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == caseSensitive_) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}
