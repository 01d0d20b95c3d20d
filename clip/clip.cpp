#include "clip/clip.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The six planes as (axis, side): plane 2 * axis + high, where axis 0, 1, 2 is x, y, z and the
// high side is the one where the coordinate exceeds w. Each pass is one instance of the templates
// below, so the coordinate and the side are constants inside its loop.
template <int Axis>
float coord(const Vec4& v)
{
    if constexpr (Axis == 0)
        return v.x;
    else if constexpr (Axis == 1)
        return v.y;
    else
        return v.z;
}

// Strictly beyond the plane; a comparison with a NaN is false, so NaN says inside.
template <int Axis, bool High>
bool isOutside(const Vec4& v)
{
    return High ? coord<Axis>(v) > v.w : -v.w > coord<Axis>(v);
}

// Bit p set when the vertex is outside plane p.
unsigned outcode(const Vec4& v)
{
    return static_cast<unsigned>(isOutside<0, false>(v)) | isOutside<0, true>(v) << 1 |
           isOutside<1, false>(v) << 2 | isOutside<1, true>(v) << 3 | isOutside<2, false>(v) << 4 |
           isOutside<2, true>(v) << 5;
}

// The parameter t along cur -> next where the edge meets the plane:
//   low planes (left, bottom, near):  t = (-w_cur - a_cur) / ((a_next - a_cur) + w_next - w_cur)
//   high planes (right, top, far):    t = (w_cur - a_cur) / ((a_next - a_cur) - w_next + w_cur)
// with a the plane's coordinate, summed left to right. The order of the terms fixes the rounding,
// so it must not be rearranged.
//
// In exact arithmetic the denominator is d_cur - d_next, never zero since one end is strictly
// outside and the other is not, and 0 <= t <= 1. In float the sum can cancel to zero or overshoot
// when both ends lie within rounding of the plane, giving 0/0 = NaN or a t past the edge's ends.
// Every point of such an edge is as good as any other, so t is kept to [0, 1], and a NaN takes
// the inside end, so that no finite edge ever yields a NaN vertex.
template <int Axis, bool High>
float crossingT(const Vec4& cur, const Vec4& next, bool curOut)
{
    const float aCur = coord<Axis>(cur), aNext = coord<Axis>(next);
    const float t = High ? (cur.w - aCur) / ((aNext - aCur) - next.w + cur.w)
                         : (-cur.w - aCur) / ((aNext - aCur) + next.w - cur.w);
    if (t >= 0.0f && t <= 1.0f) return t;
    if (t > 1.0f) return 1.0f;
    if (t < 0.0f) return 0.0f;
    return curOut ? 1.0f : 0.0f;
}

// Four floats operated on lane by lane (SSE on x86-64, NEON on ARM). Each lane rounds exactly as
// the scalar operation would, so the results are the same to the bit.
typedef float Lanes __attribute__((vector_size(16)));

Lanes load(const Vec4& v)
{
    Lanes l;
    std::memcpy(&l, &v, sizeof l);
    return l;
}

template <int Axis, bool High>
Vec4 crossing(const Vec4& cur, const Vec4& next, bool curOut)
{
    const float t = crossingT<Axis, High>(cur, next, curOut);
    const Lanes c = load(cur);
    const Lanes point = c + t * (load(next) - c);  // cur + t (next - cur) on x, y, z and w
    Vec4 v;
    std::memcpy(&v, &point, sizeof v);
    return v;
}

// One Sutherland-Hodgman pass over n >= 1 vertices. Writes at most cap vertices to out but returns
// the full count the pass produces, so a caller whose array is too small learns how much room it
// needs. Sets *crossed when it makes a crossing point.
template <int Axis, bool High>
int clipPass(const Vec4* in, int n, Vec4* out, int cap, bool* crossed)
{
    int count = 0;
    auto emit = [&](const Vec4& v) {
        if (count < cap) out[count] = v;
        ++count;
    };
    auto edge = [&](const Vec4& cur, bool curOut, const Vec4& next, bool nextOut) {
        if (curOut != nextOut) {
            emit(crossing<Axis, High>(cur, next, curOut));
            *crossed = true;
        }
        if (!nextOut) emit(next);
    };
    const bool firstOut = isOutside<Axis, High>(in[0]);
    bool curOut = firstOut;
    for (int i = 1; i < n; ++i) {
        const bool nextOut = isOutside<Axis, High>(in[i]);
        edge(in[i - 1], curOut, in[i], nextOut);
        curOut = nextOut;
    }
    edge(in[n - 1], curOut, in[0], firstOut);  // the closing edge, back to in[0]
    return count;
}

using Pass = int (*)(const Vec4* in, int n, Vec4* out, int cap, bool* crossed);

// In the order of the ClipPlane enumeration: left, right, bottom, top, near, far.
constexpr Pass PASSES[6] = {clipPass<0, false>, clipPass<0, true>,  clipPass<1, false>,
                            clipPass<1, true>,  clipPass<2, false>, clipPass<2, true>};

// What a pass gives when no vertex is outside its plane: the same vertices, starting at in[1].
void rotateByOne(const Vec4* in, int n, Vec4* out)
{
    std::copy(in + 1, in + n, out);
    out[n - 1] = in[0];
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
    if (plane < CLIP_LEFT || plane > CLIP_FAR || n < 1) return 0;
    bool crossed = false;
    return PASSES[plane](in, n, out, INT_MAX, &crossed);
}

int clipPolygon(const Vec4* in, int n, Vec4** result)
{
    const int count0 = std::max(n, 0);
    int cap = count0 + 6;  // enough for a convex polygon: each pass adds at most one vertex
    Vec4* arrays[2] = {new Vec4[cap], new Vec4[cap]};
    std::copy(in, in + count0, arrays[0]);

    // Until a pass makes a crossing point the polygon holds input vertices only, so a plane that
    // none of them is outside gives a rotation by one place: exactly what the full pass would give,
    // with no test per edge. A polygon wholly inside thus costs one test per vertex and plane.
    unsigned outside = 0;
    for (int i = 0; i < count0; ++i) outside |= outcode(in[i]);
    bool crossed = false;

    int count = count0;
    for (int pass = 0; pass < 6 && count > 0; ++pass) {
        const int from = pass % 2;
        if (!crossed && !(outside & (1u << pass))) {
            rotateByOne(arrays[from], count, arrays[1 - from]);
            continue;
        }
        int produced = PASSES[pass](arrays[from], count, arrays[1 - from], cap, &crossed);
        if (produced > cap) {
            // More than two crossings: a non-convex polygon, or a convex one within rounding of
            // a plane. Make room and run the pass again rather than lose vertices.
            cap = static_cast<int>(std::min<long long>(INT_MAX, std::max(2LL * cap, 1LL * produced)));
            growArrays(arrays, from, count, cap);
            produced = PASSES[pass](arrays[from], count, arrays[1 - from], cap, &crossed);
        }
        count = produced;
    }
    // The six passes end in arrays[0]. Once the count is 0 the remaining passes have nothing to
    // do, and either array serves as the empty result.
    delete[] arrays[1];
    *result = arrays[0];
    return count;
}
