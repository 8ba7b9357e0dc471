#include "controls/Rmlibrary_Sorting.h"

#include <optional>
#include <string>

#include "platform/Conversions.h"
#include "platform/DateTime.h"
#include "platform/StringList.h"

namespace {

int32_t Sign(int64_t value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

int32_t CompareAsciiText(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(fold(a[i])), y = static_cast<unsigned char>(fold(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return Sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

// The sub-item of the column data names, empty when the item has none.
std::string SubItem(const TListItem* item, int32_t data) {
    bool ascending = false;
    int32_t column = 0;
    DecodeSortData(data, ascending, column);
    const TStrings* texts = item->GetSubItems();
    return column >= 0 && column < texts->GetCount() ? texts->Get(column) : std::string();
}

int32_t Directed(int32_t result, int32_t data) {
    bool ascending = false;
    int32_t column = 0;
    DecodeSortData(data, ascending, column);
    return ascending ? result : -result;
}

// Compares the sub-items as values of one kind; read answers nothing for a
// text that is not one.
template <typename Read>
int32_t CompareValues(const TListItem* item1, const TListItem* item2, int32_t data, Read read) {
    const auto a = read(SubItem(item1, data)), b = read(SubItem(item2, data));
    int32_t result = 0;
    if (a && b)
        result = *a < *b ? -1 : *b < *a ? 1 : 0;
    else
        result = a ? 1 : b ? -1 : 0;
    return Directed(result, data);
}

}  // namespace

int32_t CaptionStringSortProc(const TListItem* item1, const TListItem* item2, int32_t data) {
    const int32_t result = CompareAsciiText(item1->GetCaption(), item2->GetCaption());
    return (data & 0xFF) != 0 ? result : -result;
}

int32_t StringSortProc(const TListItem* item1, const TListItem* item2, int32_t data) {
    return Directed(CompareAsciiText(SubItem(item1, data), SubItem(item2, data)), data);
}

int32_t IntegerSortProc(const TListItem* item1, const TListItem* item2, int32_t data) {
    return CompareValues(item1, item2, data, [](const std::string& text) -> std::optional<int64_t> {
        int32_t value = 0;
        if (TryStrToInt(text, value)) return value;
        return std::nullopt;
    });
}

int32_t FloatSortProc(const TListItem* item1, const TListItem* item2, int32_t data) {
    return CompareValues(item1, item2, data, [](const std::string& text) -> std::optional<double> {
        double value = 0;
        if (TryStrToFloat(text, value)) return value;
        return std::nullopt;
    });
}

int32_t DateSortProc(const TListItem* item1, const TListItem* item2, int32_t data) {
    return CompareValues(item1, item2, data, [](const std::string& text) -> std::optional<TDateTime> {
        TDateTime value = 0;
        if (TryStrToDateTime(text, value)) return value;
        return std::nullopt;
    });
}
