#include "gui/Edit.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Caret.h"
#include "gui/Edges.h"
#include "platform/Beep.h"
#include "platform/FontCache.h"

namespace {

// Between the formatting rectangle's left and right sides and the text.
constexpr int kMargin = 2;

// Sets a flag of a control for the lifetime of a scope, unless a handler
// freed the control meanwhile.
class FlagScope {
public:
    FlagScope(bool& flag, TComponent* control) : flag_(flag), control_(control) { flag_ = true; }
    ~FlagScope() {
        if (!control_.Freed()) flag_ = false;
    }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    thorn::ComponentWatch control_;
};

}  // namespace

TCustomEdit::TCustomEdit() {
    SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetCursor(crIBeam);
    advances_.fill(-1);
    SetBounds(0, 0, 121, 25);
    SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::BeforeDestruction() {
    thorn::DestroyCaret(*this);
    thorn::ScrollingControl::BeforeDestruction();
}

// ---- settings

void TCustomEdit::SetPasswordChar(char value) {
    if (value == passwordChar_) return;
    passwordChar_ = value;
    ForgetRows();
    KeepCaretInView();
    UpdateCaret();
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    AdjustHeight();
    NonClientChanged();
}

void TCustomEdit::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    AdjustHeight();
    NonClientChanged();
}

void TCustomEdit::SetMultiLine(bool value) {
    core_.SetMultiLine(value);
    ForgetRows();
    firstChar_ = 0;
    UpdateContent();
    Invalidate();
}

// ---- measuring

int TCustomEdit::Advance(unsigned char ch) const {
    int16_t& advance = advances_[ch];
    if (advance < 0)
        advance = static_cast<int16_t>(std::clamp(thorn::text::FontFor(GetFont()).GlyphOf(ch).advance, 0, 0x7FFF));
    return advance;
}

int TCustomEdit::LineHeight() {
    if (lineHeight_ <= 0) lineHeight_ = std::max(1, thorn::GetFontMetrics(GetFont()).height);
    return lineHeight_;
}

unsigned char TCustomEdit::Shown(int pos) const {
    return static_cast<unsigned char>(passwordChar_ ? passwordChar_ : core_.GetText()[static_cast<size_t>(pos)]);
}

int TCustomEdit::RunWidth(int from, int to) const {
    int width = 0;
    for (int i = from; i < to; ++i) width += Advance(Shown(i));
    return width;
}

TRect TCustomEdit::GetFormattingRect() const { return formattingRectSet_ ? formattingRect_ : GetClientRect(); }

void TCustomEdit::SetFormattingRect(const TRect& rect) {
    formattingRect_ = rect;
    formattingRectSet_ = true;
    if (Wraps()) UpdateContent();
    UpdateScrollBars();
    KeepCaretInView();
    UpdateCaret();
    Invalidate();
}

int TCustomEdit::LineLeft(int) const {
    int left = GetFormattingRect().Left + kMargin;
    return GetMultiLine() ? left - GetScrollPos().X : left;
}

int TCustomEdit::LineTop(int line) {
    TRect r = GetFormattingRect();
    if (GetMultiLine()) return r.Top + (line - GetScrollPos().Y) * LineHeight();
    // A single line sits one pixel below the top when there is room.
    int room = r.Height() - LineHeight();
    return r.Top + (room >= 2 ? 1 : room / 2);
}

int TCustomEdit::FirstShown(int line) const { return GetMultiLine() ? RowStart(line) : firstChar_; }

// ---- rows

void TCustomEdit::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    if (value) SetScrollPos({0, GetScrollPos().Y});
    UpdateContent();
    KeepCaretInView();
    UpdateCaret();
    Invalidate();
}

const thorn::TextRows& TCustomEdit::Rows() const {
    const int wrapWidth = Wraps() ? std::max(1, GetFormattingRect().Width() - 2 * kMargin) : 0;
    const uint64_t revision = core_.GetRevision();
    if (rowsRevision_ == revision && rowsWrapWidth_ == wrapWidth) return rows_;
    auto advance = [this](int pos) { return Advance(Shown(pos)); };
    if (rowsRevision_ != kNoRows && rowsRevision_ + 1 == revision && rowsWrapWidth_ == wrapWidth)
        rows_.Update(core_, core_.GetLastChange(), advance);
    else
        rows_.Build(core_, wrapWidth, advance);
    rowsRevision_ = revision;
    rowsWrapWidth_ = wrapWidth;
    return rows_;
}

