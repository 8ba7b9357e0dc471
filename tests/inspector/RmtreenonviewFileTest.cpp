#include <gtest/gtest.h>

#include "inspector/Rmtreenonview.h"
#include "support/FifoTrap.h"
#include "support/TempDir.h"

namespace {

// A FIFO named as the tree's file is refused at once; the tree keeps its
// nodes.
TEST(PathTreeFile, AFifoIsRefusedWithoutWaiting) {
    thorn::test::TempDir dir;
    thorn::test::FifoTrap fifo(dir / "tree.txt");
    TrmTreeNonView tree;
    tree.AddPathNode(nullptr, "/a/b");
    EXPECT_THROW(tree.LoadFromFile(fifo.Path()), EFOpenError);
    EXPECT_EQ(tree.GetItems().GetCount(), 2);
    EXPECT_EQ(fifo.Released(), 0);
}

}  // namespace
