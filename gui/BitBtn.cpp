#include "gui/BitBtn.h"

#include <algorithm>
#include <array>

#include "bitmap/Canvas.h"
#include "gui/Drawing.h"
#include "gui/Forms.h"
#include "platform/Text.h"

namespace {

constexpr int kGlyph = 16;
constexpr TColor kKey = clFuchsia;

struct KindSettings {
    const char* caption;
    TModalResult result;
    bool isDefault;
    bool isCancel;
};

KindSettings SettingsOf(TBitBtnKind kind) {
    switch (kind) {
        case bkOK: return {"OK", mrOk, true, false};
        case bkCancel: return {"Cancel", mrCancel, false, true};
        case bkHelp: return {"&Help", mrNone, false, false};
        case bkYes: return {"&Yes", mrYes, true, false};
        case bkNo: return {"&No", mrNo, false, true};
        case bkClose: return {"&Close", mrNone, false, false};
        case bkAbort: return {"Abort", mrAbort, false, false};
        case bkRetry: return {"&Retry", mrRetry, false, false};
        case bkIgnore: return {"&Ignore", mrIgnore, false, false};
        case bkAll: return {"&All", mrAll, false, false};
        default: return {"", mrNone, false, false};
    }
}

void Fill(TCanvas& c, TColor color, std::initializer_list<TPoint> points) {
    c.Brush().SetColor(color);
    c.Pen().SetColor(color);
    c.Polygon(std::span<const TPoint>(points.begin(), points.size()));
}

void Tick(TCanvas& c, int dx, int dy) {
    Fill(c, clGreen,
         {{2 + dx, 8 + dy}, {4 + dx, 6 + dy}, {7 + dx, 9 + dy}, {12 + dx, 3 + dy}, {14 + dx, 5 + dy}, {7 + dx, 12 + dy}});
}

void Cross(TCanvas& c, TColor color) {
    Fill(c, color,
         {{3, 4}, {4, 3}, {8, 7}, {12, 3}, {13, 4}, {9, 8}, {13, 12}, {12, 13}, {8, 9}, {4, 13}, {3, 12}, {7, 8}});
}

void Ring(TCanvas& c, TColor color) {
    c.Pen().SetColor(color);
    c.Brush().SetStyle(bsClear);
    c.Ellipse(1, 1, 15, 15);
    c.Ellipse(2, 2, 14, 14);
    c.Brush().SetStyle(bsSolid);
}

// The picture of each kind, drawn here on the transparent colour.
std::unique_ptr<TBitmap32> KindGlyph(TBitBtnKind kind) {
    if (kind == bkCustom) return nullptr;
    auto glyph = std::make_unique<TBitmap32>();
    glyph->SetSize(kGlyph, kGlyph);
    glyph->Clear(Color32(kKey));
    TCanvas c(glyph.get());
    switch (kind) {
        case bkOK:
        case bkYes: Tick(c, 0, 0); break;
        case bkAll:
            Tick(c, -1, -2);
            Tick(c, 1, 2);
            break;
        case bkCancel: Cross(c, clRed); break;
        case bkNo:
            Ring(c, clRed);
            Fill(c, clRed, {{4, 3}, {3, 4}, {12, 13}, {13, 12}});
            break;
        case bkAbort:
            c.Brush().SetColor(clRed);
            c.Pen().SetColor(clRed);
            c.Ellipse(1, 1, 15, 15);
            c.FillColor({4, 7, 12, 9}, clWhite);
            break;
        case bkRetry:
            Ring(c, clGreen);
            c.FillColor({9, 0, 16, 8}, kKey);
            Fill(c, clGreen, {{8, 1}, {14, 1}, {14, 7}});
            break;
        case bkIgnore:
            Fill(c, clNavy, {{1, 6}, {9, 6}, {9, 3}, {14, 8}, {9, 13}, {9, 10}, {1, 10}});
            break;
        case bkClose:
            c.FillColor({4, 1, 12, 15}, clOlive);
            c.FillColor({5, 2, 11, 14}, clYellow);
            c.FillColor({9, 8, 10, 10}, clBlack);
            break;
        case bkHelp: {
            c.Font().SetName("Arial");
            c.Font().SetHeight(-14);
            c.Font().SetStyle(fsBold);
            c.Font().SetColor(clNavy);
            c.Brush().SetStyle(bsClear);
            TRect r{0, 0, kGlyph, kGlyph};
            c.DrawText(r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, "?");
            break;
        }
        default: break;
    }
    return glyph;
}

}  // namespace

