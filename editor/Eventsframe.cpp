#include "editor/Eventsframe.h"

#include <algorithm>
#include <string>
#include <utility>

#include "editor/EditorImages.h"
#include "editor/GridRows.h"
#include "editor/LongTextEdit.h"
#include "editor/Main.h"
#include "gui/SizeConstraints.h"
#include "inspector/Rminspectoritems.h"
#include "model/GridItemKeys.h"

namespace {

namespace Keys = InspectorKeys;

constexpr int kPlayerRows = 6;
constexpr int kDescriptionLimit = 20000;
// Effects by their choice texts, in the choices' order.
constexpr const char* kEffectChoices[] = {Keys::EEffectIncrease, Keys::EEffectDecrease, Keys::EEffectCustom};

// Holds a flag set for a scope.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), before_(std::exchange(flag, true)) {}
    ~Raised() { flag_ = before_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool before_;
};

const char* EffectText(uint8_t effect) {
    return effect < CEventB::Custom ? kEffectChoices[effect] : Keys::EEffectCustom;
}

uint8_t FlagAt(const Orv::CSimpleArray<uint8_t>& array, int n) { return n < array.GetCount() ? array[n] : 0; }

// The "Event Titles" cell of a row.
void ShowTitle(TListItem& row, const std::string& title) {
    TStrings& cells = *row.GetSubItems();
    if (cells.GetCount() == 0)
        cells.Add(title);
    else
        cells.Put(0, title);
}

// The row found by key or made under parent; a row made now gets its
// caption here, an existing one keeps what it has.
TrmCustomInspectorItem* Row(TrmInspector& grid, TrmTreeNonViewNode* parent, const char* className, const char* key,
                            const char* caption, bool& made) {
    made = grid.GetItemByName(key) == nullptr;
    TrmCustomInspectorItem* item = GetOrAddInspectorItem(grid, parent, className, key);
    if (made) item->GetNode()->SetText(caption);
    return item;
}

}  // namespace

