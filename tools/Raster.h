#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A plain picture of 24-bit colours with the few drawing operations the
// generator's icons need. Coordinates outside the picture are ignored.
namespace thorn::startdir {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kMagenta{255, 0, 255};  // the transparent background of icons

// Each channel moved by delta and kept within 0..255.
Rgb Shade(Rgb c, int delta);
// c1 * (256 - w) + c2 * w, over 256 (w in 0..256).
Rgb Mix(Rgb c1, Rgb c2, int w);

class Raster {
public:
    Raster(int width, int height, Rgb fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Get(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, Rgb c);

    // Rectangle of the columns x0..x1 and rows y0..y1, both included.
    void FillRect(int x0, int y0, int x1, int y1, Rgb c);
    // Every pixel whose centre lies inside the ellipse with centre (cx, cy)
    // and radii rx, ry, all in half pixels (so odd sizes centre exactly).
    void FillEllipse2(int cx2, int cy2, int rx2, int ry2, Rgb c);
    // Every pixel whose centre lies inside the triangle (corners in pixels,
    // at pixel centres).
    void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, Rgb c);
    // A one-pixel line from (x0, y0) to (x1, y1), both ends included.
    void Line(int x0, int y0, int x1, int y1, Rgb c);
    // Every pixel that is not `background` and touches one that is, or
    // touches the picture's edge, gets c: a one-pixel outline inside the
    // shape.
    void OutlineShape(Rgb background, Rgb c);

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

}  // namespace thorn::startdir
