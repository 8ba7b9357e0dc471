#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/Rmscrollablecontrol.h"
#include "platform/StringList.h"

// Lets the owner change a line's text (str) and the canvas before the line
// is drawn.
using TFormatDrawingEvent = std::function<void(TObject* sender, TCanvas& canvas, bool selected, std::string& str)>;

// A list of text lines drawn in the control's font, the selected range
// highlighted while the control has the focus, on the scrolling rows of
// TrmCustomScrollableControl. Only the rows in sight are painted.
class TrmListControl : public TrmCustomScrollableControl {
public:
    TrmListControl();
    ~TrmListControl() override;

    // The lines; any change makes the first line current.
    TStringList* GetItems() const { return items_.get(); }
    // Copies lines into Items.
    void SetItems(const TStrings& lines);
    // The width of the widest line is measured once and kept; -1 has it
    // measured again at the next need.
    void SetLongestLineLength(int value) { longestLine_ = value; }

    int MaxItemLength() override;
    int MaxItemCount() override { return items_->GetCount(); }
    int MaxItemHeight() override;
    int MaxItemWidth() override { return 1; }

    TFormatDrawingEvent OnFormatDrawing;

protected:
    void Paint() override;
    void CMFontChanged() override;

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> items_;
    int longestLine_ = -1;
};