int TCustomEdit::RowCount() const { return Wraps() ? Rows().Count() : core_.LineCount(); }

int TCustomEdit::RowOf(int pos) const { return Wraps() ? Rows().RowOf(pos) : core_.LineOf(pos); }

int TCustomEdit::RowStart(int row) const { return Wraps() ? Rows().At(row).start : core_.LineStart(row); }

int TCustomEdit::RowEnd(int row) const { return Wraps() ? Rows().At(row).end : core_.LineEnd(row); }

int TCustomEdit::XOf(int pos) {
    int line = RowOf(pos);
    int first = FirstShown(line);
    int x = LineLeft(line);
    return pos >= first ? x + RunWidth(first, pos) : x - RunWidth(pos, first);
}

int TCustomEdit::PosAtX(int line, int x) {
    int start = RowStart(line), end = RowEnd(line);
    int first = FirstShown(line);
    int left = LineLeft(line);
    if (x >= left) {
        for (int i = first; i < end; ++i) {
            int w = Advance(Shown(i));
            if (x < left + (w + 1) / 2) return i;
            left += w;
        }
        return end;
    }
    for (int i = first; i > start; --i) {
        int w = Advance(Shown(i - 1));
        if (x >= left - w / 2) return i;
        left -= w;
    }
    return start;
}

int TCustomEdit::LineAtY(int y) {
    if (!GetMultiLine()) return 0;
    TRect r = GetFormattingRect();
    int offset = y - r.Top;
    int line = GetScrollPos().Y + (offset >= 0 ? offset / LineHeight() : -1);
    return std::clamp(line, 0, RowCount() - 1);
}

int TCustomEdit::CharAtPoint(TPoint p) { return PosAtX(LineAtY(p.Y), p.X); }

// ---- keeping the caret in sight

void TCustomEdit::KeepCaretInView() {
    int caret = core_.GetCaret();
    if (GetMultiLine()) {
        int line = RowOf(caret);
        int x = kMargin + RunWidth(RowStart(line), caret);
        ScrollInView({x, line, x + 1, line + 1});
        return;
    }
    TRect r = GetFormattingRect();
    int width = r.Width() - 2 * kMargin;
    int length = core_.Length();
    firstChar_ = std::min(firstChar_, length);
    if (width <= 0) {
        firstChar_ = caret;
        return;
    }
    // Only the characters between the first in sight and the caret, or as
    // far as the view reaches, are measured: a long text costs no more than
    // a short one.
    if (caret < firstChar_) {
        // The caret comes back into sight a third of the way in.
        int x = 0, i = caret;
        while (i > 0 && x + Advance(Shown(i - 1)) <= width / 3) x += Advance(Shown(--i));
        firstChar_ = i;
    } else {
        int x = 0;
        bool beyond = false;
        for (int i = firstChar_; i < caret && !beyond; ++i) {
            x += Advance(Shown(i));
            beyond = x > width - 1;
        }
        if (beyond) {
            // ...and two thirds of the way in past the right side.
            int w = 0, j = caret;
            while (j > 0 && w + Advance(Shown(j - 1)) <= width * 2 / 3) w += Advance(Shown(--j));
            firstChar_ = j;
        }
    }
    // No empty room on the right while text is hidden on the left.
    if (firstChar_ > 0) {
        int x = 0;
        for (int i = firstChar_; i < length && x < width; ++i) x += Advance(Shown(i));
        while (firstChar_ > 0 && x + Advance(Shown(firstChar_ - 1)) <= width - 1) x += Advance(Shown(--firstChar_));
    }
}

void TCustomEdit::UpdateCaret() {
    if (thorn::CaretOwner() != this) return;
    int caret = core_.GetCaret();
    thorn::SetCaretPos(*this, {XOf(caret), LineTop(RowOf(caret))});
}

void TCustomEdit::UpdateContent() {
    if (!GetMultiLine()) {
        SetContentSize(0, 0);
        return;
    }
    if (Wraps()) {
        // Rows as wide as the view: nothing to scroll sideways.
        SetScrollUnit(1, LineHeight());
        SetContentSize(0, RowCount());
        return;
    }
    SetScrollUnit(1, LineHeight());
    SetContentSize(Rows().Widest() + 2 * kMargin + 1, core_.LineCount());
}

