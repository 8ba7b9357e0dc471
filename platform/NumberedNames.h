#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace thorn {

// Finds the first free name of a numbered run (stem + "1", stem + "2", ...)
// without trying again the numbers an earlier search of the same stem found
// taken, so that giving out a run of such names costs a step each. A number
// found taken stays taken until some name is freed: the caller passes a
// count that grows whenever one is (a rename, a removal), and what was
// learnt is forgotten once the count has moved.
class NumberedNames {
public:
    // The first stem + n (n from 1) that taken(name) answers false for.
    template <typename Taken>
    std::string FirstFree(const std::string& stem, uint64_t freed, Taken&& taken) {
        if (freed != freed_) {
            next_.clear();
            freed_ = freed;
        }
        int& n = next_.try_emplace(stem, 1).first->second;
        for (;; ++n)
            if (std::string name = stem + std::to_string(n); !taken(name)) return name;
    }

private:
    uint64_t freed_ = 0;
    std::unordered_map<std::string, int> next_;  // by stem: every number below it is taken
};

}  // namespace thorn