TEventFrame::TEventFrame(TComponent& owner) {
    SetName("EventFrame");
    SetCaption("Events List");
    SetBorderStyle(bsSizeToolWin);
    SetFormStyle(fsStayOnTop);
    SetBounds(GetLeft(), GetTop(), 336, 388);
    Constraints().SetMinWidth(100);
    Constraints().SetMinHeight(100);
    const int width = GetClientWidth();

    auto place = [](auto* control, TWinControl* parent, const char* name) {
        control->SetName(name);
        control->SetParent(parent);
        return control;
    };
    auto panel = [&](const char* name, TAlign align) {
        TPanel* p = place(thorn::Make<TPanel>(*this), this, name);
        p->SetBevelOuter(bvNone);
        p->SetCaption("");
        p->SetAlign(align);
        return p;
    };
    auto heading = [&](TWinControl* parent, const char* name, const char* caption) {
        TLabel* label = place(thorn::Make<TLabel>(*this), parent, name);
        label->SetCaption(caption);
        label->Font().SetName("Tahoma");
        label->Font().SetStyle(fsBold);
        label->SetBounds(6, 3, label->GetWidth(), label->GetHeight());
        return label;
    };

    Panel16 = panel("Panel16", alTop);
    Panel16->SetHeight(154);
    Panel16->Constraints().SetMinHeight(50);
    Label16 = heading(Panel16, "Label16", "Game Events");

    LVEvents = place(thorn::Make<TListView>(*this), Panel16, "LVEvents");
    LVEvents->SetBounds(4, 18, width - 8, 154 - 18 - 30);
    LVEvents->SetAnchors({akLeft, akTop, akRight, akBottom});
    LVEvents->SetViewStyle(vsReport);
    LVEvents->SetCheckboxes(true);
    TListColumn* turn = LVEvents->GetColumns()->Add();
    turn->SetCaption("Turn");
    turn->SetWidth(40);
    TListColumn* titles = LVEvents->GetColumns()->Add();
    titles->SetCaption("Event Titles");
    titles->SetAutoSize(true);
    LVEvents->SetShowColumnHeaders(false);
    LVEvents->SetColumnClick(false);
    LVEvents->SetHideSelection(false);
    LVEvents->SetReadOnly(true);
    LVEvents->SetRowSelect(true);
    LVEvents->SetBorderStyle(bsNone);
    LVEvents->OnSelectItem = [this](TObject* sender, TListItem* item, bool selected) {
        LVEventsSelectItem(sender, item, selected);
    };
    LVEvents->OnChange = [this](TObject* sender, TListItem* item, TItemChange change) {
        LVEventsChange(sender, item, change);
    };

    TBEvent = place(thorn::Make<TToolBar>(*this), Panel16, "TBEvent");
    TBEvent->SetAlign(alNone);
    TBEvent->SetBounds(4, 154 - 28, width - 8, 26);
    TBEvent->SetAnchors({akLeft, akRight, akBottom});
    TBEvent->SetFlat(true);
    TBEvent->SetEdgeBorders({});
    TBEvent->SetButtonWidth(26);
    if (MainForm) TBEvent->SetImages(MainForm->ImageList);
    auto button = [&](const char* name, thorn::EditorImage image, void (TEventFrame::*click)(TObject*)) {
        TToolButton* b = place(thorn::Make<TToolButton>(*this), TBEvent, name);
        b->SetImageIndex(thorn::Index(image));
        b->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
        return b;
    };
    TBAdd = button("TBAdd", thorn::EditorImage::AddProvince, &TEventFrame::TBAddClick);
    TBDelete = button("TBDelete", thorn::EditorImage::DelProvince, &TEventFrame::TBDeleteClick);
    ToolButton3 = place(thorn::Make<TToolButton>(*this), TBEvent, "ToolButton3");
    ToolButton3->SetStyle(tbsSeparator);
    ToolButton3->SetWidth(8);
    TBUp = button("TBUp", thorn::EditorImage::Up, &TEventFrame::TBUpClick);
    TBDown = button("TBDown", thorn::EditorImage::Down, &TEventFrame::TBDownClick);

    Splitter = place(thorn::Make<TSplitter>(*this), this, "Splitter");
    Splitter->SetAlign(alTop);
    Splitter->SetTop(Panel16->GetHeight());
    Splitter->SetHeight(4);

    Panel17 = panel("Panel17", alClient);
    Label18 = heading(Panel17, "Label18", "Selected Event Properties");
    RMIEvent = place(thorn::Make<TrmInspector>(*this), Panel17, "RMIEvent");
    RMIEvent->SetBounds(4, 18, Panel17->GetClientWidth() - 8, Panel17->GetClientHeight() - 22);
    RMIEvent->SetAnchors({akLeft, akTop, akRight, akBottom});
    RMIEvent->SetItemHeight(21);
    RMIEvent->SetSplitResize(true);
    RMIEvent->SetToolTip(false);
    RMIEvent->SetBorderStyle(bsSingle);
    RMIEvent->SetSplitPos(105);
    RMIEvent->OnComplexEdit = [this](TObject* sender) { RMIEventComplexEdit(sender); };
    RMIEvent->OnItemChange = [this](TObject* sender) { RMIEventItemChange(sender); };

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnHide = [this](TObject* sender) { FormHide(sender); };
}

void TEventFrame::FormCreate(TObject* sender) {
    RMIEvent->SetItemIndex(-1);
    RMIEvent->ClearItems();
    LVEvents->GetItems()->Clear();
    TBEvent->SetEnabled(false);
}

void TEventFrame::FormHide(TObject* sender) {
    if (MainForm) MainForm->ActShowEventRMI->SetChecked(false);
}

// ---------------------------------------------------------------- rows

CEvent* TEventFrame::EventOf(const TListItem* row) {
    if (!row || !MapProject) return nullptr;
    auto* event = static_cast<CEvent*>(row->GetData());
    return MapProject->Events.IndexOf(event) == CEventList::kNotFound ? nullptr : event;
}

CEvent* TEventFrame::SelectedEvent() const { return EventOf(LVEvents->GetSelected()); }

