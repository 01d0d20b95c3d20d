// Sutherland-Hodgman clipping of polygons in homogeneous clip coordinates against the canonical
// view volume -w <= x <= w, -w <= y <= w, -w <= z <= w, before any division by w.
//
// Conventions
//   - A polygon is an array of Vec4 with a separate int count; the last vertex joins the first.
//   - A vertex is outside a plane only when it lies strictly beyond it; a vertex on the plane is
//     inside. Each test is one greater-than comparison, so a test that meets a NaN says inside.
//   - Inside vertices are copied bit for bit; crossing points are interpolated from the edge's start
//     vertex towards its end vertex. Duplicates are kept: an on-plane vertex next to an outside one
//     comes out twice.
//   - Where rounding would put a crossing past the ends of its edge, or make it 0/0 (both ends
//     within rounding of the plane), the crossing is kept on the edge: a NaN takes the inside end.
//     Finite input therefore never yields a NaN vertex.
//   - A polygon wholly inside a plane comes back rotated by one place: in[1], ..., in[n-1], in[0].
#pragma once

#include "geometry/geometry.h"

// The six planes in the order the clipper visits them.
enum ClipPlane {
    CLIP_LEFT = 0,    // outside when -w > x
    CLIP_RIGHT = 1,   // outside when x > w
    CLIP_BOTTOM = 2,  // outside when -w > y
    CLIP_TOP = 3,     // outside when y > w
    CLIP_NEAR = 4,    // outside when -w > z
    CLIP_FAR = 5,     // outside when z > w
};

// Clips the n vertices of in against one plane into out and returns the count written (0 when
// n < 1). out must not overlap in (in[0] is read again for the closing edge) and needs room for
// the result: n * 3 / 2 vertices (rounded down) are always enough, n + 1 for a convex polygon away
// from the plane's edges. A plane outside the six writes nothing and returns 0.
int clipToPlane(const Vec4* in, int n, Vec4* out, ClipPlane plane);

// Clips the n vertices of in against all six planes in order (left, right, bottom, top, near, far)
// and returns the count of the clipped polygon, possibly 0; n < 0 counts as 0. *result receives a
// new array holding it, handed over even when the count is 0; release it with delete[].
// A convex polygon is clipped in two arrays of n + 6 vertices. Input for which a pass finds more
// than two crossings (a non-convex polygon, or a convex one within rounding of a plane) gets larger
// arrays as it needs them: the result is always the whole Sutherland-Hodgman polygon.
int clipPolygon(const Vec4* in, int n, Vec4** result);
