#include "tools/Raster.h"

#include <algorithm>
#include <cstdlib>

namespace thorn::startdir {

namespace {

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Twice the signed area of the triangle (a, b, p); the sign tells the side.
int64_t Edge(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t px, int64_t py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

Rgb Shade(Rgb c, int delta) { return {Clamp(c.r + delta), Clamp(c.g + delta), Clamp(c.b + delta)}; }

Rgb Mix(Rgb c1, Rgb c2, int w) {
    auto mix = [w](int a, int b) { return Clamp((a * (256 - w) + b * w) / 256); };
    return {mix(c1.r, c2.r), mix(c1.g, c2.g), mix(c1.b, c2.b)};
}

Raster::Raster(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Raster::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Raster::FillRect(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) Set(x, y, c);
}

void Raster::FillEllipse2(int cx2, int cy2, int rx2, int ry2, Rgb c) {
    if (rx2 <= 0 || ry2 <= 0) return;
    const int64_t rx = rx2, ry = ry2;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const int64_t dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
            if (dx * dx * ry * ry + dy * dy * rx * rx <= rx * rx * ry * ry) Set(x, y, c);
        }
}

void Raster::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, Rgb c) {
    const int64_t area = Edge(x0, y0, x1, y1, x2, y2);
    if (area == 0) return;
    for (int y = std::min({y0, y1, y2}); y <= std::max({y0, y1, y2}); ++y)
        for (int x = std::min({x0, x1, x2}); x <= std::max({x0, x1, x2}); ++x) {
            int64_t e0 = Edge(x0, y0, x1, y1, x, y), e1 = Edge(x1, y1, x2, y2, x, y), e2 = Edge(x2, y2, x0, y0, x, y);
            if (area < 0) e0 = -e0, e1 = -e1, e2 = -e2;
            if (e0 >= 0 && e1 >= 0 && e2 >= 0) Set(x, y, c);
        }
}

void Raster::Line(int x0, int y0, int x1, int y1, Rgb c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
        Set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Raster::OutlineShape(Rgb background, Rgb c) {
    std::vector<bool> edge(pixels_.size(), false);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (Get(x, y) == background) continue;
            const int nx[4] = {x - 1, x + 1, x, x};
            const int ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k) {
                const bool outside = nx[k] < 0 || ny[k] < 0 || nx[k] >= width_ || ny[k] >= height_;
                if (outside || Get(nx[k], ny[k]) == background) edge[static_cast<size_t>(y) * width_ + x] = true;
            }
        }
    for (size_t i = 0; i < pixels_.size(); ++i)
        if (edge[i]) pixels_[i] = c;
}

}  // namespace thorn::startdir
