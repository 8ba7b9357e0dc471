#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "inspector/Rmlibrary.h"
#include "inspector/Rmtreenonview.h"
#include "platform/Filer.h"
#include "platform/ReadNesting.h"
#include "support/PictureFiles.h"
#include "support/SmallStack.h"
#include "support/StreamSamples.h"
#include "support/TempDir.h"

namespace {

using Node = TrmTreeNonViewNode;

// Every node's path in pre-order, separated by blanks.
std::string Paths(const TrmCustomTreeNonView& tree) {
    std::string all;
    for (const Node* n = tree.GetItems().GetFirstNode(); n; n = n->GetNext())
        all += (all.empty() ? "" : " ") + n->GetNodePath();
    return all;
}

template <typename E>
std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "no exception";
}

// /a (/a/b (/a/b/c) /a/d) /e
struct SampleTree {
    SampleTree() {
        a = tree.AddPathNode(nullptr, "/a/b/c")->GetParent()->GetParent();
        b = a->GetItem(0);
        c = b->GetItem(0);
        d = tree.AddPathNode(a, "d");
        e = tree.AddPathNode(nullptr, "e");
    }
    TrmTreeNonView tree;
    TrmTreeNonViewNodes& items = tree.GetItems();
    Node *a, *b, *c, *d, *e;
};

class PathTree : public ::testing::Test, public SampleTree {};

TEST_F(PathTree, Navigation) {
    EXPECT_EQ(Paths(tree), "/a /a/b /a/b/c /a/d /e");
    EXPECT_EQ(items.GetCount(), 5);
    struct Case {
        const char* name;
        std::function<const void*(SampleTree&)> got;
        std::function<const void*(SampleTree&)> expected;
    };
    auto node = [](Node* SampleTree::*m) { return [m](SampleTree& t) -> const void* { return t.*m; }; };
    auto none = [](SampleTree&) -> const void* { return nullptr; };
    const Case cases[] = {
        {"first node", [](SampleTree& t) { return t.items.GetFirstNode(); }, node(&SampleTree::a)},
        {"pre-order index 3", [](SampleTree& t) { return t.items.GetNodeFromIndex(3); }, node(&SampleTree::d)},
        {"next of c climbs to d", [](SampleTree& t) { return t.c->GetNext(); }, node(&SampleTree::d)},
        {"next of d climbs to the root e", [](SampleTree& t) { return t.d->GetNext(); }, node(&SampleTree::e)},
        {"next of the last node", [](SampleTree& t) { return t.e->GetNext(); }, none},
        {"prev of e is the deepest last of a", [](SampleTree& t) { return t.e->GetPrev(); }, node(&SampleTree::d)},
        {"prev of d is c", [](SampleTree& t) { return t.d->GetPrev(); }, node(&SampleTree::c)},
        {"prev of b is its parent", [](SampleTree& t) { return t.b->GetPrev(); }, node(&SampleTree::a)},
        {"prev sibling of the root e", [](SampleTree& t) { return t.e->getPrevSibling(); }, node(&SampleTree::a)},
        {"prev sibling of the first root", [](SampleTree& t) { return t.a->getPrevSibling(); }, none},
        {"next sibling of the last child", [](SampleTree& t) { return t.d->GetNextSibling(); }, none},
        {"next child of b", [](SampleTree& t) { return t.a->GetNextChild(t.b); }, node(&SampleTree::d)},
        {"prev child of no child", [](SampleTree& t) { return t.a->GetPrevChild(nullptr); }, none},
        {"first and last child", [](SampleTree& t) { return t.a->GetLastChild(); }, node(&SampleTree::d)},
        {"no children", [](SampleTree& t) { return t.c->GetFirstChild(); }, none},
        {"parent of a root", [](SampleTree& t) { return t.a->GetParent(); }, none},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(k.got(*this), k.expected(*this));
    }
    EXPECT_EQ(e->GetIndex(), 1);
    EXPECT_EQ(d->GetIndex(), 1);
    EXPECT_EQ(items.GetIndex(e), 1);
    EXPECT_EQ(items.GetIndex(d), -1);
    EXPECT_EQ(c->GetLevel(), 2);
    EXPECT_EQ(a->GetItemCount(), 3);
    EXPECT_EQ(a->IndexOf(c), -1);
    EXPECT_TRUE(c->HasAsParent(a));
    EXPECT_TRUE(c->HasAsParent(nullptr));
    EXPECT_FALSE(a->HasAsParent(e));
    EXPECT_FALSE(d->HasAsParent(b));
    EXPECT_TRUE(a->GetChildren());
    EXPECT_EQ(&b->GetrmTreeNonView(), &tree);
    EXPECT_EQ(tree.GetFirstRootNode(), a);
    EXPECT_EQ(tree.GetNextRootNode(a), e);
    EXPECT_EQ(tree.GetNextRootNode(b), nullptr);
}

