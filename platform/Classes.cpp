#include "platform/Classes.h"

#include <typeinfo>

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
    throw EConvertError(std::string("Cannot assign a ") + typeid(*this).name() + " to a " + typeid(dest).name());
}
