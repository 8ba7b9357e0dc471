#include "editor/MainLayout.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "editor/Main.h"
#include "editor/PlayerItemChange.h"
#include "editor/ProvinceEdit.h"
#include "editor/WindowParts.h"
#include "gui/ScrollBars.h"
#include "gui/SizeConstraints.h"

namespace thorn {

namespace {

constexpr const char* kNoProjectText =
    "Please, create a new project (by clicking the \"File->New project\") or load it (by clicking the "
    "\"File->Open project...\") from a file";

// A label that shows a value: fixed width across its parent, wrapped, as
// tall as its text's lines.
TLabel* PlaceValueLabel(TMainForm& form, TWinControl* parent, const char* name, int top) {
    TLabel* label = Place<TLabel>(form, parent, name);
    label->SetWordWrap(true);
    label->SetCaption("");
    label->SetBounds(16, top, parent->GetClientWidth() - 24, 13);
    label->SetAnchors({akLeft, akTop, akRight});
    label->SetAutoSize(true);
    return label;
}

// The labels of an info panel stand one under the other from top down, each
// below the one before by the gap it names; the panel is as tall as they
// are. A value's text (the income of every resource, the army of every unit
// type) wraps to as many lines as it needs at the page's width, and the
// grid above gives up the room.
struct StackedLabel {
    TLabel* label;
    int gap;
};

void StackLabels(TPanel& panel, int top, const std::vector<StackedLabel>& labels) {
    for (const StackedLabel& each : labels) {
        each.label->SetTop(top + each.gap);
        top = each.label->GetTop() + each.label->GetHeight();
    }
    panel.SetHeight(top + 2);
}

void StackInfoPanel(TPanel& panel, int top, std::vector<StackedLabel> labels) {
    auto stack = [&panel, top, labels](TObject*) { StackLabels(panel, top, labels); };
    for (const StackedLabel& each : labels)
        if (each.label->GetAutoSize()) each.label->OnResize = stack;
    stack(nullptr);
}

constexpr int kTitleGap = 3;  // above a title, below the value before it
constexpr int kValueGap = 1;  // between a title and its value

// A grid filling the rest of a page.
TrmInspector* PlacePageGrid(TMainForm& form, TWinControl* parent, const char* name) {
    TrmInspector* grid = PlaceGrid(form, parent, name);
    grid->SetAlign(alClient);
    grid->SetSplitPos(120);
    return grid;
}

TListView* PlaceList(TMainForm& form, TWinControl* parent, const char* name,
                     std::initializer_list<std::pair<const char*, int>> columns) {
    TListView* list = Place<TListView>(form, parent, name);
    list->SetViewStyle(vsReport);
    list->SetRowSelect(true);
    list->SetReadOnly(true);
    list->SetHideSelection(false);
    list->SetEnabled(false);
    for (auto [caption, width] : columns) {
        TListColumn* column = list->GetColumns()->Add();
        column->SetCaption(caption);
        if (width > 0)
            column->SetWidth(width);
        else
            column->SetAutoSize(true);
    }
    return list;
}

TToolBar* PlaceToolBar(TMainForm& form, TWinControl* parent, const char* name,
                       std::initializer_list<TAction*> actions) {
    TToolBar* bar = Place<TToolBar>(form, parent, name);
    bar->SetFlat(true);
    bar->SetEdgeBorders({});
    bar->SetImages(form.ImageList);
    bar->SetButtonWidth(29);
    bar->SetButtonHeight(26);
    for (TAction* action : actions) {
        TToolButton* button = Make<TToolButton>(form);
        button->SetParent(bar);
        button->SetAction(action);
    }
    return bar;
}

void AddSeparator(TMainForm& form, TToolBar* bar) {
    TToolButton* separator = Make<TToolButton>(form);
    separator->SetStyle(tbsSeparator);
    separator->SetWidth(8);
    separator->SetParent(bar);
}

void BuildToolBar(TMainForm& f) {
    f.ControlBar_View = PlacePanel(f, &f, "ControlBar_View", alTop, 36);
    f.TBrShow = Place<TToolBar>(f, f.ControlBar_View, "TBrShow");
    f.TBrShow->SetFlat(true);
    f.TBrShow->SetImages(f.ImageList);
    f.TBrShow->SetButtonWidth(29);
    f.TBrShow->SetButtonHeight(26);
    f.TBrShow->SetBounds(2, 2, 640, 30);
    f.TBrShow->SetAnchors({akLeft, akTop, akRight});
    std::initializer_list<TAction*> groups[] = {
        {f.ActNewProject, f.ActLoadProject, f.ActSaveProject},
        {f.ActZoomOut, f.ActZoomIn, f.ActZoomFill},
        {f.ActShowMissRMI, f.ActShowEventRMI},
        {f.ActShowOwnerColor, f.ActShowNeighbours, f.ActShowNames},
        {f.ActShowIcons, f.ActShowCastles, f.ActShowArmies, f.ActRecalcIconPlaces},
        {f.ActShowErrors, f.ActShowOptions},
    };
    bool first = true;
    for (const auto& group : groups) {
        if (!first) AddSeparator(f, f.TBrShow);
        first = false;
        for (TAction* action : group) {
            TToolButton* button = Make<TToolButton>(f);
            button->SetParent(f.TBrShow);
            button->SetAction(action);
            if (action == f.ActShowErrors) {
                button->SetName("BtnActShowErrors");
                f.BtnActShowErrors = button;
            }
        }
    }
}

void BuildPlayersPage(TMainForm& f) {
    f.TabSheetPlayers = Place<TTabSheet>(f, f.PgCMissionProperties, "TabSheetPlayers");
    f.TabSheetPlayers->SetCaption("Players and Domains");
    TTabSheet* page = f.TabSheetPlayers;

    TPanel* top = PlacePanel(f, page, "PlPlayers", alTop, 150);
    f.LblPlayers = PlaceLabel(f, top, "LblPlayers", "Players", 4, 2, true);
    f.LVPlayers = PlaceList(f, top, "LVPlayers", {{"Pl Number", 30}, {"Name", 90}, {"Skills", 49}, {"Ability", 60}});
    f.LVPlayers->SetCheckboxes(true);
    f.LVPlayers->GetColumns()->GetItem(2)->SetAlignment(taRightJustify);
    f.LVPlayers->GetColumns()->GetItem(3)->SetAlignment(taRightJustify);
    // The four columns take the page's whole width: the list has no frame
    // and is tall enough for the six player slots under the header with the
    // bar that scrolls the last pixels of the columns into view, so no
    // upright bar hides the right-aligned "Ability" column.
    f.LVPlayers->SetBorderStyle(bsNone);
    const int listHeight = f.LVPlayers->HeaderHeight() + CMapProject::kMaxPlayers * f.LVPlayers->GetRowHeight() +
                           thorn::kScrollBarSize;
    f.LVPlayers->SetBounds(0, 18, top->GetClientWidth(), listHeight);
    f.LVPlayers->SetAnchors({akLeft, akTop, akRight});
    const int propertiesTop = f.LVPlayers->GetTop() + listHeight + 5;
    f.LblPlayerProperties =
        PlaceLabel(f, top, "LblPlayerProperties", "Selected Player Properties", 4, propertiesTop, true);
    top->SetHeight(propertiesTop + f.LblPlayerProperties->GetHeight() + 4);

    TPanel* domain = PlacePanel(f, page, "PlDomainInfo", alBottom, 128);
    domain->SetWidth(225);
    f.BvlDomain = Place<TBevel>(f, domain, "BvlDomain");
    f.BvlDomain->SetShape(bsTopLine);
    f.BvlDomain->SetBounds(2, 2, 221, 4);
    f.BvlDomain->SetAnchors({akLeft, akTop, akRight});
    f.LblDomainInfo = PlaceLabel(f, domain, "LblDomainInfo", "Selected Player Domain Info", 4, 8, true);
    f.LblDomainSummaryTitle = PlaceLabel(f, domain, "LblDomainSummaryTitle", "Summary Info:", 8, 26);
    f.LblDomainSummary = PlaceValueLabel(f, domain, "LblDomainSummary", 40);
    f.LblDomainIncomeTitle = PlaceLabel(f, domain, "LblDomainIncomeTitle", "Total Resources Income:", 8, 56);
    f.LblDomainIncome = PlaceValueLabel(f, domain, "LblDomainIncome", 70);
    f.LblDomainArmyTitle = PlaceLabel(f, domain, "LblDomainArmyTitle", "Total Army:", 8, 86);
    f.LblDomainArmy = PlaceValueLabel(f, domain, "LblDomainArmy", 100);
    StackInfoPanel(*domain, 26,
                   {{f.LblDomainSummaryTitle, 0},
                    {f.LblDomainSummary, kValueGap},
                    {f.LblDomainIncomeTitle, kTitleGap},
                    {f.LblDomainIncome, kValueGap},
                    {f.LblDomainArmyTitle, kTitleGap},
                    {f.LblDomainArmy, kValueGap}});

    f.RMIPlayer = PlacePageGrid(f, page, "RMIPlayer");
}

void BuildProvincesPage(TMainForm& f) {
    f.TabSheetProvinces = Place<TTabSheet>(f, f.PgCMissionProperties, "TabSheetProvinces");
    f.TabSheetProvinces->SetCaption("Provinces");
    TTabSheet* page = f.TabSheetProvinces;

    f.PlProvince = PlacePanel(f, page, "PlProvince", alTop, 84);
    TPanel* buttons = PlacePanel(f, f.PlProvince, "PlProvButtons", alRight, 31);
    f.TBProvButtons = PlaceToolBar(f, buttons, "TBProvButtons", {f.ActAddProvince, f.ActDelProvince});
    f.TBProvButtons->SetAlign(alTop);
    f.TBProvButtons->SetAutoSize(true);
    f.ToolBar2 = PlaceToolBar(f, buttons, "ToolBar2", {f.ActRenProv});
    f.ToolBar2->SetAlign(alTop);
    f.ToolBar2->SetAutoSize(true);
    TPanel* list = PlacePanel(f, f.PlProvince, "PlProvinceList", alClient, 0);
    list->SetBorderWidth(2);
    TPanel* caption = PlacePanel(f, list, "PlProvinceCaption", alTop, 14);
    f.LblProvinces = PlaceLabel(f, caption, "LblProvinces", "Provinces", 2, 0, true);
    f.LVProvinces = PlaceList(f, list, "LVProvinces", {{"Province", 0}, {"Owner", 0}});
    f.LVProvinces->SetMultiSelect(true);
    f.LVProvinces->SetAlign(alClient);

    f.Splitter1 = Place<TSplitter>(f, page, "Splitter1");
    f.Splitter1->SetAlign(alTop);
    f.Splitter1->SetTop(f.PlProvince->GetHeight());
    f.Splitter1->SetHeight(3);
    f.Splitter1->SetMinSize(26);

    f.Panel2 = PlacePanel(f, page, "Panel2", alClient, 0);
    TPanel* head = PlacePanel(f, f.Panel2, "PlProvinceProperties", alTop, 18);
    f.LblProvinceProperties =
        PlaceLabel(f, head, "LblProvinceProperties", "Selected Province(s) Properties", 4, 3, true);
    TPanel* info = PlacePanel(f, f.Panel2, "PlSelProvInfo", alBottom, 128);
    info->SetWidth(225);
    f.LblSelProvInfo = PlaceLabel(f, info, "LblSelProvInfo", "Selected Provinces Info", 4, 6, true);
    f.LblSelProvSummaryTitle = PlaceLabel(f, info, "LblSelProvSummaryTitle", "Summary Info:", 8, 24);
    f.LblSelProvSummary = PlaceValueLabel(f, info, "LblSelProvSummary", 38);
    f.LblSelProvIncomeTitle = PlaceLabel(f, info, "LblSelProvIncomeTitle", "Total Resources Income:", 8, 54);
    f.LblSelProvIncome = PlaceValueLabel(f, info, "LblSelProvIncome", 68);
    f.LblSelProvArmyTitle = PlaceLabel(f, info, "LblSelProvArmyTitle", "Total Army:", 8, 84);
    f.LblSelProvArmy = PlaceValueLabel(f, info, "LblSelProvArmy", 98);
    StackInfoPanel(*info, 24,
                   {{f.LblSelProvSummaryTitle, 0},
                    {f.LblSelProvSummary, kValueGap},
                    {f.LblSelProvIncomeTitle, kTitleGap},
                    {f.LblSelProvIncome, kValueGap},
                    {f.LblSelProvArmyTitle, kTitleGap},
                    {f.LblSelProvArmy, kValueGap}});
    f.TBGenerateIncome = PlaceToolBar(f, info, "TBGenerateIncome", {f.ActGenerateIncome});
    // A tool bar takes the top edge of its parent unless told otherwise;
    // this one stands in the corner, beside the heading.
    f.TBGenerateIncome->SetAlign(alNone);
    f.TBGenerateIncome->SetBounds(194, 2, 31, 28);
    f.TBGenerateIncome->SetAnchors({akTop, akRight});
    f.RMIProvince = PlacePageGrid(f, f.Panel2, "RMIProvince");
}

void BuildWorldView(TMainForm& f) {
    f.Splitter = Place<TSplitter>(f, &f, "Splitter");
    f.Splitter->SetAlign(alLeft);
    f.Splitter->SetLeft(f.PgCMissionProperties->GetWidth());
    f.Splitter->SetWidth(3);
    f.Splitter->OnMoved = [&f](TObject* sender) { f.SplitterMoved(sender); };

    f.ScrBWorld = Place<TScrollBox>(f, &f, "ScrBWorld");
    f.ScrBWorld->SetAlign(alClient);
    f.ScrBWorld->Constraints().SetMinWidth(340);
    f.ScrBWorld->Constraints().SetMinHeight(400);
    f.ScrBWorld->SetParentColor(false);
    f.ScrBWorld->SetColor(clWindow);
    f.ScrBWorld->SetBorderStyle(bsNone);
    for (TControlScrollBar* bar : {&f.ScrBWorld->HorzScrollBar(), &f.ScrBWorld->VertScrollBar()}) {
        bar->SetIncrement(1);
        bar->SetTracking(true);
    }

    f.LblNoProject = Place<TLabel>(f, f.ScrBWorld, "LblNoProject");
    f.LblNoProject->SetAutoSize(false);
    f.LblNoProject->SetAlign(alClient);
    f.LblNoProject->SetAlignment(taCenter);
    f.LblNoProject->SetLayout(tlCenter);
    f.LblNoProject->SetWordWrap(true);
    f.LblNoProject->Font().SetStyle(fsBold);
    f.LblNoProject->SetCaption(kNoProjectText);

    f.ImgVWorld = Place<TImage32>(f, f.ScrBWorld, "ImgVWorld");
    f.ImgVWorld->SetBounds(8, 8, 100, 100);
    f.ImgVWorld->SetCursor(crHandPoint);
    f.ImgVWorld->SetBitmapAlign(baTopLeft);
    f.ImgVWorld->SetScaleMode(smScale);
    f.ImgVWorld->SetScale(1.0f);
    f.ImgVWorld->OnMouseDown = [&f](TObject* sender, TMouseButton button, TShiftState shift, int x, int y,
                                    TCustomLayer* layer) { f.ImgVWorldMouseDown(sender, button, shift, x, y, layer); };
    f.ImgVWorld->OnMouseMove = [&f](TObject* sender, TShiftState shift, int x, int y, TCustomLayer* layer) {
        f.ImgVWorldMouseMove(sender, shift, x, y, layer);
    };
    f.ImgVWorld->OnMouseUp = [&f](TObject* sender, TMouseButton button, TShiftState shift, int x, int y,
                                  TCustomLayer* layer) { f.ImgVWorldMouseUp(sender, button, shift, x, y, layer); };
}

void BuildStatusBar(TMainForm& f) {
    f.StatusBar = Place<TStatusBar>(f, &f, "StatusBar");
    f.StatusBar->SetAlign(alBottom);
    f.StatusBar->SetHeight(20);
    struct PanelSpec {
        const char* text;
        int width;
        TAlignment alignment;
    };
    // In the order of their indices, kCoordsPanel to kWorldSizePanel.
    for (const PanelSpec& spec : {PanelSpec{"Coords", 50, taCenter}, PanelSpec{"Mode", 50, taCenter},
                                  PanelSpec{"Help", 470, taLeftJustify}, PanelSpec{"Size", 50, taCenter}}) {
        TStatusPanel* panel = f.StatusBar->Panels().Add();
        panel->SetText(spec.text);
        panel->SetWidth(spec.width);
        panel->SetAlignment(spec.alignment);
    }
}

constexpr int kDesignMinHeight = 580;

void FitMainMinimumSize(TMainForm& f) {
    const TSize least = AlignedChildrenMinimum(f);
    f.Constraints().SetMinWidth(least.cx + f.GetWidth() - f.GetClientWidth());
    f.Constraints().SetMinHeight(std::max(kDesignMinHeight, least.cy + f.GetHeight() - f.GetClientHeight()));
}

}  // namespace

void BuildMainLayout(TMainForm& f) {
    f.SetName("MainForm");
    f.SetCaption("Thornvale II Map Editor");
    f.Font().SetName("Tahoma");
    f.Font().SetSize(8);
    f.SetPosition(poDesktopCenter);
    f.SetBounds(354, 211, 671, 580);
    f.Constraints().SetMinHeight(kDesignMinHeight);

    f.Bitmap32List = Make<TBitmap32List>(f);
    f.Bitmap32List->SetName("Bitmap32List");
    f.BLCastleImages = Make<TBitmap32List>(f);
    f.BLCastleImages->SetName("BLCastleImages");
    f.Timer = Make<TTimer>(f);
    f.Timer->SetName("Timer");
    f.Timer->SetEnabled(false);
    f.Timer->SetInterval(150);
    f.Timer->SetOnTimer([&f](TObject* sender) { f.TimerTimer(sender); });

    // Aligned controls take their room in the order they are placed: the
    // bars first, then the pages on the left, the splitter, the world view.
    BuildToolBar(f);
    BuildStatusBar(f);
    f.PgCMissionProperties = Place<TPageControl>(f, &f, "PgCMissionProperties");
    f.PgCMissionProperties->SetAlign(alLeft);
    f.PgCMissionProperties->SetWidth(233);
    f.PgCMissionProperties->Constraints().SetMinWidth(215);
    f.PgCMissionProperties->SetMultiLine(true);
    f.PgCMissionProperties->SetHotTrack(true);
    f.PgCMissionProperties->OnChange = [&f](TObject* sender) { f.PgCMissionPropertiesChange(sender); };
    BuildPlayersPage(f);
    BuildProvincesPage(f);
    f.PgCMissionProperties->SetActivePageIndex(0);
    BuildWorldView(f);
    // The window is never narrower than the pages beside the world view's
    // box at its least width, however wide the splitter made the pages.
    FitMainMinimumSize(f);
    f.PgCMissionProperties->OnResize = [&f](TObject*) { FitMainMinimumSize(f); };

    f.LVPlayers->OnSelectItem = [&f](TObject* sender, TListItem* item, bool selected) {
        f.LVPlayersSelectItem(sender, item, selected);
    };
    f.LVPlayers->OnChange = [&f](TObject* sender, TListItem* item, TItemChange change) {
        f.LVPlayersChange(sender, item, change);
    };
    f.LVProvinces->OnSelectItem = [&f](TObject* sender, TListItem* item, bool selected) {
        f.LVProvincesSelectItem(sender, item, selected);
    };
    f.RMIProvince->OnItemChange = [&f](TObject* sender) { f.RMIProvinceItemChange(sender); };
    f.RMIProvince->OnItemIndexChanged = [](TObject*) { ShowStoredProvinceName(); };
    f.RMIProvince->OnEditEnded = [](TObject*) { ShowStoredProvinceName(); };
    ConnectPlayerGrid(f);
}

}  // namespace thorn
