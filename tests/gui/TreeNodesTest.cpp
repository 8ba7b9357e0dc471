#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TestControls.h"
#include "gui/TreeStrings.h"
#include "gui/TreeView.h"
#include "platform/Streams.h"
#include "support/PictureFiles.h"

namespace {

using thorn::test::ByteWriter;

// Each node as "<level tabs><text>[image/selected/state/overlay data]".
std::string Dump(const TTreeNodes& nodes) {
    std::string out;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        out += std::string(static_cast<size_t>(n->GetLevel()), '\t') + n->GetText() + "[" +
               std::to_string(n->GetImageIndex()) + "/" + std::to_string(n->GetSelectedIndex()) + "/" +
               std::to_string(n->GetStateIndex()) + "/" + std::to_string(n->GetOverlayIndex()) + " " +
               std::to_string(reinterpret_cast<intptr_t>(n->GetData())) + "]\n";
    return out;
}

std::vector<uint8_t> Bytes(TMemoryStream& stream) { return {stream.Bytes().begin(), stream.Bytes().end()}; }

class TreeNodesStreams : public ::testing::Test {
protected:
    TreeNodesStreams() {
        form = thorn::test::MakeForm(300, 200);
        tree = thorn::Make<TTreeView>(*form);
        tree->SetParent(form);
    }
    // Two nodes laid out as the node stream is documented: the root count,
    // then each node in pre-order as its size (25 + text length), image,
    // selected image, state and overlay indices, data, child count, and the
    // text after its length byte.
    static std::vector<uint8_t> FruitAndApple() {
        ByteWriter b;
        b.U32(1);
        b.U32(30).U32(1).U32(2).U32(0xFFFFFFFF).U32(0xFFFFFFFF).U32(7).U32(1).U8(5).Chars("Fruit");
        b.U32(30).U32(0).U32(0).U32(3).U32(0xFFFFFFFF).U32(0).U32(0).U8(5).Chars("Apple");
        return b.Bytes();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TTreeView* tree = nullptr;
};

TEST_F(TreeNodesStreams, TheDocumentedLayoutReadsAndIsWhatIsWritten) {
    TMemoryStream in(FruitAndApple());
    tree->GetItems()->ReadData(in);
    EXPECT_EQ(Dump(*tree->GetItems()), "Fruit[1/2/-1/-1 7]\n\tApple[0/0/3/-1 0]\n");
    TMemoryStream out;
    tree->GetItems()->WriteData(out);
    EXPECT_EQ(Bytes(out), FruitAndApple());

    // A copy goes through the same stream; a text is cut to 255 characters.
    tree->GetItems()->GetFirstNode()->SetText(std::string(300, 'x'));
    TTreeView* copy = thorn::Make<TTreeView>(*form);
    copy->SetItems(*tree->GetItems());
    EXPECT_EQ(copy->GetItems()->GetFirstNode()->GetText(), std::string(255, 'x'));
    EXPECT_EQ(copy->GetItems()->GetCount(), 2);
}

TEST_F(TreeNodesStreams, TruncatedAndHostileStreamsAreRefused) {
    const std::vector<uint8_t> good = FruitAndApple();
    for (size_t size = 0; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        tree->GetItems()->AddChild(nullptr, "kept?");
        TMemoryStream in(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(size)));
        EXPECT_THROW(tree->GetItems()->ReadData(in), EReadError);
        EXPECT_EQ(tree->GetItems()->GetCount(), 0);
    }
    struct Patch {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
    } const patches[] = {
        {"a negative root count", 0, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"more roots than bytes", 0, {0x00, 0x10, 0x00, 0x00}},
        {"a size below the fixed part", 4, {24}},
        {"a size past the longest text", 4, {0x19, 0x01}},
        {"a text longer than its record", 32, {6}},
        {"a negative child count", 28, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"more children than bytes", 28, {0x00, 0x00, 0x01, 0x00}},
    };
    for (const auto& [what, at, bytes] : patches) {
        SCOPED_TRACE(what);
        std::vector<uint8_t> damaged = good;
        std::copy(bytes.begin(), bytes.end(), damaged.begin() + static_cast<ptrdiff_t>(at));
        TMemoryStream in(damaged);
        EXPECT_THROW(tree->GetItems()->ReadData(in), EReadError);
        EXPECT_EQ(tree->GetItems()->GetCount(), 0);
    }
}

TEST_F(TreeNodesStreams, ExpandedStatesFollowTheNodesInPreOrder) {
    TMemoryStream in(FruitAndApple());
    tree->GetItems()->ReadData(in);
    tree->GetItems()->GetFirstNode()->Expand(false);
    TMemoryStream states;
    tree->GetItems()->WriteExpandedState(states);
    EXPECT_EQ(Bytes(states), (std::vector<uint8_t>{2, 0, 0, 0, 1, 0}));
    tree->FullCollapse();
    states.SetPosition(0);
    tree->GetItems()->ReadExpandedState(states);
    EXPECT_TRUE(tree->GetItems()->GetFirstNode()->GetExpanded());
    // A short stream applies what it holds.
    tree->FullCollapse();
    TMemoryStream shortStates(std::vector<uint8_t>{9, 0, 0, 0});
    tree->GetItems()->ReadExpandedState(shortStates);
    EXPECT_FALSE(tree->GetItems()->GetFirstNode()->GetExpanded());
}

TEST_F(TreeNodesStreams, TheTextFormIndentsByTabs) {
    TTreeNodes& items = *tree->GetItems();
    TTreeNode* fruit = items.AddChild(nullptr, "Fruit");
    items.AddChild(fruit, "Apple");
    TMemoryStream out;
    tree->SaveToStream(out);
    EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "Fruit\r\n\tApple\r\n");

