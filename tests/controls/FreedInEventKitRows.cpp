// The platform kit's controls in the table of controls freed inside their
// own events.

#include "FreedInEvent.h"
#include "FreedInEventTrees.h"
#include "gui/ActnList.h"
#include "gui/Bevel.h"
#include "gui/BitBtn.h"
#include "gui/Buttons.h"
#include "gui/CheckBox.h"
#include "gui/ColorDialog.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/ExtDlgs.h"
#include "gui/FontDialog.h"
#include "gui/Grids.h"
#include "gui/ImageList.h"
#include "gui/GroupBox.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/ListView.h"
#include "gui/Memo.h"
#include "gui/Menus.h"
#include "gui/PageControl.h"
#include "gui/Panel.h"
#include "gui/ProgressBar.h"
#include "gui/ScrollBox.h"
#include "gui/Splitter.h"
#include "gui/StatusBar.h"
#include "gui/Timers.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "gui/TrackBar.h"
#include "gui/TreeView.h"
#include "platform/StringList.h"
#include "platform/Streams.h"

namespace thorn::test {

namespace {

const char* const kWords[] = {"Alder", "Birch", "Cedar", "Damson", "Elm", "Fir", "Gorse", "Hazel", "Ivy", "Juniper"};

template <typename C>
void Fill(C& c, int count) {
    for (int i = 0; i < count; ++i) c.GetItems()->Add(kWords[i % 10] + std::to_string(i / 10));
}

// A list that shows more rows than fit, so the wheel scrolls it.
template <typename C>
std::function<TComponent*(FreeKit&)> Filled(int width, int height, int count) {
    return [=](FreeKit& k) -> TComponent* {
        auto* c = static_cast<C*>(Placed<C>(10, 10, width, height)(k));
        Fill(*c, count);
        return c;
    };
}

// The first row of a list control, a little inside it.
TPoint FirstRow(TControl&) { return {12, 8}; }

std::function<TComponent*(FreeKit&)> MakeComboBox(TComboBoxStyle style) {
    return [style](FreeKit& k) -> TComponent* {
        auto* c = static_cast<TComboBox*>(Placed<TComboBox>(10, 10, 150, 21)(k));
        c->SetStyle(style);
        Fill(*c, 5);
        return c;
    };
}

// The arrow button at the right end of a combo box.
TPoint ArrowOf(TControl& c) { return {c.GetWidth() - 8, c.GetHeight() / 2}; }

std::vector<EventCase> ComboEvents() {
    using C = TComboBox;
    return {
        On<C>("OnChange", &C::OnChange, [](FreeKit& k, C& c) { k.Focus(c, {VK_DOWN}); }),
        On<C>("OnSelect", &C::OnSelect, [](FreeKit& k, C& c) { k.Focus(c, {VK_DOWN}); }),
        On<C>("OnDropDown", &C::OnDropDown, [](FreeKit& k, C& c) { k.Click(c, ArrowOf(c)); }),
        On<C>("OnCloseUp on Tab", &C::OnCloseUp, [](FreeKit& k, C& c) { k.Focus(c, {VK_F4, VK_TAB}); }),
        On<C>("OnCloseUp on a pick", &C::OnCloseUp, [](FreeKit& k, C& c) { k.Focus(c, {VK_F4, VK_DOWN, VK_RETURN}); }),
        On<C>("OnCloseUp on a click elsewhere", &C::OnCloseUp, [](FreeKit& k, C& c) {
            k.Click(c, ArrowOf(c));
            k.Click(k.Bystander());
        }),
    };
}

// The program changes a list's items: a variable-height list measures its
// rows again (the drop-down of a combo box while it is dropped).
template <typename C>
EventCase MeasureOnItems(const std::string& change, std::function<void(FreeKit&, C&)> prepare,
                         std::function<void(TStrings&)> edit) {
    return OnChangeAfter<C>("OnMeasureItem on " + change, &C::OnMeasureItem, std::move(prepare),
                            [edit = std::move(edit)](FreeKit&, C& c) { edit(*c.GetItems()); });
}

void DropList(FreeKit& k, TComboBox& c) { k.Click(c, ArrowOf(c)); }

void MeasuredRows(FreeKit&, TListBox& c) { c.SetStyle(lbOwnerDrawVariable); }

void AssignWords(TStrings& items) {
    TStringList words;
    for (const char* word : kWords) words.Add(word);
    items.Assign(words);
}

void LoadWords(TStrings& items) {
    const std::string_view text = "Oak\r\nAsh\r\n";
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    stream.SetPosition(0);
    items.LoadFromStream(stream);
}

// A plain edit on a page or a panel.
TEdit* EditOn(FreeKit& k, TWinControl& parent) {
    auto* edit = thorn::Make<TEdit>(k.Form());
    edit->SetParent(&parent);
    edit->SetBounds(10, 10, 100, 21);
    return edit;
}

TTreeView* MakeTree(FreeKit& k) {
    auto* tree = static_cast<TTreeView*>(Placed<TTreeView>(10, 10, 200, 150)(k));
    TTreeNode* fruit = tree->GetItems()->AddChild(nullptr, "Fruit");
    tree->GetItems()->AddChild(fruit, "Apple");
    tree->GetItems()->AddChild(fruit, "Pear");
    tree->GetItems()->AddChild(nullptr, "Trees");
    return tree;
}

// A page control with the pages One and Two; answers the first.
TTabSheet& MakePages(FreeKit& k) {
    auto* pages = static_cast<TPageControl*>(Placed<TPageControl>(10, 10, 200, 150)(k));
    TTabSheet* first = nullptr;
    for (const char* caption : {"One", "Two"}) {
        auto* sheet = thorn::Make<TTabSheet>(k.Form());
        sheet->SetPageControl(pages);
        sheet->SetCaption(caption);
        if (!first) first = sheet;
    }
    return *first;
}

// A point on the tab of a page.
TPoint TabOf(const TPageControl& pages, int index) {
    const TRect tab = pages.TabRect(index);
    return {tab.Left + 5, tab.Top + 5};
}

// A tool bar with one button; answers the button.
TToolButton& MakeToolButton(FreeKit& k) {
    auto* bar = static_cast<TToolBar*>(Placed<TToolBar>(10, 10, 200, 30)(k));
    auto* button = thorn::Make<TToolButton>(k.Form());
    button->SetParent(bar);
    return *button;
}

// A menu item of the kit's form under parent.
TMenuItem* AddItem(FreeKit& k, TMenuItem& parent, const char* caption, TShortCut shortCut = scNone) {
    auto* item = thorn::Make<TMenuItem>(k.Form());
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    parent.Add(item);
    return item;
}

// OnClick of the first item that runs a command (the first item of the
// first sub-menu, or the first item).
EventCase OnFirstItem(std::string name, std::function<void(FreeKit&)> fire) {
    return {std::move(name),
            [](FreeKit& k, TComponent& c) {
                TMenuItem* item = dynamic_cast<TMenu&>(c).GetItems()->GetItem(0);
                if (item->GetCount() > 0) item = item->GetItem(0);
                item->OnClick = Freeing<TNotifyEvent>::Handler(k);
            },
            [fire = std::move(fire)](FreeKit& k, TComponent&) { fire(k); }};
}

// A button on the form that runs what it is given on a click.
TButton* Starter(FreeKit& k, std::function<void()> run) {
    auto* button = thorn::Make<TButton>(k.Form());
    button->SetParent(&k.Form());
    button->SetBounds(200, 250, 80, 25);
    button->OnClick = [run = std::move(run)](TObject*) { run(); };
    return button;
}

// A common dialog started from a button and cancelled.
template <typename D>
ControlRow DialogRow(std::string name) {
    const auto start = [](FreeKit& k, D& d) {
        ComponentRef<D> dialog(&d);
        TButton* button = Starter(k, [dialog] {
            if (dialog) dialog->Execute();
        });
        k.Host().CancelDialog();
        k.Click(*button);
    };
    return {std::move(name),
            [](FreeKit& k) -> TComponent* { return thorn::Make<D>(k.Form()); },
            {On<D>("OnShow", &D::OnShow, start), On<D>("OnClose", &D::OnClose, start)},
            {.keyboard = false, .mouse = false}};
}

}  // namespace

std::vector<ControlRow> KitRows() {
    const auto chooseItem = [](FreeKit& k, TListView& c) { k.Click(c, {20, 30}); };
    std::vector<ControlRow> rows = {
        {"TButton",
         Placed<TButton>(10, 10, 80, 25),
         {On<TButton>("OnClick", &TButton::OnClick, [](FreeKit& k, TButton& c) { k.Click(c); }),
          On<TButton>("OnClick on Space", &TButton::OnClick, [](FreeKit& k, TButton& c) { k.Focus(c, {VK_SPACE}); })}},
        {"TBitBtn",
         Placed<TBitBtn>(10, 10, 80, 25),
         {On<TBitBtn>("OnClick", &TBitBtn::OnClick, [](FreeKit& k, TBitBtn& c) { k.Click(c); })}},
        {"TCheckBox",
         Placed<TCheckBox>(10, 10, 120, 21),
         {On<TCheckBox>("OnClick", &TCheckBox::OnClick, [](FreeKit& k, TCheckBox& c) { k.Click(c); }),
          On<TCheckBox>("OnClick on Space", &TCheckBox::OnClick, [](FreeKit& k, TCheckBox& c) { k.Focus(c, {VK_SPACE}); })}},
        {"TLabel",
         [](FreeKit& k) -> TComponent* {
             auto* label = static_cast<TLabel*>(Placed<TLabel>(10, 10, 120, 21)(k));
             label->SetAutoSize(false);
             label->SetCaption("Label");
             label->SetBounds(10, 10, 120, 21);
             return label;
         },
         {},
         {.keyboard = false}},
        {"TBevel", Placed<TBevel>(10, 10, 120, 40), {}, {.keyboard = false}},
        {"TPanel", Placed<TPanel>(10, 10, 150, 100), {}, {.keyboard = false}},
        {"TGroupBox", Placed<TGroupBox>(10, 10, 150, 100), {}, {.keyboard = false}},
        {"TProgressBar", Placed<TProgressBar>(10, 10, 150, 20), {}, {.keyboard = false}},
        {"TStatusBar", Placed<TStatusBar>(10, 10, 150, 20), {}, {.keyboard = false}},
        {"TEdit",
         Placed<TEdit>(10, 10, 120, 21),
         {On<TEdit>("OnChange", &TEdit::OnChange, [](FreeKit& k, TEdit& c) {
             k.Focus(c);
             k.Type("a");
         })}},
        // The focused edit's page, or its panel, goes out of sight.
        {"TEdit (on a page)",
         [](FreeKit& k) -> TComponent* { return EditOn(k, MakePages(k)); },
         {On<TEdit>("OnExit on a click on another tab", &TEdit::OnExit,
                    [](FreeKit& k, TEdit& c) {
                        auto& pages = *static_cast<TTabSheet*>(c.GetParent())->GetPageControl();
                        k.Focus(c);
                        k.Click(pages, TabOf(pages, 1));
                    }),
          On<TEdit>("OnExit on Ctrl+Tab", &TEdit::OnExit,
                    [](FreeKit& k, TEdit& c) {
                        k.Focus(c);
                        k.Key(VK_TAB, {ssCtrl});
                    })},
         {.keyboard = false, .mouse = false}},
        {"TEdit (on a panel)",
         [](FreeKit& k) -> TComponent* {
             return EditOn(k, *static_cast<TPanel*>(Placed<TPanel>(10, 10, 150, 100)(k)));
         },
         {On<TEdit>("OnExit when its panel is hidden", &TEdit::OnExit,
                    [](FreeKit& k, TEdit& c) {
                        k.Focus(c);
                        c.GetParent()->SetVisible(false);
                    }),
          On<TEdit>("OnExit when its panel is disabled", &TEdit::OnExit,
                    [](FreeKit& k, TEdit& c) {
                        k.Focus(c);
                        c.GetParent()->SetEnabled(false);
                    })},
         {.keyboard = false, .mouse = false}},
        {"TMemo",
         [](FreeKit& k) -> TComponent* {
             auto* memo = static_cast<TMemo*>(Placed<TMemo>(10, 10, 150, 100)(k));
             for (int i = 0; i < 20; ++i) memo->GetLines()->Add(kWords[i % 10]);
             return memo;
         },
         {On<TMemo>("OnChange", &TMemo::OnChange,
                    [](FreeKit& k, TMemo& c) { k.Focus(c, {VK_RETURN}); }),
          On<TMemo>("OnScroll", &TMemo::OnScroll, [](FreeKit& k, TMemo& c) { k.Wheel(c, FreeKit::Centre(c), -120); }),
          On<TMemo>("OnChange on Lines.Add (by the program)", &TMemo::OnChange,
                    [](FreeKit&, TMemo& c) { c.GetLines()->Add("More"); }),
          On<TMemo>("OnChange on Lines.Assign (by the program)", &TMemo::OnChange,
                    [](FreeKit&, TMemo& c) { AssignWords(*c.GetLines()); }),
          On<TMemo>("OnChange on Lines.LoadFromStream (by the program)", &TMemo::OnChange,
                    [](FreeKit&, TMemo& c) { LoadWords(*c.GetLines()); })}},
        {"TListBox",
         Filled<TListBox>(150, 100, 30),
         {On<TListBox>("OnClick", &TListBox::OnClick, [](FreeKit& k, TListBox& c) { k.Click(c, {12, 30}); }),
          On<TListBox>("OnClick on Down", &TListBox::OnClick,
                       [](FreeKit& k, TListBox& c) { k.Focus(c, {VK_DOWN}); }),
          On<TListBox>("OnDrawItem", &TListBox::OnDrawItem,
                       [](FreeKit& k, TListBox& c) {
                           c.SetStyle(lbOwnerDrawFixed);
                           k.Paint();
                       }),
          On<TListBox>("OnMeasureItem", &TListBox::OnMeasureItem,
                       [](FreeKit& k, TListBox& c) {
                           c.SetStyle(lbOwnerDrawVariable);
                           k.Paint();
                       }),
          On<TListBox>("OnScroll", &TListBox::OnScroll,
                       [](FreeKit& k, TListBox& c) { k.Wheel(c, FreeKit::Centre(c), -120); }),
          MeasureOnItems<TListBox>("Items.Add", MeasuredRows, [](TStrings& items) { items.Add("More"); }),
          MeasureOnItems<TListBox>("Items.Assign", MeasuredRows, AssignWords),
          MeasureOnItems<TListBox>("Items.LoadFromStream", MeasuredRows, LoadWords),
          MeasureOnItems<TListBox>("Items.Sort", MeasuredRows,
                                   [](TStrings& items) { dynamic_cast<TStringList&>(items).Sort(); })},
         {.spot = FirstRow}},
        {"TComboBox (drop-down list)", MakeComboBox(csDropDownList), ComboEvents()},
        {"TComboBox (drop-down)", MakeComboBox(csDropDown), ComboEvents(), {.spot = ArrowOf}},
        {"TComboBox (owner-drawn)",
         MakeComboBox(csOwnerDrawVariable),
         {On<TComboBox>("OnDrawItem", &TComboBox::OnDrawItem, [](FreeKit& k, TComboBox& c) { k.Click(c, ArrowOf(c)); }),
          On<TComboBox>("OnMeasureItem", &TComboBox::OnMeasureItem,
                        [](FreeKit& k, TComboBox& c) { k.Click(c, ArrowOf(c)); }),
          MeasureOnItems<TComboBox>("Items.Add (the list dropped)", DropList,
                                    [](TStrings& items) { items.Add("More"); }),
          MeasureOnItems<TComboBox>("Items.Clear then Add (the list dropped)", DropList,
                                    [](TStrings& items) {
                                        items.Clear();
                                        items.Add("More");
                                    }),
          MeasureOnItems<TComboBox>("Items.Assign (the list dropped)", DropList, AssignWords),
          MeasureOnItems<TComboBox>("Items.LoadFromStream (the list dropped)", DropList, LoadWords)},
         {.keyboard = false, .mouse = false}},
        {"TListView",
         [](FreeKit& k) -> TComponent* {
             auto* view = static_cast<TListView*>(Placed<TListView>(10, 10, 200, 120)(k));
             view->SetViewStyle(vsReport);
             view->GetColumns()->Add()->SetCaption("Name");
             view->GetColumns()->GetItem(0)->SetWidth(120);
             for (int i = 0; i < 20; ++i) view->GetItems()->Add()->SetCaption(kWords[i % 10]);
             return view;
         },
         {On<TListView>("OnSelectItem", &TListView::OnSelectItem, [](FreeKit& k, TListView& c) { k.Click(c, {20, 30}); }),
          On<TListView>("OnChange", &TListView::OnChange, [](FreeKit& k, TListView& c) { k.Click(c, {20, 30}); }),
          On<TListView>("OnColumnClick", &TListView::OnColumnClick,
                        [](FreeKit& k, TListView& c) { k.Click(c, {20, 6}); }),
          On<TListView>("OnDeletion (by the program)", &TListView::OnDeletion,
                        [](FreeKit&, TListView& c) { c.GetItems()->Delete(0); }),
          On<TListView>("OnDeletion on Clear (by the program)", &TListView::OnDeletion,
                        [](FreeKit&, TListView& c) { c.GetItems()->Clear(); }),
          OnChangeAfter<TListView>("OnSelectItem on Clear (by the program)", &TListView::OnSelectItem, chooseItem,
                                   [](FreeKit&, TListView& c) { c.GetItems()->Clear(); }),
          OnChangeAfter<TListView>("OnChange on Clear within BeginUpdate (by the program)", &TListView::OnChange,
                                   chooseItem,
                                   [](FreeKit&, TListView& c) {
                                       ComponentRef<TListView> view(&c);
                                       c.GetItems()->BeginUpdate();
                                       c.GetItems()->Clear();
                                       if (view) c.GetItems()->EndUpdate();
                                   }),
          On<TListView>("OnScroll", &TListView::OnScroll,
                        [](FreeKit& k, TListView& c) { k.Wheel(c, FreeKit::Centre(c), -120); })},
         {.spot = [](TControl&) { return TPoint{20, 30}; }}},
        {"TTrackBar",
         Placed<TTrackBar>(10, 10, 150, 30),
         {On<TTrackBar>("OnChange", &TTrackBar::OnChange, [](FreeKit& k, TTrackBar& c) { k.Click(c, {120, 15}); }),
          On<TTrackBar>("OnChange on Right", &TTrackBar::OnChange, [](FreeKit& k, TTrackBar& c) { k.Focus(c, {VK_RIGHT}); })}},
        {"TDrawGrid",
         [](FreeKit& k) -> TComponent* {
             auto* grid = static_cast<TDrawGrid*>(Placed<TDrawGrid>(10, 10, 200, 150)(k));
             grid->SetColCount(5);
             grid->SetRowCount(5);
             return grid;
         },
         {On<TDrawGrid>("OnDrawCell", &TDrawGrid::OnDrawCell, [](FreeKit& k, TDrawGrid&) { k.Paint(); }),
          On<TDrawGrid>("OnSelectCell", &TDrawGrid::OnSelectCell, [](FreeKit& k, TDrawGrid& c) {
              const TRect cell = c.CellRect(2, 2);
              k.Click(c, {cell.Left + 4, cell.Top + 4});
          })}},
        {"TScrollBox",
         [](FreeKit& k) -> TComponent* {
             auto* box = static_cast<TScrollBox*>(Placed<TScrollBox>(10, 10, 150, 100)(k));
             auto* inside = thorn::Make<TPanel>(k.Form());
             inside->SetParent(box);
             inside->SetBounds(0, 0, 40, 400);
             return box;
         },
         {On<TScrollBox>("OnScroll", &TScrollBox::OnScroll,
                         [](FreeKit& k, TScrollBox& c) { k.Wheel(c, {80, 40}, -120); })},
         {.spot = [](TControl&) { return TPoint{80, 40}; }, .keyboard = false}},
        {"TTreeView",
         [](FreeKit& k) -> TComponent* { return MakeTree(k); },
         [] {
             using V = TTreeView;
             std::vector<EventCase> events = TreeEvents<V>();
             const auto drag = [](FreeKit& k, V& c) {
                 c.SetDragMode(dmAutomatic);
                 k.Drag(c, RowOfTree(c, 0), RowOfTree(c, 1));
             };
             for (EventCase& e : std::vector<EventCase>{
                      On<V>("OnChange waiting when a node is added", &V::OnChange,
                            [](FreeKit& k, V& c) {
                                c.SetChangeDelay(100);
                                k.Click(c, RowOfTree(c, 1));
                                c.GetItems()->AddChild(nullptr, "More");
                            }),
                      On<V>("OnAddition (by the program)", &V::OnAddition,
                            [](FreeKit&, V& c) { c.GetItems()->AddChild(nullptr, "More"); }),
                      On<V>("OnGetImageIndex", &V::OnGetImageIndex,
                            [](FreeKit& k, V& c) {
                                c.SetImages(thorn::Make<TImageList>(k.Form(), 16, 16));
                                k.Paint();
                            }),
                      On<V>("OnGetSelectedIndex", &V::OnGetSelectedIndex,
                            [](FreeKit& k, V& c) {
                                c.SetImages(thorn::Make<TImageList>(k.Form(), 16, 16));
                                k.Click(c, RowOfTree(c, 1));
                            }),
                      On<V>("OnStartDrag", &V::OnStartDrag, drag),
                      On<V>("OnDragOver", &V::OnDragOver, drag),
                      On<V>("OnDragDrop", &V::OnDragDrop,
                            [drag](FreeKit& k, V& c) {
                                c.OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) {
                                    accept = true;
                                };
                                drag(k, c);
                            }),
                      On<V>("OnEndDrag", &V::OnEndDrag, drag),
                      On<V>("OnScroll", &V::OnScroll,
                            [](FreeKit& k, V& c) {
                                for (int i = 0; i < 20; ++i) c.GetItems()->AddChild(nullptr, kWords[i % 10]);
                                k.Wheel(c, FreeKit::Centre(c), -120);
                            })})
                 events.push_back(std::move(e));
             return events;
         }(),
         {.spot = [](TControl& c) { return RowOfTree(static_cast<TTreeView&>(c), 1); }}},
        {"TPageControl",
         [](FreeKit& k) -> TComponent* { return MakePages(k).GetPageControl(); },
         {On<TPageControl>("OnChange", &TPageControl::OnChange, [](FreeKit& k, TPageControl& c) { k.Click(c, TabOf(c, 1)); }),
          On<TPageControl>("OnChanging", &TPageControl::OnChanging,
                           [](FreeKit& k, TPageControl& c) { k.Click(c, TabOf(c, 1)); }),
          On<TPageControl>("OnChange on Ctrl+Tab", &TPageControl::OnChange,
                           [](FreeKit& k, TPageControl& c) {
                               k.Focus(c);
                               k.Key(VK_TAB, {ssCtrl});
                           })},
         {.spot = [](TControl& c) { return TabOf(static_cast<TPageControl&>(c), 0); }}},
        {"TTabSheet",
         [](FreeKit& k) -> TComponent* {
             TTabSheet& first = MakePages(k);
             first.GetPageControl()->SetAnchors({akLeft, akTop, akRight, akBottom});
             return &first;
         },
         {On<TTabSheet>("OnHide", &TTabSheet::OnHide,
                        [](FreeKit& k, TTabSheet& c) { k.Click(*c.GetPageControl(), TabOf(*c.GetPageControl(), 1)); }),
          On<TTabSheet>("OnShow", &TTabSheet::OnShow,
                        [](FreeKit& k, TTabSheet& c) {
                            TPageControl& pages = *c.GetPageControl();
                            k.Click(pages, TabOf(pages, 1));
                            k.Click(pages, TabOf(pages, 0));
                        })},
         {.keyboard = false}},
        {"TToolBar",
         [](FreeKit& k) -> TComponent* { return MakeToolButton(k).GetParent(); },
         {},
         {.spot = [](TControl& c) { return TPoint{c.GetWidth() - 10, c.GetHeight() / 2}; }, .keyboard = false}},
        {"TToolButton", [](FreeKit& k) -> TComponent* { return &MakeToolButton(k); }, {}, {.keyboard = false}},
        {"TSplitter",
         [](FreeKit& k) -> TComponent* {
             auto* left = thorn::Make<TPanel>(k.Form());
             left->SetParent(&k.Form());
             left->SetBounds(0, 0, 100, 200);
             left->SetAlign(alLeft);
             auto* splitter = thorn::Make<TSplitter>(k.Form());
             splitter->SetParent(&k.Form());
             splitter->SetBounds(100, 0, 4, 200);
             splitter->SetAlign(alLeft);
             return splitter;
         },
         {On<TSplitter>("OnCanResize", &TSplitter::OnCanResize,
                        [](FreeKit& k, TSplitter& c) { k.Drag(c, {2, 50}, {40, 50}); }),
          On<TSplitter>("OnMoved", &TSplitter::OnMoved, [](FreeKit& k, TSplitter& c) { k.Drag(c, {2, 50}, {40, 50}); }),
          On<TSplitter>("OnPaint", &TSplitter::OnPaint, [](FreeKit& k, TSplitter&) { k.Paint(); })},
         {.keyboard = false}},
        DialogRow<TOpenDialog>("TOpenDialog"),
        DialogRow<TSaveDialog>("TSaveDialog"),
        DialogRow<TOpenPictureDialog>("TOpenPictureDialog"),
        DialogRow<TFontDialog>("TFontDialog"),
        DialogRow<TColorDialog>("TColorDialog"),
    };

