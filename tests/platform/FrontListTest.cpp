#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "platform/FrontList.h"

namespace {

// An entry that counts the live objects of its kind: every slot the list
// holds, in use or left before the head, is one of them.
class Counted {
public:
    Counted(int value, int* live) : value_(value), live_(live) { ++*live_; }
    Counted(const Counted& other) : value_(other.value_), live_(other.live_) { ++*live_; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --*live_; }
    bool operator==(int value) const { return value_ == value; }

private:
    int value_;
    int* live_;
};

// How a walk picks its next edit.
enum class Edit { AtTheFront, PushBack, InsertAnywhere, TakeAnywhere, PopBack, TakeFirst };

// Walks of edits, each checked against a deque: the list holds what the
// deque holds, an edit at either end leaves index + Shift() of every other
// entry as it was, and the slots the list holds are never more than twice
// the most entries it held at once (the ones taken from the front are
// given back as they come).
TEST(FrontList, AgreesWithADequeAndGivesBackTheSlotsTakenFromTheFront) {
    struct Case {
        const char* what;
        // The edit of a step given a random number, the step and the size.
        Edit (*pick)(unsigned random, int step, size_t size);
    };
    const Case cases[] = {
        {"random edits in phases of growing and shrinking",
         [](unsigned r, int step, size_t size) {
             const bool growing = step / 1000 % 2 == 0;
             const unsigned op = r % 5;
             if (size == 0 || (growing && op < 3) || (!growing && op == 0))
                 return op == 1 ? Edit::InsertAnywhere : op == 2 ? Edit::PushBack : Edit::AtTheFront;
             return op == 1 ? Edit::TakeAnywhere : op == 2 ? Edit::PopBack : Edit::TakeFirst;
         }},
        {"a queue that never empties",
         [](unsigned r, int, size_t size) { return size < 2 || r % 2 ? Edit::PushBack : Edit::TakeFirst; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int live = 0;
        {
            thorn::FrontList<Counted> list;
            std::deque<int> model;
            std::mt19937 random(7);
            int next = 0;
            size_t most = 0;
            for (int step = 0; step < 20000; ++step) {
                SCOPED_TRACE(step);
                std::vector<uint32_t> before;  // index + Shift() of each entry, modulo 2^32
                for (size_t i = 0; i < list.size(); ++i) before.push_back(static_cast<uint32_t>(i) + list.Shift());
                const Edit edit = c.pick(random(), step, model.size());
                const size_t inside = model.empty() ? 0 : random() % model.size();
                bool atAnEnd = true;
                int64_t moved = 0;  // how the indexes of the entries kept moved
                switch (edit) {
                    case Edit::InsertAnywhere: {
                        const size_t at = random() % (model.size() + 1);
                        list.insert(at, Counted(next, &live));
                        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), next++);
                        atAnEnd = at == 0 || at == model.size() - 1;
                        moved = at == 0 ? 1 : 0;
                        break;
                    }
                    case Edit::PushBack:
                        list.push_back(Counted(next, &live));
                        model.push_back(next++);
                        break;
                    case Edit::AtTheFront:
                        list.insert(0, Counted(next, &live));
                        model.push_front(next++);
                        moved = 1;
                        break;
                    case Edit::TakeAnywhere:
                        EXPECT_EQ(list.take(inside), model[inside]);
                        model.erase(model.begin() + static_cast<std::ptrdiff_t>(inside));
                        atAnEnd = inside == 0;
                        moved = -1;
                        break;
                    case Edit::PopBack:
                        list.pop_back();
                        model.pop_back();
                        break;
                    case Edit::TakeFirst:
                        EXPECT_EQ(list.take(0), model.front());
                        model.pop_front();
                        moved = -1;
                        break;
                }
                most = std::max(most, model.size());
                ASSERT_EQ(list.size(), model.size());
                ASSERT_EQ(list.empty(), model.empty());
                ASSERT_TRUE(std::equal(list.begin(), list.end(), model.begin()));
                if (!model.empty()) {
                    EXPECT_EQ(list.front(), model.front());
                }
                ASSERT_LE(static_cast<size_t>(live), 2 * most) << "slots held for " << model.size() << " entries";
                if (!atAnEnd) continue;
                for (size_t i = 0; i < list.size(); ++i) {
                    const int64_t was = static_cast<int64_t>(i) - moved;
                    if (was >= 0 && static_cast<size_t>(was) < before.size()) {
                        ASSERT_EQ(static_cast<uint32_t>(i) + list.Shift(), before[static_cast<size_t>(was)]) << i;
                    }
                }
            }
        }
        EXPECT_EQ(live, 0);
    }
}

}  // namespace
