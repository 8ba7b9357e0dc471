#include "gui/sdl/SdlHost.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "bitmap/Pix32.h"
#include "gui/Application.h"
#include "gui/sdl/SdlKeys.h"
#include "gui/sdl/X11Errors.h"
#include "gui/sdl/X11Frame.h"
#include "gui/sdl/X11Input.h"
#include "gui/sdl/X11Mapping.h"
#include "gui/sdl/X11Placing.h"
#include "gui/sdl/X11Window.h"
#include "platform/Beep.h"
#include "platform/Charset.h"

namespace thorn {

// ================================================================ the window

// On X no call here may wait on the server, or on a window manager, without
// a limit. As observed with SDL 2.26: its show waits for the window to be
// mapped, its restore shows the window, and its border change waits until a
// window it believes shown is on the screen, each without a limit; these
// are done through X11Mapping or not asked of a window they could wait on.
// Its hide waits for the unmap of a mapped window (which the server does at
// once) and its destroy hides first: both come after the window is
// withdrawn. A move, a size and the size limits wait at most 100 ms for the
// manager's answer; raising, the keyboard, the owner, staying on top,
// maximising and minimising return at once.
class SdlWindow : public HostWindow {
public:
    SdlWindow(SdlHost& host, HostWindowClient& client, WindowKind kind) : host_(host), client_(client), kind_(kind) {
        Create();
    }

    ~SdlWindow() override {
        if (capture_) SDL_CaptureMouse(SDL_FALSE);
        Destroy();
    }

    HostWindowClient& Client() const { return client_; }

    // Only a window that stands elsewhere is moved, and only one of another
    // size sized: a window manager may still be taking the window over, and
    // a move then races SDL's handling of it (a request about a frame that
    // is gone).
    void SetBounds(const TRect& r) override {
        bounds_ = r;
        int left = 0, top = 0, width = 0, height = 0;
        SDL_GetWindowPosition(window_, &left, &top);
        SDL_GetWindowSize(window_, &width, &height);
        if (left != r.Left || top != r.Top) placing_->MoveTo(r, visible_);
        if (width != std::max(1, r.Width()) || height != std::max(1, r.Height()))
            SDL_SetWindowSize(window_, std::max(1, r.Width()), std::max(1, r.Height()));
    }

    // Whether the form hears of a move SDL reports. A hidden window is moved
    // by nobody the form should hear of (a window manager lets go of it
    // where its frame stood); see X11Placing for a shown one.
    bool TakeMove(int& left, int& top) { return placing_->TakeMove(bounds_, visible_, left, top); }

    bool PopupShown() const { return visible_ && IsPopupKind(kind_); }
    bool IsPopup() const { return IsPopupKind(kind_); }
    uint32_t Id() const { return id_; }
    bool OnTopShown() const { return visible_ && onTop_ && !IsPopupKind(kind_); }
    SDL_Window* Handle() const { return window_; }

    // The frame the window has, else the one the window manager says it
    // will get, else the one the others got.
    FrameEdges GetFrame() override { return placing_->Frame(); }

    // Once the window is framed, a frame it was shown with only guessed is
    // read and the window put in its place with it (X11Placing). A new
    // place, and then the frame read, are told to the form from the event
    // loop (TellPlace).
    void SettlePlace() { bounds_ = placing_->Settle(bounds_, host_.GetWorkArea()); }

    // The form hears of a place it did not ask for, and of the frame read.
    // Answers false when a handler freed it.
    bool TellPlace() {
        SdlHost& host = host_;
        HostWindowClient& client = client_;
        const uint32_t id = id_;
        bool sized = false;
        if (placing_->TakePlaceNews(sized)) {
            const TRect placed = bounds_;
            client.HostMoved(placed.Left, placed.Top);
            if (host.WindowOfId(id) != this) return false;
            if (sized) client.HostResized(placed.Width(), placed.Height());
            if (host.WindowOfId(id) != this) return false;
        }
        if (placing_->TakeFrameNews()) {
            client.HostFrameRead();
            if (host.WindowOfId(id) != this) return false;
        }
        return true;
    }