void TEventFrame::ShowEventInRow(TListItem& row, CEvent& event) {
    Raised showing(showingRows_);
    const CStringTable* table = thorn::StringTableInUse();
    row.SetData(&event);
    row.SetCaption(std::to_string(event.Turn));
    ShowTitle(row, table ? table->GetEventTitle(event.TextSlot) : std::string());
    row.SetChecked(event.Enabled != 0);
}

void TEventFrame::FillEventsList() {
    RMIEvent->SetItemIndex(-1);
    RMIEvent->ClearItems();
    TListItems& rows = *LVEvents->GetItems();
    rows.Clear();
    if (!MapProject) return;
    const CEventList& events = MapProject->Events;
    rows.BeginUpdate();
    for (uint16_t i = 0; i < events.GetCount(); ++i) ShowEventInRow(*rows.Add(), *events.GetAt(i));
    rows.EndUpdate();
}

void TEventFrame::TBAddClick(TObject* sender) {
    if (!MapProject) return;
    // A full list, or no free text pair, adds nothing.
    CEvent* event = MapProject->Events.AddEvent();
    if (!event) return;
    ShowEventInRow(*LVEvents->GetItems()->Add(), *event);
}

void TEventFrame::TBDeleteClick(TObject* sender) {
    TListItem* row = LVEvents->GetSelected();
    if (!row) return;
    CEvent* event = EventOf(row);
    const int index = row->GetIndex();
    // The row goes first: its deselection empties the grid while the event
    // is still there.
    TListItems& rows = *LVEvents->GetItems();
    rows.Delete(index);
    if (event) MapProject->Events.Remove(event);
    if (rows.GetCount() > 0) rows[std::min(index, rows.GetCount() - 1)]->SetSelected(true);
}

void TEventFrame::MoveSelected(int step) {
    TListItem* row = LVEvents->GetSelected();
    CEvent* event = EventOf(row);
    if (!event) return;
    TListItems& rows = *LVEvents->GetItems();
    const int from = row->GetIndex();
    const int to = from + step;
    if (to < 0 || to >= rows.GetCount()) return;
    CEventList& events = MapProject->Events;
    const uint16_t at = events.IndexOf(event);
    if (events.Move(at, static_cast<uint16_t>(at + step)) == 0) return;
    // The two rows trade their events; the selection follows the moved one.
    CEvent* other = EventOf(rows[to]);
    if (other) ShowEventInRow(*row, *other);
    ShowEventInRow(*rows[to], *event);
    rows[to]->SetSelected(true);
    rows[to]->SetFocused(true);
    if (row->GetSelected()) row->SetSelected(false);
}

void TEventFrame::TBUpClick(TObject* sender) { MoveSelected(-1); }

void TEventFrame::TBDownClick(TObject* sender) { MoveSelected(1); }

void TEventFrame::LVEventsSelectItem(TObject* sender, TListItem* item, bool selected) {
    FillEventInspector(selected ? EventOf(item) : nullptr);
}

void TEventFrame::LVEventsChange(TObject* sender, TListItem* item, TItemChange change) {
    if (showingRows_ || change != ctState) return;
    if (CEvent* event = EventOf(item)) event->SetEnabled(item->GetChecked() ? 1 : 0);
}

// ---------------------------------------------------------------- the grid

void TEventFrame::FillEventInspector(CEvent* event) {
    TrmInspector& grid = *RMIEvent;
    if (!event) {
        grid.SetItemIndex(-1);
        grid.ClearItems();
        return;
    }
    const CStringTable* table = thorn::StringTableInUse();
    bool made = false;

    auto* title = Row(grid, nullptr, "TrmStringInspectorItem", Keys::ETitle, Keys::ETitleCaption, made);
    if (auto* text = dynamic_cast<TrmStringInspectorItem*>(title); text && made) text->SetMaxLength(25);
    title->SetStringValue(table ? table->GetEventTitle(event->TextSlot) : std::string());

    auto* description = Row(grid, nullptr, "TrmComplexInspectorItem", Keys::EDecr, Keys::EDecrCaption, made);
    if (made) description->SetEditabled(true);
    description->SetStringValue(table ? table->GetEventText(event->TextSlot) : std::string());

    auto* affects = Row(grid, nullptr, "TrmBlankInspectorItem", Keys::EAffects, Keys::EAffectsCaption, made);
    affects->SetStringValue(event->Affects == 1 ? Keys::EAffectsPlayers : Keys::Empty);
    RefreshEventPlayers();

    auto* turn = Row(grid, nullptr, "TrmSafeIntegerInspectorItem", Keys::ETurn, Keys::ETurnCaption, made);
    if (auto* number = dynamic_cast<TrmIntegerInspectorItem*>(turn); number && made) number->SetMinValue(1);
    turn->SetStringValue(std::to_string(event->Turn));

    auto* effect = Row(grid, nullptr, "TrmComboInspectorItem", Keys::EEffect, Keys::EEffectCaption, made);
    if (auto* combo = dynamic_cast<TrmComboInspectorItem*>(effect); combo && made)
        for (const char* choice : kEffectChoices) combo->GetItems().Add(choice);
    effect->SetStringValue(EffectText(event->EffectType));
    RefreshEventResources();
}

