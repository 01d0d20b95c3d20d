// The program's whole frame (its display callback) against an empty frame (clear and swap only),
// in the same process and window, in each view. Needs a display: run it under tools/with-xvfb.sh.
// Times are wall-clock, since Mesa's llvmpipe rasterises on threads of its own.
//
// BM_frameRatio alternates batches of empty frames and program frames inside every iteration, so
// that both see the same machine at the same moment, and reports the ratio of their costs.
#include "app/app.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

void emptyFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

void startScene(int view)
{
    scene = SCENE_INITIAL;
    scene.clipSpaceView = view;
}

const char* viewName(int view) { return view ? "clip-space view" : "world view"; }

void BM_emptyFrame(benchmark::State& state)
{
    for (auto _ : state) emptyFrame();
}

void BM_display(benchmark::State& state)
{
    startScene(static_cast<int>(state.range(0)));
    for (auto _ : state) display();
    state.SetLabel(viewName(static_cast<int>(state.range(0))));
}

template <typename Frame>
double secondsFor(int frames, Frame frame)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) frame();
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_frameRatio(benchmark::State& state)
{
    constexpr int BATCH = 50;
    startScene(static_cast<int>(state.range(0)));
    double empty = 0, program = 0;
    for (auto _ : state) {
        empty += secondsFor(BATCH, emptyFrame);
        program += secondsFor(BATCH, display);
    }
    const double batches = static_cast<double>(state.iterations());
    state.counters["empty_us"] = empty / batches / BATCH * 1e6;
    state.counters["frame_us"] = program / batches / BATCH * 1e6;
    state.counters["ratio"] = program / empty;
    state.SetLabel(viewName(static_cast<int>(state.range(0))));
}

}  // namespace

BENCHMARK(BM_emptyFrame)->UseRealTime();
BENCHMARK(BM_display)->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(BM_frameRatio)->Arg(0)->Arg(1)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    int glutArgc = 1;
    char* glutArgv[] = {argv[0], nullptr};
    glutInit(&glutArgc, glutArgv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(256, 256);
    glutInitWindowPosition(180, 100);
    const int window = glutCreateWindow("Orlavane");
    glEnable(GL_DEPTH_TEST);
    glutDisplayFunc(display);
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
    reshape(256, 256);
    for (int i = 0; i < 200; ++i) display();  // let llvmpipe build its pipelines first

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    glFinish();
    glutDestroyWindow(window);
    return 0;
}