    void ApplyApplicationTitle() {
        if (!IsPopupKind(kind_) && !host_.title_.empty()) X11SetApplicationTitle(window_, host_.title_);
    }

    void SetCaption(std::string_view caption) override {
        caption_ = Windows1252ToUtf8(caption);
        SDL_SetWindowTitle(window_, caption_.c_str());
    }

    void SetVisible(bool visible) override {
        visible_ = visible;
        if (visible) {
            everShown_ = true;
            // The window goes where the frame it gets puts its inside on the
            // form's place.
            if (!IsPopupKind(kind_)) placing_->Show(bounds_);
            if (mapping_) {
                if (!IsPopupKind(kind_)) {
                    FollowBorderInSdl();
                    X11SetFrameHints(window_, FrameHints());
                }
                mapping_->Show();
                // As SDL's own show does without a window manager (and the
                // pop-ups' hand-back below expects): the window shown takes
                // the keyboard.
                if (!X11WindowManagerRuns(window_)) X11GiveKeyboard(window_);
                // Framed already, as a manager does before it maps a window:
                // the window goes to its place at once, and the windows
                // shown next are placed with the frame it got.
                SettlePlace();
            } else {
                SDL_ShowWindow(window_);
            }
            // A pop-up shown again is mapped where it stood in the stack,
            // under the windows raised since.
            if (IsPopupKind(kind_)) X11RaiseWindow(window_);
            return;
        }
        placing_->Hide();
        activatePending_ = false;
        // On X the window is withdrawn first: SDL then only takes note that
        // it is hidden, having nothing left to wait for.
        if (mapping_) mapping_->Hide();
        SDL_HideWindow(window_);
    }

    // Raises the window and gives it the keyboard, with or without a window
    // manager. While a pop-up is open (the press that opened it activates
    // its window), the window is not raised: a window manager raises it
    // when it gets round to it, over the pop-up.
    //
    // On X a window not on the screen yet (its window manager has not
    // mapped it, or keeps it iconified) is activated once it is: the
    // keyboard can only go to a window on the screen. An iconified one is
    // restored. SDL raises only a window it knows to be shown, which it
    // learns from its events: until then X raises it.
    void Activate() override {
        if (IsPopupKind(kind_) || !visible_) return;
        host_.keyboardWatch_.Forget(id_);
        if (mapping_ && !mapping_->Viewable()) {
            activatePending_ = true;
            if (mapping_->Iconic()) mapping_->Restore();
            return;
        }
        activatePending_ = false;
        if (!host_.PopupShown()) {
            if (!mapping_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN))
                SDL_RaiseWindow(window_);
            else
                X11RaiseWindow(window_);
            host_.KeepOnTopWindowsAbove(window_);
        }
        if (!X11GiveKeyboard(window_)) SDL_SetWindowInputFocus(window_);
    }

    // With a window manager the request carries the time of the user's
    // last input the program handled: the X server drops it when the user
    // chose another window later. Without one, nobody but the program
    // moves the keyboard, unless the user's hand (another program) did.
    void ReturnKeyboard() override {
        if (IsPopupKind(kind_) || !visible_) return;
        host_.keyboardWatch_.Forget(id_);
        if (!X11ReturnKeyboard(window_, host_.userTime_)) SDL_SetWindowInputFocus(window_);
    }

    // On X the request is made now, whatever the time of the user's last
    // input, and the host then watches where the keyboard goes: a window
    // manager that moves it on to another of our windows, or to none, as
    // it lets go of the window that hid, is put right.
    //
    // A window the manager gave the keyboard while its form was disabled
    // (the form took no activation then) holds it already: no focus event
    // comes, and the form is told again.
    void TakeKeyboardBack() override {
        if (IsPopupKind(kind_) || !visible_) return;
        const bool holding = SDL_GetKeyboardFocus() == window_;
        if (!mapping_) {
            SDL_SetWindowInputFocus(window_);
        } else if (!mapping_->Viewable()) {
            Activate();
        } else {
            X11GiveKeyboard(window_);
            host_.keyboardWatch_.Watch(id_, window_, host_.userTime_);
        }
        if (holding) Client().HostActivated(true);
    }

