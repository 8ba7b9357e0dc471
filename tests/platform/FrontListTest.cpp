#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "platform/FrontList.h"

namespace {

// Random edits at the front, at the back and in between, in phases of
// growing and shrinking: the list holds what a deque holds, and an edit at
// either end leaves index + Shift() of every other entry as it was.
TEST(FrontList, AgreesWithADequeThroughRandomEdits) {
    thorn::FrontList<int> list;
    std::deque<int> model;
    std::mt19937 random(7);
    int next = 0;
    for (int step = 0; step < 20000; ++step) {
        SCOPED_TRACE(step);
        std::vector<uint32_t> before;  // index + Shift() of each entry, modulo 2^32
        for (size_t i = 0; i < list.size(); ++i) before.push_back(static_cast<uint32_t>(i) + list.Shift());
        const bool growing = step / 1000 % 2 == 0;
        const unsigned op = random() % 5;
        const size_t inside = model.empty() ? 0 : random() % model.size();
        bool atAnEnd = true;
        int64_t moved = 0;  // how the indexes of the entries kept moved
        if (model.empty() || (growing && op < 3) || (!growing && op == 0)) {
            if (op == 1) {
                const size_t at = random() % (model.size() + 1);
                list.insert(at, next);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), next);
                atAnEnd = at == 0 || at == model.size() - 1;
                moved = at == 0 ? 1 : 0;
            } else if (op == 2) {
                list.push_back(next);
                model.push_back(next);
            } else {
                list.insert(0, next);
                model.push_front(next);
                moved = 1;
            }
            ++next;
        } else if (op == 1) {
            EXPECT_EQ(list.take(inside), model[inside]);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(inside));
            atAnEnd = inside == 0;
            moved = -1;
        } else if (op == 2) {
            list.pop_back();
            model.pop_back();
        } else {
            EXPECT_EQ(list.take(0), model.front());
            model.pop_front();
            moved = -1;
        }
        ASSERT_EQ(list.size(), model.size());
        ASSERT_EQ(list.empty(), model.empty());
        ASSERT_TRUE(std::equal(list.begin(), list.end(), model.begin()));
        if (!model.empty()) {
            EXPECT_EQ(list.front(), model.front());
        }
        if (!atAnEnd) continue;
        for (size_t i = 0; i < list.size(); ++i) {
            const int64_t was = static_cast<int64_t>(i) - moved;
            if (was >= 0 && static_cast<size_t>(was) < before.size()) {
                ASSERT_EQ(static_cast<uint32_t>(i) + list.Shift(), before[static_cast<size_t>(was)]) << i;
            }
        }
    }
}

}  // namespace
