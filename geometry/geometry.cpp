#include "geometry/geometry.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

float& at(Mat4* m, int row, int col) { return m->m[4 * col + row]; }
float at(const Mat4* m, int row, int col) { return m->m[4 * col + row]; }

Mat4* setIdentity(Mat4* dst)
{
    *dst = Mat4{};
    for (int i = 0; i < 4; ++i) at(dst, i, i) = 1.0f;
    return dst;
}

bool isUnit(float one, float zero1, float zero2)
{
    // The unit component must be 1.0f bit for bit (so -1.0f does not match); the other two need
    // only compare equal to zero, which lets -0.0f through.
    constexpr std::uint32_t ONE_BITS = 0x3f800000u;  // 1.0f
    std::uint32_t bits;
    std::memcpy(&bits, &one, sizeof bits);
    return bits == ONE_BITS && zero1 == 0.0f && zero2 == 0.0f;
}

bool frustumIsDegenerate(float l, float r, float b, float t, float n, float f)
{
    return r == l || t == b || f == n || n == 0.0f || f == 0.0f;
}

Mat4* setElementaryRotation(Mat4* dst, int axis, float c, float s)
{
    // The two coordinates that turn, in right-handed order: x turns y into z, y turns z into x,
    // z turns x into y.
    const int u = (axis + 1) % 3;
    const int v = (axis + 2) % 3;
    setIdentity(dst);
    at(dst, u, u) = c;
    at(dst, u, v) = -s;
    at(dst, v, u) = s;
    at(dst, v, v) = c;
    return dst;
}

}  // namespace

Mat4* matCopy(Mat4* dst, const Mat4* src)
{
    std::memmove(dst->m, src->m, sizeof dst->m);
    return dst;
}

Mat4* matMultiply(Mat4* dst, const Mat4* a, const Mat4* b)
{
    Mat4 product;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += at(a, r, k) * at(b, k, c);
            at(&product, r, c) = sum;
        }
    }
    return matCopy(dst, &product);
}

Vec4* matTransform(Vec4* dst, const Mat4* m, const Vec4* v)
{
    const float in[4] = {v->x, v->y, v->z, v->w};
    float out[4];
    for (int r = 0; r < 4; ++r) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += at(m, r, k) * in[k];
        out[r] = sum;
    }
    *dst = Vec4{out[0], out[1], out[2], out[3]};
    return dst;
}

Mat4* matTranslation(Mat4* dst, float x, float y, float z)
{
    setIdentity(dst);
    dst->m[12] = x;
    dst->m[13] = y;
    dst->m[14] = z;
    return dst;
}

Mat4* matRotation(Mat4* dst, float angleDegrees, Vec3* axis)
{
    // theta stays in double; only its cosine and sine are rounded to float.
    const double theta = static_cast<double>(angleDegrees) * static_cast<double>(DEG_TO_RAD);
    const float c = static_cast<float>(std::cos(theta));
    const float s = static_cast<float>(std::sin(theta));

    if (isUnit(axis->x, axis->y, axis->z)) return setElementaryRotation(dst, 0, c, s);
    if (isUnit(axis->y, axis->z, axis->x)) return setElementaryRotation(dst, 1, c, s);
    if (isUnit(axis->z, axis->x, axis->y)) return setElementaryRotation(dst, 2, c, s);

    if (vecLength(axis) == 0.0f) return setIdentity(dst);
    vecNormalize(axis);
    const float x = axis->x, y = axis->y, z = axis->z;
    const float k = 1.0f - c;
    setIdentity(dst);
    at(dst, 0, 0) = x * x + (1.0f - x * x) * c;
    at(dst, 0, 1) = x * y * k - z * s;
    at(dst, 0, 2) = x * z * k + y * s;
    at(dst, 1, 0) = x * y * k + z * s;
    at(dst, 1, 1) = y * y + (1.0f - y * y) * c;
    at(dst, 1, 2) = y * z * k - x * s;
    at(dst, 2, 0) = x * z * k - y * s;
    at(dst, 2, 1) = y * z * k + x * s;
    at(dst, 2, 2) = z * z + (1.0f - z * z) * c;
    return dst;
}

Mat4* matFrustum(Mat4* dst, float l, float r, float b, float t, float n, float f)
{
    if (frustumIsDegenerate(l, r, b, t, n, f)) return setIdentity(dst);
    const float height = t - b;  // rounded to float once, before both divisions
    *dst = Mat4{};
    at(dst, 0, 0) = 2.0f * n / (r - l);
    at(dst, 0, 2) = (r + l) / (r - l);
    at(dst, 1, 1) = 2.0f * n / height;
    at(dst, 1, 2) = (t + b) / height;
    at(dst, 2, 2) = -(f + n) / (f - n);
    // n * f is a float product; the rest of the expression is carried in double.
    at(dst, 2, 3) = static_cast<float>(n * f * (-2.0) / (f - n));
    at(dst, 3, 2) = -1.0f;
    return dst;
}

Mat4* matFrustumInverse(Mat4* dst, float l, float r, float b, float t, float n, float f)
{
    if (frustumIsDegenerate(l, r, b, t, n, f)) return setIdentity(dst);
    const float twoN = 2.0f * n;
    const float twoFN = 2.0f * f * n;
    *dst = Mat4{};
    at(dst, 0, 0) = (r - l) / twoN;
    at(dst, 0, 3) = (r + l) / twoN;
    at(dst, 1, 1) = (t - b) / twoN;
    at(dst, 1, 3) = (t + b) / twoN;
    at(dst, 2, 3) = -1.0f;
    at(dst, 3, 2) = -(f - n) / twoFN;
    at(dst, 3, 3) = (f + n) / twoFN;
    return dst;
}

float vecLength(const Vec3* v)
{
    return std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
}

Vec3* vecNormalize(Vec3* v)
{
    const float length = vecLength(v);
    if (length == 0.0f) return v;
    v->x /= length;
    v->y /= length;
    v->z /= length;
    return v;
}
