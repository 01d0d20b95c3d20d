// The homogeneous clipper: its exact vertex order on known cases, the true intersection on many
// random convex polygons, and the plain Sutherland-Hodgman result on input that breaks convexity.
#include "clip/clip.h"

#include "alloc_count.h"
#include "reference_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using Polygon = std::vector<Vec4>;

// Within tolerance, or to the bit when tolerance is 0.
bool closeFloat(float a, float b, float tolerance)
{
    return reference::sameFloat(a, b) || std::fabs(a - b) <= tolerance;
}

bool sameVertex(const Vec4& a, const Vec4& b, float tolerance)
{
    return closeFloat(a.x, b.x, tolerance) && closeFloat(a.y, b.y, tolerance) &&
           closeFloat(a.z, b.z, tolerance) && closeFloat(a.w, b.w, tolerance);
}

std::string show(const Polygon& p)
{
    std::string s;
    for (const Vec4& v : p)
        s += "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) +
             ", " + std::to_string(v.w) + ") ";
    return s;
}

// Same vertices in the same order: to the bit by default, or within a tolerance for expected
// values written as decimals.
::testing::AssertionResult samePolygon(const Polygon& actual, const Polygon& expected,
                                       float tolerance = 0.0f)
{
    bool same = actual.size() == expected.size();
    for (size_t i = 0; same && i < actual.size(); ++i)
        same = sameVertex(actual[i], expected[i], tolerance);
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.size() << ": " << show(actual)
                                         << "\nwanted " << expected.size() << ": " << show(expected);
}

Polygon clipAll(const Polygon& in)
{
    Vec4* result = nullptr;
    const int n = static_cast<int>(in.size());
    const int count = clipPolygon(in.data(), n, &result);
    EXPECT_GE(count, 0);
    Polygon out(result, result + count);
    delete[] result;
    return out;
}

Polygon clipOne(const Polygon& in, ClipPlane plane)
{
    Polygon out(in.size() * 3 / 2 + 1);
    const int count = clipToPlane(in.data(), static_cast<int>(in.size()), out.data(), plane);
    out.resize(static_cast<size_t>(count));
    return out;
}

