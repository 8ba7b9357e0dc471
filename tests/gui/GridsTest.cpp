#include <gtest/gtest.h>

#include <vector>

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Grids.h"
#include "gui/headless/HeadlessHost.h"

namespace {

// A 4 x 3 grid of 20 x 10 cells with one fixed row and column and lines
// between the cells; cell (2, 1) refuses to become current.
class DrawGrid : public ::testing::Test {
protected:
    DrawGrid() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 200, 100);
        grid = thorn::Make<TDrawGrid>(*form);
        grid->SetParent(form);
        grid->SetBorderStyle(bsNone);
        grid->SetBounds(0, 0, 150, 60);
        grid->SetColCount(4);
        grid->SetRowCount(3);
        grid->SetDefaultColWidth(20);
        grid->SetDefaultRowHeight(10);
        grid->OnSelectCell = [](TObject*, int col, int row, bool& can) { can = !(col == 2 && row == 1); };
        grid->OnDrawCell = [this](TObject*, int col, int row, TRect, TGridDrawState state) {
            if (state.Contains(gdFocused)) focusedDrawn.push_back(col * 10 + row);
        };
        form->Show();
        grid->SetFocus();
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TDrawGrid* grid = nullptr;
    std::vector<int> focusedDrawn;
};

TEST_F(DrawGrid, TheUsersMovesAreAskedAndStayOffTheFixedCells) {
    EXPECT_EQ(grid->CellRect(1, 1), (TRect{21, 11, 41, 21})) << "a line after each cell";
    int col = 0, row = 0;
    ASSERT_TRUE(grid->MouseToCell(45, 25, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 2);
    struct Case {
        TKey key;
        int col, row;
    };
    const Case moves[] = {
        {VK_RIGHT, 1, 1},  // (2, 1) refuses
        {VK_LEFT, 1, 1},   // column 0 is fixed
        {VK_DOWN, 1, 2},
        {VK_END, 3, 2},
        {VK_UP, 3, 1},
        {VK_HOME, 1, 1},
    };
    for (const Case& m : moves) {
        SCOPED_TRACE(m.key);
        host.PressKey(m.key);
        EXPECT_EQ(grid->GetCol(), m.col);
        EXPECT_EQ(grid->GetRow(), m.row);
    }
    // A press on a cell makes it current; on a fixed one it does nothing.
    host.Click(*form, 70, 25);
    EXPECT_EQ(grid->GetCol(), 3);
    EXPECT_EQ(grid->GetRow(), 2);
    host.Click(*form, 5, 5);
    EXPECT_EQ(grid->GetCol(), 3);
    // The program's moves are not asked.
    grid->SetCell(2, 1);
    EXPECT_EQ(grid->GetCol(), 2);
    focusedDrawn.clear();
    Application->ProcessMessages();
    EXPECT_EQ(focusedDrawn, std::vector<int>{21}) << "the current cell is drawn focused";
}

}  // namespace
