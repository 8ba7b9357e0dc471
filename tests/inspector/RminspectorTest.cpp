#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProvinceGrid.h"
#include "platform/Filer.h"

namespace {

using thorn::test::ProvinceGridFixture;

const thorn::ClassInfo& Kind(const char* name) { return FindClass(name); }

std::string Path(std::initializer_list<const char*> parts) {
    std::string path;
    for (const char* part : parts) path += std::string(1, '\x01') + part;
    return path;
}

// Every row's path, class, name and value, one line each.
std::vector<std::string> Rows(const TrmInspector& grid) {
    std::vector<std::string> rows;
    for (TrmTreeNonViewNode* node = grid.GetItems().GetFirstNode(); node; node = node->GetNext()) {
        std::string line = node->GetNodePath();
        for (char& ch : line)
            if (ch == '\x01') ch = '/';
        if (auto* item = dynamic_cast<TrmCustomInspectorItem*>(node->GetData()))
            line += " " + thorn::ClassName(*item) + " " + item->GetName() + "=" + item->GetAsString();
        rows.push_back(line);
    }
    return rows;
}

class InspectorGrid : public ::testing::Test, public ProvinceGridFixture {};

TEST_F(InspectorGrid, NewRowsAreNamedAfterTheirClass) {
    grid->ClearItems();
    for (int i = 0; i < 3; ++i) grid->AddItem(nullptr, Kind("TrmStringInspectorItem"));
    grid->AddItem(nullptr, Kind("TrmIntegerInspectorItem"));
    grid->AddItem(nullptr, Kind("TrmNodeInspectorItem"));
    EXPECT_EQ(Rows(*grid), (std::vector<std::string>{
                               "/New Item1 TrmStringInspectorItem rmStringInspectorItem1=<Empty Value>",
                               "/New Item2 TrmStringInspectorItem rmStringInspectorItem2=<Empty Value>",
                               "/New Item3 TrmStringInspectorItem rmStringInspectorItem3=<Empty Value>",
                               "/New Item4 TrmIntegerInspectorItem rmIntegerInspectorItem1=0",
                               "/New Item5 TrmNodeInspectorItem rmNodeInspectorItem1=",
                           }));
    // A child below a row named by its item.
    TrmCustomInspectorItem* child = grid->AddItem("rmNodeInspectorItem1", Kind("TrmBlankInspectorItem"));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(grid->GetCurrentPath(), "");
    EXPECT_EQ(child->GetNode()->GetNodePath(), Path({"New Item5", "New Item1"}));
    EXPECT_EQ(grid->ParentPath(child->GetNode()->GetNodePath()), Path({"New Item5"}));
    EXPECT_EQ(grid->AddItem("rmnodeinspectoritem1", Kind("TrmBlankInspectorItem")), nullptr)
        << "names are found with their case";
    EXPECT_EQ(grid->FindInspectorItem(Path({"New Item2"}))->GetName(), "rmStringInspectorItem2");

    struct Refusal {
        const char* what;
        std::function<void()> act;
        const char* message;
    };
    const Refusal refusals[] = {
        {"a path that has a row",
         [&] { grid->AddInspectorItem(Path({"New Item1"}), "x", Kind("TrmStringInspectorItem")); },
         "The specified path item already exists"},
        {"a path without a row", [&] { grid->SetCurrentPath(Path({"Nowhere"})); }, "Unable to find Inspector Item"},
        {"a value the kind refuses",
         [&] { grid->AddInspectorItem(Path({"Count"}), "many", Kind("TrmIntegerInspectorItem")); },
         "'many' is not a valid integer value"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        try {
            r.act();
            ADD_FAILURE() << "nothing raised";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), r.message);
        }
    }
    EXPECT_THROW(grid->AddInspectorItem(Path({"New Item1"}), "x", Kind("TrmStringInspectorItem")), EAbort);
    EXPECT_EQ(grid->GetItems().GetCount(), 6) << "a refused row leaves nothing behind";

    // A group out of sight sums up a row added below it at once.
    grid->SetHeight(2 * grid->RowHeight());
    grid->AddInspectorItem(Path({"New Item5", "Tax"}), "7", Kind("TrmIntegerInspectorItem"));
    EXPECT_EQ(grid->GetItemByName("rmNodeInspectorItem1")->GetAsString(), "(, 7)");