TEST_F(PathTree, Refusals) {
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { a->GetItem(2); }), "List Index Out of Bounds");
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { a->GetItem(-1); }), "List Index Out of Bounds");
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { items.GetNodeFromIndex(5); }), "Index out of range");
    TrmTreeNonView other;
    Node* stranger = other.GetItems().AddChild(nullptr, "x");
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { items.Insert(stranger, "y"); }), "Unable to find Node reference");
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { items.AddChild(stranger, "y"); }), "Unable to find Node reference");
    EXPECT_THROW(a->Assign(items), EConvertError);
    EXPECT_THROW(items.Assign(*a), EConvertError);
    EXPECT_EQ(Paths(tree), "/a /a/b /a/b/c /a/d /e");
}

TEST(PathTreeAdding, EveryPlacement) {
    struct Case {
        const char* name;
        std::function<void(TrmTreeNonViewNodes&, Node* x, Node* y)> add;
        const char* paths;
    };
    // The tree starts as /x (/x/y).
    const Case cases[] = {
        {"AddChildFirst", [](auto& n, Node* x, Node*) { n.AddChildFirst(x, "new"); }, "/x /x/new /x/y"},
        {"AddChild", [](auto& n, Node* x, Node*) { n.AddChild(x, "new"); }, "/x /x/y /x/new"},
        {"AddChildFirst of none", [](auto& n, Node*, Node*) { n.AddChildFirst(nullptr, "new"); }, "/new /x /x/y"},
        {"AddFirst beside y", [](auto& n, Node*, Node* y) { n.AddFirst(y, "new"); }, "/x /x/new /x/y"},
        {"Add beside y", [](auto& n, Node*, Node* y) { n.Add(y, "new"); }, "/x /x/y /x/new"},
        {"Add beside a root", [](auto& n, Node* x, Node*) { n.Add(x, "new"); }, "/x /x/y /new"},
        {"Add beside none", [](auto& n, Node*, Node*) { n.Add(nullptr, "new"); }, "/x /x/y /new"},
        {"Insert before y", [](auto& n, Node*, Node* y) { n.Insert(y, "new"); }, "/x /x/new /x/y"},
        {"Insert before a root", [](auto& n, Node* x, Node*) { n.Insert(x, "new"); }, "/new /x /x/y"},
        {"Insert before none", [](auto& n, Node*, Node*) { n.Insert(nullptr, "new"); }, "/new /x /x/y"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TrmTreeNonView tree;
        Node* x = tree.GetItems().AddChild(nullptr, "x");
        Node* y = tree.GetItems().AddChild(x, "y");
        k.add(tree.GetItems(), x, y);
        EXPECT_EQ(Paths(tree), k.paths);
        for (const Node* n = tree.GetItems().GetFirstNode(); n; n = n->GetNext())
            EXPECT_EQ(tree.FindPathNode(n->GetNodePath()), n);
    }
    TrmTreeNonView tree;
    TObject data;
    Node* n = tree.GetItems().AddChildObject(nullptr, "n", &data);
    EXPECT_EQ(n->GetData(), &data);
    EXPECT_EQ(tree.GetNodeByItem(&data), n);
    EXPECT_EQ(tree.GetItems().AddChildObject(n, "m", &data)->GetParent(), n);
    EXPECT_EQ(n->GetNodeByItem(&data), n);
    EXPECT_EQ(tree.GetNodeByItem(nullptr), nullptr) << "roots only";
}

TEST(PathTreeAdding, PathsAndTheirParts) {
    TrmTreeNonView tree;
    EXPECT_EQ(tree.GetItems().GetCount(), 0);
    EXPECT_EQ(tree.GetItems().GetFirstNode(), nullptr);
    EXPECT_EQ(tree.GetItems().LocateHashIndex("/a"), -1);

    Node* c = tree.AddPathNode(nullptr, "/a/b/c");
    EXPECT_EQ(Paths(tree), "/a /a/b /a/b/c");
    EXPECT_EQ(tree.AddPathNode(nullptr, "/a/b/c"), c);
    EXPECT_EQ(tree.AddPathNode(nullptr, "/a/b/c/"), c) << "a trailing separator names the same node";
    EXPECT_EQ(tree.AddPathNode(nullptr, "/a//b/c"), c) << "so does a doubled one";
    EXPECT_EQ(tree.AddPathNode(c->GetParent(), "c"), c);
    EXPECT_EQ(tree.AddPathNode(nullptr, "a"), c->GetParent()->GetParent());
    EXPECT_EQ(tree.AddPathNode(nullptr, ""), nullptr);
    EXPECT_EQ(tree.AddPathNode(nullptr, "/"), nullptr);
    EXPECT_EQ(tree.AddPathNode(c, "d/e")->GetNodePath(), "/a/b/c/d/e");
    EXPECT_EQ(tree.GetItems().GetCount(), 5);

    struct Split {
        const char *path, *parent, *child;
    };
    const Split splits[] = {{"/a/b", "/a", "b"}, {"/a", "", "a"}, {"/a/b/", "/a", "b"}, {"a", "", "a"}, {"", "", ""}};
    for (const Split& s : splits) {
        EXPECT_EQ(tree.ParentName(s.path), s.parent) << s.path;
        EXPECT_EQ(tree.ChildName(s.path), s.child) << s.path;
    }

    // Twenty thousand levels are walked down in one loop: no recursion, no
    // path built or hashed again at every level.
    constexpr int kLevels = 20000;
    std::string deep;
    for (int i = 0; i < kLevels; ++i) deep += "/n";
    TrmTreeNonView tall;
    Node* bottom = tall.AddPathNode(nullptr, deep);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->GetLevel(), kLevels - 1);
    EXPECT_EQ(tall.GetItems().GetCount(), kLevels);
    EXPECT_EQ(tall.FindPathNode(deep), bottom);
    EXPECT_EQ(tall.AddPathNode(nullptr, deep), bottom);
    Node* below = tall.AddPathNode(bottom->GetParent(), "n/n/n");
    EXPECT_EQ(below->GetParent()->GetParent(), bottom);
    EXPECT_EQ(tall.FindPathNode(deep + "/n/n"), below);

    TrmTreeNonView grid;
    grid.SetSepChar('\x01');
    Node* b = grid.AddPathNode(nullptr, "\x01" "a" "\x01" "b");
    EXPECT_EQ(grid.NodePath(b), std::string("\x01" "a" "\x01" "b"));
    EXPECT_EQ(grid.NodePath(nullptr), "");
}

