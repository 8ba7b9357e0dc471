#include "tools/Icons.h"

#include <functional>

namespace thorn::startdir {

namespace {

constexpr Rgb kOutline{44, 36, 30};
constexpr Rgb kStone{158, 156, 150};
constexpr Rgb kStoneDark{120, 118, 112};
constexpr Rgb kWhiteStone{226, 224, 214};
constexpr Rgb kRoofRed{178, 52, 38};
constexpr Rgb kRoofBlue{52, 84, 172};
constexpr Rgb kThatch{176, 136, 62};
constexpr Rgb kPlaster{216, 192, 142};
constexpr Rgb kWood{138, 90, 46};
constexpr Rgb kWoodLight{176, 124, 70};
constexpr Rgb kGold{232, 190, 48};
constexpr Rgb kDoor{66, 42, 24};
constexpr Rgb kWindow{36, 38, 58};
constexpr Rgb kBannerRed{204, 32, 30};
constexpr Rgb kSteel{204, 208, 218};
constexpr Rgb kCanvas{224, 208, 162};
constexpr Rgb kParchment{238, 216, 152};
constexpr Rgb kMarkerRim{92, 60, 30};

// A roof or spire over the columns left..right (an even number of columns
// keeps it symmetric) with its tip at row top and its base on row base.
void Spire(Raster& r, int left, int right, int top, int base, Rgb c) {
    const int mid = (left + right) / 2;
    r.FillTriangle(left, base, mid, base, mid, top, c);
    r.FillTriangle(mid + 1, base, right, base, mid + 1, top, c);
}

// Two-pixel battlements on row y and the one above, every other pair of
// columns from left to right.
void Battlements(Raster& r, int left, int right, int y, Rgb c) {
    for (int x = left; x + 1 <= right; x += 4) r.FillRect(x, y - 1, x + 1, y, c);
}

// Darker stones scattered over every pixel of colour c.
void Masonry(Raster& r, Rgb c, Rgb dark) {
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (r.Get(x, y) == c && (x + 3 * y) % 7 == 0) r.Set(x, y, dark);
}

void ThickLine(Raster& r, int x0, int y0, int x1, int y1, int thickness, Rgb c) {
    for (int dy = 0; dy < thickness; ++dy)
        for (int dx = 0; dx < thickness; ++dx) r.Line(x0 + dx, y0 + dy, x1 + dx, y1 + dy, c);
}

Raster Village() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.FillRect(4, 13, 15, 21, kPlaster);
    Spire(r, 2, 17, 6, 13, kThatch);
    r.FillRect(13, 5, 14, 9, kStoneDark);  // chimney
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(9, 16, 10, 20, kDoor);
    r.FillRect(6, 15, 7, 16, kWindow);
    r.FillRect(12, 15, 13, 16, kWindow);
    return r;
}

Raster Castle() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.FillRect(1, 7, 6, 22, kStone);
    Battlements(r, 1, 6, 6, kStone);
    r.FillRect(13, 7, 18, 22, kStone);
    Battlements(r, 13, 18, 6, kStone);
    r.FillRect(6, 11, 13, 22, kStone);
    Battlements(r, 7, 12, 10, kStone);
    r.Line(10, 1, 10, 9, kOutline);  // flag pole
    Masonry(r, kStone, kStoneDark);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(11, 1, 14, 3, kBannerRed);
    r.FillRect(8, 16, 11, 21, kDoor);
    r.FillRect(9, 15, 10, 15, kDoor);
    r.FillRect(3, 11, 4, 13, kWindow);
    r.FillRect(15, 11, 16, 13, kWindow);
    return r;
}

Raster Capital() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.FillRect(1, 10, 6, 22, kStone);
    Spire(r, 0, 7, 4, 10, kRoofRed);
    r.FillRect(13, 10, 18, 22, kStone);
    Spire(r, 12, 19, 4, 10, kRoofRed);
    r.FillRect(6, 8, 13, 22, kWhiteStone);
    Spire(r, 5, 14, 0, 8, kGold);
    Masonry(r, kStone, kStoneDark);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(8, 10, 11, 13, kBannerRed);
    r.FillRect(9, 11, 10, 12, kGold);
    r.FillRect(8, 17, 11, 21, kDoor);
    r.FillRect(3, 13, 4, 15, kWindow);
    r.FillRect(15, 13, 16, 15, kWindow);
    return r;
}

