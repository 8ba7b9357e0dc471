#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <zlib.h>

#include "controls/Rmpathtreeview.h"
#include "gui/TestControls.h"
#include "inspector/Rmhint.h"
#include "platform/Filer.h"
#include "platform/Streams.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;

class PathTreeView : public ::testing::Test {
protected:
    PathTreeView() {
        form = MakeForm(400, 300);
        tree = thorn::Make<TrmPathTreeView>(*form);
        tree->SetParent(form);
        tree->SetBounds(10, 10, 200, 200);
        form->Show();
    }
    TrmTreeNodes& Items() const { return *tree->GetItems(); }
    // Every node of the tree as "<level tabs><text>" lines.
    std::string Outline() const {
        std::string out;
        for (TrmTreeNode* n = Items().GetFirstNode(); n; n = n->GetNext())
            out += std::string(static_cast<size_t>(n->GetLevel()), '\t') + n->GetText() + "\n";
        return out;
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmPathTreeView* tree = nullptr;
};

TEST_F(PathTreeView, PathsFindAddAndFollowRenames) {
    TrmTreeNode* apple = tree->AddPathNode(nullptr, "Fruit/Apple");
    ASSERT_NE(apple, nullptr);
    EXPECT_EQ(Outline(), "Fruit\n\tApple\n");
    struct Case {
        const char* path;
        TrmTreeNode* found;
    } const cases[] = {
        {"/Fruit/Apple", apple},
        {"Fruit/Apple", nullptr},  // found as given: no separator put in front
        {"/Fruit", apple->GetParent()},
        {"/Fruit/", nullptr},
        {"/fruit/apple", nullptr},
        {"", nullptr},
    };
    for (const auto& [path, found] : cases) EXPECT_EQ(tree->FindPathNode(path), found) << path;
    EXPECT_EQ(tree->NodePath(apple), "/Fruit/Apple");
    EXPECT_EQ(tree->NodePath(nullptr), "");

    // The same path again, or with a trailing or doubled separator, is the same node.
    for (const char* again : {"Fruit/Apple", "/Fruit/Apple", "/Fruit/Apple/", "/Fruit//Apple"})
        EXPECT_EQ(tree->AddPathNode(nullptr, again), apple) << again;
    EXPECT_EQ(Items().GetCount(), 2);
    EXPECT_EQ(tree->AddPathNode(nullptr, ""), nullptr);
    EXPECT_EQ(tree->AddPathNode(nullptr, "/"), nullptr);

    apple->GetParent()->SetText("Food");
    EXPECT_EQ(tree->FindPathNode("/Food/Apple"), apple);
    EXPECT_EQ(tree->FindPathNode("/Fruit/Apple"), nullptr);
    EXPECT_EQ(tree->FindPathNode("/Fruit"), nullptr);

    // Inserted nodes are not entered; nor is a node that had no text.
    TrmTreeNode* inserted = Items().Insert(apple, "Pear");
    EXPECT_EQ(tree->FindPathNode("/Food/Pear"), nullptr);
    EXPECT_EQ(tree->NodePath(inserted), "/Food/Pear");
    TrmTreeNode* nameless = Items().AddChild(nullptr, "");
    nameless->SetText("Nuts");
    EXPECT_EQ(tree->FindPathNode("/Nuts"), nullptr);
    // Renaming a node enters its whole subtree under the new paths.
    apple->GetParent()->SetText("Fruit");
    EXPECT_EQ(tree->FindPathNode("/Fruit/Pear"), inserted);

    struct Split {
        const char* path;
        const char* parent;
        const char* child;
    } const splits[] = {
        {"/a/b", "/a", "b"}, {"/a/b/", "/a", "b"}, {"/a", "", "a"}, {"a", "", "a"}, {"", "", ""},
    };
    for (const auto& [path, parent, child] : splits) {
        EXPECT_EQ(tree->ParentName(path), parent) << path;
        EXPECT_EQ(tree->ChildName(path), child) << path;
    }
    // Another separator, set before the nodes are added.
    TrmPathTreeView* other = thorn::Make<TrmPathTreeView>(*form);
    other->SetSepChar('\\');
    TrmTreeNode* deep = other->AddPathNode(nullptr, "c:\\maps\\north");
    EXPECT_EQ(other->FindPathNode("\\c:\\maps\\north"), deep);
    EXPECT_EQ(other->NodePath(deep), "\\c:\\maps\\north");
}

TEST_F(PathTreeView, TheIndexMatchesAPlainWalkAfterRenamesAndMoves) {
    // Names of their own, so that no move makes two nodes of one path.
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        const int count = Items().GetCount();
        TrmTreeNode* under = count == 0 || random() % 5 == 0
                                 ? nullptr
                                 : Items().GetItem(static_cast<int>(random() % static_cast<unsigned>(count)));
        tree->AddPathNode(nullptr, tree->NodePath(under) + "/n" + std::to_string(i));
    }
    auto checkAgainstWalk = [&] {
        int nodes = 0;
        for (TrmTreeNode* n = Items().GetFirstNode(); n; n = n->GetNext(), ++nodes)
            ASSERT_EQ(tree->FindPathNode(tree->NodePath(n)), n) << tree->NodePath(n);
        EXPECT_EQ(Items().GetHashCount(), nodes);
        for (int e = 0; e < Items().GetHashCount(); ++e) {
            const TrmTreeNodes::TrmHashData& entry = Items().GetHashData(e);
            const std::string path = tree->NodePath(entry.Node);
            EXPECT_EQ(entry.Hash, static_cast<int32_t>(crc32(0, reinterpret_cast<const Bytef*>(path.data()),
                                                              static_cast<uInt>(path.size()))));
            EXPECT_EQ(entry.Length, static_cast<int32_t>(path.size()));
        }
    };
    checkAgainstWalk();
    std::vector<std::string> gone;
    for (int step = 0; step < 200; ++step) {
        SCOPED_TRACE(step);
        const int count = Items().GetCount();
        TrmTreeNode* node = Items().GetItem(static_cast<int>(random() % static_cast<unsigned>(count)));
        if (step % 2 == 0) {
            gone.push_back(tree->NodePath(node));
            node->SetText("r" + std::to_string(step));
        } else {
            TrmTreeNode* target = Items().GetItem(static_cast<int>(random() % static_cast<unsigned>(count)));
            if (target == node || target->HasAsParent(node)) continue;
            gone.push_back(tree->NodePath(node));
            node->MoveTo(target, static_cast<TNodeAttachMode>(random() % 5));
        }
        checkAgainstWalk();
    }
    // Paths left behind by renames and moves find nothing unless a node now has them.
    for (const std::string& path : gone) {
        if (TrmTreeNode* found = tree->FindPathNode(path)) {
            EXPECT_EQ(tree->NodePath(found), path);
        }
    }
}

