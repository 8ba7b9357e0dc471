#pragma once

#include <cstdint>
#include <optional>

#include "gui/WindowPlacing.h"
#include "platform/Types.h"

struct SDL_Window;

namespace thorn {

class X11Mapping;

// What the program has learnt of the window manager's frames, shared by all
// its windows.
struct X11FramesSeen {
    // The frame the manager gave a window of the program, as last seen
    // (none without a window manager).
    FrameEdges last;
    // The manager let a request for a frame go unanswered: the next windows
    // do not wait for an answer either.
    bool unanswered = false;
    // A manager that announces nothing (twm) framed a window of the
    // program: the next windows are shown with the frame it gave.
    bool silentManager = false;
    // How far from the frame's corner asked for a manager that tells
    // nothing put the frame of a window it already held (twm puts the
    // frame's own border outside the corner asked for): a move of such a
    // window asks that much further.
    TPoint moveSkew;
};

// Places one top-level window, its inside where its form asks, with the
// frame its window manager gives it: the frame the window has, else the one
// the manager says it will get, else the one the program's other windows
// got. A frame only guessed is read once the window is framed, and the
// place checked against the work area with it.
//
// A window manager is known by the selection it owns, by the window it
// names on the root, or by what it does: a window of the program found in
// a frame of the manager's once mapped. Without a sign of one, a window is
// shown bare and looked at once on the screen. A window whose frame SDL
// does not know (the manager never told it) is put by its frame here, and
// watched a while after each show and move until its inside stands where
// asked, the manager's way with the corner asked for learnt on the way. On
// another video driver the frame is SDL's, and every place is SDL's too.
class X11Placing {
public:
    // Neither the window nor the mapping (null off X) is owned.
    X11Placing(X11FramesSeen& seen, SDL_Window* window, X11Mapping* mapping)
        : seen_(seen), window_(window), mapping_(mapping) {}

    // Whether the window gets a frame at all (a border of its own, not a
    // pop-up). A change forgets what the manager said of the frame.
    void SetFramed(bool framed);

    // The frame the window has or gets, as well as it is known now.
    FrameEdges Frame() { return Learn().frame; }

    // The window is about to be mapped, its inside at place: the frame's
    // corner goes where the manager then puts the inside there (a manager
    // puts the frame's corner where the window stands as it maps it).
    void Show(const TRect& place);
    // The window was withdrawn: nothing the manager does to it counts.
    void Hide();
    // Moves a window to place, its inside there when it is shown.
    void MoveTo(const TRect& place, bool shown);

    // Once the window is on the screen, a frame it was shown with only
    // guessed (or with none while no manager was known) is read, from the
    // manager's word or its frame window; the place is put inside the work
    // area with it and the window goes there. A window put by its frame
    // that does not stand where asked is put there again (twice at most),
    // and the form told where it stands if it never does. Answers the
    // place, which the form hears of through TakePlaceNews.
    TRect Settle(const TRect& place, const TRect& workArea);

    // SDL reports the window's inside at (left, top): whether the form
    // hears of it. The first place a manager gives a window it shows, if
    // not the one asked for (a manager that keeps frames off an edge of its
    // own, or reckons the frame otherwise), is mended once: what the form
    // holds, and the settings keep, is what it asked for, not a place that
    // moves by a frame at every start. A window whose frame is still to be
    // read is put in its place once it is.
    bool TakeMove(const TRect& place, bool shown, int& left, int& top);

    // Whether the window still waits for its frame or its place, or the
    // form has news to hear.
    bool Unsettled() const { return toRead_ || check_ || placeNews_ || frameNews_; }
    // A place the form did not ask for (and whether its size changed too),
    // and the frame read, each told once.
    bool TakePlaceNews(bool& sized);
    bool TakeFrameNews();

private:
    // Where the frame in use comes from.
    enum class Source {
        Own,          // read, or told by SDL: the window's own
        Told,         // what the manager said the window would get
        Others,       // the one the program's other windows got
        Unannounced,  // none: no manager has said or shown it runs
    };
    struct Learnt {
        FrameEdges frame;
        Source source;
    };
    Learnt Learn();
    // The frame SDL knows of the window (from the manager's word), or the
    // one read from the manager's frame window.
    bool FrameKnown(FrameEdges& frame) const;
    bool SdlKnowsFrame(FrameEdges& frame) const;
    // Whether the window is put by the frame read, which SDL does not know.
    bool PutByReadFrame() const;
    // Puts the frame's corner for the inside at place, and watches it; a
    // window the manager holds is put by the skew learnt.
    void PutFrame(const TRect& place, bool held);
    // Follows the watched window; answers the place the form is to hear of
    // when the watch ends with the window elsewhere.
    std::optional<TRect> Watch();
    // Reads the frame of a window on the screen shown without its own, and
    // puts the window in its place with it; answers the place.
    TRect ReadShownFrame(const TRect& place, const TRect& workArea);

    X11FramesSeen& seen_;
    SDL_Window* window_;
    X11Mapping* mapping_;
    bool framed_ = true;
    // What the manager was asked, and said, of the frame to come.
    bool asked_ = false;
    bool announced_ = false;
    std::optional<FrameEdges> told_;
    // The frame read around the window on the screen.
    std::optional<FrameEdges> read_;
    // Shown with a frame not its own: read once framed, until the time
    // given; and whether no manager was known then.
    bool toRead_ = false;
    bool readBare_ = false;
    uint64_t readUntil_ = 0;
    // The frame the window was last shown with.
    FrameEdges shownWith_;
    bool placeNews_ = false;
    bool sizeNews_ = false;
    bool frameNews_ = false;
    // Until when a move SDL reports may be the manager's first placing of
    // the frame (0: none expected), from the show or a move.
    uint64_t placeCheckUntil_ = 0;
    // A window put by its frame read, watched until it stands where asked:
    // where the inside stood as it was asked (none for a show: the first
    // place the window takes on the screen is the manager's answer).
    struct Check {
        TRect place;
        std::optional<TPoint> before;
        std::optional<TPoint> seen;  // at the last look
        uint64_t until = 0;
        int puts = 0;  // put again since the show or the move
    };
    std::optional<Check> check_;
};

}  // namespace thorn