    struct Case {
        const char* text;
        const char* tree;  // the lines read back, or the error
    } const cases[] = {
        {"a\r\n\tb\r\n\t\tc\r\nd\r\n\te\r\n", "a\n\tb\n\t\tc\nd\n\te\n"},
        {"a\r\n b\r\n\t c\r\n", "a\n\tb\n\t\tc\n"},  // blanks count as tabs do
        // The first line is a root, whatever its indentation; the next is
        // measured against that root.
        {"\t\ta\r\n\tb\r\n", "a\n\tb\n"},
        {"\t\ta\r\n\t\tb\r\n", "Invalid level (2) for item \"b\""},
        {"a\r\n\t\tb\r\n", "Invalid level (2) for item \"b\""},
        {"", ""},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        TMemoryStream in(std::vector<uint8_t>(text, text + std::char_traits<char>::length(text)));
        std::string got;
        try {
            tree->LoadFromStream(in);
            for (TTreeNode* n = items.GetFirstNode(); n; n = n->GetNext())
                got += std::string(static_cast<size_t>(n->GetLevel()), '\t') + n->GetText() + "\n";
        } catch (const ETreeViewError& e) {
            got = e.Message();
        }
        EXPECT_EQ(got, expected);
    }
}

TEST_F(TreeNodesStreams, TreeStringsAddLinesUnderTheLineBefore) {
    TTreeNodes& items = *tree->GetItems();
    TTreeStrings lines(items);
    auto expectError = [&](const std::string& line) {
        try {
            lines.Add(line);
            ADD_FAILURE() << "no error for " << line;
        } catch (const ETreeViewError& e) {
            EXPECT_EQ(e.Message(), "Invalid item level assignment");
        }
    };
    expectError("\t\ttoo deep");
    lines.Add("\troot anyway");  // one level below nothing is the first root
    lines.Add("\tchild");
    lines.Add("\t\tgrandchild");
    lines.Add("second root");
    lines.Add("\x1a");  // the end-of-file mark is left out
    expectError("\t\t\tjump");
    EXPECT_EQ(lines.GetText(), "root anyway\r\n\tchild\r\n\t\tgrandchild\r\nsecond root\r\n");
    lines.Insert(1, "\tbefore child");
    lines.Delete(3);
    int value = 5;
    lines.PutObject(0, reinterpret_cast<TObject*>(&value));
    EXPECT_EQ(lines.GetObject(0), reinterpret_cast<TObject*>(&value));
    EXPECT_EQ(lines.GetText(), "root anyway\r\n\tbefore child\r\n\tchild\r\nsecond root\r\n");
    EXPECT_THROW(lines.Get(4), ETreeViewError);
    EXPECT_THROW(items.GetItem(-1), ETreeViewError);
}

