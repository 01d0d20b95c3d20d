#include "clip/clip.h"

#include <algorithm>
#include <climits>

namespace {

// Plane k is the half-space sign * v.coord <= v.w; a vertex is outside when sign * v.coord > v.w.
// Negating a float is exact, so this is the same comparison as -w > x (left) or x > w (right),
// NaN included.
struct PlaneRule {
    float Vec4::*coord;
    float sign;
};

constexpr PlaneRule PLANES[6] = {
    {&Vec4::x, -1.0f}, {&Vec4::x, 1.0f},  // left, right
    {&Vec4::y, -1.0f}, {&Vec4::y, 1.0f},  // bottom, top
    {&Vec4::z, -1.0f}, {&Vec4::z, 1.0f},  // near, far
};

bool isOutside(const Vec4& v, const PlaneRule& p) { return p.sign * (v.*p.coord) > v.w; }

// The parameter t along cur -> next where the edge meets the plane. With s the plane's sign and
// a its coordinate, t = (s*w_cur - a_cur) / ((a_next - a_cur) - s*w_next + s*w_cur), summed left
// to right: for the left plane that is (-w_cur - x_cur) / ((x_next - x_cur) + w_next - w_cur), and
// for the right plane (w_cur - x_cur) / ((x_next - x_cur) - w_next + w_cur). The order of the
// terms fixes the rounding, so it must not be rearranged.
//
// In exact arithmetic the denominator is d_cur - d_next, never zero since one end is strictly
// outside and the other is not, and 0 <= t <= 1. In float the sum can cancel to zero or overshoot
// when both ends lie within rounding of the plane, giving 0/0 = NaN or a t past the edge's ends.
// Every point of such an edge is as good as any other, so t is kept to [0, 1], and a NaN takes
// the inside end, so that no finite edge ever yields a NaN vertex.
float crossingT(const Vec4& cur, const Vec4& next, const PlaneRule& p, bool curOut)
{
    const float aCur = cur.*p.coord;
    const float aNext = next.*p.coord;
    const float swCur = p.sign * cur.w;
    const float swNext = p.sign * next.w;
    const float t = (swCur - aCur) / (((aNext - aCur) - swNext) + swCur);
    if (t >= 0.0f && t <= 1.0f) return t;
    if (t > 1.0f) return 1.0f;
    if (t < 0.0f) return 0.0f;
    return curOut ? 1.0f : 0.0f;
}

Vec4 crossing(const Vec4& cur, const Vec4& next, const PlaneRule& p, bool curOut)
{
    const float t = crossingT(cur, next, p, curOut);
    return Vec4{cur.x + t * (next.x - cur.x), cur.y + t * (next.y - cur.y),
                cur.z + t * (next.z - cur.z), cur.w + t * (next.w - cur.w)};
}

// One Sutherland-Hodgman pass. Writes at most cap vertices to out but returns the full count the
// pass produces, so a caller whose array is too small learns how much room it needs.
int clipPass(const Vec4* in, int n, Vec4* out, int cap, const PlaneRule& plane)
{
    if (n < 1) return 0;
    int count = 0;
    auto emit = [&](const Vec4& v) {
        if (count < cap) out[count] = v;
        ++count;
    };
    const bool firstOut = isOutside(in[0], plane);
    bool curOut = firstOut;
    for (int i = 0; i < n; ++i) {
        const bool closing = i + 1 == n;  // the last edge runs back to in[0]
        const Vec4& next = closing ? in[0] : in[i + 1];
        const bool nextOut = closing ? firstOut : isOutside(next, plane);
        if (curOut != nextOut) emit(crossing(in[i], next, plane, curOut));
        if (!nextOut) emit(next);
        curOut = nextOut;
    }
    return count;
}

// Replaces the pair of working arrays with a pair of capacity cap, keeping the count vertices of
// the one that holds the polygon (index keep).
void growArrays(Vec4* arrays[2], int keep, int count, int cap)
{
    Vec4* kept = new Vec4[cap];
    Vec4* other = new Vec4[cap];
    std::copy(arrays[keep], arrays[keep] + count, kept);
    delete[] arrays[0];
    delete[] arrays[1];
    arrays[keep] = kept;
    arrays[1 - keep] = other;
}

}  // namespace

int clipToPlane(const Vec4* in, int n, Vec4* out, ClipPlane plane)
{
    if (plane < CLIP_LEFT || plane > CLIP_FAR) return 0;
    return clipPass(in, n, out, INT_MAX, PLANES[plane]);
}

int clipPolygon(const Vec4* in, int n, Vec4** result)
{
    const int count0 = std::max(n, 0);
    int cap = count0 + 6;  // enough for a convex polygon: each pass adds at most one vertex
    Vec4* arrays[2] = {new Vec4[cap], new Vec4[cap]};
    std::copy(in, in + count0, arrays[0]);

    int count = count0;
    for (int pass = 0; pass < 6; ++pass) {
        const int from = pass % 2;
        int produced = clipPass(arrays[from], count, arrays[1 - from], cap, PLANES[pass]);
        if (produced > cap) {
            // More than two crossings: a non-convex polygon, or a convex one within rounding of
            // a plane. Make room and run the pass again rather than lose vertices.
            cap = static_cast<int>(std::min<long long>(INT_MAX, std::max(2LL * cap, 1LL * produced)));
            growArrays(arrays, from, count, cap);
            produced = clipPass(arrays[from], count, arrays[1 - from], cap, PLANES[pass]);
        }
        count = produced;
    }
    // Six passes end in arrays[0]; hand it over and release the other.
    delete[] arrays[1];
    *result = arrays[0];
    return count;
}