TEST_F(PathTree, RenamesMoveTheSubtreeInTheIndex) {
    std::vector<Node*> changed;
    tree.OnNodeTextChanged = [&](TObject* sender, Node* n) {
        EXPECT_EQ(sender, &tree);
        changed.push_back(n);
    };
    a->SetText("x");
    EXPECT_EQ(tree.FindPathNode("/x/b/c"), c);
    EXPECT_EQ(tree.FindPathNode("/x"), a);
    EXPECT_EQ(tree.FindPathNode("/a/b/c"), nullptr);
    EXPECT_EQ(tree.FindPathNode("/a"), nullptr);
    EXPECT_EQ(items.GetHashCount(), 5);
    a->SetText("x");
    EXPECT_EQ(changed, (std::vector<Node*>{a, a})) << "the event runs for every SetText";

    // A node of empty text is found under its new path once renamed.
    Node* blank = items.AddChild(d, "");
    EXPECT_EQ(tree.FindPathNode("/x/d/"), blank);
    blank->SetText("f");
    EXPECT_EQ(tree.FindPathNode("/x/d/f"), blank);
    EXPECT_EQ(tree.FindPathNode("/x/d/"), nullptr);
    EXPECT_EQ(items.GetHashCount(), 6);
}

TEST_F(PathTree, DeletionFiresChildrenFirstAndClosesAnEmptiedParent) {
    std::vector<std::string> deleted;
    tree.OnDeletion = [&](TObject* sender, Node* n) {
        EXPECT_EQ(sender, &tree);
        deleted.push_back(n->GetText());
    };
    b->SetExpanded(true);
    a->SetExpanded(true);
    c->Delete();
    EXPECT_FALSE(b->GetExpanded());
    EXPECT_TRUE(a->GetExpanded());
    items.Delete(a);
    EXPECT_EQ(deleted, (std::vector<std::string>{"c", "d", "b", "a"}));
    EXPECT_EQ(Paths(tree), "/e");
    EXPECT_EQ(items.GetHashCount(), 1);
    EXPECT_EQ(tree.FindPathNode("/a/d"), nullptr);
    tree.AddPathNode(nullptr, "/f/g");
    deleted.clear();
    items.Clear();
    EXPECT_EQ(deleted, (std::vector<std::string>{"e", "g", "f"}));
    EXPECT_EQ(items.GetCount(), 0);
    EXPECT_EQ(items.GetHashCount(), 0);
}

