#include "platform/SymbolFont.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <memory>
#include <optional>

namespace thorn::text {
namespace {

constexpr int32_t kMaxEm = 2000;
constexpr size_t kMaxSizes = 64;

// The coverage of one glyph, an em square, filled by the shapes below.
class Cell {
public:
    explicit Cell(int32_t em) : em_(em), coverage_(static_cast<size_t>(em) * em, 0) {}
    int32_t Em() const { return em_; }
    void Fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        x1 = std::max(0, x1), y1 = std::max(0, y1), x2 = std::min(em_, x2), y2 = std::min(em_, y2);
        for (int32_t y = y1; y < y2; ++y)
            std::fill(coverage_.begin() + y * em_ + x1, coverage_.begin() + y * em_ + std::max(x1, x2), 255);
    }
    void Clear(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        x1 = std::max(0, x1), y1 = std::max(0, y1), x2 = std::min(em_, x2), y2 = std::min(em_, y2);
        for (int32_t y = y1; y < y2; ++y)
            std::fill(coverage_.begin() + y * em_ + x1, coverage_.begin() + y * em_ + std::max(x1, x2), 0);
    }
    void Frame(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t top) {
        Fill(x1, y1, x2, y1 + top);
        Fill(x1, y2 - 1, x2, y2);
        Fill(x1, y1, x1 + 1, y2);
        Fill(x2 - 1, y1, x2, y2);
    }
    std::vector<uint8_t> Take() { return std::move(coverage_); }

private:
    int32_t em_;
    std::vector<uint8_t> coverage_;
};

// A filled triangle pointing one way, centred; base is odd.
void Arrow(Cell& c, char direction) {
    int32_t em = c.Em();
    int32_t base = std::max(3, static_cast<int32_t>(em * 0.5 + 0.5)) | 1;
    int32_t depth = (base + 1) / 2;
    int32_t across = (em - base) / 2, along = (em - depth) / 2;
    for (int32_t i = 0; i < depth; ++i) {
        // Row i of the triangle, from its point: 2i + 1 pixels.
        int32_t from = across + depth - 1 - i, to = across + depth + i;
        switch (direction) {
            case '5': c.Fill(from, along + i, to, along + i + 1); break;              // up
            case '6': c.Fill(from, along + depth - 1 - i, to, along + depth - i); break;  // down
            case '3': c.Fill(along + i, from, along + i + 1, to); break;              // left
            default: c.Fill(along + depth - 1 - i, from, along + depth - i, to); break;  // right
        }
    }
}

void Cross(Cell& c) {
    int32_t em = c.Em();
    int32_t margin = em / 4, size = em - 2 * margin;
    for (int32_t i = 0; i < size; ++i) {
        c.Fill(margin + i, margin + i, margin + i + 2, margin + i + 1);
        c.Fill(em - margin - i - 2, margin + i, em - margin - i, margin + i + 1);
    }
}

void Tick(Cell& c) {
    // A stroke down to the bottom third, then up to the top right, three
    // pixels thick at the size of a check box.
    int32_t em = c.Em();
    int32_t thick = std::max(1, em / 5);
    int32_t width = std::max(3, em * 7 / 13), left = (em - width) / 2;
    int32_t downs = width / 3, bottom = (em + width) / 2;
    for (int32_t i = 0; i < width; ++i) {
        int32_t y = i <= downs ? bottom - downs + i - thick : bottom - thick - (i - downs);
        c.Fill(left + i, y - thick + 1, left + i + 1, y + 1);
    }
}

std::optional<std::vector<uint8_t>> Shape(unsigned char ch, int32_t em) {
    Cell c(em);
    int32_t margin = em / 4, top = std::max(1, em / 8);
    switch (ch) {
        case '0': c.Fill(margin, em - margin - top, em - margin, em - margin); break;
        case '1': c.Frame(margin, margin, em - margin, em - margin, top); break;
        case '2': {
            int32_t step = std::max(2, em / 6);
            // The back window, then the front one hiding it where they overlap.
            c.Frame(margin + step, margin, em - margin, em - margin - step, top);
            c.Clear(margin, margin + step, em - margin - step, em - margin);
            c.Frame(margin, margin + step, em - margin - step, em - margin, top);
            break;
        }
        case 'r': Cross(c); break;
        case '3':
        case '4':
        case '5':
        case '6': Arrow(c, static_cast<char>(ch)); break;
        case 'a': Tick(c); break;
        default: return std::nullopt;
    }
    return c.Take();
}

class SymbolSizedFont final : public SizedFont {
public:
    explicit SymbolSizedFont(int32_t em) : em_(em) {
        metrics_.ascent = em;
        metrics_.descent = 0;
        metrics_.height = em;
        metrics_.averageCharWidth = em;
        metrics_.maxCharWidth = em;
    }
    const FontMetrics& Metrics() const override { return metrics_; }
    // Symbols are drawn upright whatever the escapement.
    Glyph TurnedGlyph(unsigned char ch, double, double, double) override { return GlyphOf(ch); }
    Stroke Underline() const override { return {0, 1}; }
    Stroke StrikeOut() const override { return {-em_ / 2, 1}; }
    const Glyph& GlyphOf(unsigned char ch) override {
        auto& slot = glyphs_[ch];
        if (!slot) {
            Glyph glyph;
            glyph.advance = em_;
            if (auto shape = Shape(ch, em_)) {
                glyph.top = em_;
                glyph.width = em_;
                glyph.rows = em_;
                glyph.coverage = std::move(*shape);
            }
            slot = std::move(glyph);
        }
        return *slot;
    }

private:
    int32_t em_;
    FontMetrics metrics_;
    std::array<std::optional<Glyph>, 256> glyphs_;
};

}  // namespace

bool IsSymbolFace(std::string_view name) {
    constexpr std::string_view kName = "marlett";
    return name.size() == kName.size() && std::equal(name.begin(), name.end(), kName.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

SizedFont& SymbolFontFor(int32_t height) {
    static std::map<int32_t, std::unique_ptr<SymbolSizedFont>> sizes;
    int64_t em = height < 0 ? -static_cast<int64_t>(height) : height == 0 ? 11 : height;
    int32_t key = static_cast<int32_t>(std::clamp<int64_t>(em, 1, kMaxEm));
    auto found = sizes.find(key);
    if (found == sizes.end()) {
        if (sizes.size() >= kMaxSizes) sizes.clear();
        found = sizes.emplace(key, std::make_unique<SymbolSizedFont>(key)).first;
    }
    return *found->second;
}

}  // namespace thorn::text