    // Puts right what the window manager made of the last show or hide,
    // and activates a window that came on the screen since it was asked
    // to be.
    void Settle() {
        if (!mapping_) return;
        mapping_->Settle();
        SettlePlace();
        if (!TellPlace()) return;
        if (activatePending_ && mapping_->Viewable()) Activate();
    }
    bool Unsettled() const {
        return mapping_ && (!mapping_->Settled() || activatePending_ || placing_->Unsettled());
    }
    // SDL saw the window mapped: a window manager that read an old request
    // late mapped a window the form has hidden since, which goes again.
    void Mapped() {
        if (visible_ || !mapping_ || !mapping_->Viewable()) return;
        mapping_->Hide();
        SDL_HideWindow(window_);
    }
    // Another window took the keyboard: this one no longer waits for it.
    void ForgetActivation() { activatePending_ = false; }
    bool Visible() const { return visible_; }

    void SetModalFor(HostWindow& owner) override {
        auto* parent = dynamic_cast<SdlWindow*>(&owner);
        if (!parent || parent == this) return;
        ownerId_ = parent->id_;
        modal_ = true;
        if (!mapping_) SDL_SetWindowModalFor(window_, parent->window_);
    }

    void SetOwner(HostWindow* owner) override {
        auto* parent = dynamic_cast<SdlWindow*>(owner);
        ownerId_ = parent && parent != this ? parent->id_ : 0;
        modal_ = false;
    }

    void SetCapture(bool capture) override {
        // SDL captures for the window with the keyboard, which a pop-up never
        // has; within a pop-up the press itself keeps the pointer's events.
        if (IsPopupKind(kind_)) return;
        capture_ = capture;
        SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
    }

    // SDL takes no 0 for "no limit".
    void SetMinimumSize(int width, int height) override {
        SDL_SetWindowMinimumSize(window_, std::max(1, width), std::max(1, height));
    }
    void SetMaximumSize(int width, int height) override {
        constexpr int kNoLimit = 16384;
        SDL_SetWindowMaximumSize(window_, width > 0 ? width : kNoLimit, height > 0 ? height : kNoLimit);
    }

    // A pop-up keeps the frame and stacking it was made with. A tool window
    // is a kind of window the system is told of when it is made: one not
    // shown yet is made again as one.
    void SetBorderStyle(TFormBorderStyle style) override {
        if (kind_ == WindowKind::Popup) return;
        bool tool = !IsPopupKind(kind_) && (style == bsToolWindow || style == bsSizeToolWin);
        if (tool != tool_ && !everShown_) {
            tool_ = tool;
            Destroy();
            Create();
        }
        style_ = style;
        bordered_ = style != bsNone;
        placing_->SetFramed(!IsPopupKind(kind_) && bordered_);
        // On X, SDL waits for a window on the screen to come back after a
        // border change: the frame hints below tell the window manager
        // instead, and SDL follows once the window is hidden.
        FollowBorderInSdl();
        bool sizeable = kind_ == WindowKind::Normal && (style == bsSizeable || style == bsSizeToolWin);
        SDL_SetWindowResizable(window_, sizeable ? SDL_TRUE : SDL_FALSE);
        if (mapping_ && visible_) X11SetFrameHints(window_, FrameHints());
    }

    void SetBorderIcons(TBorderIcons icons) override {
        if (kind_ == WindowKind::Popup) return;
        icons_ = icons;
        if (mapping_ && visible_) X11SetFrameHints(window_, FrameHints());
    }

    void SetFormStyle(TFormStyle style) override {
        if (kind_ == WindowKind::Popup) return;
        onTop_ = style == fsStayOnTop;
        SDL_SetWindowAlwaysOnTop(window_, style == fsStayOnTop ? SDL_TRUE : SDL_FALSE);
    }

