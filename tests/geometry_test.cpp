// The kernel's results, down to the roundings that make them differ from a textbook.
#include "geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

float at(const Mat4& m, int row, int col) { return m.m[4 * col + row]; }

void expectRows(const Mat4& m, const float (&rows)[4][4], float tolerance)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(at(m, r, c), rows[r][c], tolerance) << "row " << r << ", column " << c;
}

void expectIdentity(const Mat4& m, float tolerance)
{
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    expectRows(m, identity, tolerance);
}

bool sameBits(const Mat4& a, const Mat4& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }

Mat4 sceneFrustum()
{
    Mat4 p;
    return *matFrustum(&p, -0.25f, 0.25f, -0.25f, 0.25f, 0.25f, 1.0f);
}

Mat4 sceneFrustumInverse()
{
    Mat4 q;
    return *matFrustumInverse(&q, -0.25f, 0.25f, -0.25f, 0.25f, 0.25f, 1.0f);
}

// A matrix with no zeros or symmetry, so that a product taken in the wrong order shows.
Mat4 lopsided(float seed)
{
    Mat4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = seed + 0.37f * static_cast<float>(i * i % 7) - 0.11f * i;
    return m;
}

TEST(Frustum, SceneMatrixAndInverseHaveTheClosedFormRows)
{
    const float frustumRows[4][4] = {
        {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -5.0f / 3.0f, -2.0f / 3.0f}, {0, 0, -1, 0}};
    const float inverseRows[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, -1}, {0, 0, -1.5f, 2.5f}};
    expectRows(sceneFrustum(), frustumRows, 1e-7f);
    expectRows(sceneFrustumInverse(), inverseRows, 0.0f);

    const Mat4 p = sceneFrustum(), q = sceneFrustumInverse();
    Mat4 pq, qp;
    expectIdentity(*matMultiply(&pq, &p, &q), 1e-6f);
    expectIdentity(*matMultiply(&qp, &q, &p), 1e-6f);
}

TEST(Frustum, SceneMatrixCarriesTheSquaresCornerIntoClipSpace)
{
    const Mat4 p = sceneFrustum();
    const Vec4 corner{1, 1, -0.75f, 1};
    Vec4 clip;
    matTransform(&clip, &p, &corner);
    EXPECT_EQ(clip.x, 1.0f);
    EXPECT_EQ(clip.y, 1.0f);
    EXPECT_NEAR(clip.z, 7.0f / 12.0f, std::nextafter(7.0f / 12.0f, 1.0f) - 7.0f / 12.0f);
    EXPECT_EQ(clip.w, 0.75f);
}

TEST(Frustum, AsymmetricInverseUndoesTheMatrix)
{
    const float l = -1.5f, r = 0.5f, b = -0.2f, t = 1.1f, n = 0.3f, f = 40.0f;
    Mat4 p, q, pq;
    matFrustum(&p, l, r, b, t, n, f);
    matFrustumInverse(&q, l, r, b, t, n, f);
    expectIdentity(*matMultiply(&pq, &p, &q), 1e-5f);

    // A point inside the frustum goes to clip space and back.
    const Vec4 point{-0.4f, 0.3f, -7.0f, 1.0f};
    Vec4 v = point;
    matTransform(&v, &p, &v);
    matTransform(&v, &q, &v);
    EXPECT_NEAR(v.x / v.w, point.x, 1e-5f);
    EXPECT_NEAR(v.y / v.w, point.y, 1e-5f);
    EXPECT_NEAR(v.z / v.w, point.z, 1e-4f);
}

// With these values a kernel that carried n * f in double, or divided by t - b unrounded, gives a
// result one unit in the last place away from the expected one.
TEST(Frustum, RoundsWhereTheProgramRounds)
{
    const float n = 0x1.cd2fcap+2f, f = 0x1.2a70ap+3f;  // about 7.206 and 9.326
    const float b = -0x1.c42708p+2f, t = -0x1.51ce5ep+2f;  // about -7.065 and -5.278
    Mat4 p;
    matFrustum(&p, -1.0f, 1.0f, b, t, n, f);
    EXPECT_EQ(at(p, 2, 3), -0x1.fb2926p+5f);  // not -0x1.fb2924p+5
    EXPECT_EQ(at(p, 1, 2), -0x1.ba246cp+2f);  // not -0x1.ba246ap+2
    EXPECT_EQ(at(p, 1, 1), 0x1.0220aap+3f);
}

