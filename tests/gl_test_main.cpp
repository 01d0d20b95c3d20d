// Entry point of the test programs that need OpenGL: one real 256 x 256 GLUT window, double
// buffered with depth like the program's, whose context every test draws in. Run them on a display
// (tools/with-xvfb.sh gives a private one).
#include "exit_guard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

// Present only in a build with LeakSanitizer.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

int main(int argc, char** argv)
{
    exitGuardInstall(argc, argv);  // before InitGoogleTest, which takes the gtest flags out of argv
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        const int status = RUN_ALL_TESTS();
        exitGuardRelease();
        return status;
    }

    int glutArgc = 1;
    char* glutArgv[] = {argv[0], nullptr};
    glutInit(&glutArgc, glutArgv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(256, 256);
    glutInitWindowPosition(0, 0);
    const int window = glutCreateWindow("Orlavane test");
    glutDisplayFunc([] {});
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();  // let the window be mapped and sized

    const int status = RUN_ALL_TESTS();
    exitGuardRelease();
    // Look for leaks now, while every block Mesa holds is still reachable from the loaded driver;
    // at exit the driver is unloaded first and its blocks would be reported as lost.
    if (__lsan_do_leak_check) __lsan_do_leak_check();
    // Finish all drawing and tear the context down while the GL driver is whole: Mesa's llvmpipe
    // compiles pending work lazily, and freeglut's exit handler runs after the driver's static
    // destructors, where a late compile crashes.
    glFinish();
    glutDestroyWindow(window);
    glutMainLoopEvent();
    return status;
}
