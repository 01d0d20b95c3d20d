// Immediate-mode line drawing of the scene: the reference wireframes and the clip-space outlines.
//
// Conventions
//   - Each routine draws under the caller's modelview matrix and, except drawAxes, in the caller's
//     current colour. None keeps state between calls.
//   - Vertices are Vec4 homogeneous points, sent with glVertex4fv so that OpenGL divides by w.
//   - A count of 0 or less draws an empty loop.
#pragma once

#include "geometry/geometry.h"

// Unit axes from the origin: x red, y green, z blue. Leaves the modelview matrix as it found it
// and GL_MODELVIEW current; the current colour is left blue.
void drawAxes();

// The wireframe of glFrustum(l, r, b, t, n, f), apex at the origin: the near rectangle at z = -n,
// the far rectangle (the near one scaled by f / n) at z = -f, then the four side edges. With
// n == 0 the far corners are infinite and OpenGL drops the lines that reach them.
void drawFrustum(float l, float r, float b, float t, float n, float f);

// One line loop through the vertices in order.
void drawOutline(const Vec4* vertices, int count);

// The outline carried into clip coordinates by the frustum matrix of scene.frustum, unclipped.
void drawProjectedOutline(const Vec4* vertices, int count);

// The outline carried into clip coordinates, clipped to the view volume, and drawn 3 pixels wide
// as one line loop: in clip coordinates when mapBack is 0, else mapped back to world space through
// the inverse frustum matrix. Makes three heap arrays and releases them; restores the line width.
void drawClippedOutline(const Vec4* vertices, int count, int mapBack);