TBitBtn::TBitBtn() = default;

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetGlyph(const TBitmap32& bitmap) {
    glyph_.Assign(bitmap);
    int w = glyph_.Width(), h = glyph_.Height();
    if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4) numGlyphs_ = w / h;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int value) {
    value = std::clamp(value, 1, 4);
    if (value == numGlyphs_) return;
    numGlyphs_ = value;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind value) {
    if (value == kind_) return;
    kind_ = value;
    kindGlyph_ = KindGlyph(value);
    if (value != bkCustom) {
        KindSettings settings = SettingsOf(value);
        SetCaption(settings.caption);
        SetModalResult(settings.result);
        SetDefault(settings.isDefault);
        SetCancel(settings.isCancel);
    }
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TBitBtn::SetMargin(int value) {
    value = std::max(-1, value);
    if (value == margin_) return;
    margin_ = value;
    Invalidate();
}

void TBitBtn::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    Invalidate();
}

const TBitmap32* TBitBtn::ShownGlyph() const {
    if (!glyph_.Empty()) return &glyph_;
    return kindGlyph_.get();
}

void TBitBtn::Click() {
    thorn::ComponentRef<TBitBtn> self(this);
    if (kind_ == bkClose)
        if (TCustomForm* form = GetParentForm()) form->Close();
    if (self) TButton::Click();
}

void TBitBtn::PaintContent(TCanvas& canvas, const TRect& content) {
    const TBitmap32* glyph = ShownGlyph();
    int images = glyph == &glyph_ ? numGlyphs_ : 1;
    TSize g = glyph ? TSize{glyph->Width() / images, glyph->Height()} : TSize{};
    TSize t;
    if (!GetCaption().empty()) {
        TRect measured{0, 0, 0, 0};
        thorn::DrawText(thorn::PixelView{}, measured, DT_SINGLELINE | DT_CALCRECT, GetFont(), GetCaption());
        t = {measured.Width(), measured.Height()};
    }
    int spacing = g.cx && t.cx ? spacing_ : 0;
    bool across = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    int total = across ? g.cx + spacing + t.cx : g.cy + spacing + t.cy;
    int room = across ? content.Width() : content.Height();
    int start = (across ? content.Left : content.Top) + (margin_ < 0 ? (room - total) / 2 : margin_);
    TPoint glyphAt{content.Left + (content.Width() - g.cx) / 2, content.Top + (content.Height() - g.cy) / 2};
    TPoint textAt{content.Left + (content.Width() - t.cx) / 2, content.Top + (content.Height() - t.cy) / 2};
    switch (layout_) {
        case blGlyphLeft: glyphAt.X = start, textAt.X = start + g.cx + spacing; break;
        case blGlyphRight: textAt.X = start, glyphAt.X = start + t.cx + spacing; break;
        case blGlyphTop: glyphAt.Y = start, textAt.Y = start + g.cy + spacing; break;
        case blGlyphBottom: textAt.Y = start, glyphAt.Y = start + t.cy + spacing; break;
    }
    bool enabled = IsEnabledDeep();
    if (glyph && g.cx > 0) {
        TColor32 key = thorn::DefaultTransparentColor(*glyph);
        if (!enabled && images < 2) {
            thorn::DrawDisabledBitmap(canvas, glyphAt.X, glyphAt.Y, *glyph, {0, 0, g.cx, g.cy}, key);
        } else {
            int image = !enabled ? 1 : IsPressed() && images >= 3 ? 2 : 0;
            thorn::DrawTransparentBitmap(canvas, glyphAt.X, glyphAt.Y, *glyph,
                                         {image * g.cx, 0, (image + 1) * g.cx, g.cy}, key);
        }
    }
    if (GetCaption().empty()) return;
    TRect text{textAt.X, textAt.Y, textAt.X + t.cx, textAt.Y + t.cy};
    uint32_t format = DT_SINGLELINE | DT_NOCLIP;
    if (enabled) {
        canvas.Font().SetColor(clBtnText);
        canvas.DrawText(text, format, GetCaption());
    } else {
        thorn::DrawDisabledText(canvas, text, format, GetCaption());
    }
}