void TCustomEdit::MoveCaretTo(int pos, bool extend) {
    bool hadSelection = core_.GetSelLength() > 0;
    int first = firstChar_;
    core_.MoveCaret(pos, extend);
    KeepCaretInView();
    UpdateCaret();
    if (hadSelection || core_.GetSelLength() > 0 || first != firstChar_) InvalidateRect(GetFormattingRect());
}

void TCustomEdit::ScrollPosChanged(TPoint old) {
    thorn::ScrollingControl::ScrollPosChanged(old);
    UpdateCaret();
}

// ---- text

void TCustomEdit::Edited() {
    {
        FlagScope pushing(pushingText_, this);
        SetText(core_.GetText());
    }
    UpdateContent();
    KeepCaretInView();
    UpdateCaret();
    InvalidateRect(GetFormattingRect());
    Change();
}

void TCustomEdit::CMTextChanged() {
    if (pushingText_) return;
    core_.SetText(GetText());
    ForgetRows();  // a new text is laid out whole
    TextReplaced();
}

void TCustomEdit::ReplaceText(int pos, int count, std::string_view text) {
    if (std::string_view(GetText()).substr(static_cast<size_t>(pos), static_cast<size_t>(count)) == text) return;
    SpliceText(static_cast<size_t>(pos), static_cast<size_t>(count), text);
    core_.ReplaceText(pos, count, text);
    TextReplaced();
}

void TCustomEdit::TextReplaced() {
    firstChar_ = 0;
    desiredX_ = -1;
    UpdateContent();
    SetScrollPos({0, 0});
    UpdateCaret();
    InvalidateRect(GetFormattingRect());
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetSelStart(int value) { MoveCaretTo(value, false); }

void TCustomEdit::SetSelLength(int value) {
    int start = core_.GetSelStart();
    core_.Select(start, start);
    MoveCaretTo(start + std::max(0, value), true);
}

void TCustomEdit::SetSelText(std::string_view value) {
    bool changed = core_.ReplaceSelection(value);
    core_.ClearUndo();
    if (changed) Edited();
}

void TCustomEdit::SelectAll() {
    core_.Select(0, 0);
    MoveCaretTo(core_.Length(), true);
}

bool TCustomEdit::CanEdit() {
    if (!readOnly_) return true;
    Refuse();
    return false;
}

void TCustomEdit::Refuse() { MessageBeep(0); }

// ---- clipboard and undo

void TCustomEdit::WMCopy() {
    if (passwordChar_ || core_.GetSelLength() == 0 || !Application) return;
    Application->GetHost().SetClipboardText(core_.GetSelText());
}

void TCustomEdit::WMCut() {
    if (passwordChar_ || readOnly_ || core_.GetSelLength() == 0) return;
    WMCopy();
    if (core_.ReplaceSelection({})) Edited();
}

void TCustomEdit::WMPaste() {
    if (readOnly_ || !Application) return;
    std::string text = Application->GetHost().GetClipboardText();
    // A single line takes the clipboard's first line.
    if (!GetMultiLine()) text = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty()) return;
    bool changed = core_.ReplaceSelection(text);
    if (core_.WasCut()) Refuse();
    if (changed) Edited();
}

void TCustomEdit::WMClear() {
    if (readOnly_ || core_.GetSelLength() == 0) return;
    if (core_.ReplaceSelection({})) Edited();
}

void TCustomEdit::WMUndo() {
    if (readOnly_) return;
    if (core_.Undo()) Edited();
}

// ---- keys

uint32_t TCustomEdit::WMGetDlgCode() {
    uint32_t code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (GetMultiLine() && wantReturns_) code |= DLGC_WANTALLKEYS;
    return code;
}