    // On X SDL's restore shows the window, waiting without a limit for a
    // window manager to map it: an iconified window is mapped here instead
    // (which asks its manager to restore it), a maximised one is asked to
    // be normal.
    void SetWindowState(TWindowState state) override {
        switch (state) {
            case wsNormal:
                if (!mapping_) {
                    SDL_RestoreWindow(window_);
                } else {
                    if (visible_ && mapping_->Iconic()) mapping_->Restore();
                    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) X11Unmaximize(window_);
                }
                break;
            case wsMinimized: SDL_MinimizeWindow(window_); break;
            case wsMaximized: SDL_MaximizeWindow(window_); break;
        }
    }

    void Present(const TBitmap32& buffer, std::span<const TRect> rects) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface || buffer.Empty()) return;
        TRect bounds{0, 0, std::min(surface->w, buffer.Width()), std::min(surface->h, buffer.Height())};
        std::vector<SDL_Rect> updated;
        SDL_LockSurface(surface);
        for (const TRect& r : rects) {
            TRect c;
            if (!IntersectRect(c, r, bounds) || IsRectEmpty(c)) continue;
            // Our pixels are 32-bit ARGB in memory order B, G, R, A; the
            // surface takes them in its own format, alpha dropped.
            auto* dst = static_cast<uint8_t*>(surface->pixels) + c.Top * surface->pitch +
                        c.Left * surface->format->BytesPerPixel;
            SDL_ConvertPixels(c.Width(), c.Height(), SDL_PIXELFORMAT_ARGB8888, buffer.PixelPtr(c.Left, c.Top),
                              buffer.Width() * 4, surface->format->format, dst, surface->pitch);
            updated.push_back({c.Left, c.Top, c.Width(), c.Height()});
        }
        SDL_UnlockSurface(surface);
        if (!updated.empty()) SDL_UpdateWindowSurfaceRects(window_, updated.data(), static_cast<int>(updated.size()));
    }

    void ReadPixels(TBitmap32& into) const override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) {
            into.SetSize(0, 0);
            return;
        }
        into.SetSize(surface->w, surface->h);
        SDL_LockSurface(surface);
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                          SDL_PIXELFORMAT_ARGB8888, into.Bits(), surface->w * 4);
        SDL_UnlockSurface(surface);
        size_t n = static_cast<size_t>(surface->w) * surface->h;
        for (size_t i = 0; i < n; ++i) into.Bits()[i] |= 0xFF000000u;
    }

private:
    void Create() {
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (kind_ == WindowKind::Normal) flags |= SDL_WINDOW_RESIZABLE;
        if (kind_ == WindowKind::Popup)
            flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        if (kind_ == WindowKind::DropDown)
            flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        if (tool_) flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR;
        int width = std::max(1, bounds_.Width()), height = std::max(1, bounds_.Height());
        // A window made before its bounds are known starts at the desktop's
        // corner, not where SDL would centre it: on X without a window
        // manager SDL then leaves a window moved to (0, 0) at that centre.
        int left = bounds_.Width() > 0 ? bounds_.Left : 0;
        int top = bounds_.Width() > 0 ? bounds_.Top : 0;
        window_ = SDL_CreateWindow(caption_.c_str(), left, top, width, height, flags);
        if (!window_) throw EOutOfResources(std::string("Cannot create a window: ") + SDL_GetError());
        id_ = SDL_GetWindowID(window_);
        host_.windows_[id_] = this;
        mapping_ = X11Mapping::For(window_);
        placing_ = std::make_unique<X11Placing>(host_.frames_, window_, mapping_.get());
        placing_->SetFramed(!IsPopupKind(kind_) && bordered_);
        ApplyApplicationTitle();
    }

    // A window on the screen is withdrawn first, so that SDL, which hides
    // it before it destroys it, has nothing to wait for.
    void Destroy() {
        host_.windows_.erase(id_);
        if (mapping_ && visible_) {
            mapping_->Hide();
            SDL_HideWindow(window_);
        }
        placing_.reset();
        mapping_.reset();
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }

    // SDL's border change waits, without a limit, until a window it
    // believes shown is on the screen: on X it is asked only while SDL
    // knows the window hidden and the window is off the screen (a border
    // changed on the screen reaches the window manager through the hints,
    // and SDL at the next show).
    void FollowBorderInSdl() {
        const SDL_bool bordered = style_ == bsNone ? SDL_FALSE : SDL_TRUE;
        if (mapping_ && (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) || mapping_->Viewable())) return;
        SDL_SetWindowBordered(window_, bordered);
    }

    X11FrameHints FrameHints() const {
        X11FrameHints hints;
        hints.style = style_;
        hints.icons = icons_;
        hints.tool = tool_;
        hints.dialog = kind_ == WindowKind::Dialog || modal_;
        hints.modal = modal_;
        hints.stayOnTop = (SDL_GetWindowFlags(window_) & SDL_WINDOW_ALWAYS_ON_TOP) != 0;
        if (SdlWindow* owner = host_.WindowOfId(ownerId_)) hints.owner = owner->window_;
        return hints;
    }

    SdlHost& host_;
    HostWindowClient& client_;
    WindowKind kind_;
    SDL_Window* window_ = nullptr;
    // Maps and withdraws the window on X (null elsewhere).
    std::unique_ptr<X11Mapping> mapping_;
    // Places it with its frame.
    std::unique_ptr<X11Placing> placing_;
    uint32_t id_ = 0;
    bool capture_ = false;
    bool tool_ = false;
    bool everShown_ = false;
    bool visible_ = false;
    bool activatePending_ = false;
    // What the window manager is told of the frame and the owner.
    TFormBorderStyle style_ = bsSizeable;
    TBorderIcons icons_ = kDefaultBorderIcons;
    uint32_t ownerId_ = 0;
    bool modal_ = false;
    bool bordered_ = true;
    bool onTop_ = false;
    // What a window made again takes over.
    TRect bounds_;
    std::string caption_;
};

