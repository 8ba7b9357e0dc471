// Matrix routines, affine and projective mappings, and drawing a bitmap
// through a mapping.
#include "bitmap/Pix32_Transforms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_LowLevel.h"

namespace {

constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();

using thorn::RoundToInt;

int32_t Saturate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, Int32Min, Int32Max)); }

// The matrices are stored column first; the algebra below reads them as
// rows and columns.
using Rows = std::array<std::array<float, 3>, 3>;

Rows ToRows(const TFloatMatrix& m) {
    Rows r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r[row][col] = m[col][row];
    return r;
}

TFloatMatrix FromRows(const Rows& r) {
    TFloatMatrix m;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m[col][row] = r[row][col];
    return m;
}

// The determinant of the 2x2 matrix left when row and col are struck out.
float Minor(const Rows& r, int row, int col) {
    int r0 = row == 0 ? 1 : 0, r1 = row == 2 ? 1 : 2;
    int c0 = col == 0 ? 1 : 0, c1 = col == 2 ? 1 : 2;
    return r[r0][c0] * r[r1][c1] - r[r0][c1] * r[r1][c0];
}

void Put(TColor32 colour, TColor32& dst, TDrawMode mode, uint32_t masterAlpha, const TPixelCombineEvent& callback) {
    switch (mode) {
    case dmOpaque:
        dst = colour;
        break;
    case dmBlend:
        BlendMemEx(colour, dst, masterAlpha);
        break;
    case dmCustom:
        callback(colour, dst, masterAlpha);
        break;
    }
}

}  // namespace

// ---------------------------------------------------------------- matrices

float Determinant(const TFloatMatrix& M) {
    Rows r = ToRows(M);
    return r[0][0] * Minor(r, 0, 0) - r[0][1] * Minor(r, 0, 1) + r[0][2] * Minor(r, 0, 2);
}

void Adjoint(TFloatMatrix& M) {
    Rows r = ToRows(M);
    Rows adj;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            float cofactor = Minor(r, row, col);
            adj[col][row] = (row + col) % 2 == 0 ? cofactor : -cofactor;
        }
    M = FromRows(adj);
}

void Scale(TFloatMatrix& M, float Factor) {
    for (auto& column : M)
        for (float& v : column) v *= Factor;
}

void Invert(TFloatMatrix& M) {
    float d = Determinant(M);
    if (std::fabs(d) >= 1E-5f) {
        Adjoint(M);
        Scale(M, 1.0f / d);
    } else {
        M = IdentityMatrix;
    }
}

TFloatMatrix Mult(const TFloatMatrix& M1, const TFloatMatrix& M2) {
    Rows a = ToRows(M1), b = ToRows(M2), p;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p[row][col] = a[row][0] * b[0][col] + a[row][1] * b[1][col] + a[row][2] * b[2][col];
    return FromRows(p);
}

TVector3f VectorTransform(const TFloatMatrix& M, const TVector3f& V) {
    TVector3f out;
    for (int j = 0; j < 3; ++j) out[j] = M[0][j] * V[0] + M[1][j] * V[1] + M[2][j] * V[2];
    return out;
}

// ----------------------------------------------------------- mappings

void TTransformation::SetSrcRect(const TFloatRect& value) {
    srcRect_ = value;
    Invalidate();
}

void TAffineTransformation::Clear() {
    matrix_ = IdentityMatrix;
    Invalidate();
}

void TAffineTransformation::Apply(const TFloatMatrix& T) {
    Invalidate();
    matrix_ = Mult(T, matrix_);
}

void TAffineTransformation::Translate(float Dx, float Dy) {
    TFloatMatrix t = IdentityMatrix;
    t[2][0] = Dx;
    t[2][1] = Dy;
    Apply(t);
}

void TAffineTransformation::Scale(float Sx, float Sy) {
    TFloatMatrix t = IdentityMatrix;
    t[0][0] = Sx;
    t[1][1] = Sy;
    Apply(t);
}

void TAffineTransformation::Skew(float Fx, float Fy) {
    TFloatMatrix t = IdentityMatrix;
    t[1][0] = Fx;
    t[0][1] = Fy;
    Apply(t);
}

void TAffineTransformation::Rotate(float Cx, float Cy, float Alpha) {
    bool aboutCentre = Cx != 0 || Cy != 0;
    if (aboutCentre) Translate(-Cx, -Cy);
    double a = static_cast<double>(Alpha) * std::numbers::pi / 180.0;
    float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    TFloatMatrix t = IdentityMatrix;
    t[0][0] = c;
    t[1][0] = s;
    t[0][1] = -s;
    t[1][1] = c;
    Apply(t);
    if (aboutCentre) Translate(Cx, Cy);
}

void TAffineTransformation::PrepareTransform() {
    TFloatMatrix m = matrix_;
    Invert(m);
    auto fixed = [](float v) { return RoundToInt(static_cast<double>(v) * 4096.0); };
    A = fixed(m[0][0]);
    B = fixed(m[1][0]);
    C = fixed(m[2][0]);
    D = fixed(m[0][1]);
    E = fixed(m[1][1]);
    F = fixed(m[2][1]);
    Validate();
}

