// Matrices and vectors in single precision.
//
// Conventions
//   - Vec3 and Vec4 are plain records of floats; a Vec4 is a homogeneous point (x, y, z, w) and is
//     handed to OpenGL as it is (glVertex4fv(&v.x)).
//   - Mat4 holds sixteen floats in column-major order, as OpenGL does: element (row r, column c)
//     sits at m[4 * c + r], and the translation occupies m[12], m[13] and m[14].
//   - Every function that produces a matrix or vector writes the destination given as its first
//     argument and returns it. Only matMultiply and matTransform may alias destination and source.
//   - Angles are in degrees; they become radians only inside matRotation, through DEG_TO_RAD.
//   - Results are stored as floats. Several operations round at particular points on purpose,
//     so that their results are reproducible to the bit; those points are stated below.
//   - Degenerate input (a zero axis, a zero vector, a frustum with no extent) gives a defined,
//     finite result instead of dividing by zero; each case is named on its function.
#pragma once

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

struct Mat4 {
    float m[16];
};

// The decimal 0.0174532 rounded to float, deliberately a little below pi/180: every rotation comes
// out about 5 parts in a million smaller than an exact conversion would make it.
constexpr float DEG_TO_RAD = 0.0174532f;

// Copies the sixteen floats of src into dst.
Mat4* matCopy(Mat4* dst, const Mat4* src);

// dst = a x b. dst may be a or b: the product is formed in a temporary and then copied.
Mat4* matMultiply(Mat4* dst, const Mat4* a, const Mat4* b);

// dst = m x v, v taken as a column. dst may be v: all of v is read before dst is written.
Vec4* matTransform(Vec4* dst, const Mat4* m, const Vec4* v);

// Identity with (x, y, z) as the translation.
Mat4* matTranslation(Mat4* dst, float x, float y, float z);

// Right-handed rotation by angleDegrees about *axis. An axis that is exactly (1,0,0), (0,1,0) or
// (0,0,1) (its unit component bit-for-bit 1.0f, the others == 0) gives the elementary matrix and is
// left alone; any other axis is normalised in place, so the caller's vector changes.
// A zero-length axis gives the identity and is left as it is.
Mat4* matRotation(Mat4* dst, float angleDegrees, Vec3* axis);

// The perspective matrix of glFrustum(l, r, b, t, n, f). Element (2, 3) is n * f * (-2.0) / (f - n)
// in double, and t - b is rounded to float before both divisions by it.
// A degenerate frustum (r == l, t == b, f == n, n == 0 or f == 0) gives the identity.
Mat4* matFrustum(Mat4* dst, float l, float r, float b, float t, float n, float f);

// The closed-form inverse of matFrustum(l, r, b, t, n, f); the identity for a degenerate frustum,
// so that the two always multiply to the identity up to rounding.
Mat4* matFrustumInverse(Mat4* dst, float l, float r, float b, float t, float n, float f);

// The square root of x^2 + y^2 + z^2.
float vecLength(const Vec3* v);

// Divides x, y and z by vecLength(*v) in place. A zero vector is left as it is.
Vec3* vecNormalize(Vec3* v);
