// OpenGL, GLU and GLUT, from where each system keeps them: Apple's frameworks on macOS; GL/
// elsewhere (Mesa and freeglut on Linux, freeglut from vcpkg or MSYS2 on Windows, Emscripten's
// headers for the page). Every source that calls GL, GLU or GLUT includes this and nothing else.
#pragma once

#if defined(__APPLE__)
#define GL_SILENCE_DEPRECATION  // Apple marks OpenGL and GLUT deprecated, but ships them
#include <GLUT/glut.h>          // brings OpenGL/gl.h and OpenGL/glu.h
#else
#include <GL/glut.h>            // brings GL/gl.h and GL/glu.h, after windows.h on Windows
#endif
