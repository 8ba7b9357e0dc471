// The platform's formatted text: lines, word breaks, alignment, '&'
// prefixes, ellipses and tab stops, measured or drawn in a rectangle.
#include <algorithm>
#include <vector>

#include "platform/FontCache.h"
#include "platform/Text.h"
#include "platform/TextPaint.h"

namespace thorn {
namespace {

using text::Advance;
using text::SizedFont;
using text::TextCell;
using Line = std::vector<TextCell>;

constexpr uint32_t kAnyEllipsis = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS;

// The paragraphs of the text, split at CR LF, CR or LF.
std::vector<std::string_view> Paragraphs(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        paragraphs.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

// '&' underlines the next character and "&&" stands for '&'; a '&' at the
// end is dropped.
Line Cells(std::string_view paragraph, bool prefixes, bool hidePrefix) {
    Line cells;
    cells.reserve(paragraph.size());
    for (size_t i = 0; i < paragraph.size(); ++i) {
        const auto c = static_cast<unsigned char>(paragraph[i]);
        if (prefixes && c == '&') {
            if (++i < paragraph.size()) {
                const auto next = static_cast<unsigned char>(paragraph[i]);
                cells.push_back({next, !hidePrefix && next != '&'});
            }
            continue;
        }
        cells.push_back({c, false});
    }
    return cells;
}

// Breaks a paragraph into lines no wider than maxWidth where spaces allow;
// a word wider than the line stays whole. The spaces at a break belong to
// neither line.
void Wrap(SizedFont& font, const Line& paragraph, int64_t maxWidth, int32_t tabWidth, std::vector<Line>& lines) {
    const size_t n = paragraph.size();
    size_t start = 0;
    do {
        size_t breakEnd = 0, breakNext = 0;
        bool canBreak = false, broke = false;
        int64_t x = 0;
        for (size_t i = start; i < n; ++i) {
            const TextCell& cell = paragraph[i];
            if (cell.ch == ' ') {
                if (i > start && paragraph[i - 1].ch != ' ') breakEnd = i, canBreak = true;
                breakNext = i + 1;
                x = Advance(font, x, cell, tabWidth);
                continue;
            }
            const int64_t next = Advance(font, x, cell, tabWidth);
            if (next > maxWidth && canBreak) {
                lines.emplace_back(paragraph.begin() + static_cast<ptrdiff_t>(start),
                                   paragraph.begin() + static_cast<ptrdiff_t>(breakEnd));
                start = breakNext;
                broke = true;
                break;
            }
            x = next;
        }
        if (!broke) {
            lines.emplace_back(paragraph.begin() + static_cast<ptrdiff_t>(start), paragraph.end());
            return;
        }
    } while (start < n);
}

// Cuts a line that is wider than maxWidth so that it and "..." fit.
void AddEllipsis(SizedFont& font, Line& line, int64_t maxWidth, int32_t tabWidth) {
    if (text::LineWidth(font, line, tabWidth) <= maxWidth) return;
    const int64_t dots = 3 * int64_t{font.GlyphOf('.').advance};
    int64_t x = 0;
    size_t keep = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        x = Advance(font, x, line[i], tabWidth);
        if (x + dots > maxWidth) break;
        keep = i + 1;
    }
    line.resize(keep);
    line.insert(line.end(), 3, TextCell{'.', false});
}

}  // namespace

int32_t DrawText(PixelView target, TRect& rect, uint32_t format, const TFont& font, std::string_view text,
                 std::optional<TColor> background) {
    if (text.empty()) {
        if (format & DT_CALCRECT) rect.Right = rect.Left, rect.Bottom = rect.Top;
        return 0;
    }
    SizedFont& sized = text::FontFor(font);
    const FontMetrics& metrics = sized.Metrics();
    const bool singleLine = format & DT_SINGLELINE;
    const int32_t tabWidth = (format & DT_EXPANDTABS) ? 8 * metrics.averageCharWidth : 0;
    const int64_t maxWidth = int64_t{rect.Right} - rect.Left;
    const bool prefixes = !(format & DT_NOPREFIX);

    std::vector<Line> lines;
    if (singleLine) {
        // One line: a break in it shows as a space, as in every one-line text.
        lines.push_back(Cells(text, prefixes, format & DT_HIDEPREFIX));
    } else {
        for (std::string_view paragraph : Paragraphs(text)) {
            Line cells = Cells(paragraph, prefixes, format & DT_HIDEPREFIX);
            if (format & DT_WORDBREAK)
                Wrap(sized, cells, maxWidth, tabWidth, lines);
            else
                lines.push_back(std::move(cells));
        }
    }
    if (format & kAnyEllipsis)
        for (Line& line : lines) AddEllipsis(sized, line, maxWidth, tabWidth);

    const int32_t lineHeight = metrics.height;
    const int64_t height = static_cast<int64_t>(lines.size()) * lineHeight;
    const auto height32 = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
    if (format & DT_CALCRECT) {
        int64_t widest = 0;
        for (const Line& line : lines) widest = std::max<int64_t>(widest, text::LineWidth(sized, line, tabWidth));
        rect.Right = static_cast<int32_t>(std::clamp<int64_t>(rect.Left + widest, INT32_MIN, INT32_MAX));
        rect.Bottom = static_cast<int32_t>(std::clamp<int64_t>(rect.Top + height, INT32_MIN, INT32_MAX));
        return height32;
    }

    text::Painter painter(target, nullptr);
    if (!(format & DT_NOCLIP)) painter.Clip(rect);
    int64_t y = rect.Top;
    if (singleLine && (format & DT_VCENTER))
        y = rect.Top + (int64_t{rect.Bottom} - rect.Top - lineHeight) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        y = int64_t{rect.Bottom} - lineHeight;
    const int64_t top = y;
    for (const Line& line : lines) {
        const int64_t width = text::LineWidth(sized, line, tabWidth);
        int64_t x = rect.Left;
        if (format & DT_CENTER)
            x = rect.Left + (maxWidth - width) / 2;
        else if (format & DT_RIGHT)
            x = rect.Right - width;
        if (background) painter.Fill(x, y, x + width, y + lineHeight, text::PixelRgb(*background));
        text::PaintLine(painter, sized, font, x, y, line, tabWidth);
        y += lineHeight;
    }
    if (singleLine && (format & (DT_VCENTER | DT_BOTTOM)))
        return static_cast<int32_t>(std::clamp<int64_t>(top - rect.Top + height, INT32_MIN, INT32_MAX));
    return height32;
}

}  // namespace thorn