    // Numbers a row gave up, by going or by a new name, are given again.
    grid->RemoveItem("rmStringInspectorItem2");
    grid->GetItemByName("rmStringInspectorItem3")->SetName("Renamed");
    for (const char* expected : {"/New Item2 TrmStringInspectorItem rmStringInspectorItem2=<Empty Value>",
                                 "/New Item6 TrmStringInspectorItem rmStringInspectorItem3=<Empty Value>"}) {
        TrmTreeNonViewNode* node = grid->AddItem(nullptr, Kind("TrmStringInspectorItem"))->GetNode();
        grid->GetItems().Move(grid->GetItems().GetIndex(node), 0);
        EXPECT_EQ(Rows(*grid).front(), expected);
    }
}

TEST_F(InspectorGrid, SelectingARowOpensItsEditor) {
    struct Case {
        int index;
        int selected;
        const char* item;   // "" for a row without editor
        const char* editorClass;
    };
    const Case cases[] = {
        {0, 0, "ProvName", "TrmInspectorEdit"},         {1, 1, "Owner", "TrmInspectorBtnCombo"},
        {2, 2, "", ""},                                  {3, 3, "Res_0", "TrmSafeSpinEdit"},
        {6, 6, "Castle", "TrmInspectorCheckBoxEx"},      {12, 12, "Active", "TrmInspectorCheckBox"},
        {50, 12, "Active", "TrmInspectorCheckBox"},      {9, 9, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        grid->SetItemIndex(c.index);
        session.App().ProcessMessages();
        EXPECT_EQ(grid->GetItemIndex(), c.selected);
        TrmCustomInspectorItem* current = grid->GetCurrentInspectorItem();
        EXPECT_EQ(current ? current->GetName() : "", c.item);
        TWinControl* editor = grid->GetEditor();
        EXPECT_EQ(editor ? thorn::ClassName(*editor) : "", c.editorClass);
        if (editor) {
            EXPECT_EQ(editor->GetName(), std::string(c.item) + "_editor");
        }
        int editors = 0;
        for (int i = 0; i < grid->GetComponentCount(); ++i)
            if (dynamic_cast<TWinControl*>(grid->GetComponent(i))) ++editors;
        EXPECT_EQ(editors, editor ? 1 : 0) << "one editor at a time, the closed ones freed";
    }
    // From a row without editor, -1 changes nothing.
    grid->SetItemIndex(-1);
    EXPECT_EQ(grid->GetItemIndex(), 9);
    // A veto keeps everything; the row already current asks nothing.
    std::vector<std::string> asked;
    bool allow = false;
    grid->OnItemIndexChanging = [&](TrmCustomInspectorItem* from, TrmCustomInspectorItem* to, bool& allowChange) {
        asked.push_back((from ? from->GetName() : "-") + ">" + (to ? to->GetName() : "-"));
        allowChange = allow;
    };
    grid->SetItemIndex(0);
    EXPECT_EQ(grid->GetItemIndex(), 9);
    allow = true;
    grid->SetItemIndex(0);
    grid->SetItemIndex(0);
    grid->SetItemIndex(-7);
    EXPECT_EQ(grid->GetItemIndex(), -1);
    EXPECT_EQ(grid->GetEditor(), nullptr);
    EXPECT_EQ(asked, (std::vector<std::string>{"->ProvName", "->ProvName", "ProvName>-"}));
}

TEST_F(InspectorGrid, GroupRowsSumUpTheirChildren) {
    auto value = [&](const char* name) { return grid->GetItemByName(name)->GetAsString(); };
    EXPECT_EQ(value("Resour"), "(10, 20, 30)");
    EXPECT_EQ(value("Army"), "(, )");
    grid->GetItemByName("Army_1")->SetStringValue("7");
    EXPECT_EQ(value("Army"), "(, 7)") << "a value reaches its group at once";
    // A child group shows as (...); a child that is no group but has
    // children turns the whole summary into (...).
    TrmTreeNonViewNode* army = grid->GetItemByName("Army")->GetNode();
    TrmCustomInspectorItem* nested = grid->AddItem(army, Kind("TrmNodeInspectorItem"));
    EXPECT_EQ(value("Army"), "(, 7, (...))");
    grid->AddItem(grid->GetItemByName("Army_0")->GetNode(), Kind("TrmBlankInspectorItem"));
    EXPECT_EQ(value("Army"), "(...)");
    grid->RemoveItem(nested->GetName());
    grid->ClearNode("Army_0");
    EXPECT_EQ(value("Army"), "(, 7)");

    // Check-box children show their texts.
    TrmCustomInspectorItem* flags = grid->AddItem(nullptr, Kind("TrmNodeInspectorItem"));
    for (const char* state : {"False", "False", "True"})
        grid->AddItem(flags->GetNode(), Kind("TrmCheckBoxInspectorItem"))->SetStringValue(state);
    EXPECT_EQ(flags->GetAsString(), "(False, False, True)");
}

TEST_F(InspectorGrid, EveryEditIsReportedWithTheEditorAsSender) {
    std::vector<std::string> changes;
    grid->OnItemChange = [&](TObject* sender) {
        EXPECT_EQ(sender, grid->GetEditor());
        changes.push_back(grid->GetCurrentInspectorItem()->GetName() + "=" +
                          grid->GetCurrentInspectorItem()->GetAsString());
    };
    grid->SetItemIndex(0);
    grid->GetEditor()->SetFocus();
    host.TypeText("Ab");
    EXPECT_EQ(changes, (std::vector<std::string>{"ProvName=A", "ProvName=Ab"}));
    EXPECT_EQ(grid->GetItemByName("ProvName")->GetAsString(), "Ab");
    // What the program shows in an editor is no edit.
    grid->GetItemByName("ProvName")->SetStringValue("Stone Hill");
    session.App().ProcessMessages();
    EXPECT_EQ(grid->GetEditor()->GetText(), "Stone Hill");
    grid->SetItemIndex(6);
    grid->GetItemByName("Castle")->SetStringValue("True");
    session.App().ProcessMessages();
    EXPECT_EQ(changes.size(), 2u);
    EXPECT_EQ(dynamic_cast<TrmCheckBoxEx&>(*grid->GetEditor()).GetValue(), cbxTrue);
}

TEST_F(InspectorGrid, DeletingRowsClosesTheirEditor) {
    struct Case {
        const char* what;
        std::function<void()> remove;
        int selected;  // the row selected afterwards
        int changes;   // OnItemIndexChanged
    };
    int changed = 0;
    grid->OnItemIndexChanged = [&](TObject*) { ++changed; };
    const Case cases[] = {
        {"the row's group deleted by path", [&] { grid->DeleteItem(Path({"Resources"})); }, -1, 1},
        {"every row cleared", [&] { grid->ClearItems(); }, -1, 1},
        {"the rows below the group cleared", [&] { grid->ClearNode("Resour"); }, -1, 1},
        // The row stays, without an item.
        {"the item freed by itself", [&] { thorn::Free(grid->GetItemByName("Res_1")); }, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid->ClearItems();
        Fill(*grid);
        grid->SetItemIndex(4);
        ASSERT_NE(grid->GetEditor(), nullptr);
        TWinControl* editor = grid->GetEditor();
        editor->SetFocus();
        changed = 0;
        c.remove();
        session.App().ProcessMessages();
        EXPECT_EQ(grid->GetEditor(), nullptr);
        EXPECT_EQ(grid->GetCurrentInspectorItem(), nullptr);
        EXPECT_EQ(grid->GetItemIndex(), c.selected);
        EXPECT_EQ(changed, c.changes);
        // Keys and a new selection find nothing of the old row.
        host.TypeText("5");
        host.PressKey(VK_DOWN);
        grid->SetItemIndex(0);
        EXPECT_EQ(grid->GetCurrentInspectorItem(), grid->GetItemByName("ProvName"));
    }
}

TEST_F(InspectorGrid, RowsAboveTheSelectionMovingKeepItOnItsRow) {
    struct Case {
        const char* selected;
        bool editor;
    };
    // A row with its editor, and a group row, which has none (the editor
    // removes the name row above it when a second province is selected).
    for (const Case& c : {Case{"Army_1", true}, Case{"Army", false}}) {
        SCOPED_TRACE(c.selected);
        grid->ClearItems();
        Fill(*grid);
        TrmCustomInspectorItem* selected = grid->GetItemByName(c.selected);
        grid->SetItemIndex(grid->VisibileItemIndex(selected));
        ASSERT_EQ(grid->GetEditor() != nullptr, c.editor);
        grid->RemoveItem("Res_0");
        EXPECT_EQ(grid->GetItemIndex(), c.editor ? 10 : 8);
        grid->RemoveItem("ProvName");
        EXPECT_EQ(grid->GetItemIndex(), c.editor ? 9 : 7);
        grid->AddInspectorItem(Path({"Fields"}), "3", Kind("TrmIntegerInspectorItem"));
        grid->MoveItem(Path({"Fields"}), "");
        EXPECT_EQ(grid->GetItemIndex(), c.editor ? 10 : 8);
        EXPECT_EQ(grid->GetVisibleItem(grid->GetItemIndex()), selected->GetNode());
        EXPECT_EQ(grid->GetCurrentInspectorItem(), c.editor ? selected : nullptr);
    }
}

TEST_F(InspectorGrid, AGridReadBackFromAFormStreamHoldsTheSameRows) {
    grid->SetName("RMIProvince");
    grid->SetSplitResize(true);
    grid->GetItemByName("Army_0")->SetStringValue("");
    grid->GetItemByName("Army_1")->SetStringValue("4500");
    // Either way from what the kind starts with.
    grid->GetItemByName("ProvName")->SetEditabled(false);
    grid->GetItemByName("Army")->SetEditabled(true);
    grid->SetItemIndex(4);
    TMemoryStream stream;
    thorn::WriteComponent(stream, *grid);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(stream);
    auto* copy = dynamic_cast<TrmInspector*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Rows(*copy), Rows(*grid));
    for (TrmTreeNonViewNode* node = grid->GetItems().GetFirstNode(); node; node = node->GetNext()) {
        const auto* item = dynamic_cast<TrmCustomInspectorItem*>(node->GetData());
        SCOPED_TRACE(item->GetName());
        EXPECT_EQ(copy->GetItemByName(item->GetName())->GetEditabled(), item->GetEditabled());
    }
    EXPECT_TRUE(copy->GetSplitResize());
    EXPECT_EQ(copy->GetItemIndex(), 4);
    auto* army = dynamic_cast<TrmSafeIntegerInspectorItem*>(copy->GetItemByName("Army_1"));
    ASSERT_NE(army, nullptr);
    EXPECT_EQ(army->GetMaxValue(), 99999);
    EXPECT_EQ(army->GetOwner(), copy) << "the rows' items belong to the grid read";
    EXPECT_EQ(copy->GetNodeByItem(army), army->GetNode());
    auto* hp = dynamic_cast<TrmComboInspectorItem*>(copy->GetItemByName("CastHP"));
    ASSERT_NE(hp, nullptr);
    EXPECT_EQ(hp->GetItems().GetCount(), 5);
    // The copy's items edit and sum up like any other.
    army->SetStringValue("12");
    EXPECT_EQ(copy->GetItemByName("Army")->GetAsString(), "(, 12)");
    // Another grid takes the rows with copies of their items.
    grid->ClearItems();
    grid->AssignItems(copy->GetItems());
    EXPECT_EQ(Rows(*grid), Rows(*copy));
    EXPECT_EQ(grid->GetItemByName("Army_1")->GetOwner(), grid);
}

TEST_F(InspectorGrid, AGridNobodyOwnsGoesWithItsEditorOpen) {
    TMemoryStream stream;
    thorn::WriteComponent(stream, *grid);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(stream);
    auto* copy = dynamic_cast<TrmInspector*>(read.get());
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetOwner(), nullptr);
    grid->SetVisible(false);
    copy->SetParent(form);
    copy->SetBounds(grid->GetLeft(), grid->GetTop(), grid->GetWidth(), grid->GetHeight());
    copy->SetSplitPos(grid->GetSplitPos());
    Click(ValueOf(0));
    host.TypeText("Wold");
    thorn::ComponentRef<TWinControl> editor(copy->GetEditor());
    ASSERT_TRUE(editor);
    EXPECT_EQ(copy->GetItemByName("ProvName")->GetAsString(), "Wold");
    read.reset();
    EXPECT_FALSE(editor);
    grid->SetVisible(true);
    Click(ValueOf(0));
    EXPECT_NE(grid->GetEditor(), nullptr) << "the form goes on with its own grid";
}

}  // namespace
