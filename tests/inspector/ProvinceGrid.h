#pragma once

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"
#include "platform/ClassRegistry.h"

namespace thorn::test {

// A grid filled the way the editor fills its province grid: rows found by
// key and made when missing, captions set afterwards, groups open.
//
//   0 Name          string
//   1 Owner         combo: none, Red, Blue
//   2 Resources     group
//   3   Gold        safe integer 0..255
//   4   Stone       safe integer 0..255
//   5   Iron        safe integer 0..255
//   6 Castle        three-state box, open, with children
//   7   Hit Points  combo: 0% .. 100%
//   8   Moat        three-state box
//   9 Guardian Army group
//  10   Archers     safe integer 0..99999
//  11   Knights     safe integer 0..99999
//  12 Active       check box
class ProvinceGridFixture {
public:
    explicit ProvinceGridFixture(int width = 260, int height = 300) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, width + 40, height + 40);
        grid = thorn::Make<TrmInspector>(*form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, width, height);
        grid->SetSplitPos(110);
        Fill(*grid);
        form->Show();
        session.App().ProcessMessages();
    }

    static TrmCustomInspectorItem* GetOrAdd(TrmInspector& grid, TrmTreeNonViewNode* parent, const char* kind,
                                            const std::string& key, const std::string& caption) {
        TrmCustomInspectorItem* item = grid.GetItemByName(key);
        if (!item) {
            item = grid.AddItem(parent, FindClass(kind));
            item->SetName(key);
        }
        item->GetNode()->SetText(caption);
        return item;
    }

    static void Fill(TrmInspector& grid) {
        GetOrAdd(grid, nullptr, "TrmStringInspectorItem", "ProvName", "Name");
        auto* owner = static_cast<TrmComboInspectorItem*>(
            GetOrAdd(grid, nullptr, "TrmComboInspectorItem", "Owner", "Owner"));
        for (const char* choice : {"none", "Red", "Blue"}) owner->GetItems().Add(choice);
        owner->SetValue("none");
        TrmTreeNonViewNode* resources =
            GetOrAdd(grid, nullptr, "TrmNodeInspectorItem", "Resour", "Resources")->GetNode();
        resources->SetExpanded(true);
        int i = 0;
        for (const char* name : {"Gold", "Stone", "Iron"}) {
            const std::string key = "Res_" + std::to_string(i++);
            GetOrAdd(grid, resources, "TrmSafeIntegerInspectorItem", key, name)->SetStringValue(std::to_string(i * 10));
        }
        TrmTreeNonViewNode* castle =
            GetOrAdd(grid, nullptr, "TrmCheckBoxExInspectorItem", "Castle", "Castle")->GetNode();
        castle->SetExpanded(true);
        auto* hp = static_cast<TrmComboInspectorItem*>(
            GetOrAdd(grid, castle, "TrmComboInspectorItem", "CastHP", "Hit Points"));
        for (const char* choice : {"0%", "25%", "50%", "75%", "100%"}) hp->GetItems().Add(choice);
        hp->SetValue("50%");
        GetOrAdd(grid, castle, "TrmCheckBoxExInspectorItem", "CastMoat", "Moat")->SetStringValue("True");
        TrmTreeNonViewNode* army = GetOrAdd(grid, nullptr, "TrmNodeInspectorItem", "Army", "Guardian Army")->GetNode();
        army->SetExpanded(true);
        i = 0;
        for (const char* name : {"Archers", "Knights"}) {
            auto* count = static_cast<TrmSafeIntegerInspectorItem*>(
                GetOrAdd(grid, army, "TrmSafeIntegerInspectorItem", "Army_" + std::to_string(i++), name));
            count->SetMaxValue(99999);
        }
        GetOrAdd(grid, nullptr, "TrmCheckBoxInspectorItem", "Active", "Active");
        grid.Invalidate();
    }

    // A point of the grid's client area, on the form.
    TPoint At(int x, int y) const { return {grid->GetLeft() + x, grid->GetTop() + y}; }
    // The middle of row's value cell (or caption cell), in form coordinates.
    TPoint ValueOf(int row) const {
        return At(grid->GetSplitPos() + 40, (row - grid->GetVScrollPos()) * grid->RowHeight() + grid->RowHeight() / 2);
    }
    TPoint CaptionOf(int row) const {
        return At(30, (row - grid->GetVScrollPos()) * grid->RowHeight() + grid->RowHeight() / 2);
    }
    void Click(TPoint p) { host.Click(*form, p.X, p.Y); }
    TColor32 Pixel(int x, int y) const { return host.PixelAt(*form, grid->GetLeft() + x, grid->GetTop() + y); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmInspector* grid = nullptr;
};

}  // namespace thorn::test