// Fruit (Apple, Pear) and Nuts, to add to and move about.
class TreeNodesShape : public TreeNodesStreams {
protected:
    TreeNodesShape() {
        fruit = Items().AddChild(nullptr, "Fruit");
        apple = Items().AddChild(fruit, "Apple");
        pear = Items().AddChild(fruit, "Pear");
        nuts = Items().AddChild(nullptr, "Nuts");
    }
    TTreeNodes& Items() const { return *tree->GetItems(); }
    // "Fruit(Apple,Pear),Nuts"; checks on the way that each node's place,
    // level and absolute index are where the walk found it.
    std::string Shape() const {
        std::string out;
        int absolute = 0;
        auto walk = [&](auto& self, TTreeNode* first, int level) -> void {
            int index = 0;
            for (TTreeNode* n = first; n; n = n->GetNextSibling(), ++index) {
                EXPECT_EQ(n->GetIndex(), index) << n->GetText();
                EXPECT_EQ(n->GetLevel(), level) << n->GetText();
                EXPECT_EQ(n->GetAbsoluteIndex(), absolute) << n->GetText();
                EXPECT_EQ(Items().GetItem(absolute), n) << n->GetText();
                ++absolute;
                out += (index ? "," : "") + n->GetText();
                if (n->GetFirstChild()) {
                    out += "(";
                    self(self, n->GetFirstChild(), level + 1);
                    out += ")";
                }
            }
        };
        walk(walk, Items().GetFirstNode(), 0);
        EXPECT_EQ(Items().GetCount(), absolute);
        return out;
    }
    TTreeNode* fruit = nullptr;
    TTreeNode* apple = nullptr;
    TTreeNode* pear = nullptr;
    TTreeNode* nuts = nullptr;
};

