// Preloaded (LD_PRELOAD) into the real program by the memory and storm tests, so that they can
// tell how many frames it has drawn, and how much heap is in use, without the program printing
// anything: wraps glutSwapBuffers, counts the calls, and every 250 frames writes
// "FRAMES HEAP_BYTES_IN_USE" to the file named by ORLAVANE_FRAME_COUNT_FILE (replacing it whole,
// so a reader never sees half a line). Heap in use is malloc's count of allocated bytes, which,
// unlike the resident size, does not include memory the allocator keeps after it is freed.
#include <dlfcn.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" void glutSwapBuffers()
{
    using SwapBuffers = void (*)();
    static const auto real = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static const char* const path = std::getenv("ORLAVANE_FRAME_COUNT_FILE");
    static long frames = 0;

    if (real) real();
    if (++frames % 250 != 0 || !path) return;
    const std::string temporary = std::string(path) + ".new";
    if (FILE* f = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(f, "%ld %zu\n", frames, mallinfo2().uordblks);
        std::fclose(f);
        std::rename(temporary.c_str(), path);
    }
}