// A plain model of the tree: names, children, and whether the index is to
// know the node, following the rules the path tree keeps.
struct ModelNode {
    std::string text;
    TrmTreeNode* node = nullptr;
    bool indexed = false;
    std::vector<std::unique_ptr<ModelNode>> children;
    ModelNode* parent = nullptr;
};

TEST_F(PathTreeView, RandomOperationsAgreeWithAPlainModel) {
    ModelNode root;
    std::map<TrmTreeNode*, ModelNode*> of;
    std::mt19937 random(11);
    int names = 0;
    auto all = [&] {
        std::vector<ModelNode*> nodes;
        std::vector<ModelNode*> stack{&root};
        while (!stack.empty()) {
            ModelNode* m = stack.back();
            stack.pop_back();
            if (m != &root) nodes.push_back(m);
            for (auto it = m->children.rbegin(); it != m->children.rend(); ++it) stack.push_back(it->get());
        }
        return nodes;
    };
    auto pathOf = [](const ModelNode* m) {
        std::string path;
        for (; m && m->parent; m = m->parent) path = "/" + m->text + path;
        return path;
    };
    auto indexSubtree = [](ModelNode* m) {
        std::vector<ModelNode*> stack{m};
        while (!stack.empty()) {
            ModelNode* n = stack.back();
            stack.pop_back();
            n->indexed = true;
            for (auto& c : n->children) stack.push_back(c.get());
        }
    };
    auto take = [](ModelNode* m) {
        auto& list = m->parent->children;
        auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == m; });
        std::unique_ptr<ModelNode> held = std::move(*it);
        list.erase(it);
        return held;
    };
    auto pick = [&](const std::vector<ModelNode*>& nodes) { return nodes[random() % nodes.size()]; };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        std::vector<ModelNode*> nodes = all();
        const unsigned kind = nodes.empty() ? 0 : random() % 6;
        if (kind == 0) {  // a path below an indexed node (or the roots), new name at the end
            std::vector<ModelNode*> indexed;
            for (ModelNode* m : nodes)
                if (m->indexed) indexed.push_back(m);
            ModelNode* under = indexed.empty() || random() % 4 == 0 ? &root : pick(indexed);
            auto made = std::make_unique<ModelNode>();
            made->text = "n" + std::to_string(names++);
            made->parent = under;
            made->indexed = true;
            made->node = tree->AddPathNode(nullptr, pathOf(under) + "/" + made->text);
            of[made->node] = made.get();
            under->children.push_back(std::move(made));
        } else if (kind == 1) {  // inserted before a node: not indexed
            ModelNode* before = pick(nodes);
            auto made = std::make_unique<ModelNode>();
            made->text = "i" + std::to_string(names++);
            made->parent = before->parent;
            made->node = Items().Insert(before->node, made->text);
            of[made->node] = made.get();
            auto& list = before->parent->children;
            auto at = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == before; });
            list.insert(at, std::move(made));
        } else if (kind == 2) {  // renamed: the subtree is entered
            ModelNode* m = pick(nodes);
            m->text = "r" + std::to_string(names++);
            m->node->SetText(m->text);
            indexSubtree(m);
        } else if (kind == 3) {  // moved as the last child of another
            ModelNode* m = pick(nodes);
            ModelNode* target = pick(nodes);
            bool inside = false;
            for (ModelNode* p = target; p; p = p->parent) inside |= p == m;
            if (inside) continue;
            m->node->MoveTo(target->node, naAddChild);
            std::unique_ptr<ModelNode> held = take(m);
            held->parent = target;
            target->children.push_back(std::move(held));
            indexSubtree(m);
        } else if (kind == 4) {  // deleted with its subtree
            ModelNode* m = pick(nodes);
            m->node->Delete();
            take(m);
        } else {  // children deleted
            ModelNode* m = pick(nodes);
            m->node->DeleteChildren();
            m->children.clear();
        }
        // The tree, and what the index finds, after every step.
        std::string expected;
        int indexed = 0;
        for (ModelNode* m : all()) {
            int level = -1;
            for (ModelNode* p = m; p->parent; p = p->parent) ++level;
            expected += std::string(static_cast<size_t>(level), '\t') + m->text + "\n";
            ASSERT_EQ(tree->FindPathNode(pathOf(m)), m->indexed ? m->node : nullptr) << pathOf(m);
            indexed += m->indexed;
        }
        ASSERT_EQ(Outline(), expected);
        ASSERT_EQ(Items().GetHashCount(), indexed);
    }
}

