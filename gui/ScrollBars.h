#pragma once

#include <cstdint>
#include <memory>

#include "gui/Controls.h"

class TTimer;

// Window scroll bars: any windowed control can have a horizontal and a
// vertical bar along its right and bottom edges, inside its frame and
// outside its client area. The control sets range, page and position; the
// user's arrows, page clicks (both repeating while held) and thumb drags
// come back to it as WMHScroll / WMVScroll with an SB_ code, and the control
// moves its content and sets the position in answer. A bar shows while its
// range is larger than its page (or, when asked with SIF_DISABLENOSCROLL,
// always, greyed while there is nothing to scroll); a bar coming or going
// resizes the client area, which the control hears as WMSize.

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_BOTH = 3;

inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_ENDSCROLL = 8;

inline constexpr uint32_t SIF_RANGE = 0x1;
inline constexpr uint32_t SIF_PAGE = 0x2;
inline constexpr uint32_t SIF_POS = 0x4;
inline constexpr uint32_t SIF_DISABLENOSCROLL = 0x8;
inline constexpr uint32_t SIF_TRACKPOS = 0x10;
inline constexpr uint32_t SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// What SetScrollInfo sets and GetScrollInfo reads: the fields fMask names.
// The position runs from nMin to nMax - nPage + 1 (to nMax without a page).
struct TScrollInfo {
    uint32_t fMask = 0;
    int nMin = 0;
    int nMax = 0;
    uint32_t nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;  // the thumb's position while the user drags it
};

// Sets what fMask names (page and position are kept inside the range) and
// answers the position. redraw repaints the bar.
int SetScrollInfo(TWinControl& control, int bar, const TScrollInfo& info, bool redraw = true);
// Fills what fMask names; false when the control never had that bar.
bool GetScrollInfo(const TWinControl& control, int bar, TScrollInfo& info);
int GetScrollPos(const TWinControl& control, int bar);
// Answers the previous position.
int SetScrollPos(TWinControl& control, int bar, int pos, bool redraw = true);
void SetScrollRange(TWinControl& control, int bar, int min, int max, bool redraw = true);
// Shows a bar (even with nothing to scroll) or hides it, until the next
// SetScrollInfo with a range or page; SB_BOTH does both bars.
void ShowScrollBar(TWinControl& control, int bar, bool show);
bool IsScrollBarShown(const TWinControl& control, int bar);

namespace thorn {

// The width of a vertical bar and the height of a horizontal one.
inline constexpr int kScrollBarSize = 16;
// Held arrows and page areas repeat after this delay, then at this interval.
inline constexpr uint32_t kScrollRepeatDelay = 400;
inline constexpr uint32_t kScrollRepeatInterval = 100;

// The bars of one control, made when it first sets one.
class WindowScrollBars {
public:
    explicit WindowScrollBars(TWinControl& owner);
    ~WindowScrollBars();
    WindowScrollBars(const WindowScrollBars&) = delete;
    WindowScrollBars& operator=(const WindowScrollBars&) = delete;

    int SetInfo(int bar, const TScrollInfo& info, bool redraw);
    void GetInfo(int bar, TScrollInfo& info) const;
    void Show(int bar, bool show);
    bool IsShown(int bar) const { return bars_[Index(bar)].shown; }

    // Takes the shown bars off the area inside the control's frame (bounds
    // coordinates).
    void Carve(TRect& area) const;
    // Paints the shown bars; the canvas is placed at the control's bounds.
    void Paint(TCanvas& canvas);

    // Mouse messages of the control (client coordinates); each answers
    // whether the bars took it.
    bool MouseDown(const TWMMouse& message);
    bool MouseMove(const TWMMouse& message);
    bool MouseUp(const TWMMouse& message);
    // Drops a press in progress without telling the control.
    void CancelTracking();

private:
    enum class Part { None, LineBack, PageBack, Thumb, PageForward, LineForward };
    enum class Mode { Auto, Shown, Hidden };
    struct Bar {
        int min = 0;
        int max = 0;
        uint32_t page = 0;
        int pos = 0;
        int trackPos = 0;
        Mode mode = Mode::Auto;
        bool disableNoScroll = false;
        bool shown = false;
    };
    struct Geometry {
        TRect bar, back, forward, track, thumb;  // bounds coordinates; thumb empty when none
    };

    static int Index(int bar) { return bar == SB_VERT ? 1 : 0; }
    static bool Scrollable(const Bar& b);
    static int MaxPos(const Bar& b);
    bool WantShown(const Bar& b) const;
    TRect Frame() const;
    Geometry GeometryOf(int bar) const;
    Part PartAt(int bar, TPoint p) const;
    // Along the bar's length: x for the horizontal bar, y for the vertical.
    static int Along(int bar, TPoint p) { return bar == SB_VERT ? p.Y : p.X; }
    TPoint ToBounds(const TWMMouse& m) const;
    void InvalidateBar(int bar) const;
    // Shows or hides bars as their settings ask; the client area changes.
    void UpdateShown();
    // Sends the code of the pressed part; false when the control went away.
    bool SendPressed();
    bool Send(int bar, int code, int pos);
    void RepeatTick();
    void EndPress();

    TWinControl& owner_;
    Bar bars_[2];
    // the press in progress
    Part pressed_ = Part::None;
    int pressedBar_ = SB_VERT;
    bool pressedHot_ = false;  // the pointer is on the pressed part
    TPoint lastPoint_;          // bounds coordinates
    int dragOffset_ = 0;        // from the thumb's start to the pointer
    std::unique_ptr<TTimer> repeat_;
    int updatingShown_ = 0;
};

}  // namespace thorn
