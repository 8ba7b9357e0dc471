#include "tools/AboutPicture.h"

namespace thorn::startdir {

namespace {

constexpr Rgb kSkyTop{38, 72, 148};
constexpr Rgb kSkyHorizon{196, 218, 238};
constexpr Rgb kSun{252, 224, 128};
constexpr Rgb kMountain{118, 128, 164};
constexpr Rgb kSnow{232, 236, 244};
constexpr Rgb kHillFar{92, 150, 74};
constexpr Rgb kHill{62, 128, 52};
constexpr Rgb kHillNear{44, 104, 40};
constexpr Rgb kPath{186, 152, 96};
constexpr Rgb kStone{168, 164, 154};
constexpr Rgb kStoneDark{126, 122, 114};
constexpr Rgb kRoof{176, 50, 38};
constexpr Rgb kDoor{70, 44, 26};
constexpr Rgb kWindow{34, 36, 56};
constexpr Rgb kBanner{232, 190, 48};

constexpr int kHorizon = 118;

// The sky in bands of eight rows, dark at the top and pale at the horizon.
void Sky(Raster& r) {
    for (int y = 0; y < kHorizon; y += 8) r.FillRect(0, y, r.Width() - 1, y + 7, Mix(kSkyTop, kSkyHorizon, y * 256 / kHorizon));
}

void Mountain(Raster& r, int left, int peak, int right, int top) {
    r.FillTriangle(left, kHorizon, peak, top, right, kHorizon, kMountain);
    r.FillTriangle(peak - 6, top + 9, peak, top, peak + 6, top + 9, kSnow);
}

// A round tower from row top down to row base, with a pointed roof.
void Tower(Raster& r, int left, int right, int top, int base) {
    r.FillRect(left, top, right, base, kStone);
    for (int x = left; x <= right; x += 4) r.FillRect(x, top + 6, x, base, kStoneDark);
    const int mid = (left + right) / 2;
    r.FillTriangle(left - 2, top, mid, top - 18, mid, top, kRoof);
    r.FillTriangle(mid + 1, top, mid + 1, top - 18, right + 2, top, kRoof);
    r.FillRect(mid - 1, top + 10, mid + 1, top + 15, kWindow);
}

void Castle(Raster& r) {
    // The curtain wall with its battlements and gate.
    r.FillRect(48, 98, 120, 132, kStone);
    for (int x = 48; x + 2 <= 120; x += 6) r.FillRect(x, 94, x + 2, 97, kStone);
    for (int y = 104; y <= 128; y += 6) r.FillRect(48, y, 120, y, kStoneDark);
    r.FillEllipse2(2 * 84 + 1, 2 * 118, 16, 16, kDoor);
    r.FillRect(77, 118, 92, 132, kDoor);
    // The keep behind, and a tower at each end of the wall.
    Tower(r, 74, 94, 62, 97);
    Tower(r, 38, 54, 84, 132);
    Tower(r, 114, 130, 84, 132);
    // The banner on the keep's roof.
    r.Line(84, 26, 84, 44, kDoor);
    r.FillTriangle(85, 26, 85, 34, 98, 30, kBanner);
}

}  // namespace

Raster DrawAboutPicture() {
    Raster r(kAboutWidth, kAboutHeight, kHill);
    Sky(r);
    r.FillEllipse2(2 * 138, 2 * 30, 26, 26, kSun);
    Mountain(r, -20, 24, 70, 70);
    Mountain(r, 40, 100, 168, 58);
    Mountain(r, 120, 160, 200, 76);
    r.FillEllipse2(2 * 30, 2 * 150, 2 * 90, 2 * 40, kHillFar);
    r.FillEllipse2(2 * 150, 2 * 156, 2 * 90, 2 * 44, kHillFar);
    r.FillEllipse2(2 * 84, 2 * 170, 2 * 110, 2 * 52, kHill);
    Castle(r);
    // The path from the gate down the hill.
    for (int y = 133; y < kAboutHeight; ++y) {
        const int half = 7 + (y - 133) / 3;
        const int mid = 84 - (y - 133) / 2;
        r.FillRect(mid - half, y, mid + half, y, kPath);
    }
    r.FillEllipse2(2 * 20, 2 * 200, 2 * 60, 2 * 24, kHillNear);
    r.FillEllipse2(2 * 160, 2 * 204, 2 * 50, 2 * 26, kHillNear);
    return r;
}

}  // namespace thorn::startdir