TEST_F(PathTree, MovingTakesTheSubtreeAlong) {
    struct Case {
        const char* name;
        std::function<Node*(SampleTree&)> move;
        const char* paths;
        bool moved;
    };
    const Case cases[] = {
        {"naAdd beside e", [](SampleTree& t) { return t.b->MoveTo(t.e, naAdd); }, "/a /a/d /e /b /b/c", true},
        {"naAddFirst beside d", [](SampleTree& t) { return t.e->MoveTo(t.d, naAddFirst); },
         "/a /a/e /a/b /a/b/c /a/d", true},
        {"naAddChild of e", [](SampleTree& t) { return t.b->MoveTo(t.e, naAddChild); }, "/a /a/d /e /e/b /e/b/c", true},
        {"naAddChildFirst of d", [](SampleTree& t) { return t.e->MoveTo(t.d, naAddChildFirst); },
         "/a /a/b /a/b/c /a/d /a/d/e", true},
        {"naAddChildFirst of a, before its children", [](SampleTree& t) { return t.e->MoveTo(t.a, naAddChildFirst); },
         "/a /a/e /a/b /a/b/c /a/d", true},
        {"naInsert before d", [](SampleTree& t) { return t.e->MoveTo(t.d, naInsert); }, "/a /a/b /a/b/c /a/e /a/d",
         true},
        {"naInsert before none", [](SampleTree& t) { return t.d->MoveTo(nullptr, naInsert); },
         "/d /a /a/b /a/b/c /e", true},
        {"naInsert before itself", [](SampleTree& t) { return t.d->MoveTo(t.d, naInsert); },
         "/a /a/b /a/b/c /a/d /e", true},
        {"naAdd beside none", [](SampleTree& t) { return t.b->MoveTo(nullptr, naAdd); }, "/a /a/d /e /b /b/c", true},
        {"into its own subtree", [](SampleTree& t) { return t.a->MoveTo(t.c, naAddChild); },
         "/a /a/b /a/b/c /a/d /e", false},
        {"under itself", [](SampleTree& t) { return t.a->MoveTo(t.a, naAddChild); }, "/a /a/b /a/b/c /a/d /e", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        // The tree is freed first: its deletion events still count here.
        TObject data;
        int deletions = 0;
        SampleTree t;
        t.b->SetData(&data);
        t.e->SetData(&data);
        t.d->SetData(&data);
        t.tree.OnDeletion = [&](TObject*, Node*) { ++deletions; };
        Node* result = k.move(t);
        EXPECT_EQ(Paths(t.tree), k.paths);
        EXPECT_EQ(result != nullptr, k.moved);
        EXPECT_EQ(deletions, 0);
        for (const Node* n = t.items.GetFirstNode(); n; n = n->GetNext()) EXPECT_EQ(t.tree.FindPathNode(n->GetNodePath()), n);
        EXPECT_EQ(t.items.GetHashCount(), 5);
        EXPECT_EQ(t.b->GetData(), &data);
    }
    // The moved node's old parent is closed when it is left empty.
    c->GetParent()->SetExpanded(true);
    c->MoveTo(e, naAddChild);
    EXPECT_FALSE(b->GetExpanded());
}

TEST_F(PathTree, ReorderingAndSorting) {
    Node* f = items.AddChild(a, "f");  // /a: b d f
    a->MoveItem(b, d);
    EXPECT_EQ(Paths(tree), "/a /a/d /a/f /a/b /a/b/c /e") << "taken out, then put in at the old index of d + 1";
    a->MoveItem(d, f);
    EXPECT_EQ(a->GetLastChild(), d) << "past the end goes last";
    items.Move(1, 0);
    EXPECT_EQ(items.GetFirstNode(), e);
    EXPECT_EQ(MessageOf<ErmTreeNonViewError>([&] { items.Move(2, 0); }), "List Index Out of Bounds");

    // Equal texts come out in reverse of their former order.
    TrmTreeNonView t;
    TObject first, second;
    Node* root = t.AddPathNode(nullptr, "r");
    for (const char* text : {"b", "C", "a"}) t.GetItems().AddChild(root, text);
    t.GetItems().AddChildObject(root, "b", &first)->SetExpanded(true);
    t.GetItems().AddChildObject(root, "b", &second);
    t.AddPathNode(root, "a/z");
    t.AddPathNode(root, "a/y");
    t.TextSort(root, false);
    std::string order;
    for (Node* n = root->GetFirstChild(); n; n = n->GetNextSibling()) order += n->GetText();
    EXPECT_EQ(order, "Cabbb");
    EXPECT_EQ(root->GetItem(2)->GetData(), &second);
    EXPECT_EQ(root->GetItem(3)->GetData(), &first);
    EXPECT_EQ(root->GetItem(4)->GetData(), nullptr);
    EXPECT_EQ(t.FindPathNode("/r/a/z")->GetIndex(), 0) << "not sorted without recursion";
    t.TextSort(nullptr, true);
    EXPECT_EQ(t.FindPathNode("/r/a/z")->GetIndex(), 1);
    EXPECT_EQ(t.FindPathNode("/r/a/y"), t.FindPathNode("/r/a")->GetFirstChild());
}

// Nodes taken from or put at either end of a list, one after another: the
// positions renumbered per node are as many among a thousand siblings as
// among ten, so none of these grows with the list.
TEST(PathTreeWork, NodesTakenOrPutAtAnEndRenumberNoneOfTheRest) {
    struct Case {
        const char* what;
        void (*walk)(TrmTreeNonViewNodes& items, Node* parent, int siblings);
    };
    const Case cases[] = {
        {"the roots cleared, the first one each time", [](TrmTreeNonViewNodes& items, Node*, int) { items.Clear(); }},
        {"the children deleted, the last one each time",
         [](TrmTreeNonViewNodes&, Node* parent, int) { parent->DeleteChildren(); }},
        {"the first child moved last, each in turn",
         [](TrmTreeNonViewNodes&, Node* parent, int siblings) {
             for (int i = 0; i < siblings; ++i) parent->GetFirstChild()->MoveTo(parent, naAddChild);
         }},
        {"children added first",
         [](TrmTreeNonViewNodes& items, Node* parent, int siblings) {
             for (int i = 0; i < siblings; ++i) items.AddChildFirst(parent, "new" + std::to_string(i));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double perNode[2] = {};
        for (const int siblings : {10, 1000}) {
            TrmTreeNonView tree;
            TrmTreeNonViewNodes& items = tree.GetItems();
            Node* parent = items.Add(nullptr, "parent");
            for (int i = 0; i < siblings; ++i) {
                items.Add(nullptr, "root" + std::to_string(i));
                items.AddChild(parent, "child" + std::to_string(i));
            }
            const uint64_t before = items.GetRenumbered();
            c.walk(items, parent, siblings);
            perNode[siblings == 1000] = static_cast<double>(items.GetRenumbered() - before) / siblings;
        }
        EXPECT_EQ(perNode[1], perNode[0]);
    }
}

TEST_F(PathTree, AssigningNodesCopiesTextAndData) {
    TObject data;
    e->SetData(&data);
    d->Assign(*e);
    EXPECT_EQ(tree.FindPathNode("/a/e"), d);
    EXPECT_EQ(d->GetData(), &data);
    EXPECT_TRUE(d->IsEqual(e));
    EXPECT_FALSE(d->IsEqual(c));
    items.SetItem(0, *c);
    EXPECT_EQ(a->GetText(), "c");
    a->SetItem(0, *e);
    EXPECT_EQ(tree.FindPathNode("/c/e/c"), c);
}

TEST_F(PathTree, TextExportAndHashDump) {
    thorn::test::TempDir dir;
    tree.SaveToFile(dir / "tree.txt");
    const std::vector<uint8_t> text = thorn::test::ReadFileBytes(dir / "tree.txt");
    EXPECT_EQ(std::string(text.begin(), text.end()), "/a\r\n/a/b\r\n/a/b/c\r\n/a/d\r\n/e\r\n");
    EXPECT_NO_THROW(tree.LoadFromFile(dir / "tree.txt"));
    EXPECT_EQ(items.GetCount(), 5) << "loading reads nothing";
    EXPECT_THROW(tree.LoadFromFile(dir / "missing.txt"), EFOpenError);

    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    items.dumphash();
    std::filesystem::current_path(old);
    const std::vector<uint8_t> dump = thorn::test::ReadFileBytes(dir / "hash.txt");
    std::string lines(dump.begin(), dump.end());
    std::vector<int32_t> hashes;
    for (size_t at = 0, end; (end = lines.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string path = lines.substr(at, end - at);
        hashes.push_back(static_cast<int32_t>(crc32(0, reinterpret_cast<const Bytef*>(path.data()),
                                                    static_cast<uInt>(path.size()))));
        EXPECT_NE(tree.FindPathNode(path), nullptr) << path;
    }
    EXPECT_EQ(hashes.size(), 5u);
    EXPECT_TRUE(std::is_sorted(hashes.begin(), hashes.end()));
}

// Two paths of one CRC-32 (found by searching "/row" and a number).
constexpr const char* kCollidingA = "/row995";
constexpr const char* kCollidingB = "/row12413420";

TEST(PathTreeIndex, CollidingPathsNeverFindEachOther) {
    ASSERT_EQ(GetStrCRC32(kCollidingA), GetStrCRC32(kCollidingB));
    TrmTreeNonView tree;
    Node* first = tree.AddPathNode(nullptr, kCollidingA);
    EXPECT_EQ(tree.FindPathNode(kCollidingB), nullptr);
    Node* second = tree.AddPathNode(nullptr, kCollidingB);
    ASSERT_NE(first, second);
    EXPECT_EQ(tree.FindPathNode(kCollidingA), first);
    EXPECT_EQ(tree.FindPathNode(kCollidingB), second);
    EXPECT_EQ(tree.GetItems().GetHashCount(), 2);
    first->Delete();
    EXPECT_EQ(tree.FindPathNode(kCollidingB), second) << "the deletion took the other entry";
    EXPECT_EQ(tree.FindPathNode(kCollidingA), nullptr);
    second->SetText(std::string(kCollidingA).substr(1));
    EXPECT_EQ(tree.FindPathNode(kCollidingA), second);
    EXPECT_EQ(tree.FindPathNode(kCollidingB), nullptr);
    EXPECT_EQ(tree.GetItems().GetHashCount(), 1);
}

TEST(PathTreeIndex, NodesOfOnePathAreAllIndexed) {
    TrmTreeNonView tree;
    Node* older = tree.GetItems().AddChild(nullptr, "same");
    Node* younger = tree.GetItems().AddChild(nullptr, "same");
    EXPECT_TRUE(younger->GetHashed());
    EXPECT_EQ(tree.FindPathNode("/same"), older);
    older->Delete();
    EXPECT_EQ(tree.FindPathNode("/same"), younger);
    younger->RemoveHash();
    EXPECT_FALSE(younger->GetHashed());
    EXPECT_EQ(tree.FindPathNode("/same"), nullptr);
    younger->RenewHash();
    younger->RenewHash();
    EXPECT_EQ(tree.GetItems().GetHashCount(), 1);
    EXPECT_EQ(tree.GetItems().LocateNode("/same"), younger);
    const TrmHashData& entry = tree.GetItems().GetHashData(tree.GetItems().LocateHashIndex("/same"));
    EXPECT_EQ(entry.hash, tree.GetItems().HashValue("/same"));
    EXPECT_EQ(entry.pathLength, 5);
}

// The rows a grid shows of the subtree below node (the roots for none):
// each child, and below the open ones their rows.
int ShownBelow(const TrmTreeNonViewNodes& items, const Node* node) {
    int rows = 0;
    for (Node* child = node ? node->GetFirstChild() : items.GetFirstNode(); child; child = child->GetNextSibling())
        rows += 1 + (child->GetExpanded() ? ShownBelow(items, child) : 0);
    return rows;
}

// Random additions, renames, moves, deletions, openings and closings, each
// followed by a check of the index against the tree itself: every node is
// found by its path (a node sharing its path with an earlier one finds that
// one), and a path of no node finds nothing; and the count of shown rows
// is what the open nodes show.
TEST(PathTreeIndex, AgreesWithTheTreeThroughRandomEdits) {
    TrmTreeNonView tree;
    TrmTreeNonViewNodes& items = tree.GetItems();
    std::mt19937 random(19);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto name = [&] { return std::string(1, static_cast<char>('a' + pick(5))); };
    auto anyNode = [&]() -> Node* {
        return items.GetCount() ? items.GetNodeFromIndex(pick(items.GetCount())) : nullptr;
    };
    for (int step = 0; step < 1500; ++step) {
        SCOPED_TRACE(step);
        switch (pick(8)) {
            case 0:
            case 1: {
                std::string path;
                for (int level = pick(4); level >= 0; --level) path += "/" + name();
                tree.AddPathNode(nullptr, path);
                break;
            }
            case 2:
                if (Node* n = anyNode()) n->SetText(name());
                break;
            case 3:
                if (Node* n = anyNode()) n->MoveTo(anyNode(), static_cast<TNodeAttachMode>(pick(5)));
                break;
            case 4:
                if (Node* n = anyNode(); n && pick(3) == 0) n->Delete();
                break;
            case 5:
                tree.TextSort(anyNode(), pick(2) == 0);
                break;
            case 6:
                if (Node* n = anyNode()) n->SetExpanded(!n->GetExpanded());
                break;
            case 7:
                if (Node* n = anyNode(); n && n->GetParent()) {
                    Node* parent = n->GetParent();
                    parent->MoveItem(n, parent->GetItem(pick(parent->GetCount())));
                } else if (n) {
                    items.Move(items.GetIndex(n), pick(items.GetIndex(n) + 2));
                }
                break;
        }
        std::map<std::string, Node*> firstOfPath;
        int nodes = 0;
        for (Node* n = items.GetFirstNode(); n; n = n->GetNext(), ++nodes) {
            const std::string path = n->GetNodePath();
            firstOfPath.emplace(path, n);
            ASSERT_TRUE(n->GetHashed()) << path;
            Node* found = tree.FindPathNode(path);
            ASSERT_NE(found, nullptr) << path;
            ASSERT_EQ(found->GetNodePath(), path);
        }
        ASSERT_EQ(items.GetCount(), nodes);
        ASSERT_EQ(items.GetHashCount(), nodes);
        ASSERT_EQ(items.GetShownCount(), ShownBelow(items, nullptr));
        for (const auto& [path, node] : firstOfPath) {
            const std::string absent = path + "/z";
            ASSERT_EQ(tree.FindPathNode(absent), nullptr) << absent;
        }
    }
}

// ---- the node stream

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    return std::vector<uint8_t>(values.begin(), values.end());
}

std::vector<uint8_t> NodeStream(const TrmTreeNonViewNodes& items) {
    TMemoryStream stream;
    items.WriteData(stream);
    return stream.Bytes();
}

TEST(PathTreeStream, ComponentOnARootAsTheExampleGivesIt) {
    thorn::test::RegisterSamples();
    TrmTreeNonView tree;
    thorn::test::TSample sample;
    sample.SetName("Sample1");
    sample.Caption = "on a node";
    tree.GetItems().AddChildObject(nullptr, "Title", &sample);

    TMemoryStream component;
    thorn::WriteComponent(component, sample);
    std::vector<uint8_t> expected = Bytes({0x01, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 5, 'T', 'i', 't', 'l', 'e', 1, 0, 0, 0});
    expected.insert(expected.end(), component.Bytes().begin(), component.Bytes().end());
    ASSERT_EQ(NodeStream(tree.GetItems()), expected);

    TrmTreeNonView copy;
    std::vector<std::string> events;
    copy.OnNodeTextChanged = [&](TObject*, Node* n) { events.push_back(n->GetText()); };
    TMemoryStream in(expected);
    copy.GetItems().ReadData(in);
    EXPECT_EQ(in.Remaining(), 0);
    Node* title = copy.FindPathNode("/Title");
    ASSERT_NE(title, nullptr);
    auto* read = dynamic_cast<thorn::test::TSample*>(title->GetData());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "Sample1");
    EXPECT_EQ(read->Caption, "on a node");
    EXPECT_EQ(read->GetOwner(), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"", "Title"})) << "added empty, then named";
    std::unique_ptr<TComponent> taken = title->ReleaseOwnedData();
    EXPECT_EQ(taken.get(), read);
    EXPECT_EQ(title->ReleaseOwnedData(), nullptr);
}

