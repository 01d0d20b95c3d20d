// What the page shows of the clipper at work, read from the program's own clipper, and entry
// points for the page's tests. Called from JavaScript between frames.
//
// Conventions
//   - The frame's clip-space vertices are made as drawClippedOutline makes them: the frustum
//     matrix of scene.frustum times each of scene.worldVertices.
//   - Results go to static float arrays that JavaScript reads from the heap; nothing here
//     allocates, except clipPolygon's own arrays, which are released at once.
#include "clip/clip.h"
#include "scene/scene.h"

#include <emscripten/emscripten.h>
#include <malloc.h>

namespace {

constexpr int STAGES = 7;  // the polygon entering the clipper, then after each of the six passes
// A pass writes at most n * 3 / 2 vertices (clip.h); from the square's 4 that is at most 42.
constexpr int MOST_VERTICES = 64;
constexpr int FLOATS_PER_VERTEX = 5;  // x, y, z, w and 1 for a crossing point, 0 for a kept vertex

struct PassTrace {
    Vec4 polygons[STAGES][MOST_VERTICES];
    int counts[STAGES];
    bool crossing[STAGES][MOST_VERTICES];
    // One block: the stage count, then for each stage its vertex count and its vertices.
    float flat[1 + STAGES * (1 + MOST_VERTICES * FLOATS_PER_VERTEX)];
};

PassTrace trace;
float clippedFlat[1 + 4 * MOST_VERTICES];

int frameClipSpace(Vec4* out)
{
    const Frustum& f = scene.frustum;
    Mat4 projection;
    matFrustum(&projection, f.left, f.right, f.bottom, f.top, f.near, f.far);
    const int n = scene.vertexCount < SQUARE_VERTICES ? scene.vertexCount : SQUARE_VERTICES;
    for (int i = 0; i < n; ++i) matTransform(&out[i], &projection, &scene.worldVertices[i]);
    return n;
}

// The clipper's own outside test: a lone vertex survives a pass exactly when it is inside.
bool outside(const Vec4& v, ClipPlane plane)
{
    Vec4 kept[1];
    return clipToPlane(&v, 1, kept, plane) == 0;
}

// Marks which vertices of a pass's output are crossing points, walking the edges in the order
// clipToPlane does: a crossing for each edge whose ends are on different sides, then the edge's
// end when it is inside.
void markCrossings(bool* crossing, const Vec4* in, int n, int written, ClipPlane plane)
{
    if (n < 1) return;
    int k = 0;
    bool curOut = outside(in[0], plane);
    for (int i = 0; i < n && k < written; ++i) {
        const bool nextOut = i + 1 < n ? outside(in[i + 1], plane) : outside(in[0], plane);
        if (curOut != nextOut && k < written) crossing[k++] = true;
        if (!nextOut && k < written) crossing[k++] = false;
        curOut = nextOut;
    }
}

void flatten()
{
    int at = 0;
    trace.flat[at++] = STAGES;
    for (int s = 0; s < STAGES; ++s) {
        trace.flat[at++] = static_cast<float>(trace.counts[s]);
        for (int i = 0; i < trace.counts[s]; ++i) {
            const Vec4& v = trace.polygons[s][i];
            trace.flat[at++] = v.x;
            trace.flat[at++] = v.y;
            trace.flat[at++] = v.z;
            trace.flat[at++] = v.w;
            trace.flat[at++] = trace.crossing[s][i] ? 1.0f : 0.0f;
        }
    }
}

}  // namespace

extern "C" {

// Runs the six single-plane passes of the clipper, in clipPolygon's order, over this frame's
// clip-space vertices, and returns the flat block of the seven polygons (see PassTrace::flat).
EMSCRIPTEN_KEEPALIVE const float* orlavaneTracePasses()
{
    trace.counts[0] = frameClipSpace(trace.polygons[0]);
    for (int i = 0; i < trace.counts[0]; ++i) trace.crossing[0][i] = false;
    for (int pass = 0; pass < 6; ++pass) {
        const ClipPlane plane = static_cast<ClipPlane>(pass);
        const Vec4* in = trace.polygons[pass];
        const int n = trace.counts[pass];
        const int written = n * 3 / 2 <= MOST_VERTICES ? clipToPlane(in, n, trace.polygons[pass + 1], plane) : 0;
        trace.counts[pass + 1] = written;
        markCrossings(trace.crossing[pass + 1], in, n, written, plane);
    }
    flatten();
    return trace.flat;
}

// The polygon the blue outline draws this frame, before any mapping back: clipPolygon over the
// frame's clip-space vertices. Returns a block of its count and then x, y, z, w of each vertex.
EMSCRIPTEN_KEEPALIVE const float* orlavaneClipFrame()
{
    Vec4 clipIn[SQUARE_VERTICES];
    const int n = frameClipSpace(clipIn);
    Vec4* clipped = nullptr;
    const int m = clipPolygon(clipIn, n, &clipped);
    const int shown = m < MOST_VERTICES ? m : MOST_VERTICES;
    clippedFlat[0] = static_cast<float>(m);
    for (int i = 0; i < shown; ++i) {
        clippedFlat[1 + 4 * i] = clipped[i].x;
        clippedFlat[2 + 4 * i] = clipped[i].y;
        clippedFlat[3 + 4 * i] = clipped[i].z;
        clippedFlat[4 + 4 * i] = clipped[i].w;
    }
    delete[] clipped;
    return clippedFlat;
}

// For the page's tests: pauses the motion and puts the square's centre at (x, y, z), where the
// motion could never take it (wholly outside the frustum, say). The next frame shows it.
EMSCRIPTEN_KEEPALIVE void orlavanePlaceSquare(float x, float y, float z)
{
    scene.animating = 0;
    scene.position = Vec3{x, y, z};
}

// For the page's tests: the square's turn about x in degrees, which after k animated frames
// (k <= 360) is exactly k, so a test can tell how far the motion has gone.
EMSCRIPTEN_KEEPALIVE float orlavaneSpinAngle() { return scene.spinAngle[0]; }

// For the page's tests: the bytes of heap in use. The browser has no driver of its own in this
// heap, so frames that release all they make leave it exactly as it was.
EMSCRIPTEN_KEEPALIVE int orlavaneHeapInUse() { return static_cast<int>(mallinfo().uordblks); }

}  // extern "C"
