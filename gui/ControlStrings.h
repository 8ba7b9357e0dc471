#pragma once

#include <span>
#include <string>

#include "platform/StringList.h"

namespace thorn {

// The items of a list control: a string list that tells its control of
// every change, so that what the control keeps per item (selection, the
// current item) moves with the items, and the control repaints once a
// change (or a BeginUpdate/EndUpdate bracket) is over.
class ControlStrings : public TStringList {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void ItemInserted(int index) {}
        virtual void ItemDeleted(int index) {}
        virtual void ItemsCleared() {}
        virtual void ItemsExchanged(int index1, int index2) {}
        // A sort moved every item: formerIndex[i] is where the item now at
        // i stood before.
        virtual void ItemsReordered(std::span<const int> formerIndex) {}
        // After each change, or once at the end of an update bracket.
        virtual void ItemsChanged() = 0;
    };

    explicit ControlStrings(Listener& listener) : listener_(listener) {}

    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;

protected:
    void Changed() override;
    void Reordered(std::span<const int> formerIndex) override { listener_.ItemsReordered(formerIndex); }

private:
    Listener& listener_;
};

}  // namespace thorn