Raster Fort() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.Line(11, 1, 11, 7, kOutline);  // flag pole
    for (int i = 0; i < 6; ++i) {
        const int x0 = 1 + 3 * i;
        const Rgb wood = i % 2 == 0 ? kWood : kWoodLight;
        r.FillRect(x0, 10, x0 + 2, 22, wood);
        r.FillTriangle(x0, 10, x0 + 2, 10, x0 + 1, 7, wood);
    }
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(12, 1, 15, 3, kBannerRed);
    r.FillRect(8, 16, 11, 21, kDoor);
    r.Line(8, 15, 11, 15, kOutline);
    return r;
}

Raster Watchtower() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.FillRect(7, 8, 12, 22, kStone);
    r.FillRect(5, 20, 14, 22, kStone);
    Spire(r, 4, 15, 0, 7, kRoofRed);
    Masonry(r, kStone, kStoneDark);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(9, 10, 10, 12, kWindow);
    r.FillRect(9, 14, 10, 15, kWindow);
    r.FillRect(9, 18, 10, 21, kDoor);
    return r;
}

Raster Citadel() {
    Raster r(kCastleWidth, kCastleHeight, kMagenta);
    r.FillRect(0, 10, 5, 22, kWhiteStone);
    Spire(r, 0, 5, 4, 10, kRoofBlue);
    r.FillRect(14, 10, 19, 22, kWhiteStone);
    Spire(r, 14, 19, 4, 10, kRoofBlue);
    r.FillRect(5, 14, 14, 22, kWhiteStone);
    Battlements(r, 6, 13, 13, kWhiteStone);
    r.FillRect(7, 6, 12, 22, kWhiteStone);
    Spire(r, 6, 13, 0, 6, kRoofBlue);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(9, 8, 10, 10, kWindow);
    r.FillRect(8, 17, 11, 21, kDoor);
    r.FillRect(2, 13, 3, 14, kWindow);
    r.FillRect(16, 13, 17, 14, kWindow);
    return r;
}

Raster Banner() {
    Raster r(kArmyWidth, kArmyHeight, kMagenta);
    r.FillRect(2, 1, 3, 17, kWood);
    r.FillRect(4, 1, 14, 10, kBannerRed);
    r.FillTriangle(14, 3, 14, 8, 11, 5, kMagenta);  // swallow tail
    r.FillTriangle(14, 4, 14, 7, 11, 6, kMagenta);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(6, 4, 9, 7, kGold);
    r.FillRect(2, 0, 3, 0, kGold);
    return r;
}

Raster Swords() {
    Raster r(kArmyWidth, kArmyHeight, kMagenta);
    // Dark strokes first, the metal over them, so the blades keep an outline.
    ThickLine(r, 0, 0, 11, 11, 4, kOutline);
    ThickLine(r, 12, 0, 1, 11, 4, kOutline);
    ThickLine(r, 9, 14, 13, 10, 3, kOutline);
    ThickLine(r, 2, 10, 6, 14, 3, kOutline);
    ThickLine(r, 11, 12, 13, 14, 3, kOutline);
    ThickLine(r, 3, 12, 1, 14, 3, kOutline);
    ThickLine(r, 1, 1, 11, 11, 2, kSteel);
    ThickLine(r, 13, 1, 3, 11, 2, kSteel);
    r.Line(10, 14, 14, 10, kGold);
    r.Line(2, 10, 6, 14, kGold);
    r.Line(12, 13, 14, 15, kWood);
    r.Line(3, 13, 1, 15, kWood);
    return r;
}

Raster Camp() {
    Raster r(kArmyWidth, kArmyHeight, kMagenta);
    r.Line(7, 0, 7, 4, kOutline);
    Spire(r, 0, 15, 4, 16, kCanvas);
    r.OutlineShape(kMagenta, kOutline);
    r.FillRect(8, 0, 11, 2, kBannerRed);
    r.FillTriangle(6, 15, 9, 15, 7, 9, kDoor);
    r.FillTriangle(8, 15, 9, 15, 8, 9, kDoor);
    r.Line(3, 12, 6, 7, kBannerRed);
    r.Line(12, 12, 9, 7, kBannerRed);
    return r;
}

