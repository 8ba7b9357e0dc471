#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/ActionLink.h"
#include "gui/ControlTypes.h"
#include "gui/ImageList.h"
#include "platform/Components.h"

class TCustomActionList;
class TControl;

// A command that menu items, buttons and tool buttons show and run. The
// controls that show it hold an action link; every change of the action
// reaches them at once through their links.
class TBasicAction : public TComponent {
public:
    TBasicAction();
    ~TBasicAction() override;
    void BeforeDestruction() override;

    // Runs OnExecute; answers whether anything handled the action.
    virtual bool Execute();
    // Runs OnUpdate, which may change the action's state; answers whether
    // anything handled it.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    // ---- used by the links
    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);
    const std::vector<TBasicActionLink*>& GetClients() const { return clients_; }

protected:
    // Tells every link that the action changed.
    void Change();

private:
    std::vector<TBasicActionLink*> clients_;
};

// An action kept in an action list.
class TContainedAction : public TBasicAction {
public:
    ~TContainedAction() override;
    TCustomActionList* GetActionList() const { return actionList_; }
    // Moves the action into list (null takes it out of its list).
    void SetActionList(TCustomActionList* list);
    int GetIndex() const;
    const std::string& GetCategory() const { return category_; }
    void SetCategory(const std::string& value) { category_ = value; }

    // The list's OnExecute, then OnExecute.
    bool Execute() override;
    // The list's OnUpdate, then OnUpdate.
    bool Update() override;

private:
    friend class TCustomActionList;
    TCustomActionList* actionList_ = nullptr;
    std::string category_;
};

// An action with the state its controls show: caption, hint ("short|long"),
// shortcut, enabled, checked, visible and image (an index into the list's
// Images). Checked actions of one GroupIndex other than 0 exclude each other.
class TCustomAction : public TContainedAction {
public:
    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool GetChecked() const { return checked_; }
    void SetChecked(bool value);
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool value);
    const std::string& GetHint() const { return hint_; }
    void SetHint(const std::string& value);
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value);
    // Execute flips Checked first.
    bool GetAutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    int GetGroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);

    // Updates the action; an enabled action then flips Checked when AutoCheck
    // is on and runs. A disabled one does nothing and answers false. Whether
    // the action is visible does not matter: a hidden action still runs.
    bool Execute() override;

private:
    template <typename Set>
    void ForEachLink(Set set);

    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool autoCheck_ = false;
    int imageIndex_ = -1;
    int groupIndex_ = 0;
    TShortCut shortCut_ = scNone;
};

class TAction : public TCustomAction {};

using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

// The actions of a window, with the images they show. The actions are
// components of their own owner (usually the form) and join a list through
// SetActionList.
class TCustomActionList : public TComponent {
public:
    ~TCustomActionList() override;
    void BeforeDestruction() override;

    int GetActionCount() const { return static_cast<int>(actions_.size()); }
    TContainedAction* GetAction(int index) const;
    TCustomImageList* GetImages() const { return images_.Get(); }
    void SetImages(TCustomImageList* value);

    // Finds the action whose shortcut is key with shift and runs it when it
    // is enabled (after its update); answers whether one ran.
    bool IsShortCut(TKey key, TShiftState shift);

    // Run for every action of the list before its own OnExecute/OnUpdate;
    // setting handled stops it there.
    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

    // ---- used by the actions
    bool ExecuteAction(TBasicAction* action);
    bool UpdateAction(TBasicAction* action);
    void AddAction(TContainedAction* action);
    void RemoveAction(TContainedAction* action);

private:
    std::vector<TContainedAction*> actions_;
    thorn::ComponentRef<TCustomImageList> images_;
};

class TActionList : public TCustomActionList {};