TEST_F(PathTreeView, CollidingPathsNeverFindEachOther) {
    // Two paths of one CRC-32 (found by searching "/row" and a number).
    constexpr const char* kA = "/row995";
    constexpr const char* kB = "/row12413420";
    ASSERT_EQ(Items().HashValue(kA), Items().HashValue(kB));
    TrmTreeNode* a = tree->AddPathNode(nullptr, kA);
    EXPECT_EQ(tree->FindPathNode(kB), nullptr);
    TrmTreeNode* b = tree->AddPathNode(nullptr, kB);
    EXPECT_NE(a, b);
    EXPECT_EQ(tree->FindPathNode(kA), a);
    EXPECT_EQ(tree->FindPathNode(kB), b);
    a->Delete();
    EXPECT_EQ(tree->FindPathNode(kB), b) << "the deletion took the other entry";
    EXPECT_EQ(tree->FindPathNode(kA), nullptr);
    // An inserted node of the other path, deleted, takes no entry with it.
    TrmTreeNode* twin = Items().Insert(b, std::string(kB).substr(1));
    twin->Delete();
    EXPECT_EQ(tree->FindPathNode(kB), b);
}

TEST_F(PathTreeView, StreamsTextFormAndTheIndex) {
    tree->AddPathNode(nullptr, "/Fruit/Apple");
    tree->AddPathNode(nullptr, "/Nuts");
    // A tree read from its form stream has its nodes but no index until Assign.
    TMemoryStream stream;
    thorn::WriteComponent(stream, *tree);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(stream);
    auto* copy = dynamic_cast<TrmPathTreeView*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetItems()->GetCount(), 3);
    EXPECT_EQ(copy->FindPathNode("/Fruit/Apple"), nullptr);
    TrmPathTreeView* assigned = thorn::Make<TrmPathTreeView>(*form);
    assigned->GetItems()->Assign(*copy->GetItems());
    EXPECT_EQ(assigned->NodePath(assigned->FindPathNode("/Fruit/Apple")), "/Fruit/Apple");

    // The text form: tabs for levels; a loaded tree is entered whole.
    TMemoryStream text;
    tree->SaveToStream(text);
    EXPECT_EQ(std::string(text.Bytes().begin(), text.Bytes().end()), "Fruit\r\n\tApple\r\nNuts\r\n");
    text.SetPosition(0);
    assigned->LoadFromStream(text);
    EXPECT_NE(assigned->FindPathNode("/Fruit/Apple"), nullptr);
    EXPECT_NE(assigned->FindPathNode("/Nuts"), nullptr);
    const std::string deeper = "Fruit\r\n\t\tApple\r\n";
    TMemoryStream bad(std::vector<uint8_t>(deeper.begin(), deeper.end()));
    try {
        assigned->LoadFromStream(bad);
        ADD_FAILURE() << "no error";
    } catch (const ETreeViewError& e) {
        EXPECT_EQ(e.Message(), "Invalid level (2) for item \"Apple\"");
    }

    // The index written for a look: a path a line, in ascending order of hash.
    const std::filesystem::path dump = Items().DumpHash();
    EXPECT_EQ(dump.parent_path(), std::filesystem::temp_directory_path());
    std::ifstream in(dump, std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    std::vector<std::pair<int32_t, std::string>> byHash;
    for (const char* path : {"/Fruit", "/Fruit/Apple", "/Nuts"}) byHash.emplace_back(Items().HashValue(path), path);
    std::sort(byHash.begin(), byHash.end());
    std::string expected;
    for (const auto& [hash, path] : byHash) expected += path + "\r\n";
    EXPECT_EQ(lines.str(), expected);
    std::filesystem::remove(dump);
}

