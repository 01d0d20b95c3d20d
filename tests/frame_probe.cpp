// Preloaded (LD_PRELOAD) into the real program by the memory and storm tests and by the screenshot
// script, so that they can watch its frames without the program itself printing or writing
// anything. It wraps glutSwapBuffers:
//   - with ORLAVANE_FRAME_COUNT_FILE set, every 250 frames it writes "FRAMES HEAP_BYTES_IN_USE" to
//     that file, replacing it whole so that a reader never sees half a line. Heap in use is malloc's
//     count of allocated bytes, which, unlike the resident size, leaves out memory the allocator
//     keeps after it is freed;
//   - with ORLAVANE_DUMP_DIR set, it saves frames FIRST, FIRST + STEP, ... (COUNT of them, from
//     ORLAVANE_DUMP_FRAMES="FIRST COUNT STEP") as DIR/frame-NNNNN.ppm, read from the back buffer
//     just before it is shown;
//   - with ORLAVANE_FRAME_DELAY_US set, it sleeps that long before showing each frame, so that a
//     script's key presses and drags land within the first few frames;
//   - with ORLAVANE_LEAK_BYTES_PER_FRAME set, it loses that many bytes of heap every frame: a leak
//     planted on purpose, which the memory test must catch.
#include <GL/gl.h>
#include <dlfcn.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// Where the planted leak's blocks go; each new one makes the last unreachable.
void* volatile plantedLeak = nullptr;

void writeCount(const char* path, long frames)
{
    const std::string temporary = std::string(path) + ".new";
    if (FILE* f = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(f, "%ld %zu\n", frames, mallinfo2().uordblks);
        std::fclose(f);
        std::rename(temporary.c_str(), path);
    }
}

void dumpFrame(const char* dir, long frame)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    if (width <= 0 || height <= 0) return;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    char name[64];
    std::snprintf(name, sizeof name, "/frame-%05ld.ppm", frame);
    if (FILE* f = std::fopen((std::string(dir) + name).c_str(), "wb")) {
        std::fprintf(f, "P6\n%d %d\n255\n", width, height);
        for (int row = height - 1; row >= 0; --row)  // OpenGL's rows run bottom to top
            std::fwrite(&pixels[static_cast<size_t>(row) * width * 3], 3, static_cast<size_t>(width), f);
        std::fclose(f);
    }
}

bool isDumped(long frame)
{
    static long first = 0, count = 0, step = 1;
    static const bool parsed = [] {
        if (const char* spec = std::getenv("ORLAVANE_DUMP_FRAMES"))
            std::sscanf(spec, "%ld %ld %ld", &first, &count, &step);
        if (step < 1) step = 1;
        return true;
    }();
    (void)parsed;
    return frame >= first && frame < first + count * step && (frame - first) % step == 0;
}

}  // namespace

extern "C" void glutSwapBuffers()
{
    using SwapBuffers = void (*)();
    static const auto real = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static const char* const countFile = std::getenv("ORLAVANE_FRAME_COUNT_FILE");
    static const char* const dumpDir = std::getenv("ORLAVANE_DUMP_DIR");
    static const char* const delay = std::getenv("ORLAVANE_FRAME_DELAY_US");
    static const char* const leak = std::getenv("ORLAVANE_LEAK_BYTES_PER_FRAME");
    static long frames = 0;

    ++frames;
    if (leak) plantedLeak = std::malloc(static_cast<size_t>(std::atol(leak)));
    if (delay) std::this_thread::sleep_for(std::chrono::microseconds(std::atol(delay)));
    if (dumpDir && isDumped(frames)) dumpFrame(dumpDir, frames);
    if (real) real();
    if (countFile && frames % 250 == 0) writeCount(countFile, frames);
}
