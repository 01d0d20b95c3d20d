// The GLUT callbacks: the frame, the window's shape, and keyboard and mouse input.
//
// Conventions
//   - GLUT calls these one at a time on its event-loop thread; they read and write `scene`.
//   - Input handlers only change `scene`; the next frame, which the idle callback brings at once,
//     shows the effect. None of them asks for a redisplay.
//   - Window coordinates are pixels with y growing downwards; angles are degrees.
#pragma once

#include "scene/scene.h"

// One frame: advances the scene (when animating), clears, places the camera at (0, 0, 8) turned by
// the view angles, draws the world view or the clip-space view, then the frustum, and swaps.
void display();

// Sets the viewport to the window and a 30-degree perspective of aspect width / height, near 0.1,
// far 100. A window with no area (either side 0) gets aspect 1, so the projection stays finite.
void reshape(int width, int height);

// Asks for the next frame.
void idle();

// Esc ends the process with status 0; space switches world and clip-space view; backslash pauses
// and resumes the animation. Every other key, and the pointer position, are ignored.
void keyboard(unsigned char key, int x, int y);

// Stores the pointer for every button and both press and release; the left button flips
// scene.dragging (press and release alike), so a lost release leaves it inverted until the next.
void mouse(int button, int state, int x, int y);

// Moves the stored pointer and, while dragging, turns the view by the move (see turnView).
void motion(int x, int y);

// Turns the view by a pointer move of (dx, dy) pixels in a window of width x height pixels:
// 180 degrees per full width about y (viewYaw) and per full height about x (viewPitch), moving
// down increasing the pitch. A window reported as 0 wide or high turns nothing.
void turnView(SceneState* state, long long dx, long long dy, int width, int height);
