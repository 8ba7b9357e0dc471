#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Classes.h"

class TStream;

// A list of single-byte (Windows-1252) strings, each with an associated
// object pointer that the list does not own.
class TStrings : public TPersistent {
public:
    ~TStrings() override = default;

    virtual int GetCount() const = 0;
    // The string at index; EListError outside the list.
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string operator[](int index) const { return Get(index); }

    // Appends s (a sorted list puts it in order); answers its index.
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    void InsertObject(int index, const std::string& s, TObject* object);
    void AddStrings(const TStrings& strings);
    void Append(const std::string& s) { Add(s); }
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    // First index of s (case ignored), -1 when absent.
    virtual int IndexOf(std::string_view s) const;
    int IndexOfObject(const TObject* object) const;

    // "Name=Value" lines.
    int IndexOfName(std::string_view name) const;
    std::string GetName(int index) const;
    std::string GetValue(std::string_view name) const;
    // Sets the value of name; an empty value removes the line.
    void SetValue(std::string_view name, const std::string& value);
    std::string GetValueFromIndex(int index) const;

    // All lines, each ended by CR LF.
    std::string GetText() const;
    // Replaces the lines by those of text, split at CR LF, CR or LF.
    void SetText(std::string_view text);
    // The lines separated by commas, quoted (") where they hold a space,
    // comma, quote or control character.
    std::string GetCommaText() const;
    void SetCommaText(std::string_view text);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::filesystem::path& file);
    void SaveToFile(const std::filesystem::path& file) const;

    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }

    bool Equals(const TStrings& other) const;
    void Assign(const TPersistent& source) override;
    // Streams the lines as the list property "Strings".
    void DefineProperties(TFiler& filer) override;

protected:
    // Called when the first BeginUpdate opens (true) and the last EndUpdate
    // closes (false).
    virtual void SetUpdateState(bool updating) {}

private:
    int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The list of strings held in memory, optionally sorted.
class TStringList : public TStrings {
public:
    using CompareFunction = std::function<int(TStringList& list, int index1, int index2)>;

    TStringList() = default;
    TStringList(const TStringList& other) : TStrings() { Assign(other); }
    TStringList& operator=(const TStringList& other) {
        if (this != &other) Assign(other);
        return *this;
    }

    int GetCount() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    // A sorted list keeps its order: moving is refused before anything is
    // taken out.
    void Move(int curIndex, int newIndex) override;
    int IndexOf(std::string_view s) const override;

    // In a sorted list, finds s by bisection: true when found; index is where
    // it is or would go.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    void CustomSort(const CompareFunction& compare);

    bool GetSorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates GetDuplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }
    bool GetCaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    // A sort put the items in a new order: formerIndex[i] is where the item
    // now at i stood before. Runs before Changed, so that what a subclass
    // keeps per item can follow its item.
    virtual void Reordered(std::span<const int> formerIndex) {}
    int CompareStrings(std::string_view a, std::string_view b) const;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* object);
    void CheckIndex(int index) const;

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

namespace thorn {
// Compares texts ordering ASCII and Windows-1252 letters without case: <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
}  // namespace thorn
