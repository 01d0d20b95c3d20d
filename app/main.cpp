// Orlavane: a square tumbles in and around a small perspective frustum and is clipped, every
// frame, in homogeneous clip space against -w <= x, y, z <= w.
//
// Keys
//   space      switch between the world view and the clip-space view
//   backslash  pause or resume the animation
//   Esc        quit
// Mouse
//   left-button drag  turn the outside camera, 180 degrees per window width or height
#include "app/app.h"

#include "draw/opengl.h"

int main(int argc, char** argv)
{
    // GLUT sees the program's name alone: the program takes no options, and no argument of the
    // command line reaches the toolkit.
    char name[] = "orlavane";
    char* glutArgv[] = {argc > 0 && argv[0] ? argv[0] : name, nullptr};
    int glutArgc = 1;
    glutInit(&glutArgc, glutArgv);

    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(256, 256);
    glutInitWindowPosition(180, 100);
    glutCreateWindow("Orlavane");
    glEnable(GL_DEPTH_TEST);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutIdleFunc(idle);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
    return 0;
}
