#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "EditorSession.h"
#include "inspector/Rminspector.h"

namespace thorn::test {

// The editor started in a copy of the start folder, with the sample project
// of NewSampleProject: the second of its two string tables in use.
class ToolWindowTest : public ::testing::Test {
protected:
    ToolWindowTest();
    ~ToolWindowTest() override;

    HeadlessHost& Host() const { return editor.Host(); }
    CStringTable& TableInUse() const;
    CStringTable& OtherTable() const;

    // The window of the command shown (the start folder's settings may
    // have shown it already).
    void ShowWith(TAction& command);
    // The user's click at a point of the control (its client coordinates).
    void ClickOn(const TControl& control, TPoint at);
    void ClickMiddle(const TControl& control);
    // The grid's row of the key shown whole (the window grown when it is not),
    // and a click in its value cell, which opens the row's editor.
    void ClickValue(TrmInspector& grid, std::string_view key);
    // A click on the row's value, the editor's text replaced by text
    // (selected and typed over; an empty text deletes it), then Enter.
    void TypeInto(TrmInspector& grid, std::string_view key, std::string_view text);
    // The ellipsis of the long-text row's editor.
    void ClickEllipsis(TrmInspector& grid, std::string_view key);
    std::string ValueOf(const TrmInspector& grid, std::string_view key) const;

    EditorSession editor;
};

}  // namespace thorn::test