Polygon referenceClipAll(const Polygon& in)
{
    Vec4* result = nullptr;
    const int n = static_cast<int>(in.size());
    const int count = reference::clipPolygon(in.data(), n, &result, reference::worstCaseRoom(n));
    Polygon out(result, result + count);
    delete[] result;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Known cases

const float Z = 7.0f / 12.0f;  // the scene's square at depth -0.75, under the scene's projection
const Polygon SQUARE = {{1, 1, Z, 0.75f}, {-1, 1, Z, 0.75f}, {-1, -1, Z, 0.75f}, {1, -1, Z, 0.75f}};
const Polygon DIAMOND = {{1, 0, 0, 1}, {0, 1, 0, 1}, {-1, 0, 0, 1}, {0, -1, 0, 1}};
const Polygon SMALL_SQUARE = {
    {0.5f, 0.5f, 0, 1}, {-0.5f, 0.5f, 0, 1}, {-0.5f, -0.5f, 0, 1}, {0.5f, -0.5f, 0, 1}};
const Polygon PENTAGON = {{0.1f, 0, 0, 1}, {0, 0.2f, 0.1f, 1}, {-0.3f, 0.1f, 0.2f, 1},
                          {-0.3f, -0.1f, 0, 1}, {0, -0.2f, -0.1f, 1}};
const Polygon TRIANGLE_ON_LEFT = {{-1, 0, 0, 1}, {-3, 0.5f, 0, 1}, {0, -0.5f, 0, 1}};
const Polygon TRIANGLE_TOUCHING_LEFT = {{-1, 0, 0, 1}, {-3, 0.5f, 0, 1}, {-2, -0.5f, 0, 1}};
const Polygon TRIANGLE_BEYOND_RIGHT = {{2, 0, 0, 1}, {3, 1, 0, 1}, {3, -1, 0, 1}};

struct OnePlaneCase {
    const char* name;
    Polygon in;
    ClipPlane plane;
    Polygon expected;
    float tolerance = 0.0f;  // for expected values that are decimal approximations
};

TEST(ClipToPlane, KnownCases)
{
    const OnePlaneCase cases[] = {
        {"scene square, left", SQUARE, CLIP_LEFT,
         {{-0.75f, 1, Z, 0.75f}, {-0.75f, -1, Z, 0.75f}, {1, -1, Z, 0.75f}, {1, 1, Z, 0.75f}}},
        {"inside comes back rotated by one, bit for bit", SMALL_SQUARE, CLIP_FAR,
         {SMALL_SQUARE[1], SMALL_SQUARE[2], SMALL_SQUARE[3], SMALL_SQUARE[0]}},
        {"on-plane vertex beside an outside one is doubled", TRIANGLE_ON_LEFT, CLIP_LEFT,
         {{-1, 0, 0, 1}, {-1, -1.0f / 6.0f, 0, 1}, {0, -0.5f, 0, 1}, {-1, 0, 0, 1}},
         1e-7f},
        {"wholly beyond", TRIANGLE_BEYOND_RIGHT, CLIP_RIGHT, {}},
        {"nothing in, nothing out", {}, CLIP_TOP, {}},
        {"plane outside the six", SQUARE, static_cast<ClipPlane>(6), {}},
    };
    for (const OnePlaneCase& c : cases) 
        EXPECT_TRUE(samePolygon(clipOne(c.in, c.plane), c.expected, c.tolerance)) << c.name;
}

struct VolumeCase {
    const char* name;
    Polygon in;
    Polygon expected;
};

TEST(ClipPolygon, KnownCases)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const VolumeCase cases[] = {
        {"scene square", SQUARE,
         {{-0.75f, -0.75f, Z, 0.75f}, {0.75f, -0.75f, Z, 0.75f}, {0.75f, 0.75f, Z, 0.75f},
          {-0.75f, 0.75f, Z, 0.75f}}},
        {"inside square comes back rotated by six mod four", SMALL_SQUARE,
         {SMALL_SQUARE[2], SMALL_SQUARE[3], SMALL_SQUARE[0], SMALL_SQUARE[1]}},
        {"inside pentagon comes back rotated by six mod five", PENTAGON,
         {PENTAGON[1], PENTAGON[2], PENTAGON[3], PENTAGON[4], PENTAGON[0]}},
        {"diamond touching four planes is kept whole", DIAMOND,
         {DIAMOND[2], DIAMOND[3], DIAMOND[0], DIAMOND[1]}},
        {"triangle touching the left plane from outside", TRIANGLE_TOUCHING_LEFT,
         {{-1, 0, 0, 1}, {-1, 0, 0, 1}, {-1, 0, 0, 1}}},
        {"triangle beyond the right plane", TRIANGLE_BEYOND_RIGHT, {}},
        {"single vertex inside", {{0.5f, -0.5f, 1, 1}}, {{0.5f, -0.5f, 1, 1}}},
        {"single vertex beyond the far plane", {{0, 0, 1.5f, 1}}, {}},
        {"single vertex with w < 0", {{0, 0, 0, -1}}, {}},
        {"single vertex with w < 0 and x = -w", {{1, 0, 0, -1}}, {}},
        {"origin with w = 0 is inside every plane", {{0, 0, 0, 0}}, {{0, 0, 0, 0}}},
        {"NaN w says inside on every plane", {{5, -7, 9, nan}}, {{5, -7, 9, nan}}},
        {"no vertices", {}, {}},
    };
    for (const VolumeCase& c : cases) 
        EXPECT_TRUE(samePolygon(clipAll(c.in), c.expected)) << c.name;
}

TEST(ClipPolygon, HandsOverAnArrayWithRoomEvenWhenEmpty)
{
    for (int n : {3, 0, -5}) {
        Vec4* result = nullptr;
        const int count = clipPolygon(TRIANGLE_BEYOND_RIGHT.data(), n, &result);
        EXPECT_EQ(count, 0);
        ASSERT_NE(result, nullptr);
        // The caller owns room for max(n, 0) + 6 vertices; the sanitizer build checks the writes.
        for (int i = 0; i < std::max(n, 0) + 6; ++i) result[i] = Vec4{1, 2, 3, 4};
        delete[] result;
    }
}

TEST(ClipPolygon, ConvexInputUsesTwoArraysAndGivesOneBack)
{
    for (const Polygon* p : {&SQUARE, &DIAMOND, &PENTAGON, &TRIANGLE_BEYOND_RIGHT}) {
        const long allocated = alloc_count::arrayAllocations();
        const long released = alloc_count::arrayReleases();
        Vec4* result = nullptr;
        clipPolygon(p->data(), static_cast<int>(p->size()), &result);
        EXPECT_EQ(alloc_count::arrayAllocations() - allocated, 2);
        EXPECT_EQ(alloc_count::arrayReleases() - released, 1);
        delete[] result;
    }
}

// ---------------------------------------------------------------------------------------------
// The true intersection, checked in world space against a double-precision reference

struct Plane3 {
    double a, b, c, d;  // inside when a x + b y + c z + d >= 0
};