void TEventFrame::RefreshEventPlayers() {
    TrmInspector& grid = *RMIEvent;
    const CEvent* event = SelectedEvent();
    TrmCustomInspectorItem* affects = grid.GetItemByName(Keys::EAffects);
    if (!event || !affects) return;
    TrmTreeNonViewNode* group = affects->GetNode();
    if (event->Affects != 1) {
        grid.ClearNode(group);
        return;
    }
    const CStringTable* table = thorn::StringTableInUse();
    auto playerName = [&](int i) { return table ? table->GetPlayerName(static_cast<uint8_t>(i)) : std::string(); };
    if (group->GetItemCount() != kPlayerRows) {
        group->SetExpanded(true);
        for (int i = 0; i < kPlayerRows; ++i) {
            TrmCustomInspectorItem* item = GetOrAddInspectorItem(grid, group, "TrmCheckBoxInspectorItem",
                                                                 thorn::NumberedKey(Keys::EPlN, i));
            item->GetNode()->SetText(playerName(i));
            if (auto* box = dynamic_cast<TrmCheckBoxInspectorItem*>(item)) box->SetValue(false);
        }
    }
    for (int i = 0; i < kPlayerRows; ++i) {
        TrmCustomInspectorItem* item = grid.GetItemByName(thorn::NumberedKey(Keys::EPlN, i));
        if (!item) continue;
        item->GetNode()->SetText(playerName(i));
        if (auto* box = dynamic_cast<TrmCheckBoxInspectorItem*>(item)) box->SetValue(FlagAt(event->PlayerFlags, i) != 0);
    }
}

void TEventFrame::RefreshEventResources() {
    TrmInspector& grid = *RMIEvent;
    const CEvent* event = SelectedEvent();
    TrmCustomInspectorItem* effect = grid.GetItemByName(Keys::EEffect);
    if (!event || !effect || !MapProject) return;
    TrmTreeNonViewNode* group = effect->GetNode();
    const uint8_t kind = event->EffectType;
    if (kind != CEventB::ResourcesIncrease && kind != CEventB::ResourcesDecrease) {
        grid.ClearNode(group);
        grid.Invalidate();
        return;
    }
    const CStringTable* table = thorn::StringTableInUse();
    const int count = MapProject->ResourceCount();
    if (group->GetItemCount() != count) {
        group->SetExpanded(true);
        for (int i = 0; i < count; ++i) {
            TrmCustomInspectorItem* item = GetOrAddInspectorItem(grid, group, "TrmSafeIntegerInspectorItem",
                                                                 thorn::NumberedKey(Keys::EResN, i));
            item->GetNode()->SetText(table ? table->GetResourceName(static_cast<uint8_t>(i)) : std::string());
            if (auto* number = dynamic_cast<TrmIntegerInspectorItem*>(item)) number->SetMinValue(0);
        }
    }
    const auto& amounts = kind == CEventB::ResourcesIncrease ? event->Resources.Increase : event->Resources.Decrease;
    for (int i = 0; i < count; ++i)
        if (TrmCustomInspectorItem* item = grid.GetItemByName(thorn::NumberedKey(Keys::EResN, i)))
            item->SetStringValue(std::to_string(FlagAt(amounts, i)));
}