// With 32-bit coefficients and coordinates each sum stays below 2^63.
void TAffineTransformation::Transform(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) {
    int64_t x = DstX, y = DstY;
    SrcX = Saturate((x * A + y * B + C + 2047) >> 12);
    SrcY = Saturate((x * D + y * E + F + 2047) >> 12);
}

void TAffineTransformation::Transform256(int32_t DstX, int32_t DstY, int32_t& SrcX256, int32_t& SrcY256) {
    int64_t x = DstX, y = DstY;
    SrcX256 = Saturate((x * A + y * B + C + 7) >> 4);
    SrcY256 = Saturate((x * D + y * E + F + 7) >> 4);
}

// In single precision, as the matrix is: a quarter turn's cosine (about
// 6E-17) then vanishes against the half added to the extremes.
TRect TAffineTransformation::GetTransformedBounds() {
    const TFloatRect& r = SrcRect();
    const float xs[4] = {r.Left, r.Right, r.Left, r.Right};
    const float ys[4] = {r.Top, r.Top, r.Bottom, r.Bottom};
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int k = 0; k < 4; ++k) {
        TVector3f p = VectorTransform(matrix_, {xs[k], ys[k], 1});
        if (k == 0 || p[0] < minX) minX = p[0];
        if (k == 0 || p[0] > maxX) maxX = p[0];
        if (k == 0 || p[1] < minY) minY = p[1];
        if (k == 0 || p[1] > maxY) maxY = p[1];
    }
    return {RoundToInt(minX - 0.5f), RoundToInt(minY - 0.5f), RoundToInt(maxX + 0.5f),
            RoundToInt(maxY + 0.5f)};
}

void TProjectiveTransformation::SetCorner(float& corner, float value) {
    corner = value;
    Invalidate();
}

void TProjectiveTransformation::PrepareTransform() {
    const auto& X = x_;
    const auto& Y = y_;
    float px = X[0] - X[1] + X[2] - X[3];
    float py = Y[0] - Y[1] + Y[2] - Y[3];
    TFloatMatrix w{};
    if (px == 0 && py == 0) {
        // A parallelogram: the unit square maps on affinely.
        w[0][0] = X[1] - X[0];
        w[1][0] = X[2] - X[1];
        w[2][0] = X[0];
        w[0][1] = Y[1] - Y[0];
        w[1][1] = Y[2] - Y[1];
        w[2][1] = Y[0];
        w[2][2] = 1;
    } else {
        float dx1 = X[1] - X[2], dx2 = X[3] - X[2];
        float dy1 = Y[1] - Y[2], dy2 = Y[3] - Y[2];
        float k = dx1 * dy2 - dx2 * dy1;
        if (k != 0) {
            float g = (px * dy2 - py * dx2) / k;
            float h = (dx1 * py - dy1 * px) / k;
            w[0][0] = X[1] - X[0] + g * X[1];
            w[1][0] = X[3] - X[0] + h * X[3];
            w[2][0] = X[0];
            w[0][1] = Y[1] - Y[0] + g * Y[1];
            w[1][1] = Y[3] - Y[0] + h * Y[3];
            w[2][1] = Y[0];
            w[0][2] = g;
            w[1][2] = h;
            w[2][2] = 1;
        }
        // k = 0 leaves all zeros, which inverts to the identity.
    }
    const TFloatRect& r = SrcRect();
    float width = r.Right - r.Left, height = r.Bottom - r.Top;
    if (width == 0 || height == 0) {
        // A source rectangle without area maps like a degenerate shape.
        Wx = IdentityMatrix;
        Validate();
        return;
    }
    TFloatMatrix s = IdentityMatrix;
    s[0][0] = 1.0f / width;
    s[1][1] = 1.0f / height;
    w = Mult(w, s);
    TFloatMatrix t = IdentityMatrix;
    t[2][0] = -r.Left;
    t[2][1] = -r.Top;
    w = Mult(w, t);
    Invert(w);
    Wx = w;
    Validate();
}

bool TProjectiveTransformation::Map(int32_t X, int32_t Y, double factor, int32_t& SrcX, int32_t& SrcY) const {
    double x = X, y = Y;
    double z = Wx[0][2] * x + Wx[1][2] * y + Wx[2][2];
    if (z == 0 || !std::isfinite(z)) return false;
    double sx = Wx[0][0] * x + Wx[1][0] * y + Wx[2][0];
    double sy = Wx[0][1] * x + Wx[1][1] * y + Wx[2][1];
    if (z != 1) {
        double rz = 1 / z;
        sx *= rz;
        sy *= rz;
    }
    sx *= factor;
    sy *= factor;
    if (!std::isfinite(sx) || !std::isfinite(sy)) return false;
    SrcX = RoundToInt(sx);
    SrcY = RoundToInt(sy);
    return true;
}