// The scene's frustum (-0.25, 0.25, -0.25, 0.25, 0.25, 1) as six half-spaces of world space.
const float L = -0.25f, R = 0.25f, B = -0.25f, T = 0.25f, N = 0.25f, F = 1.0f;
const Plane3 WORLD_FRUSTUM[6] = {
    {N, 0, L, 0}, {-N, 0, -R, 0}, {0, N, B, 0}, {0, -N, -T, 0}, {0, 0, -1, -N}, {0, 0, 1, F},
};

struct P3 {
    double x, y, z;
};

std::vector<P3> clipWorld(std::vector<P3> poly)
{
    for (const Plane3& pl : WORLD_FRUSTUM) {
        std::vector<P3> out;
        for (size_t i = 0; i < poly.size(); ++i) {
            const P3 p = poly[i], q = poly[(i + 1) % poly.size()];
            const double dp = pl.a * p.x + pl.b * p.y + pl.c * p.z + pl.d;
            const double dq = pl.a * q.x + pl.b * q.y + pl.c * q.z + pl.d;
            if (dp >= 0) out.push_back(p);
            if ((dp >= 0) != (dq >= 0)) {
                const double s = dp / (dp - dq);
                out.push_back({p.x + s * (q.x - p.x), p.y + s * (q.y - p.y), p.z + s * (q.z - p.z)});
            }
        }
        poly = out;
    }
    return poly;
}

double area(const std::vector<P3>& poly)
{
    double nx = 0, ny = 0, nz = 0;  // Newell's normal: twice the vector area
    for (size_t i = 0; i < poly.size(); ++i) {
        const P3 p = poly[i], q = poly[(i + 1) % poly.size()];
        nx += (p.y - q.y) * (p.z + q.z);
        ny += (p.z - q.z) * (p.x + q.x);
        nz += (p.x - q.x) * (p.y + q.y);
    }
    return 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
}

// A convex polygon: points in order around an ellipse in a random plane near the frustum.
std::vector<P3> randomConvexPolygon(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const P3 centre{1.2 * unit(rng), 1.2 * unit(rng), -0.6 + 0.9 * unit(rng)};
    P3 u{unit(rng), unit(rng), unit(rng)}, v{unit(rng), unit(rng), unit(rng)};
    const double lu = std::sqrt(u.x * u.x + u.y * u.y + u.z * u.z) + 1e-9;
    u = {u.x / lu, u.y / lu, u.z / lu};
    const double dot = u.x * v.x + u.y * v.y + u.z * v.z;
    v = {v.x - dot * u.x, v.y - dot * u.y, v.z - dot * u.z};
    const double lv = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z) + 1e-9;
    v = {v.x / lv, v.y / lv, v.z / lv};

    const int n = 3 + static_cast<int>(rng() % 30);
    const double ra = 0.05 + 1.2 * (unit(rng) + 1), rb = 0.05 + 1.2 * (unit(rng) + 1);
    std::vector<double> angles(static_cast<size_t>(n));
    for (double& a : angles) a = 3.14159265358979 * (unit(rng) + 1);
    std::sort(angles.begin(), angles.end());
    std::vector<P3> poly;
    for (double a : angles) {
        const double cu = ra * std::cos(a), cv = rb * std::sin(a);
        // Stored in float, as the program stores every vertex.
        poly.push_back({static_cast<float>(centre.x + cu * u.x + cv * v.x),
                        static_cast<float>(centre.y + cu * u.y + cv * v.y),
                        static_cast<float>(centre.z + cu * u.z + cv * v.z)});
    }
    return poly;
}

TEST(ClipPolygon, RandomConvexPolygonsGiveTheTrueIntersection)
{
    std::mt19937 rng(20261210);
    Mat4 p, q;
    matFrustum(&p, L, R, B, T, N, F);
    matFrustumInverse(&q, L, R, B, T, N, F);
    int cut = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const std::vector<P3> world = randomConvexPolygon(rng);
        Polygon clipIn;
        for (const P3& w : world) {
            const Vec4 point{static_cast<float>(w.x), static_cast<float>(w.y), static_cast<float>(w.z), 1};
            Vec4 c;
            clipIn.push_back(*matTransform(&c, &p, &point));
        }
        const Polygon clipped = clipAll(clipIn);

        std::vector<P3> back;
        for (const Vec4& c : clipped) {
            const float tol = 1e-5f * std::max(1.0f, std::fabs(c.w));
            ASSERT_LE(std::fabs(c.x), c.w + tol) << "trial " << trial;
            ASSERT_LE(std::fabs(c.y), c.w + tol) << "trial " << trial;
            ASSERT_LE(std::fabs(c.z), c.w + tol) << "trial " << trial;
            Vec4 w;
            matTransform(&w, &q, &c);
            back.push_back({w.x / w.w, w.y / w.w, w.z / w.w});
        }
        const double expected = area(clipWorld(world));
        ASSERT_NEAR(area(back), expected, 2e-4 + 1e-4 * expected) << "trial " << trial;
        if (expected > 1e-3) ++cut;
    }
    EXPECT_GT(cut, 300);  // the draw must actually exercise cutting, not only rejection
}