void TEventFrame::EditNumber(const TrmCustomInspectorItem& item, CEvent& event) {
    const auto* number = dynamic_cast<const TrmSafeIntegerInspectorItem*>(&item);
    if (!number || number->GetText().empty()) return;
    // The row keeps its value inside its range; the field's width bounds it
    // too, so a wider range could never wrap a stored number.
    auto kept = [&](int32_t fieldMax) {
        return std::clamp(number->GetValue(), std::max(number->GetMinValue(), 0), std::min(number->GetMaxValue(), fieldMax));
    };
    const std::string& name = item.GetName();
    if (name == Keys::ETurn) {
        event.SetTurn(static_cast<uint16_t>(kept(UINT16_MAX)));
        if (TListItem* row = LVEvents->GetSelected()) {
            Raised showing(showingRows_);
            row->SetCaption(std::to_string(event.Turn));
        }
        return;
    }
    const std::optional<int> n = thorn::KeyNumber(Keys::EResN, name);
    if (!n || *n >= MapProject->ResourceCount()) return;
    const auto resource = static_cast<uint8_t>(*n);
    const auto amount = static_cast<uint8_t>(kept(UINT8_MAX));
    if (event.EffectType == CEventB::ResourcesIncrease)
        event.SetIncrease(resource, amount);
    else if (event.EffectType == CEventB::ResourcesDecrease)
        event.SetDecrease(resource, amount);
}

void TEventFrame::RMIEventItemChange(TObject* sender) {
    TrmInspector& grid = *RMIEvent;
    TrmCustomInspectorItem* item = grid.GetCurrentInspectorItem();
    TWinControl* editor = grid.GetEditor();
    if (grid.GetItemIndex() == -1 || !item || item->GetName().empty() || !editor) return;
    TListItem* row = LVEvents->GetSelected();
    CEvent* event = EventOf(row);
    if (!event) return;
    const std::string text = thorn::TypedText(*editor);
    const std::string name = item->GetName();

    if (name == Keys::ETitle) {
        CStringTable* table = thorn::StringTableInUse();
        if (!table) return;
        table->SetEventTitle(event->TextSlot, text);
        Raised showing(showingRows_);
        ShowTitle(*row, table->GetEventTitle(event->TextSlot));
    } else if (name == Keys::EAffects) {
        if (text == Keys::EAffectsPlayers) event->SetAffects(1);
        RefreshEventPlayers();
    } else if (name == Keys::EEffect) {
        const auto* choice = std::find(std::begin(kEffectChoices), std::end(kEffectChoices), text);
        if (choice != std::end(kEffectChoices))
            event->SetEffect(static_cast<uint8_t>(choice - std::begin(kEffectChoices)));
        RefreshEventResources();
    } else if (name == Keys::ETurn || thorn::KeyNumber(Keys::EResN, name)) {
        EditNumber(*item, *event);
    } else if (const std::optional<int> n = thorn::KeyNumber(Keys::EPlN, name); n && *n < kPlayerRows) {
        if (const auto* box = dynamic_cast<const TrmCheckBoxInspectorItem*>(item))
            event->SetPlayerFlag(static_cast<uint8_t>(*n), box->GetValue());
    }
}

void TEventFrame::RMIEventComplexEdit(TObject* sender) {
    TrmCustomInspectorItem* item = RMIEvent->GetCurrentInspectorItem();
    const CStringTable* table = thorn::StringTableInUse();
    const CEvent* event = SelectedEvent();
    if (!MapProject || !item || !table || !event || item->GetName() != Keys::EDecr) return;
    const uint8_t slot = event->TextSlot;
    thorn::ComponentRef<TrmCustomInspectorItem> row(item);
    const std::optional<std::string> edited =
        thorn::EditLongText(Keys::EDecrCaption, kDescriptionLimit, table->GetEventText(slot));
    if (!edited) return;
    // The dialog's modal loop ran the program's timers: the table and the
    // row are looked up again rather than trusted from before.
    if (CStringTable* now = thorn::StringTableInUse()) now->SetEventText(slot, *edited);
    if (row) row->SetStringValue(*edited);
}
