// Built as a translation unit of its own, as the program's clipper is, so that benchmarks compare
// like with like.
#include "reference_clip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace reference {

bool outside(const Vec4& v, int plane)
{
    switch (plane) {
    case 0: return -v.w > v.x;
    case 1: return v.x > v.w;
    case 2: return -v.w > v.y;
    case 3: return v.y > v.w;
    case 4: return -v.w > v.z;
    default: return v.z > v.w;
    }
}

namespace {

float formulaT(const Vec4& c, const Vec4& n, int plane)
{
    switch (plane) {
    case 0: return (-c.w - c.x) / ((n.x - c.x) + n.w - c.w);
    case 1: return (c.w - c.x) / ((n.x - c.x) - n.w + c.w);
    case 2: return (-c.w - c.y) / ((n.y - c.y) + n.w - c.w);
    case 3: return (c.w - c.y) / ((n.y - c.y) - n.w + c.w);
    case 4: return (-c.w - c.z) / ((n.z - c.z) + n.w - c.w);
    default: return (c.w - c.z) / ((n.z - c.z) - n.w + c.w);
    }
}

// The formula's t kept to the edge: rounding can push it past either end, or make it 0/0 when
// both ends are within rounding of the plane, and then the inside end is taken.
float crossingT(const Vec4& c, const Vec4& n, int plane)
{
    const float t = formulaT(c, n, plane);
    if (std::isnan(t)) return outside(c, plane) ? 1.0f : 0.0f;
    if (t < 0.0f) return 0.0f;
    if (t > 1.0f) return 1.0f;
    return t;
}

}  // namespace

int clipToPlane(const Vec4* in, int n, Vec4* out, int plane)
{
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const Vec4& cur = in[i];
        const Vec4& next = in[(i + 1) % n];
        const bool curOut = outside(cur, plane);
        const bool nextOut = outside(next, plane);
        if (curOut != nextOut) {
            const float t = crossingT(cur, next, plane);
            out[count++] = Vec4{cur.x + t * (next.x - cur.x), cur.y + t * (next.y - cur.y),
                                cur.z + t * (next.z - cur.z), cur.w + t * (next.w - cur.w)};
        }
        if (!nextOut) out[count++] = next;
    }
    return count;
}

bool sameFloat(float a, float b)
{
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int worstCaseRoom(int n)
{
    long long room = std::max(n, 0);
    for (int pass = 0; pass < 6; ++pass) room = std::max(room, room * 3 / 2);
    return static_cast<int>(room + 6);
}

int clipPolygon(const Vec4* in, int n, Vec4** result, int room)
{
    n = std::max(n, 0);
    Vec4* a = new Vec4[room];
    Vec4* b = new Vec4[room];
    std::copy(in, in + n, a);
    int count = n;
    for (int plane = 0; plane < 6; plane += 2) {
        count = clipToPlane(a, count, b, plane);
        count = clipToPlane(b, count, a, plane + 1);
    }
    std::copy(a, a + count, b);
    delete[] a;
    *result = b;
    return count;
}

}  // namespace reference
