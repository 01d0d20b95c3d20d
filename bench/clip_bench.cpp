// The clipper beside a straightforward implementation of the same algorithm (a switch for every
// plane test, a modulo for the closing edge; tests/reference_clip.h), on the scene's square in
// three poses and on a 64-vertex polygon; and one animation step.
#include "clip/clip.h"
#include "reference_clip.h"
#include "scene/scene.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using Polygon = std::vector<Vec4>;

Polygon toClipSpace(const Polygon& world)
{
    const Frustum& f = SCENE_INITIAL.frustum;
    Mat4 p;
    matFrustum(&p, f.left, f.right, f.bottom, f.top, f.near, f.far);
    Polygon clip(world.size());
    for (size_t i = 0; i < world.size(); ++i) matTransform(&clip[i], &p, &world[i]);
    return clip;
}

Polygon square(float halfSide, float x, float z)
{
    return toClipSpace({{x + halfSide, halfSide, z, 1}, {x - halfSide, halfSide, z, 1},
                        {x - halfSide, -halfSide, z, 1}, {x + halfSide, -halfSide, z, 1}});
}

// The scene's square after its first frame: tilted, and cut by four of the frustum's faces.
Polygon sceneSquare()
{
    scene = SCENE_INITIAL;
    animateScene(1);
    return toClipSpace(Polygon(scene.worldVertices, scene.worldVertices + scene.vertexCount));
}

Polygon polygon64()
{
    Polygon world;
    for (int i = 0; i < 64; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / 64.0f;
        world.push_back({0.9f * std::cos(a), 0.9f * std::sin(a), -0.7f + 0.2f * std::sin(a), 1});
    }
    return toClipSpace(world);
}

const Polygon& pose(int which)
{
    static const Polygon poses[] = {square(0.1f, 0, -0.5f), sceneSquare(), square(0.5f, 5, -0.5f), polygon64()};
    return poses[which];
}

const char* const POSE_NAMES[] = {"inside", "cut", "outside", "polygon64"};

void BM_clipPolygon(benchmark::State& state)
{
    const Polygon& in = pose(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Vec4* result = nullptr;
        const int count = clipPolygon(in.data(), static_cast<int>(in.size()), &result);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(count);
        delete[] result;
    }
    state.SetLabel(POSE_NAMES[state.range(0)]);
}

void BM_straightforwardClip(benchmark::State& state)
{
    const Polygon& in = pose(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(in.size());
    for (auto _ : state) {
        Vec4* result = nullptr;
        const int count = reference::clipPolygon(in.data(), n, &result, n + 6);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(count);
        delete[] result;
    }
    state.SetLabel(POSE_NAMES[state.range(0)]);
}

// What both clippers spend before any clipping: the two working arrays of a square, made and
// released.
void BM_twoArrays(benchmark::State& state)
{
    for (auto _ : state) {
        Vec4* a = new Vec4[10];
        Vec4* b = new Vec4[10];
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        delete[] a;
        delete[] b;
    }
}

void BM_animateScene(benchmark::State& state)
{
    scene = SCENE_INITIAL;
    for (auto _ : state) {
        animateScene(1);
        benchmark::DoNotOptimize(scene.worldVertices);
    }
}

}  // namespace

BENCHMARK(BM_clipPolygon)->DenseRange(0, 3);
BENCHMARK(BM_straightforwardClip)->DenseRange(0, 3);
BENCHMARK(BM_twoArrays);
BENCHMARK(BM_animateScene);
BENCHMARK_MAIN();
