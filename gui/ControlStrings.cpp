#include "gui/ControlStrings.h"

namespace thorn {

int ControlStrings::Add(const std::string& s) {
    int index = 0;
    WithinUpdate(*this, [&] {
        int before = GetCount();
        index = TStringList::Add(s);
        // A sorted list may have kept its duplicate instead.
        if (GetCount() > before) listener_.ItemInserted(index);
    });
    return index;
}

void ControlStrings::Insert(int index, const std::string& s) {
    WithinUpdate(*this, [&] {
        TStringList::Insert(index, s);
        listener_.ItemInserted(index);
    });
}

void ControlStrings::Delete(int index) {
    WithinUpdate(*this, [&] {
        TStringList::Delete(index);
        listener_.ItemDeleted(index);
    });
}

void ControlStrings::Clear() {
    WithinUpdate(*this, [&] {
        TStringList::Clear();
        listener_.ItemsCleared();
    });
}

void ControlStrings::Exchange(int index1, int index2) {
    WithinUpdate(*this, [&] {
        TStringList::Exchange(index1, index2);
        listener_.ItemsExchanged(index1, index2);
    });
}

void ControlStrings::Changed() {
    TStringList::Changed();
    if (GetUpdateCount() == 0) listener_.ItemsChanged();
}

}  // namespace thorn