TEST(Product, DestinationMayBeEitherFactor)
{
    const Mat4 a = lopsided(0.5f), b = lopsided(-1.25f);
    Mat4 expected;
    matMultiply(&expected, &a, &b);

    Mat4 left = a;
    matMultiply(&left, &left, &b);
    EXPECT_TRUE(sameBits(left, expected));

    Mat4 right = b;
    matMultiply(&right, &a, &right);
    EXPECT_TRUE(sameBits(right, expected));

    // And the product is a x b, not b x a: element (0, 1) is row 0 of a times column 1 of b.
    float dot = 0.0f;
    for (int k = 0; k < 4; ++k) dot += at(a, 0, k) * at(b, k, 1);
    EXPECT_FLOAT_EQ(at(expected, 0, 1), dot);
}

TEST(Product, TransformMayOverwriteItsVector)
{
    const Mat4 m = lopsided(2.0f);
    const Vec4 v{1.5f, -2.0f, 0.25f, 1.0f};
    Vec4 separate, inPlace = v;
    matTransform(&separate, &m, &v);
    matTransform(&inPlace, &m, &inPlace);
    EXPECT_EQ(std::memcmp(&separate, &inPlace, sizeof separate), 0);
    EXPECT_FLOAT_EQ(separate.x, at(m, 0, 0) * 1.5f - at(m, 0, 1) * 2.0f + at(m, 0, 2) * 0.25f +
                                    at(m, 0, 3));
}

TEST(Translation, SitsInTheLastColumn)
{
    Mat4 t;
    matTranslation(&t, 2.0f, -3.0f, 0.5f);
    const Vec4 origin{0, 0, 0, 1};
    Vec4 moved;
    matTransform(&moved, &t, &origin);
    EXPECT_EQ(moved.x, 2.0f);
    EXPECT_EQ(moved.y, -3.0f);
    EXPECT_EQ(moved.z, 0.5f);
    EXPECT_EQ(moved.w, 1.0f);
    EXPECT_EQ(t.m[12], 2.0f);
}

TEST(Rotation, NinetyDegreesLeavesASmallPositiveCosine)
{
    Vec3 z{0, 0, 1};
    Mat4 r;
    matRotation(&r, 90.0f, &z);
    const Vec4 x{1, 0, 0, 1};
    Vec4 turned;
    matTransform(&turned, &r, &x);
    // DEG_TO_RAD is a little below pi/180, so 90 degrees falls short of a quarter turn.
    EXPECT_GT(turned.x, 8.3e-6f);
    EXPECT_LT(turned.x, 8.5e-6f);
    EXPECT_EQ(turned.y, 1.0f);
    EXPECT_EQ(turned.z, 0.0f);
    EXPECT_EQ(turned.w, 1.0f);
}

TEST(Rotation, IsRightHandedAboutEachAxis)
{
    struct Case {
        Vec3 axis;
        Vec4 from, to;
    };
    const Case cases[] = {
        {{1, 0, 0}, {0, 1, 0, 1}, {0, 0, 1, 1}},
        {{0, 1, 0}, {0, 0, 1, 1}, {1, 0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}},
        {{-1, 0, 0}, {0, 1, 0, 1}, {0, 0, -1, 1}},  // general path
    };
    for (const Case& c : cases) {
        Vec3 axis = c.axis;
        Mat4 r;
        Vec4 v;
        matTransform(&v, matRotation(&r, 90.0f, &axis), &c.from);
        EXPECT_NEAR(v.x, c.to.x, 1e-5f);
        EXPECT_NEAR(v.y, c.to.y, 1e-5f);
        EXPECT_NEAR(v.z, c.to.z, 1e-5f);
    }
}

