#include "gui/sdl/X11Placing.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gui/sdl/X11Mapping.h"
#include "gui/sdl/X11Window.h"

namespace thorn {

namespace {

// How long a window manager may take to answer a request for a frame.
constexpr int kFrameAnswerTime = 250;  // milliseconds
// How long after a show or a move a move SDL reports may be the manager's
// placing of the frame; a frame to read is waited for twice as long.
constexpr uint64_t kPlacingTime = 1000;  // milliseconds
// How often a window put by its frame is put again.
constexpr int kMaxPuts = 2;

}  // namespace

void X11Placing::SetFramed(bool framed) {
    if (framed != framed_) {
        asked_ = false;
        read_.reset();
        check_.reset();
    }
    framed_ = framed;
}

bool X11Placing::SdlKnowsFrame(FrameEdges& frame) const {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0 ||
        (top == 0 && left == 0 && bottom == 0 && right == 0))
        return false;
    frame = {left, top, right, bottom};
    return true;
}

bool X11Placing::FrameKnown(FrameEdges& frame) const {
    if (SdlKnowsFrame(frame)) return true;
    if (!read_) return false;
    frame = *read_;
    return true;
}

X11Placing::Learnt X11Placing::Learn() {
    if (!framed_) return {{}, Source::Own};
    FrameEdges frame;
    if (FrameKnown(frame)) return {frame, Source::Own};
    // Asked once: a manager that did not answer in time is not waited for
    // again, for this window or any other (fluxbox never answers), and one
    // that announces nothing answers nothing.
    if (!asked_) {
        asked_ = true;
        announced_ = X11WindowManagerRuns(window_);
        told_.reset();
        if (announced_ && !seen_.unanswered) {
            told_ = X11ExpectedFrame(window_, kFrameAnswerTime);
            seen_.unanswered = !told_;
        }
    }
    if (told_) return {*told_, Source::Told};
    if (!announced_ && !seen_.silentManager) return {{}, Source::Unannounced};
    return {seen_.last, Source::Others};
}

bool X11Placing::PutByReadFrame() const {
    FrameEdges told;
    return read_ && mapping_ && !SdlKnowsFrame(told);
}

void X11Placing::PutFrame(const TRect& place, bool held) {
    // Asked already, and still watched: the manager is at it.
    if (held && check_ && check_->before && check_->place.Left == place.Left && check_->place.Top == place.Top)
        return;
    TPoint corner{place.Left - read_->Left, place.Top - read_->Top};
    if (held) corner = {corner.X + seen_.moveSkew.X, corner.Y + seen_.moveSkew.Y};
    check_ = Check{place, held ? X11InsidePlace(window_) : std::nullopt, {}, SDL_GetTicks64() + kPlacingTime, 0};
    X11MoveWindowFrame(window_, corner.X, corner.Y);
}

void X11Placing::Show(const TRect& place) {
    const Learnt learnt = Learn();
    toRead_ = mapping_ && (learnt.source == Source::Others || learnt.source == Source::Unannounced);
    readBare_ = learnt.source == Source::Unannounced;
    shownWith_ = learnt.frame;
    readUntil_ = SDL_GetTicks64() + 2 * kPlacingTime;
    placeCheckUntil_ = SDL_GetTicks64() + kPlacingTime;
    check_.reset();
    if (PutByReadFrame()) {
        PutFrame(place, false);
        return;
    }
    // SDL reckons with a frame only once the window had one, and puts a
    // window that stood framed before at its own place, which shows it a
    // frame lower: the frame's corner is put by hand.
    X11MoveWindowFrame(window_, place.Left - learnt.frame.Left, place.Top - learnt.frame.Top);
}

void X11Placing::Hide() {
    placeCheckUntil_ = 0;
    toRead_ = false;
    check_.reset();
    frameNews_ = false;
}

void X11Placing::MoveTo(const TRect& place, bool shown) {
    // SDL puts the frame's corner by the frame it knows: one it never
    // heard of, but read, is reckoned with here.
    if (shown && PutByReadFrame())
        PutFrame(place, true);
    else
        SDL_SetWindowPosition(window_, place.Left, place.Top);
}

TRect X11Placing::Settle(const TRect& place, const TRect& workArea) {
    TRect settled = place;
    if (SDL_GetTicks64() > readUntil_) toRead_ = false;
    if (toRead_ && mapping_ && mapping_->Viewable()) settled = ReadShownFrame(place, workArea);
    if (const std::optional<TRect> elsewhere = Watch()) {
        settled = *elsewhere;
        placeNews_ = true;
    }
    return settled;
}