// ================================================================== the host

SdlHost::SdlHost() {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The layer captures the mouse itself (SetCapture). SDL's own capture,
    // while a button is held, goes to the window with the keyboard: a press
    // on a pop-up (which never has it) grabbed the pointer for the pop-up's
    // owner, and a second click of a quick double click went to the owner
    // and closed the pop-up.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // The close box of the last window reaches that window's form alone; a
    // quit event then comes only from the system asking the program to end
    // (SIGINT, SIGTERM), which the main window hears as its close box.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window's own surface, not a texture drawn by a renderer: making
    // that renderer made SDL create the system window afresh at the first
    // paint, where the window was first made (a dialog centred as it is
    // shown came up at the desktop's corner while its form took it to be
    // centred, so the pointer missed it).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Installed before SDL starts as well: SDL puts back, as it quits, the
    // handlers it found, and the connection's last errors come after.
    InstallX11ErrorHandlers();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw EOutOfResources(std::string("Cannot start the display: ") + SDL_GetError());
    if (VideoDriver() == "x11") InstallX11ErrorHandlers();
    // The X events come too: the time of the user's input is in them.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    wakeEvent_ = SDL_RegisterEvents(1);
    SDL_StartTextInput();
}

SdlHost::~SdlHost() {
    for (auto& [cursor, handle] : cursors_) SDL_FreeCursor(handle);
    SDL_StopTextInput();
    SDL_Quit();
}

std::string SdlHost::VideoDriver() const {
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? name : "";
}

std::unique_ptr<HostWindow> SdlHost::CreateWindow(HostWindowClient& client, WindowKind kind) {
    return std::make_unique<SdlWindow>(*this, client, kind);
}

void SdlHost::SetApplicationTitle(std::string_view title) {
    title_ = title;
    for (const auto& [id, window] : windows_) window->ApplyApplicationTitle();
}

bool SdlHost::PopupShown() const {
    return std::any_of(windows_.begin(), windows_.end(), [](const auto& entry) { return entry.second->PopupShown(); });
}

void SdlHost::KeepOnTopWindowsAbove(SDL_Window* raised) {
    // A window manager keeps them above itself; without one, the window
    // raised last covers them.
    if (X11WindowManagerRuns(raised)) return;
    for (const auto& [id, window] : windows_)
        if (window->OnTopShown() && window->Handle() != raised) X11RaiseWindow(window->Handle());
}