TEST_F(PathTreeView, EventsCarryPathNodesAndACutOffTextShowsInTheSharedHint) {
    std::vector<std::string> log;
    tree->OnGetImageIndex = [&](TObject*, TrmTreeNode* node) { log.push_back("image " + node->GetText()); };
    tree->OnChange = [&](TObject*, TrmTreeNode* node) { log.push_back("change " + tree->NodePath(node)); };
    TrmTreeNode* north = tree->AddPathNode(nullptr, "/Maps/North");
    EXPECT_EQ(log, (std::vector<std::string>{"image Maps", "image North"}));
    tree->SetSelection(north);
    EXPECT_EQ(log.back(), "change /Maps/North");
    EXPECT_EQ(tree->GetSelection(), north);

    TrmTreeNode* wide = tree->AddPathNode(nullptr, "/Maps/A map whose name runs well past the right edge");
    tree->FullExpand();
    Application->ProcessMessages();
    auto shownHint = [] {
        for (int i = 0; i < Screen->GetFormCount(); ++i)
            if (auto* hint = dynamic_cast<TrmHintWindow*>(Screen->GetForm(i)); hint && hint->GetVisible()) return hint;
        return static_cast<TrmHintWindow*>(nullptr);
    };
    const TRect r = wide->DisplayRect(true);
    const TPoint over = OnForm(*tree, {r.Left + 10, (r.Top + r.Bottom) / 2});
    host.MouseMove(*form, over.X, over.Y);
    TrmHintWindow* hint = shownHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->GetCaption(), wide->GetText());
    EXPECT_EQ(hint->GetColor(), clInfoBk);
    // Moving over a node that fits closes it; turning ToolTips off closes it at once.
    const TRect fits = north->DisplayRect(true);
    host.MouseMove(*form, OnForm(*tree, {fits.Left + 2, fits.Top + 2}).X, OnForm(*tree, {fits.Left + 2, fits.Top + 2}).Y);
    EXPECT_EQ(shownHint(), nullptr);
    host.MouseMove(*form, over.X, over.Y);
    ASSERT_NE(shownHint(), nullptr);
    tree->SetToolTips(false);
    EXPECT_EQ(shownHint(), nullptr);
}

TEST_F(PathTreeView, NodeInfoStreamsByItsClassName) {
    TrmNodeInfo info;
    info.SetName("Apple");
    info.ImageIndex = 2;
    info.OverlayIndex = 0;
    info.Data = -7;
    info.Path = "/Fruit/Apple";
    TMemoryStream stream;
    thorn::WriteComponent(stream, info);
    stream.SetPosition(0);
    const std::unique_ptr<TComponent> read = thorn::ReadComponent(stream);
    const auto* copy = dynamic_cast<const TrmNodeInfo*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetName(), "Apple");
    EXPECT_EQ(std::tuple(copy->ImageIndex, copy->SelectedIndex, copy->StateIndex, copy->OverlayIndex, copy->Data),
              std::tuple(2, -1, -1, 0, -7));
    EXPECT_EQ(copy->Path, "/Fruit/Apple");
}

TEST_F(PathTreeView, ALabelEditedByTheUserMovesItsSubtreesPaths) {
    TrmTreeNode* apple = tree->AddPathNode(nullptr, "/Fruit/Apple");
    TrmTreeNode* fruit = apple->GetParent();
    tree->OnEdited = [](TObject*, TrmTreeNode*, std::string& text) { text += " and nuts"; };
    tree->SetFocus();
    tree->SetSelection(fruit);
    host.PressKey(VK_F2);
    ASSERT_TRUE(tree->IsEditing());
    host.TypeText("Food");
    host.PressKey(VK_RETURN);
    EXPECT_EQ(tree->FindPathNode("/Food and nuts/Apple"), apple);
    EXPECT_EQ(tree->FindPathNode("/Fruit/Apple"), nullptr);
    EXPECT_EQ(tree->FindPathNode("/Food and nuts"), fruit);
}

}  // namespace