// A component that counts its destructions.
int probesFreed = 0;
class TDeletionProbe : public TComponent {
public:
    ~TDeletionProbe() override { ++probesFreed; }
};

// The node stream's example: a root Title without children whose data is a
// component (here a TDeletionProbe named Probe, without properties).
std::vector<uint8_t> TitleWithProbe() {
    RegisterClass<TDeletionProbe>("TDeletionProbe");
    thorn::test::ByteWriter b;
    b.Raw({0x01, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x54, 0x69, 0x74, 0x6C, 0x65, 0x01, 0, 0, 0});
    b.Chars("TPF0").ShortString("TDeletionProbe").ShortString("Probe").Raw({0, 0});
    return b.Bytes();
}

TEST(PathTreeStream, AComponentOnANodeIsFreedOnceWhoeverFreesIt) {
    struct Handler {
        const char* name;
        TrmTreeNonViewEvent onDeletion;
    };
    const Handler handlers[] = {
        {"no handler", nullptr},
        {"a handler that takes the data and lets it go",
         [](TObject*, Node* n) {
             n->SetData(nullptr);
             std::unique_ptr<TComponent> taken = n->ReleaseOwnedData();
         }},
        // As the property grid of the original platform does.
        {"a handler that frees the data itself",
         [](TObject*, Node* n) {
             std::unique_ptr<TObject> freed(n->GetData());
             n->SetData(nullptr);
         }},
    };
    for (const bool copied : {false, true}) {
        for (const Handler& h : handlers) {
            SCOPED_TRACE(std::string(copied ? "copied by Assign, " : "read from the stream, ") + h.name);
            TrmTreeNonView read, copy;
            TMemoryStream in(TitleWithProbe());
            read.GetItems().ReadData(in);
            copy.GetItems().Assign(read.GetItems());
            TrmTreeNonView& tree = copied ? copy : read;
            Node* title = tree.FindPathNode("/Title");
            ASSERT_NE(title, nullptr);
            const thorn::ComponentRef<TComponent> probe(dynamic_cast<TDeletionProbe*>(title->GetData()));
            ASSERT_TRUE(probe);
            tree.OnDeletion = h.onDeletion;
            const int before = probesFreed;
            title->Delete();
            EXPECT_FALSE(probe);
            EXPECT_EQ(probesFreed - before, 1);
        }
    }
}