TEST(Rotation, ExactAxesAreLeftAloneAndOthersAreNormalisedInPlace)
{
    struct Case {
        Vec3 axis;
        Vec3 afterwards;
    };
    const Case cases[] = {
        {{1, 0, 0}, {1, 0, 0}},
        {{1, -0.0f, 0}, {1, -0.0f, 0}},  // -0.0 counts as zero
        {{0, 1, -0.0f}, {0, 1, -0.0f}},
        {{0, 0, 1}, {0, 0, 1}},
        {{0, 0, 2}, {0, 0, 1}},
        {{3, 4, 0}, {0.6f, 0.8f, 0}},
        {{0, -1, 0}, {0, -1, 0}},
    };
    for (const Case& c : cases) {
        Vec3 axis = c.axis;
        Mat4 r;
        matRotation(&r, 37.0f, &axis);
        EXPECT_FLOAT_EQ(axis.x, c.afterwards.x);
        EXPECT_FLOAT_EQ(axis.y, c.afterwards.y);
        EXPECT_FLOAT_EQ(axis.z, c.afterwards.z);
        EXPECT_EQ(std::signbit(axis.y), std::signbit(c.afterwards.y));
    }
}

TEST(Rotation, GeneralPathAgreesWithTheElementaryMatrix)
{
    Vec3 doubled{0, 0, 2}, unit{0, 0, 1};
    Mat4 general, elementary;
    matRotation(&general, 33.0f, &doubled);
    matRotation(&elementary, 33.0f, &unit);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(general.m[i], elementary.m[i]) << "index " << i;
}

TEST(Rotation, GeneralAxisIsAFixedPointAndLengthsArePreserved)
{
    Vec3 axis{1, 2, 2};
    Mat4 r;
    matRotation(&r, 123.0f, &axis);
    const Vec4 onAxis{1.0f / 3, 2.0f / 3, 2.0f / 3, 1};
    Vec4 v;
    matTransform(&v, &r, &onAxis);
    EXPECT_NEAR(v.x, onAxis.x, 1e-6f);
    EXPECT_NEAR(v.y, onAxis.y, 1e-6f);
    EXPECT_NEAR(v.z, onAxis.z, 1e-6f);

    const Vec4 off{1, 0, 0, 1};
    matTransform(&v, &r, &off);
    const Vec3 turned{v.x, v.y, v.z};
    EXPECT_NEAR(vecLength(&turned), 1.0f, 1e-6f);
}

TEST(Vector, LengthAndNormalise)
{
    Vec3 v{3, 4, 0};
    EXPECT_EQ(vecLength(&v), 5.0f);
    vecNormalize(&v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_EQ(v.z, 0.0f);
}

// Values the program never produces get a finite, documented result rather than a division by
// zero that would spread NaN into every later frame.
TEST(Degenerate, ZeroVectorAndZeroAxis)
{
    Vec3 zero{0, 0, 0};
    vecNormalize(&zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Mat4 r;
    matRotation(&r, 45.0f, &zero);
    expectIdentity(r, 0.0f);
}

TEST(Degenerate, FrustumWithoutExtentGivesTheIdentity)
{
    const float cases[][6] = {
        {0.5f, 0.5f, -1, 1, 1, 2},  // r == l
        {-1, 1, 0.5f, 0.5f, 1, 2},  // t == b
        {-1, 1, -1, 1, 2, 2},       // f == n
        {-1, 1, -1, 1, 0, 2},       // n == 0
        {-1, 1, -1, 1, 1, 0},       // f == 0
    };
    for (const auto& c : cases) {
        Mat4 p, q;
        matFrustum(&p, c[0], c[1], c[2], c[3], c[4], c[5]);
        matFrustumInverse(&q, c[0], c[1], c[2], c[3], c[4], c[5]);
        expectIdentity(p, 0.0f);
        expectIdentity(q, 0.0f);
    }
}

}  // namespace