TRect X11Placing::ReadShownFrame(const TRect& place, const TRect& workArea) {
    const std::optional<FrameEdges> frame = X11ShownFrame(window_);
    if (!frame) return place;
    toRead_ = false;
    // Standing on the root itself, with no manager known: none runs.
    if (readBare_ && *frame == FrameEdges{}) return place;
    if (readBare_) seen_.silentManager = true;
    read_ = *frame;
    seen_.last = *frame;
    frameNews_ = true;
    if (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) return place;
    // A manager that tells nothing beforehand would otherwise keep the title
    // bar above the screen, or the frame past its bottom.
    const TRect placed = PlaceInside(place, *frame, workArea);
    sizeNews_ = placed.Width() != place.Width() || placed.Height() != place.Height();
    placeNews_ = placed != place;
    // The manager's answers to the move are mended as a first placing.
    placeCheckUntil_ = SDL_GetTicks64() + kPlacingTime;
    if (sizeNews_) SDL_SetWindowSize(window_, placed.Width(), placed.Height());
    if (!PutByReadFrame()) {
        X11MoveWindowFrame(window_, placed.Left - frame->Left, placed.Top - frame->Top);
    } else if (placed.Left != place.Left || placed.Top != place.Top || *frame != shownWith_) {
        PutFrame(placed, true);
    } else {
        // Shown with the frame it got, where it is to stand: only watched
        // (a manager may take a move to where a window stands for one by
        // its own reckoning).
        check_ = Check{placed, std::nullopt, {}, SDL_GetTicks64() + kPlacingTime, 0};
    }
    return placed;
}

std::optional<TRect> X11Placing::Watch() {
    if (!check_) return std::nullopt;
    const bool over = SDL_GetTicks64() > check_->until;
    // Not on the screen yet: the manager has not answered.
    if (!mapping_ || !mapping_->Viewable()) {
        if (over) check_.reset();
        return std::nullopt;
    }
    const std::optional<TPoint> got = X11InsidePlace(window_);
    const TRect place = check_->place;
    if (!got || (got->X == place.Left && got->Y == place.Top)) {
        check_.reset();
        return std::nullopt;
    }
    const TRect there{got->X, got->Y, got->X + place.Width(), got->Y + place.Height()};
    if (over || check_->puts >= kMaxPuts) {
        // The manager's last word: the form hears where the window stands.
        check_.reset();
        return there;
    }
    // An answer is a place other than the one before the request, seen
    // twice in a row (a manager may still be at an earlier request).
    const bool answered = (!check_->before || *got != *check_->before) && check_->seen == got;
    check_->seen = got;
    if (!answered) return std::nullopt;
    // A held window put elsewhere than asked shows the manager's way with
    // the corner asked for: never more than a frame's width.
    if (check_->before) {
        const TPoint skew{seen_.moveSkew.X + place.Left - got->X, seen_.moveSkew.Y + place.Top - got->Y};
        const int most = std::max({read_->Left, read_->Top, read_->Right, read_->Bottom});
        if (std::abs(skew.X) <= most && std::abs(skew.Y) <= most) seen_.moveSkew = skew;
    }
    const int puts = check_->puts + 1;
    check_.reset();
    PutFrame(place, true);
    check_->puts = puts;
    return std::nullopt;
}

bool X11Placing::TakeMove(const TRect& place, bool shown, int& left, int& top) {
    if (!shown || toRead_) return false;
    // Followed by the watch while one runs.
    if (PutByReadFrame()) {
        seen_.last = *read_;
        return !check_;
    }
    FrameEdges frame;
    if (!SdlKnowsFrame(frame)) return true;
    seen_.last = frame;
    if (placeCheckUntil_ == 0 || SDL_GetTicks64() > placeCheckUntil_) return true;
    placeCheckUntil_ = 0;
    if (left != place.Left || top != place.Top) {
        SDL_SetWindowPosition(window_, place.Left, place.Top);
        left = place.Left;
        top = place.Top;
    }
    return true;
}

bool X11Placing::TakePlaceNews(bool& sized) {
    sized = std::exchange(sizeNews_, false);
    return std::exchange(placeNews_, false);
}

bool X11Placing::TakeFrameNews() { return std::exchange(frameNews_, false); }

}  // namespace thorn