SdlWindow* SdlHost::KeysReach() const {
    std::vector<SdlWindow*> windows;
    std::vector<SDL_Window*> handles;
    for (const auto& [id, window] : windows_) {
        windows.push_back(window);
        handles.push_back(window->Handle());
    }
    const int reached = X11KeysReach(handles);
    return reached < 0 ? nullptr : windows[static_cast<size_t>(reached)];
}

SdlWindow* SdlHost::KeyWindowOfId(uint32_t id) const {
    // SDL gives a key no window while it knows none with the keyboard, as
    // between two windows of a manager that lets the keys follow the
    // pointer: the key went to the window it reached.
    return id != 0 ? WindowOfId(id) : KeysReach();
}

SdlWindow* SdlHost::WindowOfId(uint32_t id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

int SdlHost::PumpEvents(int timeoutMs) {
    int delivered = 0;
    SDL_Event event;
    // A window that does not yet stand as asked is looked after while the
    // loop waits.
    constexpr int kSettleIntervalMs = 10;
    const bool unsettled =
        keyboardWatch_.Heir() != 0 ||
        std::any_of(windows_.begin(), windows_.end(), [](const auto& entry) { return entry.second->Unsettled(); });
    if (unsettled && (timeoutMs < 0 || timeoutMs > kSettleIntervalMs)) timeoutMs = kSettleIntervalMs;
    if (timeoutMs != 0) {
        int got = timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
        if (got) {
            Dispatch(event);
            ++delivered;
        }
    }
    while (SDL_PollEvent(&event)) {
        Dispatch(event);
        ++delivered;
    }
    DeliverCloseRequest();
    if (unsettled && SDL_GetTicks64() >= lastSettle_ + kSettleIntervalMs) {
        lastSettle_ = SDL_GetTicks64();
        // A window may go while another settles.
        std::vector<uint32_t> ids;
        for (const auto& [id, window] : windows_) ids.push_back(id);
        for (uint32_t id : ids)
            if (SdlWindow* window = WindowOfId(id)) window->Settle();
        KeepKeyboardOnHeir();
    }
    return delivered;
}

bool SdlHost::KeyboardWatched() const { return keyboardWatch_.Heir() != 0; }

void SdlHost::KeepKeyboardOnHeir() {
    const SdlWindow* heir = WindowOfId(keyboardWatch_.Heir());
    std::vector<SDL_Window*> ours;
    for (const auto& [id, window] : windows_) ours.push_back(window->Handle());
    keyboardWatch_.Keep(heir && heir->Visible() ? heir->Handle() : nullptr, ours, userTime_);
}

void SdlHost::Wake() {
    if (wakeEvent_ == static_cast<uint32_t>(-1)) return;
    SDL_Event event{};
    event.type = wakeEvent_;
    SDL_PushEvent(&event);
}

uint64_t SdlHost::Now() const { return SDL_GetTicks64(); }

void SdlHost::Dispatch(const SDL_Event& e) {
    auto buttonOf = [](uint8_t b) { return b == SDL_BUTTON_RIGHT ? mbRight : b == SDL_BUTTON_MIDDLE ? mbMiddle : mbLeft; };
    auto heldButtons = [](uint32_t state) {
        TShiftState s;
        if (state & SDL_BUTTON_LMASK) s.Include(ssLeft);
        if (state & SDL_BUTTON_RMASK) s.Include(ssRight);
        if (state & SDL_BUTTON_MMASK) s.Include(ssMiddle);
        return s;
    };
    TShiftState mods = ShiftOfSdlMods(heldMods_);
    switch (e.type) {
        case SDL_MOUSEMOTION:
            heldButtons_ = e.motion.state;
            if (SdlWindow* w = WindowOfId(e.motion.windowID))
                w->Client().HostMouse({MouseAction::Move, mbLeft, mods | heldButtons(heldButtons_), e.motion.x,
                                       e.motion.y, 0});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (down)
                heldButtons_ |= SDL_BUTTON(e.button.button);
            else
                heldButtons_ &= ~SDL_BUTTON(e.button.button);
            if (SdlWindow* w = WindowOfId(e.button.windowID)) {
                MouseAction action = !down ? MouseAction::Up
                                     : e.button.clicks >= 2 && e.button.clicks % 2 == 0 ? MouseAction::DoubleClick
                                                                                        : MouseAction::Down;
                w->Client().HostMouse({action, buttonOf(e.button.button), mods | heldButtons(heldButtons_),
                                       e.button.x, e.button.y, 0});
            }
            break;
        }
        case SDL_MOUSEWHEEL:
            if (SdlWindow* w = WindowOfId(e.wheel.windowID)) {
                int y = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                w->Client().HostMouse({MouseAction::Wheel, mbLeft, mods | heldButtons(heldButtons_), e.wheel.mouseX,
                                       e.wheel.mouseY, y * 120});
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            // The shift keys as this key leaves them.
            heldMods_ = e.key.keysym.mod;
            if (SdlWindow* w = KeyWindowOfId(e.key.windowID)) {
                TKey key = VirtualKeyOfSdl(e.key.keysym.sym);
                // A shift key SDL reports pressed as the keyboard comes to
                // the window was pressed elsewhere: no press here (Alt held
                // on from a key that opened a pop-up which takes the
                // keyboard would otherwise come up alone there).
                const bool shiftKey = key == VK_MENU || key == VK_SHIFT || key == VK_CONTROL;
                if (e.type == SDL_KEYDOWN && shiftKey && keysHeldTold_) break;
                if (key)
                    w->Client().HostKey({e.type == SDL_KEYDOWN ? KeyAction::Down : KeyAction::Up, key,
                                         ShiftOfSdlMods(e.key.keysym.mod)});
            }
            break;
        case SDL_TEXTINPUT:
            // A character outside Windows-1252 is refused with a beep. The
            // window is looked up for every character: a handler may close it.
            for (std::optional<char> ch : Utf8CharactersToWindows1252(e.text.text)) {
                if (!ch) {
                    MessageBeep(0);
                    continue;
                }
                if (SdlWindow* w = KeyWindowOfId(e.text.windowID); w && static_cast<unsigned char>(*ch) >= 0x20)
                    w->Client().HostChar(*ch);
            }
            break;
        case SDL_WINDOWEVENT:
            if (SdlWindow* w = WindowOfId(e.window.windowID)) {
                HostWindowClient& c = w->Client();
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_SIZE_CHANGED: c.HostResized(e.window.data1, e.window.data2); break;
                    case SDL_WINDOWEVENT_MOVED: {
                        int left = e.window.data1, top = e.window.data2;
                        if (w->TakeMove(left, top)) c.HostMoved(left, top);
                        break;
                    }
                    case SDL_WINDOWEVENT_CLOSE: c.HostCloseRequested(); break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        for (const auto& [id, other] : windows_)
                            if (other != w) other->ForgetActivation();
                        heldMods_ = static_cast<uint16_t>(SDL_GetModState());
                        c.HostActivated(true);
                        break;
                    case SDL_WINDOWEVENT_FOCUS_LOST: {
                        // Keys pressed or let go elsewhere are not seen.
                        heldMods_ = static_cast<uint16_t>(SDL_GetModState());
                        // A manager that lets the keys follow the pointer
                        // (twm) gives them to no window as the pointer
                        // leaves one, which SDL takes for a loss: they
                        // still reach the window the pointer is in. A
                        // window they reach again by now has not lost
                        // them; one of our pop-ups, which the manager
                        // never focuses, has them.
                        SdlWindow* reached = KeysReach();
                        if (reached == w) break;
                        const uint32_t reachedId = reached ? reached->Id() : 0;
                        c.HostActivated(false);
                        if (SdlWindow* popup = WindowOfId(reachedId); popup && popup->IsPopup())
                            popup->Client().HostActivated(true);
                        break;
                    }
                    case SDL_WINDOWEVENT_SHOWN: w->Mapped(); break;
                    case SDL_WINDOWEVENT_EXPOSED: c.HostExposed(); break;
                    // A hidden window changes state only as SDL follows what
                    // the program did to it.
                    case SDL_WINDOWEVENT_MAXIMIZED:
                        if (w->Visible()) c.HostWindowStateChanged(wsMaximized);
                        break;
                    case SDL_WINDOWEVENT_MINIMIZED:
                        if (w->Visible()) c.HostWindowStateChanged(wsMinimized);
                        break;
                    case SDL_WINDOWEVENT_RESTORED:
                        if (w->Visible()) c.HostWindowStateChanged(wsNormal);
                        break;
                    case SDL_WINDOWEVENT_LEAVE:
                        c.HostMouse({MouseAction::Leave, mbLeft, mods, -1, -1, 0});
                        break;
                    default: break;
                }
            }
            break;
        case SDL_QUIT: RequestMainWindowClose(); break;
        case SDL_SYSWMEVENT: {
            X11NoteUserTime(e.syswm.msg, userTime_);
            const X11InputNote note = X11InputNoteOf(e.syswm.msg);
            keysHeldTold_ = note == X11InputNote::KeysHeld;
            // The window with the keyboard hears of input that went
            // elsewhere: an Alt held there then comes up as no lone Alt.
            SDL_Window* keyboard = SDL_GetKeyboardFocus();
            if (note != X11InputNote::Elsewhere || !keyboard) break;
            if (SdlWindow* w = WindowOfId(SDL_GetWindowID(keyboard))) w->Client().HostOtherInput();
            break;
        }
        default: break;
    }
}

