#include "gui/ActnList.h"

#include <algorithm>

#include "gui/Controls.h"
#include "gui/ImageList.h"
#include "platform/Collections.h"

// ================================================================ TBasicAction

TBasicAction::TBasicAction() = default;

TBasicAction::~TBasicAction() {
    for (TBasicActionLink* link : clients_) link->ActionDestroying();
}

void TBasicAction::BeforeDestruction() {
    TComponent::BeforeDestruction();
    std::vector<TBasicActionLink*> clients;
    clients.swap(clients_);
    for (TBasicActionLink* link : clients) link->ActionDestroying();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
    if (link && std::find(clients_.begin(), clients_.end(), link) == clients_.end()) clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) { std::erase(clients_, link); }

// ============================================================ TContainedAction

TContainedAction::~TContainedAction() {
    if (actionList_) actionList_->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* list) {
    if (list == actionList_) return;
    if (actionList_) actionList_->RemoveAction(this);
    if (list) list->AddAction(this);
}

int TContainedAction::GetIndex() const {
    if (!actionList_) return -1;
    for (int i = 0; i < actionList_->GetActionCount(); ++i)
        if (actionList_->GetAction(i) == this) return i;
    return -1;
}

// The list's handler may free the action (with the list or the form): that
// ends it, as handled.
bool TContainedAction::Execute() {
    thorn::ComponentRef<TContainedAction> self(this);
    if (actionList_ && actionList_->ExecuteAction(this)) return true;
    return !self || TBasicAction::Execute();
}

bool TContainedAction::Update() {
    thorn::ComponentRef<TContainedAction> self(this);
    if (actionList_ && actionList_->UpdateAction(this)) return true;
    return !self || TBasicAction::Update();
}

// =============================================================== TCustomAction

template <typename Set>
void TCustomAction::ForEachLink(Set set) {
    // A client may drop its link while it follows a change.
    std::vector<TBasicActionLink*> clients = GetClients();
    for (TBasicActionLink* link : clients) {
        const auto& now = GetClients();
        if (std::find(now.begin(), now.end(), link) != now.end()) set(*link);
    }
}

void TCustomAction::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetCaption(value); });
    Change();
}

void TCustomAction::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (value && groupIndex_ > 0 && GetActionList()) {
        TCustomActionList* list = GetActionList();
        for (int i = 0; i < list->GetActionCount(); ++i) {
            auto* other = dynamic_cast<TCustomAction*>(list->GetAction(i));
            if (other && other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
        }
    }
    ForEachLink([&](TBasicActionLink& l) { l.SetChecked(value); });
    Change();
}

void TCustomAction::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetEnabled(value); });
    Change();
}

void TCustomAction::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetVisible(value); });
    Change();
}

void TCustomAction::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetHint(value); });
    Change();
}

void TCustomAction::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    imageIndex_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetImageIndex(value); });
    Change();
}

void TCustomAction::SetShortCut(TShortCut value) {
    if (value == shortCut_) return;
    shortCut_ = value;
    ForEachLink([&](TBasicActionLink& l) { l.SetShortCut(value); });
    Change();
}

void TCustomAction::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    // The first checked member of the group keeps its mark.
    if (checked_ && value > 0) {
        checked_ = false;
        SetChecked(true);
    }
}

bool TCustomAction::Execute() {
    thorn::ComponentRef<TCustomAction> self(this);
    Update();
    if (!self || !enabled_) return false;
    if (autoCheck_) SetChecked(!checked_ || groupIndex_ > 0);
    return TContainedAction::Execute();
}

void TBasicAction::Change() {
    if (auto* contained = dynamic_cast<TContainedAction*>(this); contained && contained->GetActionList()) {
        TCustomActionList* list = contained->GetActionList();
        if (list->OnChange) list->OnChange(list);
    }
}

// =========================================================== TCustomActionList

TCustomActionList::~TCustomActionList() {
    for (TContainedAction* a : actions_) a->actionList_ = nullptr;
}

void TCustomActionList::BeforeDestruction() {
    TComponent::BeforeDestruction();
    for (TContainedAction* a : actions_) a->actionList_ = nullptr;
    actions_.clear();
}

TContainedAction* TCustomActionList::GetAction(int index) const {
    if (index < 0 || index >= GetActionCount()) ThrowListIndexError(index);
    return actions_[static_cast<size_t>(index)];
}

void TCustomActionList::SetImages(TCustomImageList* value) { images_ = value; }

void TCustomActionList::AddAction(TContainedAction* action) {
    if (!action || action->actionList_ == this) return;
    actions_.push_back(action);
    action->actionList_ = this;
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
    if (!action || action->actionList_ != this) return;
    std::erase(actions_, action);
    action->actionList_ = nullptr;
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
    bool handled = false;
    if (OnExecute) OnExecute(action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
    bool handled = false;
    if (OnUpdate) OnUpdate(action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TKey key, TShiftState shift) {
    TShortCut wanted = ShortCut(key, shift);
    if (wanted == scNone) return false;
    // An action may free others (or the list) when it runs.
    std::vector<thorn::ComponentRef<TContainedAction>> actions(actions_.begin(), actions_.end());
    for (auto& ref : actions) {
        auto* action = dynamic_cast<TCustomAction*>(ref.Get());
        if (action && action->GetShortCut() == wanted && action->Execute()) return true;
    }
    return false;
}

// ============================================================== action links

TBasicActionLink::~TBasicActionLink() {
    if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_) action_->UnRegisterChanges(this);
    action_ = action;
    if (!action) return;
    action->RegisterChanges(this);
    if (auto* a = dynamic_cast<TCustomAction*>(action)) {
        SetCaption(a->GetCaption());
        SetChecked(a->GetChecked());
        SetEnabled(a->GetEnabled());
        SetHint(a->GetHint());
        SetImageIndex(a->GetImageIndex());
        SetShortCut(a->GetShortCut());
        SetVisible(a->GetVisible());
    }
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

void TControlActionLink::SetCaption(const std::string& value) { client_.SetCaption(value); }

void TControlActionLink::SetEnabled(bool value) { client_.SetEnabled(value); }

void TControlActionLink::SetHint(const std::string& value) { client_.SetHint(value); }

void TControlActionLink::SetVisible(bool value) { client_.SetVisible(value); }