    // The form itself: its handler frees it either way.
    rows.push_back(
        {"TForm",
         [](FreeKit& k) -> TComponent* { return &k.Form(); },
         {On<TForm>("OnClose", &TForm::OnClose, [](FreeKit& k, TForm& f) { k.Host().RequestClose(f); }),
          On<TForm>("OnCloseQuery", &TForm::OnCloseQuery, [](FreeKit& k, TForm& f) { k.Host().RequestClose(f); }),
          On<TForm>("OnHide", &TForm::OnHide, [](FreeKit& k, TForm& f) { k.Host().RequestClose(f); }),
          On<TForm>("OnPaint", &TForm::OnPaint, [](FreeKit& k, TForm&) { k.Paint(); }),
          On<TForm>("OnShortCut", &TForm::OnShortCut, [](FreeKit& k, TForm&) { k.Key('S', {ssCtrl}); }),
          On<TForm>("OnDeactivate", &TForm::OnDeactivate,
                    [](FreeKit& k, TForm&) {
                        auto* other = Application->CreateForm<TForm>();
                        other->SetBounds(500, 100, 200, 100);
                        other->Show();
                        k.Host().Click(*other, 20, 20);
                    }),
          On<TForm>("OnActivate", &TForm::OnActivate,
                    [](FreeKit& k, TForm& f) {
                        auto* other = Application->CreateForm<TForm>();
                        other->SetBounds(500, 100, 200, 100);
                        other->Show();
                        k.Host().Click(*other, 20, 20);
                        k.Host().Click(f, 300, 20);
                    }),
          On<TForm>("OnMouseLeave", &TForm::OnMouseLeave,
                    [](FreeKit& k, TForm& f) {
                        k.Host().MouseMove(f, 300, 100);
                        k.Host().MouseLeave(f);
                    }),
          On<TForm>("OnResize", &TForm::OnResize,
                    [](FreeKit& k, TForm& f) { k.Host().ResizeWindow(f, 460, 300); }),
          On<TForm>("OnCanResize", &TForm::OnCanResize,
                    [](FreeKit& k, TForm& f) { k.Host().ResizeWindow(f, 460, 300); }),
          On<TForm>("OnFrameRead", &TForm::OnFrameRead,
                    [](FreeKit& k, TForm&) { k.Host().FrameShownWindows({4, 24, 4, 4}); }),
          On<TForm>("OnDestroy on a close that frees it", &TForm::OnDestroy,
                    [](FreeKit& k, TForm& f) {
                        f.OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
                        k.Host().RequestClose(f);
                        Application->ProcessMessages();
                    }),
          On<TForm>("OnDestroy on a free by the program", &TForm::OnDestroy,
                    [](FreeKit&, TForm& f) { thorn::Free(&f); }),
          // A handler that holds the form by its plain pointer.
          {"OnDestroy freeing the form it is told of",
           [](FreeKit& k, TComponent& c) {
               dynamic_cast<TForm&>(c).OnDestroy = [&k](TObject* sender) {
                   k.Fire();
                   thorn::Free(dynamic_cast<TComponent*>(sender));
               };
           },
           [](FreeKit&, TComponent& c) { thorn::Free(&c); }}},
         // A form is no control the focus enters or leaves.
         {.spot = [](TControl&) { return TPoint{300, 100}; }, .without = {"OnEnter", "OnExit"}}});