TEST_F(TreeNodesShape, AddsAndMovesPutNodesWhereTheyAreAsked) {
    int data = 0;
    struct Case {
        const char* what;
        std::function<TTreeNode*()> act;  // answers the node added, if any
        const char* shape;
    };
    const Case cases[] = {
        {"Add: the last sibling", [&] { return Items().Add(apple, "X"); }, "Fruit(Apple,Pear,X),Nuts"},
        {"AddFirst: the first sibling", [&] { return Items().AddFirst(pear, "X"); }, "Fruit(X,Apple,Pear),Nuts"},
        {"AddObject at the roots", [&] { return Items().AddObject(nullptr, "X", &data); }, "Fruit(Apple,Pear),Nuts,X"},
        {"AddObjectFirst at the roots", [&] { return Items().AddObjectFirst(nullptr, "X", &data); },
         "X,Fruit(Apple,Pear),Nuts"},
        {"AddChild", [&] { return Items().AddChild(nuts, "X"); }, "Fruit(Apple,Pear),Nuts(X)"},
        {"AddChildFirst", [&] { return Items().AddChildFirst(fruit, "X"); }, "Fruit(X,Apple,Pear),Nuts"},
        {"AddChildObject", [&] { return Items().AddChildObject(pear, "X", &data); }, "Fruit(Apple,Pear(X)),Nuts"},
        {"AddChildObjectFirst at the roots", [&] { return Items().AddChildObjectFirst(nullptr, "X", &data); },
         "X,Fruit(Apple,Pear),Nuts"},
        {"Insert: before the node", [&] { return Items().Insert(pear, "X"); }, "Fruit(Apple,X,Pear),Nuts"},
        {"InsertObject before nothing: the first root", [&] { return Items().InsertObject(nullptr, "X", &data); },
         "X,Fruit(Apple,Pear),Nuts"},
        {"naAdd", [&] { return pear->MoveTo(nuts, naAdd), nullptr; }, "Fruit(Apple),Nuts,Pear"},
        {"naAddFirst", [&] { return pear->MoveTo(nuts, naAddFirst), nullptr; }, "Pear,Fruit(Apple),Nuts"},
        {"naAddChild", [&] { return apple->MoveTo(nuts, naAddChild), nullptr; }, "Fruit(Pear),Nuts(Apple)"},
        {"naAddChildFirst", [&] { return nuts->MoveTo(fruit, naAddChildFirst), nullptr; }, "Fruit(Nuts,Apple,Pear)"},
        {"naInsert", [&] { return nuts->MoveTo(pear, naInsert), nullptr; }, "Fruit(Apple,Nuts,Pear)"},
        {"naInsert before the next sibling stays", [&] { return apple->MoveTo(pear, naInsert), nullptr; },
         "Fruit(Apple,Pear),Nuts"},
        {"naInsert before the one before", [&] { return pear->MoveTo(apple, naInsert), nullptr; },
         "Fruit(Pear,Apple),Nuts"},
        {"no destination: the roots", [&] { return apple->MoveTo(nullptr, naAdd), nullptr; }, "Fruit(Pear),Nuts,Apple"},
        {"onto its own child: nothing", [&] { return fruit->MoveTo(pear, naAddChild), nullptr; },
         "Fruit(Apple,Pear),Nuts"},
        {"onto itself: nothing", [&] { return fruit->MoveTo(fruit, naAddChild), nullptr; }, "Fruit(Apple,Pear),Nuts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Items().Clear();
        fruit = Items().AddChild(nullptr, "Fruit");
        apple = Items().AddChild(fruit, "Apple");
        pear = Items().AddChild(fruit, "Pear");
        nuts = Items().AddChild(nullptr, "Nuts");
        TTreeNode* added = c.act();
        EXPECT_EQ(Shape(), c.shape);
        if (added && std::string_view(c.what).find("Object") != std::string_view::npos) {
            EXPECT_EQ(added->GetData(), &data);
        }
    }
}

TEST_F(TreeNodesShape, AParentLeftWithoutChildrenLosesItsButton) {
    fruit->Expand(false);
    apple->MoveTo(nuts, naAddChild);
    EXPECT_TRUE(fruit->GetHasChildren());
    EXPECT_TRUE(nuts->GetHasChildren());
    EXPECT_TRUE(nuts->GetExpanded());
    pear->MoveTo(nuts, naAddChild);
    EXPECT_FALSE(fruit->GetHasChildren());
    EXPECT_FALSE(fruit->GetExpanded());
    EXPECT_EQ(Shape(), "Fruit,Nuts(Apple,Pear)");
    apple->Delete();
    pear->Delete();
    EXPECT_FALSE(nuts->GetHasChildren());
}

TEST_F(TreeNodesShape, NodesAreFoundByAbsoluteIndexInAnyOrder) {
    // A tree of 200 nodes, then each found again by its place, forwards,
    // backwards and by jumps, before and after a deletion moves the rest.
    for (int i = 0; i < 196; ++i) Items().AddChild(Items().GetItem(i * 7 % Items().GetCount()), "n" + std::to_string(i));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::vector<TTreeNode*> preOrder;
        for (TTreeNode* n = Items().GetFirstNode(); n; n = n->GetNext()) preOrder.push_back(n);
        const int count = Items().GetCount();
        ASSERT_EQ(static_cast<int>(preOrder.size()), count);
        for (int i = 0; i < count; ++i) EXPECT_EQ(Items().GetItem(i), preOrder[static_cast<size_t>(i)]);
        for (int i = count - 1; i >= 0; --i) EXPECT_EQ(Items().GetItem(i), preOrder[static_cast<size_t>(i)]);
        for (int i = 0; i < count; ++i) {
            const int jump = i * 37 % count;
            EXPECT_EQ(Items().GetItem(jump), preOrder[static_cast<size_t>(jump)]);
            EXPECT_EQ(preOrder[static_cast<size_t>(jump)]->GetAbsoluteIndex(), jump);
        }
        for (int wrong : {-1, count, count + 1}) {
            try {
                Items().GetItem(wrong);
                ADD_FAILURE() << "no error for " << wrong;
            } catch (const ETreeViewError& e) {
                EXPECT_EQ(e.Message(), "Invalid index");
            }
        }
        Items().GetItem(count / 2);
        Items().GetItem(count / 2 - 1)->Delete();
    }
}

}  // namespace