void TProjectiveTransformation::Transform(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) {
    if (!Map(DstX, DstY, 1, SrcX, SrcY)) SrcX = SrcY = NoSource;
}

void TProjectiveTransformation::Transform256(int32_t DstX, int32_t DstY, int32_t& SrcX256, int32_t& SrcY256) {
    if (!Map(DstX, DstY, 256, SrcX256, SrcY256)) SrcX256 = SrcY256 = NoSource;
}

TRect TProjectiveTransformation::GetTransformedBounds() {
    auto [minX, maxX] = std::minmax_element(x_.begin(), x_.end());
    auto [minY, maxY] = std::minmax_element(y_.begin(), y_.end());
    return {RoundToInt(*minX - 0.5f), RoundToInt(*minY - 0.5f), RoundToInt(*maxX + 0.5f),
            RoundToInt(*maxY + 0.5f)};
}

// ----------------------------------------------------------------- drawing

void Transform(TBitmap32* Dst, const TBitmap32* Src, TTransformation& Transformation) {
    if (Dst == nullptr || Src == nullptr || Dst->Empty() || Src->Empty()) return;
    if (!Transformation.TransformValid()) Transformation.PrepareTransform();

    const TPixelCombineEvent& callback = Src->OnPixelCombine;
    TDrawMode mode = Src->DrawMode();
    if (mode == dmCustom && !callback) mode = dmOpaque;
    uint32_t masterAlpha = Src->MasterAlpha();

    // Source and destination spans are inclusive at both ends.
    TRect srcR, dstR;
    if (!IntersectRect(srcR, MakeRect(Transformation.SrcRect(), rrClosest),
                       TRect{0, 0, Src->Width() - 1, Src->Height() - 1}))
        return;
    if (!IntersectRect(dstR, Transformation.GetTransformedBounds(), TRect{0, 0, Dst->Width() - 1, Dst->Height() - 1}))
        return;

    if (Src->StretchFilter() == sfNearest) {
        for (int32_t j = dstR.Top; j <= dstR.Bottom; ++j)
            for (int32_t i = dstR.Left; i <= dstR.Right; ++i) {
                int32_t x, y;
                Transformation.Transform(i, j, x, y);
                if (x >= srcR.Left && x <= srcR.Right && y >= srcR.Top && y <= srcR.Bottom)
                    Put(Src->GetPixel(x, y), *Dst->PixelPtr(i, j), mode, masterAlpha, callback);
            }
    } else {
        for (int32_t j = dstR.Top; j <= dstR.Bottom; ++j)
            for (int32_t i = dstR.Left; i <= dstR.Right; ++i) {
                int32_t x256, y256;
                Transformation.Transform256(i, j, x256, y256);
                int32_t x = x256 >> 8, y = y256 >> 8;
                uint32_t wx = 255 - static_cast<uint32_t>(x256 & 255);
                uint32_t wy = 255 - static_cast<uint32_t>(y256 & 255);
                TColor32 p00, p10, p01, p11;
                if (x > srcR.Left && x < srcR.Right - 1 && y > srcR.Top && y < srcR.Bottom - 1) {
                    p00 = Src->GetPixel(x, y);
                    p10 = Src->GetPixel(x + 1, y);
                    p01 = Src->GetPixel(x, y + 1);
                    p11 = Src->GetPixel(x + 1, y + 1);
                } else if (x >= srcR.Left - 1 && y >= srcR.Top - 1 && x <= srcR.Right && y <= srcR.Bottom) {
                    // The one-pixel band around the source, alike on all
                    // four sides: pixels beyond the bitmap read as its
                    // OuterColor.
                    p00 = Src->GetPixelS(x, y);
                    p10 = Src->GetPixelS(x + 1, y);
                    p01 = Src->GetPixelS(x, y + 1);
                    p11 = Src->GetPixelS(x + 1, y + 1);
                } else {
                    continue;
                }
                TColor32 colour = CombineReg(CombineReg(p00, p10, wx), CombineReg(p01, p11, wx), wy);
                Put(colour, *Dst->PixelPtr(i, j), mode, masterAlpha, callback);
            }
    }
    EMMS();
}

void SetBorderTransparent(TBitmap32& Bitmap, TRect R) {
    if (TestClip(R.Left, R.Right, Bitmap.Width()) && TestClip(R.Top, R.Bottom, Bitmap.Height())) {
        auto clear = [&](int32_t x, int32_t y) { *Bitmap.PixelPtr(x, y) &= 0x00FFFFFFu; };
        for (int32_t x = R.Left; x <= R.Right; ++x) {
            clear(x, R.Top);
            clear(x, R.Bottom);
        }
        for (int32_t y = R.Top + 1; y < R.Bottom; ++y) {
            clear(R.Left, y);
            clear(R.Right, y);
        }
    }
    Bitmap.Changed();
}