// ---------------------------------------------------------------------------------------------
// Hostile input: whatever comes in, the result is the plain six-pass result and no array overflows

Polygon zigZag(int n, float reach)
{
    Polygon p;
    for (int i = 0; i < n; ++i) {
        const float s = (i % 2 == 0) ? reach : -reach * 0.5f;
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
        p.push_back({s * std::cos(a * 7), s * std::sin(a * 5), s * std::cos(a * 3), 1});
    }
    return p;
}

TEST(ClipPolygon, NonConvexZigZagsOutgrowTheConvexRoomAndLoseNothing)
{
    for (int n : {5, 16, 101, 1000}) {
        const Polygon in = zigZag(n, 3.0f);
        const Polygon clipped = clipAll(in);
        EXPECT_TRUE(samePolygon(clipped, referenceClipAll(in))) << "n = " << n;
        if (n >= 101) {
            EXPECT_GT(clipped.size(), in.size() + 6) << "n = " << n;
        }
    }
}

TEST(ClipPolygon, ExtremeValuesGiveThePlainResult)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 3.0f, -3.0f, 1e38f, -1e38f,
                            3.4e38f, 1e-40f, -1e-40f, 1e-30f, inf, -inf,
                            std::numeric_limits<float>::quiet_NaN()};
    const int kinds = sizeof values / sizeof values[0];
    std::mt19937 rng(7);
    for (int trial = 0; trial < 4000; ++trial) {
        const int n = static_cast<int>(rng() % 12);
        Polygon in;
        for (int i = 0; i < n; ++i) {
            float c[4];
            for (float& x : c) x = values[rng() % kinds];
            if (rng() % 2) c[3] = std::fabs(c[3]);  // favour w >= 0, the usual case
            in.push_back({c[0], c[1], c[2], c[3]});
        }
        ASSERT_TRUE(samePolygon(clipAll(in), referenceClipAll(in))) << "trial " << trial;
    }
}

TEST(ClipPolygon, ConvexPolygonsNearPlaneEdgesGiveThePlainResult)
{
    // Tiny polygons hugging the line where two planes meet: rounding can make a pass see more
    // than two crossings in a convex polygon.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> jitter(-1e-6f, 1e-6f);
    for (int trial = 0; trial < 2000; ++trial) {
        const int n = 3 + static_cast<int>(rng() % 40);
        Polygon in;
        for (int i = 0; i < n; ++i) {
            const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
            in.push_back({1 + 1e-6f * std::cos(a) + jitter(rng), -1 + 1e-6f * std::sin(a), jitter(rng), 1});
        }
        ASSERT_TRUE(samePolygon(clipAll(in), referenceClipAll(in))) << "trial " << trial;
    }
}

// Found by the fuzzer: an edge from a vertex on the far plane to one a single unit in the last
// place beyond it. The crossing formula's denominator cancels to zero in float, and taken as it
// stands it gives 0/0, a NaN vertex from finite input.
TEST(ClipToPlane, EdgeWithinRoundingOfThePlaneGivesNoNaN)
{
    const Polygon in = {{0x1.a8p+0f, 0x1.a8p+0f, 0x1.a8p+0f, 0x1.a8p+0f},
                        {0x1p-24f, 0x1.3f3f4p-1f, 0x1.3f3f4p-1f, 0x1.3f3f3ep-1f},
                        {-1, 0, 0, 1}};
    const Polygon out = clipOne(in, CLIP_FAR);
    ASSERT_EQ(out.size(), 4u);
    for (const Vec4& v : out) {
        EXPECT_FALSE(std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z) || std::isnan(v.w));
        EXPECT_LE(v.z, v.w);
    }
    EXPECT_TRUE(sameVertex(out[0], in[0], 0.0f));  // the inside end stands in for the crossing
}

TEST(ClipPolygon, ThousandVerticesInsideComeBackRotatedBySix)
{
    Polygon in;
    for (int i = 0; i < 1000; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / 1000.0f;
        in.push_back({0.9f * std::cos(a), 0.9f * std::sin(a), 0.5f, 1});
    }
    Polygon rotated(in.begin() + 6, in.end());
    rotated.insert(rotated.end(), in.begin(), in.begin() + 6);
    EXPECT_TRUE(samePolygon(clipAll(in), rotated));
}

}  // namespace
