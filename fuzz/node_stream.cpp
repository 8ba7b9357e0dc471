// Reads arbitrary bytes as the node stream of a path tree, with components
// that publish every property kind on its nodes. A stream must be read or
// refused with the layer's exception (leaving the tree empty); one that is
// read must write and read back to the same bytes, every node found by its
// path.
#include <cstdint>
#include <cstdlib>

#include "inspector/Rmtreenonview.h"
#include "tests/support/StreamSamples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (thorn::test::RegisterSamples(), true);
    (void)registered;
    TrmTreeNonView tree;
    TMemoryStream input(std::span<const uint8_t>(data, size));
    try {
        tree.GetItems().ReadData(input);
    } catch (const Exception&) {
        if (tree.GetItems().GetCount() != 0) std::abort();
        return 0;
    }
    for (const TrmTreeNonViewNode* n = tree.GetItems().GetFirstNode(); n; n = n->GetNext())
        if (!tree.FindPathNode(n->GetNodePath())) std::abort();
    TMemoryStream first, second;
    tree.GetItems().WriteData(first);
    TrmTreeNonView copy;
    copy.GetItems().Assign(tree.GetItems());
    copy.GetItems().WriteData(second);
    if (first.Bytes() != second.Bytes()) std::abort();
    return 0;
}
