#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Transfer.h"

// Drawing one bitmap into another through a geometric mapping: an affine
// one (rotations, scalings, skews, translations) or a projective one (the
// source rectangle onto any four-cornered shape), with the 3x3 matrix
// routines both rest on.

// ---------------------------------------------------------------- matrices

// M[i][j] is column i, row j: M * (x, y, 1) gives
//   x' = M[0][0]*x + M[1][0]*y + M[2][0]
//   y' = M[0][1]*x + M[1][1]*y + M[2][1]
//   w' = M[0][2]*x + M[1][2]*y + M[2][2]
using TFloatMatrix = std::array<std::array<float, 3>, 3>;
using TVector3f = std::array<float, 3>;

inline constexpr TFloatMatrix IdentityMatrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

float Determinant(const TFloatMatrix& M);
// M becomes its adjugate (the transposed cofactor matrix).
void Adjoint(TFloatMatrix& M);
void Scale(TFloatMatrix& M, float Factor);
// M becomes its inverse, or the identity when |determinant| < 1E-5.
void Invert(TFloatMatrix& M);
// The product M1 * M2: applied to a vector, M2 acts first.
TFloatMatrix Mult(const TFloatMatrix& M1, const TFloatMatrix& M2);
TVector3f VectorTransform(const TFloatMatrix& M, const TVector3f& V);

// ----------------------------------------------------------- mappings

// Where a destination pixel comes from in the source. The mapping is
// prepared once (PrepareTransform) and prepared again after any change.
class TTransformation {
public:
    virtual ~TTransformation() = default;

    const TFloatRect& SrcRect() const { return srcRect_; }
    void SetSrcRect(const TFloatRect& value);
    bool TransformValid() const { return transformValid_; }

    // The source pixel of destination pixel (DstX, DstY).
    virtual void Transform(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) = 0;
    // The same in 24.8 fixed point.
    virtual void Transform256(int32_t DstX, int32_t DstY, int32_t& SrcX256, int32_t& SrcY256) = 0;
    virtual void PrepareTransform() = 0;
    // The destination pixels the source rectangle can cover.
    virtual TRect GetTransformedBounds() = 0;

    // What Transform and Transform256 report for a destination point that
    // has no source point: it lies outside every source rectangle.
    static constexpr int32_t NoSource = std::numeric_limits<int32_t>::min();

protected:
    void Invalidate() { transformValid_ = false; }
    void Validate() { transformValid_ = true; }

private:
    TFloatRect srcRect_;
    bool transformValid_ = false;
};

// Forward mapping Matrix, built by the calls below (each acts after the
// earlier ones); drawing uses its inverse in 20.12 fixed point. Products
// are taken in 64 bits and the results saturate to 32 bits, so very large
// coordinates or scales cannot wrap round into the picture.
class TAffineTransformation : public TTransformation {
public:
    TAffineTransformation() { Clear(); }

    void Clear();
    void Translate(float Dx, float Dy);
    void Scale(float Sx, float Sy);
    void Skew(float Fx, float Fy);
    // Alpha in degrees, about (Cx, Cy).
    void Rotate(float Cx, float Cy, float Alpha);

    const TFloatMatrix& Matrix() const { return matrix_; }

    void Transform(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) override;
    void Transform256(int32_t DstX, int32_t DstY, int32_t& SrcX256, int32_t& SrcY256) override;
    void PrepareTransform() override;
    TRect GetTransformedBounds() override;

    // The inverse mapping, 4096 = 1.0, valid after PrepareTransform;
    // coefficients beyond 32 bits saturate.
    int32_t A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;

private:
    void Apply(const TFloatMatrix& T);

    TFloatMatrix matrix_ = IdentityMatrix;
};

// The source rectangle's top-left, top-right, bottom-right and
// bottom-left corners go to (X0, Y0) .. (X3, Y3). A destination point on
// the mapping's vanishing line (divisor exactly 0) has no source point.
class TProjectiveTransformation : public TTransformation {
public:
    float X0() const { return x_[0]; }
    float X1() const { return x_[1]; }
    float X2() const { return x_[2]; }
    float X3() const { return x_[3]; }
    float Y0() const { return y_[0]; }
    float Y1() const { return y_[1]; }
    float Y2() const { return y_[2]; }
    float Y3() const { return y_[3]; }
    void SetX0(float value) { SetCorner(x_[0], value); }
    void SetX1(float value) { SetCorner(x_[1], value); }
    void SetX2(float value) { SetCorner(x_[2], value); }
    void SetX3(float value) { SetCorner(x_[3], value); }
    void SetY0(float value) { SetCorner(y_[0], value); }
    void SetY1(float value) { SetCorner(y_[1], value); }
    void SetY2(float value) { SetCorner(y_[2], value); }
    void SetY3(float value) { SetCorner(y_[3], value); }

    void Transform(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) override;
    void Transform256(int32_t DstX, int32_t DstY, int32_t& SrcX256, int32_t& SrcY256) override;
    void PrepareTransform() override;
    TRect GetTransformedBounds() override;

    // The inverse mapping, valid after PrepareTransform.
    TFloatMatrix Wx = IdentityMatrix;

private:
    void SetCorner(float& corner, float value);
    // The source point of (X, Y) scaled by factor; false on the vanishing
    // line or when the point is not a finite number.
    bool Map(int32_t X, int32_t Y, double factor, int32_t& SrcX, int32_t& SrcY) const;

    std::array<float, 4> x_{};
    std::array<float, 4> y_{};
};

// Draws Src into Dst through the mapping, with Src's draw mode, combine
// callback, master alpha and stretch filter (nearest, or a blend of the
// four neighbours for every other filter). Destination pixels whose source
// point lies outside the source keep their colour. Null or empty bitmaps
// draw nothing.
void Transform(TBitmap32* Dst, const TBitmap32* Src, TTransformation& Transformation);

// Clears the alpha of the outline of R (right and bottom inclusive),
// clipped to the bitmap; the colours stay.
void SetBorderTransparent(TBitmap32& Bitmap, TRect R);
