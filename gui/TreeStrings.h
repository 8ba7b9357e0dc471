#pragma once

#include <string>

#include "platform/StringList.h"

class TTreeNodes;

// A tree's nodes seen as lines in pre-order: each line is the node's text
// after a tab for each level, its object the node's data. Adding a line puts
// a node under the one the line before stands for, as deep as its leading
// tabs or blanks say: one level deeper than that node at most, or raises
// ETreeViewError "Invalid item level assignment"; a line of the one
// character 26 (the old end-of-file mark) is left out. Inserting puts a node
// before the node at that place; deleting deletes the node there.
class TTreeStrings : public TStrings {
public:
    explicit TTreeStrings(TTreeNodes& owner) : owner_(owner) {}

    int GetCount() const override;
    std::string Get(int index) const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TTreeNodes& owner_;
};