void SdlHost::RequestMainWindowClose() {
    closeRequested_ = true;
    DeliverCloseRequest();
}

void SdlHost::DeliverCloseRequest() {
    const TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
    if (!closeRequested_ || !main || !main->GetEnabled() || Application->GetModalLevel() > 0) return;
    closeRequested_ = false;
    for (const auto& [id, window] : windows_)
        if (window == main->GetHostWindow()) {
            window->Client().HostCloseRequested();
            return;
        }
}

void SdlHost::SetCursor(TCursor cursor) {
    if (cursor == crNone) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
    switch (cursor) {
        case crIBeam: id = SDL_SYSTEM_CURSOR_IBEAM; break;
        case crHourGlass:
        case crSQLWait: id = SDL_SYSTEM_CURSOR_WAIT; break;
        case crAppStart: id = SDL_SYSTEM_CURSOR_WAITARROW; break;
        case crCross: id = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
        case crSizeNWSE: id = SDL_SYSTEM_CURSOR_SIZENWSE; break;
        case crSizeNESW: id = SDL_SYSTEM_CURSOR_SIZENESW; break;
        case crSizeWE:
        case crHSplit: id = SDL_SYSTEM_CURSOR_SIZEWE; break;
        case crSizeNS:
        case crVSplit: id = SDL_SYSTEM_CURSOR_SIZENS; break;
        case crSizeAll:
        case crDrag:
        case crMultiDrag: id = SDL_SYSTEM_CURSOR_SIZEALL; break;
        case crNo:
        case crNoDrop: id = SDL_SYSTEM_CURSOR_NO; break;
        case crHandPoint: id = SDL_SYSTEM_CURSOR_HAND; break;
        default: break;
    }
    SDL_Cursor*& handle = cursors_[cursor];
    if (!handle) handle = SDL_CreateSystemCursor(id);
    if (handle) SDL_SetCursor(handle);
}

TPoint SdlHost::GetCursorPos() const {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

std::string SdlHost::GetClipboardText() const {
    char* text = SDL_GetClipboardText();
    if (!text) return {};
    // Characters the code page lacks cannot be pasted; each becomes "?".
    std::string result;
    for (std::optional<char> ch : Utf8CharactersToWindows1252(text)) result += ch.value_or('?');
    SDL_free(text);
    return result;
}

void SdlHost::SetClipboardText(std::string_view text) { SDL_SetClipboardText(Windows1252ToUtf8(text).c_str()); }

TRect SdlHost::GetWorkArea() const {
    SDL_Rect r{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) SDL_GetDisplayBounds(0, &r);
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

}  // namespace thorn
