#pragma once

// The pre-order walks shared by the tree view's nodes and the library's
// trees, for a node type that tells its parent, its first and last child and
// its next sibling (GetParent, GetFirstChild, GetLastChild, GetNextSibling).
namespace thorn {

// The node after node: its first child; else the next sibling of the
// nearest of itself and its ancestors that has one; null after the last.
template <typename Node>
Node* PreOrderNext(const Node& node) {
    if (Node* child = node.GetFirstChild()) return child;
    for (const Node* n = &node; n; n = n->GetParent())
        if (Node* next = n->GetNextSibling()) return next;
    return nullptr;
}

// The node before node, whose previous sibling is prevSibling: that
// sibling's deepest last descendant (following last children), or the
// sibling itself when it has none; without a previous sibling, the parent.
template <typename Node>
Node* PreOrderPrev(const Node& node, Node* prevSibling) {
    if (!prevSibling) return node.GetParent();
    while (Node* last = prevSibling->GetLastChild()) prevSibling = last;
    return prevSibling;
}

}  // namespace thorn