// Draws a charge with `draw` and keeps only what falls on the shield's field.
void Charge(Raster& shield, const UnitKind& unit, const std::function<void(Raster&)>& draw) {
    Raster charge(shield.Width(), shield.Height(), kMagenta);
    draw(charge);
    for (int y = 0; y < shield.Height(); ++y)
        for (int x = 0; x < shield.Width(); ++x)
            if (charge.Get(x, y) != kMagenta && shield.Get(x, y) == unit.field) shield.Set(x, y, unit.charge);
}

void Emblazon(Raster& r, const UnitKind& unit) {
    const Rgb c = unit.charge;
    switch (unit.emblem) {
    case Emblem::Pale: Charge(r, unit, [c](Raster& m) { m.FillRect(6, 0, 9, 15, c); }); break;
    case Emblem::Fess: Charge(r, unit, [c](Raster& m) { m.FillRect(0, 5, 15, 8, c); }); break;
    case Emblem::Cross:
        Charge(r, unit, [c](Raster& m) {
            m.FillRect(6, 0, 9, 15, c);
            m.FillRect(0, 4, 15, 7, c);
        });
        break;
    case Emblem::Saltire:
        Charge(r, unit, [c](Raster& m) {
            ThickLine(m, 0, 0, 14, 14, 2, c);
            ThickLine(m, 14, 0, 0, 14, 2, c);
        });
        break;
    case Emblem::Chevron:
        Charge(r, unit, [c](Raster& m) {
            ThickLine(m, 1, 11, 7, 4, 2, c);
            ThickLine(m, 7, 4, 13, 11, 2, c);
        });
        break;
    case Emblem::Roundel: Charge(r, unit, [c](Raster& m) { m.FillEllipse2(16, 12, 9, 9, c); }); break;
    case Emblem::Bend: Charge(r, unit, [c](Raster& m) { ThickLine(m, 0, 0, 13, 13, 3, c); }); break;
    case Emblem::Chief: Charge(r, unit, [c](Raster& m) { m.FillRect(0, 0, 15, 4, c); }); break;
    case Emblem::Quarterly:
        Charge(r, unit, [c](Raster& m) {
            m.FillRect(0, 0, 7, 6, c);
            m.FillRect(8, 7, 15, 15, c);
        });
        break;
    case Emblem::Pile: Charge(r, unit, [c](Raster& m) { m.FillTriangle(2, 0, 13, 0, 8, 12, c); }); break;
    case Emblem::Bordure:
        Charge(r, unit, [c](Raster& m) {
            m.FillRect(0, 0, 15, 15, c);
            m.FillRect(4, 3, 11, 8, kMagenta);
            m.FillTriangle(4, 8, 11, 8, 8, 12, kMagenta);
            m.FillTriangle(4, 8, 11, 8, 7, 12, kMagenta);
        });
        break;
    }
}

}  // namespace

Raster DrawCastle(CastleLook look) {
    switch (look) {
    case CastleLook::Village: return Village();
    case CastleLook::Castle: return Castle();
    case CastleLook::Capital: return Capital();
    case CastleLook::Fort: return Fort();
    case CastleLook::Watchtower: return Watchtower();
    case CastleLook::Citadel: return Citadel();
    }
    return Castle();
}

Raster DrawArmy(ArmyLook look) {
    switch (look) {
    case ArmyLook::Banner: return Banner();
    case ArmyLook::Swords: return Swords();
    case ArmyLook::Camp: return Camp();
    }
    return Banner();
}

Raster DrawUnit(const UnitKind& unit) {
    Raster r(kUnitSide, kUnitSide, kMagenta);
    r.FillRect(1, 0, 14, 9, unit.field);
    r.FillTriangle(1, 9, 7, 9, 7, 15, unit.field);
    r.FillTriangle(8, 9, 14, 9, 8, 15, unit.field);
    Emblazon(r, unit);
    r.OutlineShape(kMagenta, kOutline);
    return r;
}

Raster DrawProvinceMarker() {
    Raster r(kMarkerWidth, kMarkerHeight, kMagenta);
    r.FillEllipse2(kMarkerWidth, kMarkerHeight, kMarkerWidth, kMarkerHeight, kParchment);
    r.OutlineShape(kMagenta, kMarkerRim);
    r.FillTriangle(9, 7, 14, 2, 19, 7, kBannerRed);
    r.FillTriangle(9, 7, 14, 12, 19, 7, kBannerRed);
    r.FillRect(13, 6, 15, 8, kGold);
    return r;
}

}  // namespace thorn::startdir