void TCustomEdit::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TCustomEdit> self(this);
    thorn::ScrollingControl::KeyDown(key, shift);
    if (!self || key == 0) return;
    bool extend = shift.Contains(ssShift), ctrl = shift.Contains(ssCtrl), alt = shift.Contains(ssAlt);
    bool multi = GetMultiLine();
    int caret = core_.GetCaret();
    int line = RowOf(caret);
    bool collapse = core_.GetSelLength() > 0 && !extend;
    auto vertical = [&](int lines) {
        if (desiredX_ < 0) desiredX_ = XOf(caret);
        int target = std::clamp(line + lines, 0, RowCount() - 1);
        int x = desiredX_;
        MoveCaretTo(PosAtX(target, x), extend);
        desiredX_ = x;
    };
    int keep = desiredX_;
    desiredX_ = -1;
    switch (key) {
        case VK_LEFT:
            MoveCaretTo(ctrl ? core_.WordLeft(caret) : collapse ? core_.GetSelStart() : core_.PrevPos(caret), extend);
            break;
        case VK_RIGHT:
            MoveCaretTo(ctrl       ? core_.WordRight(caret)
                        : collapse ? core_.GetSelStart() + core_.GetSelLength()
                                   : core_.NextPos(caret),
                        extend);
            break;
        case VK_UP:
        case VK_DOWN:
            if (!multi) {
                MoveCaretTo(key == VK_UP ? core_.PrevPos(caret) : core_.NextPos(caret), extend);
                break;
            }
            desiredX_ = keep;
            vertical(key == VK_UP ? -1 : 1);
            break;
        case VK_PRIOR:
        case VK_NEXT:
            if (!multi) break;
            desiredX_ = keep;
            vertical((key == VK_PRIOR ? -1 : 1) * std::max(1, GetPageSize().cy));
            break;
        case VK_HOME: MoveCaretTo(ctrl || !multi ? 0 : RowStart(line), extend); break;
        case VK_END: {
            int end = RowEnd(line);
            // At a wrapped row's end the caret stays on the row, before the
            // blank the row breaks at.
            if (end < core_.Length() && RowOf(end) != line && end > RowStart(line)) --end;
            MoveCaretTo(ctrl || !multi ? core_.Length() : end, extend);
            break;
        }
        case VK_DELETE:
            if (extend)
                WMCut();
            else if (!ctrl && CanEdit() && core_.DeleteForward())
                Edited();
            break;
        case VK_INSERT:
            if (ctrl)
                WMCopy();
            else if (extend)
                WMPaste();
            break;
        case VK_BACK:
            if (alt) WMUndo();
            break;
        default: break;
    }
}

void TCustomEdit::KeyPress(char& key) {
    thorn::ComponentRef<TCustomEdit> self(this);
    thorn::ScrollingControl::KeyPress(key);
    if (!self || key == 0) return;
    auto type = [&](std::string_view text) {
        if (!CanEdit()) return;
        bool changed = core_.ReplaceSelection(text, thorn::TextCore::EditKind::Typing);
        if (!changed || core_.WasCut()) Refuse();
        if (changed) Edited();
    };
    switch (static_cast<unsigned char>(key)) {
        case 3: WMCopy(); return;
        case 22: WMPaste(); return;
        case 24: WMCut(); return;
        case 26: WMUndo(); return;
        case '\b':
            if (CanEdit() && core_.DeleteBackward()) Edited();
            return;
        case '\r':
            if (GetMultiLine() && wantReturns_)
                type("\r\n");
            else
                Refuse();
            return;
        case '\n':
            if (!GetMultiLine()) Refuse();
            return;
        case '\t':
            if (GetMultiLine()) type("\t");
            return;
        default: break;
    }
    if (static_cast<unsigned char>(key) < ' ' || key == '\x7F') return;
    type(std::string_view(&key, 1));
}

// ---- mouse

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomEdit> self(this);
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) {
            // A click puts the caret where it lands instead of selecting all.
            FlagScope byMouse(focusingByMouse_, this);
            SetFocus();
            if (!self) return;
        }
        desiredX_ = -1;
        int pos = CharAtPoint({x, y});
        if (shift.Contains(ssDouble)) {
            auto [from, to] = core_.WordAt(pos);
            core_.Select(from, from);
            MoveCaretTo(to, true);
            selecting_ = false;
        } else {
            MoveCaretTo(pos, shift.Contains(ssShift));
            selecting_ = true;
        }
    }
    thorn::ScrollingControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
    if (selecting_ && shift.Contains(ssLeft)) MoveCaretTo(CharAtPoint({x, y}), true);
    thorn::ScrollingControl::MouseMove(shift, x, y);
}

void TCustomEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) selecting_ = false;
    thorn::ScrollingControl::MouseUp(button, shift, x, y);
}

