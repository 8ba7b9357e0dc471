#include "tools/ImageLists.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "startfiles/EditorImageStrips.h"

namespace thorn::startdir {

namespace {

constexpr Rgb kInk{40, 40, 44};
constexpr Rgb kPaper{252, 252, 246};
constexpr Rgb kShade{196, 196, 188};
constexpr Rgb kFolder{236, 196, 72};
constexpr Rgb kFolderLight{250, 226, 130};
constexpr Rgb kNavy{36, 58, 140};
constexpr Rgb kBlue{44, 110, 210};
constexpr Rgb kSky{150, 200, 246};
constexpr Rgb kGreen{46, 150, 58};
constexpr Rgb kLightGreen{120, 200, 96};
constexpr Rgb kRed{206, 40, 34};
constexpr Rgb kGold{238, 190, 40};
constexpr Rgb kBrown{140, 88, 44};
constexpr Rgb kGrey{150, 150, 146};
constexpr Rgb kSteel{206, 210, 220};
constexpr Rgb kParchment{238, 216, 152};

// Drawing on the 20-unit grid, scaled to the picture's side. Boxes name the
// units they cover (both ends included); ovals their centre and radii in
// units; lines and triangles run through unit centres.
class Pen {
public:
    Pen(Raster& raster, int side) : r_(raster), s_(side) {}

    void Box(double x0, double y0, double x1, double y1, Rgb c) {
        r_.FillRect(Edge(x0), Edge(y0), std::max(Edge(x0), Edge(x1 + 1) - 1), std::max(Edge(y0), Edge(y1 + 1) - 1), c);
    }
    // A one-pixel frame round the box.
    void Frame(double x0, double y0, double x1, double y1, Rgb c) {
        int l = Edge(x0), t = Edge(y0), r = std::max(l, Edge(x1 + 1) - 1), b = std::max(t, Edge(y1 + 1) - 1);
        r_.FillRect(l, t, r, t, c);
        r_.FillRect(l, b, r, b, c);
        r_.FillRect(l, t, l, b, c);
        r_.FillRect(r, t, r, b, c);
    }
    // A box with a frame of ink.
    void Panel(double x0, double y0, double x1, double y1, Rgb fill) {
        Box(x0, y0, x1, y1, fill);
        Frame(x0, y0, x1, y1, kInk);
    }
    void Oval(double cx, double cy, double rx, double ry, Rgb c) {
        r_.FillEllipse2(Half(cx), Half(cy), Half(rx), Half(ry), c);
    }
    // An oval with a rim of ink.
    void Disc(double cx, double cy, double rx, double ry, Rgb fill) {
        Oval(cx, cy, rx, ry, kInk);
        Oval(cx, cy, rx - 20.0 / s_, ry - 20.0 / s_, fill);
    }
    void Tri(double x0, double y0, double x1, double y1, double x2, double y2, Rgb c) {
        r_.FillTriangle(Centre(x0), Centre(y0), Centre(x1), Centre(y1), Centre(x2), Centre(y2), c);
    }
    void Line(double x0, double y0, double x1, double y1, Rgb c) {
        r_.Line(Centre(x0), Centre(y0), Centre(x1), Centre(y1), c);
    }
    // A line two pixels wide.
    void Thick(double x0, double y0, double x1, double y1, Rgb c) {
        Line(x0, y0, x1, y1, c);
        r_.Line(Centre(x0) + 1, Centre(y0), Centre(x1) + 1, Centre(y1), c);
    }
    void Dot(double x, double y, Rgb c) { r_.Set(Centre(x), Centre(y), c); }
    void Outline(Rgb c) { r_.OutlineShape(kMagenta, c); }

private:
    int Edge(double v) const { return static_cast<int>(std::lround(v * s_ / 20.0)); }
    int Centre(double v) const { return static_cast<int>(std::lround((v + 0.5) * s_ / 20.0 - 0.5)); }
    int Half(double v) const { return static_cast<int>(std::lround(v * s_ / 10.0)); }