TEST(PathTreeStream, LongTextsAndPlainData) {
    TrmTreeNonView tree;
    TObject plain;
    Node* root = tree.GetItems().AddChildObject(nullptr, std::string(300, 'x'), &plain);
    tree.GetItems().AddChild(root, "child");
    const std::vector<uint8_t> bytes = NodeStream(tree.GetItems());
    const std::vector<uint8_t> head = Bytes({1, 0, 0, 0, 0x04, 0x01, 0, 0, 1, 0, 0, 0, 255});
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(bytes.size(), 4 + (4 + 260 + 4) + (4 + 10 + 4));
    const std::vector<uint8_t> flag(bytes.begin() + 4 + 4 + 260, bytes.begin() + 4 + 4 + 260 + 4);
    EXPECT_EQ(flag, Bytes({0, 0, 0, 0}));

    TrmTreeNonView copy;
    copy.GetItems().Assign(tree.GetItems());
    EXPECT_EQ(Paths(copy), "/" + std::string(255, 'x') + " /" + std::string(255, 'x') + "/child");
    EXPECT_EQ(copy.GetItems().GetFirstNode()->GetData(), nullptr);
    EXPECT_EQ(copy.GetItems().GetHashCount(), 2);
}

TEST(PathTreeStream, TreeWithItsComponentsThroughAFormStream) {
    thorn::test::RegisterSamples();
    TrmTreeNonView tree;
    tree.SetName("Rows");
    tree.SetSepChar('\x01');
    std::vector<std::unique_ptr<thorn::test::TSample>> samples;
    for (const char* path : {"\x01Players\x01Name", "\x01Players\x01Colour", "\x01Mission"}) {
        samples.push_back(std::make_unique<thorn::test::TSample>());
        samples.back()->Count = static_cast<int32_t>(samples.size());
        tree.AddPathNode(nullptr, path)->SetData(samples.back().get());
    }
    TMemoryStream form;
    thorn::WriteComponent(form, tree);
    form.SetPosition(0);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(form);
    auto* copy = dynamic_cast<TrmTreeNonView*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetName(), "Rows");
    EXPECT_EQ(copy->GetSepChar(), '\x01');
    EXPECT_EQ(Paths(*copy), Paths(tree));
    int32_t expectedCount = 1;
    for (const char* path : {"\x01Players\x01Name", "\x01Players\x01Colour", "\x01Mission"}) {
        Node* n = copy->FindPathNode(path);
        ASSERT_NE(n, nullptr);
        auto* sample = dynamic_cast<thorn::test::TSample*>(n->GetData());
        ASSERT_NE(sample, nullptr);
        EXPECT_EQ(sample->Count, expectedCount++);
    }
    EXPECT_EQ(copy->FindPathNode("\x01Players")->GetData(), nullptr);
}