// ---- focus

void TCustomEdit::WMSetFocus() {
    thorn::ScrollingControl::WMSetFocus();
    thorn::CreateCaret(*this, 1, LineHeight());
    UpdateCaret();
}

void TCustomEdit::WMKillFocus() {
    thorn::DestroyCaret(*this);
    selecting_ = false;
    thorn::ScrollingControl::WMKillFocus();
}

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !focusingByMouse_ && !GetMultiLine()) SelectAll();
    thorn::ScrollingControl::DoEnter();
}

// ---- frame, size and font

void TCustomEdit::WMNCCalcSize(TRect& rect) const {
    int frame = ControlFrameWidth(borderStyle_ == bsSingle, ctl3D_);
    InflateRect(rect, -frame, -frame);
    thorn::ScrollingControl::WMNCCalcSize(rect);
}

void TCustomEdit::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, borderStyle_ == bsSingle, ctl3D_);
}

void TCustomEdit::WMSize() {
    formattingRectSet_ = false;
    if (Wraps()) UpdateContent();
    thorn::ScrollingControl::WMSize();
    KeepCaretInView();
    UpdateCaret();
}

bool TCustomEdit::CanAutoSize(int&, int& newHeight) {
    if (borderStyle_ == bsSingle) newHeight = LineHeight() + (ctl3D_ ? 8 : 6);
    return true;
}

void TCustomEdit::AdjustHeight() {
    if (GetAutoSize()) AdjustSize();
}

void TCustomEdit::CMFontChanged() {
    thorn::ScrollingControl::CMFontChanged();
    advances_.fill(-1);
    lineHeight_ = 0;
    ForgetRows();
    AdjustHeight();
    UpdateContent();
    KeepCaretInView();
    if (thorn::CaretOwner() == this) {
        thorn::CreateCaret(*this, 1, LineHeight());
        UpdateCaret();
    }
}

void TCustomEdit::CMEnabledChanged() {
    // Leaving the focus (OnExit) may free the edit.
    const thorn::ComponentWatch watch(this);
    thorn::ScrollingControl::CMEnabledChanged();
    if (!watch.Freed()) Invalidate();
}

// ---- painting

void TCustomEdit::Paint() {
    TCanvas& canvas = Canvas();
    canvas.IntersectClipRect(GetFormattingRect());
    TRect clip = canvas.GetClipRect();
    if (IsRectEmpty(clip)) return;
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    const TColor textColor = IsEnabledDeep() ? GetFont().GetColor() : clGrayText;
    const bool showSelection = core_.GetSelLength() > 0 && (Focused() || !hideSelection_);
    const int selFrom = showSelection ? core_.GetSelStart() : -1;
    const int selTo = showSelection ? core_.GetSelStart() + core_.GetSelLength() : -1;
    const int lineHeight = LineHeight();
    const std::string& text = core_.GetText();
    std::string masked;

    auto drawRun = [&](int from, int to, int x, int y) {
        if (from >= to) return x;
        int width = RunWidth(from, to);
        bool selected = from >= selFrom && to <= selTo;
        if (selected) canvas.FillColor({x, y, x + width, y + lineHeight}, clHighlight);
        canvas.Font().SetColor(selected ? clHighlightText : textColor);
        if (passwordChar_) {
            masked.assign(static_cast<size_t>(to - from), passwordChar_);
            canvas.TextOut(x, y, masked);
        } else {
            canvas.TextOut(x, y, std::string_view(text).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
        }
        return x + width;
    };

    int lastLine = LineAtY(clip.Bottom - 1);
    for (int line = LineAtY(clip.Top); line <= lastLine; ++line) {
        int y = LineTop(line);
        int end = RowEnd(line);
        int from = FirstShown(line);
        int x = LineLeft(line);
        // Only the characters in the clip are drawn.
        while (from < end && x + Advance(Shown(from)) <= clip.Left) x += Advance(Shown(from++));
        int to = from;
        for (int right = x; to < end && right < clip.Right;) right += Advance(Shown(to++));
        int a = std::clamp(selFrom, from, to), b = std::clamp(selTo, from, to);
        if (!showSelection) a = b = to;
        x = drawRun(from, a, x, y);
        x = drawRun(a, b, x, y);
        drawRun(b, to, x, y);
    }
}

TEdit::TEdit() = default;