    Raster& r_;
    int s_;
};

// ---- shared pieces

void Page(Pen& p) {
    p.Panel(4, 1, 15, 18, kPaper);
    p.Tri(11, 1, 15, 5, 15, 1, kMagenta);
    p.Line(11, 1, 15, 5, kInk);
    p.Line(11, 1, 11, 5, kInk);
    p.Line(11, 5, 15, 5, kInk);
}

void Floppy(Pen& p, double x, double y, double side) {
    auto at = [&](double v) { return v * side / 16; };
    p.Panel(x, y, x + at(15), y + at(15), kNavy);
    p.Box(x + at(3), y + 1, x + at(12), y + at(6), kPaper);
    p.Box(x + at(4), y + at(10), x + at(11), y + at(15) - 1, kShade);
    p.Box(x + at(8), y + at(11), x + at(9), y + at(14) - 1, kNavy);
}

void Magnifier(Pen& p) {
    p.Thick(12, 12, 18, 18, kBrown);
    p.Thick(13, 12, 18, 17, kBrown);
    p.Disc(8, 8, 7, 7, kSky);
}

void ProvincePiece(Pen& p) {
    p.Oval(9, 11, 8, 6, kInk);
    p.Oval(9, 11, 7, 5, kLightGreen);
    p.Oval(6, 9, 3, 2, kGreen);
    p.Oval(12, 13, 3, 2, kGreen);
}

void Window(Pen& p) {
    p.Panel(1, 2, 18, 17, kPaper);
    p.Box(2, 3, 17, 5, kNavy);
}

void Arrow(Pen& p, bool up, Rgb c) {
    if (up) {
        p.Tri(10, 2, 2, 10, 17, 10, c);
        p.Box(7, 10, 12, 17, c);
    } else {
        p.Tri(10, 17, 2, 9, 17, 9, c);
        p.Box(7, 2, 12, 9, c);
    }
    p.Outline(kInk);
}

// ---- the pictures

using Drawing = std::function<void(Pen&)>;

const Drawing& DrawingOf(EditorImage image) {
    static const std::vector<Drawing> drawings = [] {
        std::vector<Drawing> d(kEditorImageCount);
        auto at = [&](EditorImage i) -> Drawing& { return d[static_cast<size_t>(Index(i))]; };
        at(EditorImage::NewProject) = [](Pen& p) {
            Page(p);
            p.Tri(15, 11, 13, 17, 17, 17, kGold);  // a spark for something new
            p.Tri(15, 19, 13, 13, 17, 13, kGold);
            p.Box(12, 14, 18, 15, kGold);
        };
        at(EditorImage::LoadProject) = [](Pen& p) {
            p.Panel(1, 3, 7, 5, kFolder);
            p.Panel(1, 5, 15, 16, kFolder);
            p.Tri(4, 9, 19, 9, 16, 16, kFolderLight);
            p.Tri(4, 9, 1, 16, 16, 16, kFolderLight);
            p.Line(4, 9, 19, 9, kInk);
            p.Line(19, 9, 16, 16, kInk);
            p.Line(4, 9, 1, 16, kInk);
            p.Line(1, 16, 16, 16, kInk);
        };
        at(EditorImage::SaveProject) = [](Pen& p) { Floppy(p, 2, 2, 16); };
        at(EditorImage::SaveAsProject) = [](Pen& p) {
            Floppy(p, 1, 1, 13);
            p.Thick(10, 18, 17, 11, kGold);
            p.Line(9, 18, 10, 17, kInk);
            p.Thick(17, 11, 18, 10, kRed);
        };
        at(EditorImage::SavePDA) = [](Pen& p) {
            p.Panel(8, 1, 18, 18, kGrey);
            p.Panel(10, 3, 16, 11, kLightGreen);
            p.Box(10, 14, 11, 15, kInk);
            p.Box(13, 14, 14, 15, kInk);
            p.Box(1, 8, 5, 10, kRed);  // the mission going in
            p.Tri(5, 5, 5, 13, 8, 9, kRed);
        };
        at(EditorImage::DelProvince) = [](Pen& p) {
            ProvincePiece(p);
            p.Thick(11, 1, 18, 8, kRed);
            p.Thick(11, 8, 18, 1, kRed);
        };
        at(EditorImage::AddProvince) = [](Pen& p) {
            ProvincePiece(p);
            p.Box(13, 0, 15, 8, kBlue);
            p.Box(10, 3, 18, 5, kBlue);
        };
        at(EditorImage::ZoomIn) = [](Pen& p) {
            Magnifier(p);
            p.Box(5, 7, 11, 8, kInk);
            p.Box(7, 5, 8, 11, kInk);
        };
        at(EditorImage::ZoomOut) = [](Pen& p) {
            Magnifier(p);
            p.Box(5, 7, 11, 8, kInk);
        };
        at(EditorImage::ZoomFill) = [](Pen& p) {
            Magnifier(p);
            p.Frame(5, 5, 11, 11, kInk);
        };
        at(EditorImage::ShowMissRMI) = [](Pen& p) {
            p.Panel(4, 3, 15, 16, kParchment);
            p.Disc(10, 2.5, 7, 1.5, kBrown);
            p.Disc(10, 17.5, 7, 1.5, kBrown);
            for (int y = 6; y <= 13; y += 2) p.Box(6, y, y == 13 ? 10 : 13, y, kInk);
        };
        at(EditorImage::ShowEventRMI) = [](Pen& p) {
            p.Panel(2, 3, 17, 17, kPaper);
            p.Box(3, 4, 16, 6, kRed);
            p.Box(5, 1, 6, 4, kInk);
            p.Box(13, 1, 14, 4, kInk);
            for (int y = 8; y <= 14; y += 3)
                for (int x = 5; x <= 14; x += 3) p.Box(x, y, x + 1, y + 1, y == 11 && x == 8 ? kRed : kGrey);
        };
        at(EditorImage::ShowOwnerColor) = [](Pen& p) {
            p.Panel(1, 1, 9, 9, kRed);
            p.Panel(10, 1, 18, 9, kBlue);
            p.Panel(1, 10, 9, 18, kGreen);
            p.Panel(10, 10, 18, 18, kGold);
        };
        at(EditorImage::ShowNeighbours) = [](Pen& p) {
            // Dotted paths between three places.
            for (double t = 0; t <= 1; t += 0.125) {
                p.Dot(4 + 11 * t, 15 - 11 * t, kBrown);
                p.Dot(15, 4 + 12 * t, kBrown);
            }
            p.Disc(4, 15, 3, 3, kRed);
            p.Disc(15, 4, 3, 3, kBlue);
            p.Disc(15, 16, 3, 3, kGreen);
        };
        at(EditorImage::ShowNames) = [](Pen& p) {
            p.Panel(1, 4, 18, 15, kPaper);
            p.Thick(4, 13, 8, 6, kInk);
            p.Thick(8, 6, 11, 13, kInk);
            p.Box(6, 10, 10, 10, kInk);
            p.Box(13, 8, 15, 13, kNavy);
        };
        at(EditorImage::ShowIcons) = [](Pen& p) {
            p.Disc(10, 10, 9, 6, kParchment);
            p.Tri(10, 5, 5, 10, 15, 10, kRed);
            p.Tri(10, 15, 5, 10, 15, 10, kRed);
        };
        at(EditorImage::ShowCastles) = [](Pen& p) {
            p.Box(3, 7, 16, 18, kGrey);
            for (int x = 3; x <= 15; x += 4) p.Box(x, 4, x + 1, 6, kGrey);
            p.Box(8, 12, 11, 18, kBrown);
            p.Box(5, 9, 6, 10, kInk);
            p.Box(13, 9, 14, 10, kInk);
            p.Outline(kInk);
        };
        at(EditorImage::ShowArmies) = [](Pen& p) {
            // A shield with a sword over it.
            p.Box(3, 3, 16, 10, kRed);
            p.Tri(3, 10, 16, 10, 9.5, 18, kRed);
            p.Outline(kInk);
            p.Box(9, 1, 10, 14, kSteel);
            p.Frame(8, 0, 11, 15, kInk);
            p.Box(9, 1, 10, 14, kSteel);
            p.Panel(5, 4, 14, 5, kGold);
        };
        at(EditorImage::RecalcIconPlaces) = [](Pen& p) {
            p.Disc(10, 10, 8, 8, kPaper);
            p.Oval(10, 10, 5, 5, kInk);
            p.Oval(10, 10, 4, 4, kPaper);
            p.Box(9, 1, 10, 18, kRed);
            p.Box(1, 9, 18, 10, kRed);
        };
        at(EditorImage::ShowOptions) = [](Pen& p) {
            for (int i = 0; i < 8; ++i) {
                double a = i * 3.14159265 / 4;
                p.Oval(10 + 7 * std::cos(a), 10 + 7 * std::sin(a), 2, 2, kGrey);
            }
            p.Oval(10, 10, 7, 7, kGrey);
            p.Outline(kInk);
            p.Disc(10, 10, 3, 3, kPaper);
        };
        at(EditorImage::ReloadMap) = [](Pen& p) {
            p.Panel(1, 2, 18, 15, kSky);
            p.Oval(7, 16, 8, 6, kGreen);
            p.Box(1, 15, 18, 15, kInk);
            p.Disc(14, 6, 2, 2, kGold);
            p.Tri(13, 12, 19, 12, 16, 18, kRed);  // read again
        };
        at(EditorImage::RenProv) = [](Pen& p) {
            p.Panel(2, 2, 17, 17, kPaper);
            for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{5, 5}, {13, 5}, {9, 9}, {5, 13}, {13, 13}}) p.Box(x, y, x + 1, y + 1, kRed);
        };
        at(EditorImage::Warning) = [](Pen& p) {
            p.Tri(9.5, 1, 0, 18, 19, 18, kGold);
            p.Outline(kInk);
            p.Box(9, 6, 10, 12, kInk);
            p.Box(9, 14, 10, 15, kInk);
        };
        at(EditorImage::GenerateIncome) = [](Pen& p) {
            for (int i = 3; i >= 0; --i) p.Disc(8, 16 - 3 * i, 6, 2.5, kGold);
            p.Disc(14, 15, 5, 4, kGold);
            p.Box(13, 13, 15, 17, kBrown);
        };
        at(EditorImage::About) = [](Pen& p) {
            p.Disc(10, 10, 9, 9, kBlue);
            p.Box(9, 4, 10, 5, kPaper);
            p.Box(9, 8, 10, 15, kPaper);
            p.Box(8, 8, 8, 8, kPaper);
            p.Box(8, 15, 11, 15, kPaper);
        };
        at(EditorImage::Exit) = [](Pen& p) {
            p.Panel(2, 1, 11, 18, kBrown);
            p.Tri(2, 1, 7, 4, 7, 18, kNavy);
            p.Box(9, 9, 16, 10, kGreen);  // out of the door
            p.Tri(16, 6, 16, 13, 19, 9.5, kGreen);
        };
        at(EditorImage::FilePanel) = [](Pen& p) {
            Window(p);
            for (int x = 3; x <= 12; x += 4) p.Panel(x, 7, x + 2, 9, kFolder);
        };
        at(EditorImage::ZoomPanel) = [](Pen& p) {
            Window(p);
            p.Disc(8, 12, 3, 3, kSky);
            p.Thick(10, 14, 14, 16, kBrown);
        };
        at(EditorImage::ShowPanel) = [](Pen& p) {
            Window(p);
            p.Box(2, 6, 7, 16, kShade);
            p.Box(8, 6, 8, 16, kInk);
        };
        at(EditorImage::Player) = [](Pen& p) {
            p.Disc(10, 16, 7, 4, kBlue);
            p.Disc(10, 10, 4, 4, kParchment);
            p.Tri(5, 5, 15, 5, 10, 1, kGold);
            p.Tri(5, 6, 5, 1, 9, 6, kGold);
            p.Tri(15, 6, 15, 1, 11, 6, kGold);
        };
        at(EditorImage::Province) = [](Pen& p) {
            ProvincePiece(p);
            p.Box(9, 3, 9, 10, kInk);  // a flag on it
            p.Tri(10, 3, 10, 7, 14, 5, kRed);
        };
        at(EditorImage::Event) = [](Pen& p) {
            // A bolt: something happens.
            p.Tri(13, 0, 4, 11, 11, 11, kGold);
            p.Tri(13, 0, 8, 11, 11, 11, kGold);
            p.Tri(8, 8, 16, 8, 6, 19, kGold);
            p.Tri(8, 8, 12, 8, 6, 19, kGold);
            p.Outline(kInk);
        };
        at(EditorImage::Up) = [](Pen& p) { Arrow(p, true, kBlue); };
        at(EditorImage::Down) = [](Pen& p) { Arrow(p, false, kBlue); };
        return d;
    }();
    return drawings[static_cast<size_t>(Index(image))];
}

}  // namespace

Raster DrawListImage(int index, int side) {
    Raster picture(side, side, kMagenta);
    Pen pen(picture, side);
    DrawingOf(static_cast<EditorImage>(index))(pen);
    return picture;
}

Raster ListImageStrip(int side) {
    Raster strip(side * kEditorImageCount, side, kMagenta);
    for (int i = 0; i < kEditorImageCount; ++i) {
        Raster picture = DrawListImage(i, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) strip.Set(i * side + x, y, picture.Get(x, y));
    }
    return strip;
}

}  // namespace thorn::startdir