// A node stream of one chain of depth nodes named n, the last holding the
// form stream component when one is given.
std::vector<uint8_t> Chain(int depth, const std::vector<uint8_t>& component) {
    thorn::test::ByteWriter b;
    b.I32(1);
    for (int i = 1; i <= depth; ++i) {
        const bool holds = i == depth && !component.empty();
        b.I32(6).I32(i == depth ? 0 : 1).ShortString("n").I32(holds ? 1 : 0);
        if (holds) b.Raw(component);
    }
    return b.Bytes();
}

// Path trees in form streams, each on the last node of the one before: the
// first tree's chain is chains[0] nodes long, and so on.
std::vector<uint8_t> NestedTrees(const std::vector<int>& chains) {
    std::vector<uint8_t> form;
    for (size_t i = chains.size(); i-- > 0;) {
        const std::vector<uint8_t> nodes = Chain(chains[i], form);
        thorn::test::ByteWriter b;
        b.Chars("TPF0").ShortString("TrmTreeNonView").ShortString("").ShortString("Items.Data").U8(10);
        b.I32(static_cast<int32_t>(nodes.size())).Raw(nodes).Raw({0, 0});
        form = b.Bytes();
    }
    return form;
}

TEST(PathTreeStream, TreesInComponentsOnNodesShareOneNestingBudget) {
    // Each tree takes a level for its component and one for every node.
    constexpr int kBudget = thorn::kMaxReadNesting;
    constexpr const char* kRead = "read, and written back as it was";
    struct Case {
        const char* name;
        std::vector<int> chains;
        const char* outcome;
    };
    const Case cases[] = {
        {"one tree filling the budget", {kBudget - 1}, kRead},
        {"one node more", {kBudget}, "Node stream nested too deeply"},
        {"three trees filling it together", {100, 50, kBudget - 153}, kRead},
        {"three trees a node past it", {100, 50, kBudget - 152}, "Node stream nested too deeply"},
        {"trees of one node filling it", std::vector<int>(kBudget / 2, 1), kRead},
        {"one more tree", std::vector<int>(kBudget / 2 + 1, 1), "Form stream nested too deeply"},
        {"256-node chains nested 32 times", std::vector<int>(32, 256), "Node stream nested too deeply"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::vector<uint8_t> bytes = NestedTrees(k.chains);
        std::string outcome;
        thorn::test::RunWithStack(thorn::test::kReaderStack, [&] {
            try {
                TMemoryStream in(bytes);
                std::unique_ptr<TComponent> tree = thorn::ReadComponent(in);
                TMemoryStream out;
                thorn::WriteComponent(out, *tree);
                outcome = out.Bytes() == bytes ? kRead : "written otherwise";
            } catch (const EReadError& e) {
                outcome = e.what();
            }
        });
        EXPECT_EQ(outcome, k.outcome);
    }
}

TEST(PathTreeStream, RefusesWhatDoesNotFit) {
    thorn::test::RegisterSamples();
    auto node = [](int32_t size, int32_t children, std::string text, int32_t flag) {
        std::vector<uint8_t> b;
        auto put = [&](int32_t v) {
            for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        };
        put(size);
        put(children);
        b.push_back(static_cast<uint8_t>(text.size()));
        b.insert(b.end(), text.begin(), text.end());
        put(flag);
        return b;
    };
    auto join = [](std::initializer_list<std::vector<uint8_t>> parts) {
        std::vector<uint8_t> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    std::vector<uint8_t> deep = Bytes({1, 0, 0, 0});
    for (int i = 0; i <= TrmTreeNonViewNodes::kMaxStreamDepth; ++i) {
        const auto n = node(6, 1, "d", 0);
        deep.insert(deep.end(), n.begin(), n.end());
    }
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"negative root count", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"more roots than bytes", Bytes({2, 0, 0, 0, 6, 0, 0, 0})},
        {"size below the record", join({Bytes({1, 0, 0, 0}), node(4, 0, "", 0)})},
        {"size past the record", join({Bytes({1, 0, 0, 0}), node(300, 0, "", 0)})},
        {"text longer than the size", join({Bytes({1, 0, 0, 0}), node(6, 0, "ab", 0)})},
        {"negative children", join({Bytes({1, 0, 0, 0}), node(5, -1, "", 0)})},
        {"more children than bytes", join({Bytes({1, 0, 0, 0}), node(5, 1000, "", 0)})},
        {"missing flag", Bytes({1, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"flag without component", join({Bytes({1, 0, 0, 0}), node(5, 0, "", 1)})},
        {"too deep", deep},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TrmTreeNonView tree;
        tree.AddPathNode(nullptr, "/old");
        TMemoryStream in(k.bytes);
        EXPECT_THROW(tree.GetItems().ReadData(in), EStreamError);
        EXPECT_EQ(tree.GetItems().GetCount(), 0);
        EXPECT_EQ(tree.GetItems().GetHashCount(), 0);
    }
    // A flag other than 1 is no component.
    TrmTreeNonView tree;
    TMemoryStream in(join({Bytes({1, 0, 0, 0}), node(6, 0, "x", 7)}));
    tree.GetItems().ReadData(in);
    EXPECT_EQ(Paths(tree), "/x");
    EXPECT_EQ(tree.GetItems().GetFirstNode()->GetData(), nullptr);
}

}  // namespace
