#pragma once

#include "platform/Components.h"

namespace thorn {

// Makes a form that owner owns and sets the program's reference to it before
// its OnCreate runs, so that what OnCreate does already finds the form
// through the reference. An exception of OnCreate is shown with the
// exception box and the form stays.
template <typename T>
T* CreateForm(TComponent& owner, ComponentRef<T>& reference) {
    T* form = Make<T>(owner, owner);
    reference = form;
    form->DoCreate();
    return form;
}

}  // namespace thorn