    // Menus, actions and timers: their handler frees them, or the form.
    rows.push_back({"TMainMenu",
                    [](FreeKit& k) -> TComponent* {
                        auto* menu = thorn::Make<TMainMenu>(k.Form());
                        TMenuItem* file = AddItem(k, *menu->GetItems(), "&File");
                        AddItem(k, *file, "&Open", ShortCut('O', {ssCtrl}));
                        k.Form().SetMenu(menu);
                        return menu;
                    },
                    {OnFirstItem("OnClick of an item",
                                 [](FreeKit& k) {
                                     k.Key('F', {ssAlt});
                                     k.Key(VK_RETURN);
                                 }),
                     OnFirstItem("OnClick of an item by its shortcut", [](FreeKit& k) { k.Key('O', {ssCtrl}); })},
                    {.keyboard = false, .mouse = false}});
    rows.push_back({"TPopupMenu",
                    [](FreeKit& k) -> TComponent* {
                        auto* menu = thorn::Make<TPopupMenu>(k.Form());
                        AddItem(k, *menu->GetItems(), "&Copy");
                        k.Bystander().SetPopupMenu(menu);
                        return menu;
                    },
                    {On<TPopupMenu>("OnPopup", &TPopupMenu::OnPopup,
                                    [](FreeKit& k, TPopupMenu&) { k.Click(k.Bystander(), {10, 10}, mbRight); }),
                     OnFirstItem("OnClick of an item",
                                 [](FreeKit& k) {
                                     k.Click(k.Bystander(), {10, 10}, mbRight);
                                     k.Key(VK_DOWN);
                                     k.Key(VK_RETURN);
                                 })},
                    {.keyboard = false, .mouse = false}});
    // Ctrl+R runs the action of these rows.
    const auto shortcut = [](FreeKit& k, auto&) { k.Key('R', {ssCtrl}); };
    rows.push_back({"TAction",
                    [](FreeKit& k) -> TComponent* {
                        auto* list = thorn::Make<TActionList>(k.Form());
                        auto* action = thorn::Make<TAction>(k.Form());
                        action->SetActionList(list);
                        action->SetCaption("Run");
                        action->SetShortCut(ShortCut('R', {ssCtrl}));
                        auto* button = static_cast<TButton*>(Placed<TButton>(10, 10, 80, 25)(k));
                        button->SetName("Runner");
                        button->SetAction(action);
                        return action;
                    },
                    {On<TAction>("OnExecute", &TAction::OnExecute,
                                 [](FreeKit& k, TAction&) {
                                     k.Click(dynamic_cast<TControl&>(*k.Form().FindComponent("Runner")));
                                 }),
                     On<TAction>("OnExecute by its shortcut", &TAction::OnExecute, shortcut),
                     On<TAction>("OnUpdate (before its shortcut runs it)", &TAction::OnUpdate, shortcut)},
                    {.keyboard = false, .mouse = false}});
    rows.push_back({"TActionList",
                    [](FreeKit& k) -> TComponent* {
                        auto* list = thorn::Make<TActionList>(k.Form());
                        auto* action = thorn::Make<TAction>(k.Form());
                        action->SetActionList(list);
                        action->SetShortCut(ShortCut('R', {ssCtrl}));
                        action->OnExecute = [](TObject*) {};
                        return list;
                    },
                    {On<TActionList>("OnExecute", &TActionList::OnExecute, shortcut),
                     On<TActionList>("OnUpdate (before a shortcut runs an action)", &TActionList::OnUpdate, shortcut)},
                    {.keyboard = false, .mouse = false}});
    rows.push_back({"TTimer",
                    [](FreeKit& k) -> TComponent* {
                        auto* timer = thorn::Make<TTimer>(k.Form());
                        timer->SetInterval(50);
                        return timer;
                    },
                    {{"OnTimer",
                      [](FreeKit& k, TComponent& c) { dynamic_cast<TTimer&>(c).SetOnTimer(Freeing<TNotifyEvent>::Handler(k)); },
                      [](FreeKit& k, TComponent&) { k.Host().Advance(100); }}},
                    {.keyboard = false, .mouse = false}});
    using L = TImageList;
    const auto addImage = [](FreeKit&, L& list) {
        TBitmap32 picture;
        picture.SetSize(32, 16);
        list.AddMasked(picture, clNone);
    };
    rows.push_back({"TImageList",
                    [](FreeKit& k) -> TComponent* {
                        auto* list = thorn::Make<L>(k.Form(), 16, 16);
                        // A tree shows its images and follows its changes.
                        MakeTree(k)->SetImages(list);
                        return list;
                    },
                    {On<L>("OnChange on Add", &L::OnChange, addImage),
                     OnChangeAfter<L>("OnChange on Delete", &L::OnChange, addImage,
                                      [](FreeKit&, L& list) { list.Delete(0); }),
                     OnChangeAfter<L>("OnChange on Clear", &L::OnChange, addImage,
                                      [](FreeKit&, L& list) { list.Clear(); })},
                    {.keyboard = false, .mouse = false}});
    return rows;
}

}  // namespace thorn::test
