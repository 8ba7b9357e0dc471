#pragma once

#include <string>

#include "gui/Controls.h"
#include "platform/DateTime.h"

class TStrings;

// Two kinds of grid rows edit through controls of the secondary library,
// which stands above this one: the extended combo row through the button
// combo, the date row through the date edit. The rows reach those editors
// through these views, which the editors implement; the grid finds the
// editor classes by name.
namespace thorn {

class ComboExEditor {
public:
    virtual ~ComboExEditor() = default;
    virtual void SetComboItems(const TStrings& value) = 0;
    // The item of that index becomes the text (-1: the empty text).
    virtual void SetItemIndex(int value) = 0;
    // Run by the ellipsis button.
    virtual void SetEllipsisClick(TNotifyEvent handler) = 0;
};

class DateEditor {
public:
    virtual ~DateEditor() = default;
    virtual TDateTime GetDate() const = 0;
    virtual void SetDate(TDateTime value) = 0;
    // An empty pattern is the editor's default.
    virtual void SetDateFormat(const std::string& value) = 0;
};

}  // namespace thorn
