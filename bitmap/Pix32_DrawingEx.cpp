#include "bitmap/Pix32_DrawingEx.h"

#include <cstdlib>

namespace {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// a*b/c rounded to nearest, halves away from zero, without overflow for
// any 32-bit coordinates (c is never 0 where it is called).
int64_t MulDiv64(int64_t a, int64_t b, int64_t c) {
    Int128 n = static_cast<Int128>(a) * b;
    bool negative = (n < 0) != (c < 0);
    UInt128 un = n < 0 ? -static_cast<UInt128>(n) : static_cast<UInt128>(n);
    UInt128 ud = c < 0 ? -static_cast<UInt128>(c) : static_cast<UInt128>(c);
    UInt128 q = un / ud, r = un % ud;
    if (r >= ud - r) ++q;
    return negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

int Code(int64_t x, int64_t y, int64_t minX, int64_t minY, int64_t maxX, int64_t maxY) {
    return (x < minX ? 1 : 0) + (x > maxX ? 2 : 0) + (y < minY ? 4 : 0) + (y > maxY ? 8 : 0);
}

int XCode(int64_t x, int64_t minX, int64_t maxX) { return (x < minX ? 1 : 0) + (x > maxX ? 2 : 0); }

}  // namespace

bool ClipLine(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t minX, int32_t minY, int32_t maxX,
              int32_t maxY) {
    // Worked in 64 bits: differences of 32-bit coordinates do not fit in 32.
    int64_t X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
    int c1 = Code(X1, Y1, minX, minY, maxX, maxY), c2 = Code(X2, Y2, minX, minY, maxX, maxY);
    if ((c1 & c2) == 0 && (c1 | c2) != 0) {
        if (c1 & 12) {
            int64_t yc = c1 < 8 ? minY : maxY;
            X1 += MulDiv64(yc - Y1, X2 - X1, Y2 - Y1);
            Y1 = yc;
            c1 = XCode(X1, minX, maxX);
        }
        if (c2 & 12) {
            int64_t yc = c2 < 8 ? minY : maxY;
            X2 += MulDiv64(yc - Y2, X2 - X1, Y2 - Y1);
            Y2 = yc;
            c2 = XCode(X2, minX, maxX);
        }
        if ((c1 & c2) == 0 && (c1 | c2) != 0) {
            if (c1 != 0) {
                int64_t xc = c1 == 1 ? minX : maxX;
                Y1 += MulDiv64(xc - X1, Y2 - Y1, X2 - X1);
                X1 = xc;
                c1 = 0;
            }
            if (c2 != 0) {
                int64_t xc = c2 == 1 ? minX : maxX;
                Y2 += MulDiv64(xc - X2, Y2 - Y1, X2 - X1);
                X2 = xc;
                c2 = 0;
            }
        }
    }
    if (c1 != 0 || c2 != 0) return false;
    // Rounding can leave a moved end point a pixel outside the box: such a
    // segment only grazes a corner and is not drawn.
    if (Code(X1, Y1, minX, minY, maxX, maxY) != 0 || Code(X2, Y2, minX, minY, maxX, maxY) != 0) return false;
    x1 = static_cast<int32_t>(X1);
    y1 = static_cast<int32_t>(Y1);
    x2 = static_cast<int32_t>(X2);
    y2 = static_cast<int32_t>(Y2);
    return true;
}
