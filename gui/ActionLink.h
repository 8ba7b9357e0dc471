#pragma once

#include <string>

#include "gui/ControlTypes.h"

class TBasicAction;
class TControl;

// Declared apart from the actions, which implement the links
// (gui/ActnList.cpp), so that the base of the controls holds a link without
// knowing the action list.
//
// The tie between an action and one control that shows it. The action calls
// the setters below whenever one of its properties changes; each link passes
// on what its client shows and ignores the rest.
class TBasicActionLink {
public:
    TBasicActionLink() = default;
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* GetAction() const { return action_; }
    // Ties the link to action (null unties it); the client then takes every
    // property of the action through the setters below.
    void SetAction(TBasicAction* action);
    // Runs the action.
    virtual bool Execute();
    // Updates the action.
    virtual bool Update();

    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

    // The action is going away; the link forgets it.
    void ActionDestroying() { action_ = nullptr; }

private:
    TBasicAction* action_ = nullptr;
};

// The link of a plain control: it follows caption, enabled, hint and visible.
// Controls that show more (a check mark, an image) derive their own link and
// return it from TControl::CreateActionLink.
class TControlActionLink : public TBasicActionLink {
public:
    explicit TControlActionLink(TControl& client) : client_(client) {}
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetHint(const std::string& value) override;
    void SetVisible(bool value) override;

protected:
    TControl& Client() const { return client_; }

private:
    TControl& client_;
};
