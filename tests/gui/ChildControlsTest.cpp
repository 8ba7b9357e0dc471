#include <gtest/gtest.h>

#include <memory>

#include "TestControls.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Swatch;

class GuiChildControls : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
};

// Who owns the button that sits on the panel.
enum class Owner { Form, Panel, Sibling, OtherForm, Nobody };

struct ChildCase {
    const char* what;
    Owner owner;
    bool panelOwned;  // false: the test holds the panel and drops it
    bool nested;      // the button sits on a second panel inside the first
};

const ChildCase kChildCases[] = {
    {"a button of the form", Owner::Form, true, false},
    {"a button of the panel", Owner::Panel, true, false},
    {"a button of a sibling", Owner::Sibling, true, false},
    {"a button of another form", Owner::OtherForm, true, false},
    {"a button nobody owns", Owner::Nobody, true, false},
    {"a button of the form on a panel nobody owns", Owner::Form, false, false},
    {"a button of the form two panels down", Owner::Form, true, true},
};

TEST_F(GuiChildControls, AParentFreedFromItsChildsClickFreesItsChildrenThroughTheirOwners) {
    for (const ChildCase& c : kChildCases) {
        SCOPED_TRACE(c.what);
        TForm* form = MakeForm();
        TForm* other = MakeForm();
        std::unique_ptr<Swatch> heldPanel;
        Swatch* panel = c.panelOwned ? AddControl<Swatch>(*form, "Panel", {0, 0, 100, 100}) : nullptr;
        if (!c.panelOwned) {
            heldPanel = std::make_unique<Swatch>();
            panel = heldPanel.get();
            panel->SetBounds(0, 0, 100, 100);
            panel->SetParent(form);
        }
        thorn::ComponentRef<Swatch> panelRef(panel);
        Swatch* sibling = AddControl<Swatch>(*panel, "Sibling", {60, 60, 80, 80});
        Swatch* place = c.nested ? AddControl<Swatch>(*panel, "Inner", {0, 0, 50, 50}) : panel;

        std::unique_ptr<Swatch> unowned;
        TComponent* owner = nullptr;
        switch (c.owner) {
            case Owner::Form: owner = form; break;
            case Owner::Panel: owner = panel; break;
            case Owner::Sibling: owner = sibling; break;
            case Owner::OtherForm: owner = other; break;
            case Owner::Nobody: unowned = std::make_unique<Swatch>(); break;
        }
        Swatch* button = owner ? thorn::Make<Swatch>(*owner) : unowned.get();
        button->SetName("Button");
        button->SetBounds(10, 10, 20, 20);
        button->SetParent(place);
        thorn::ComponentRef<Swatch> buttonRef(button);
        thorn::ComponentRef<TComponent> ownerRef(owner);
        button->OnClick = [&](TObject*) {
            if (heldPanel)
                heldPanel.reset();
            else
                thorn::Free(panel);
        };
        form->Show();
        host.Click(*form, 15, 15);

        EXPECT_FALSE(panelRef);
        EXPECT_EQ(form->GetControlCount(), 0);
        EXPECT_EQ(form->ControlAtClientPos({15, 15}), form);
        if (c.owner == Owner::Nobody) {
            ASSERT_TRUE(buttonRef);  // its holder still has it
            EXPECT_EQ(button->GetParent(), nullptr);
            button->SetParent(other);
        } else {
            EXPECT_FALSE(buttonRef);
            if (ownerRef) {
                EXPECT_EQ(ownerRef->FindComponent("Button"), nullptr);
            }
        }
        thorn::Free(form);
        thorn::Free(other);
    }
}

TEST_F(GuiChildControls, FreeingTheOwnerTakesItsControlOffAParentOnAnotherForm) {
    TForm* form = MakeForm();
    TForm* other = MakeForm();
    Swatch* panel = AddControl<Swatch>(*form, "Panel", {0, 0, 100, 100});
    thorn::ComponentRef<Swatch> button(thorn::Make<Swatch>(*other));
    button->SetParent(panel);
    thorn::Free(other);
    EXPECT_FALSE(button);
    EXPECT_EQ(panel->GetControlCount(), 0);
}

}  // namespace
