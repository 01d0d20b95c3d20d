// Captures where OpenGL puts lines, through glRenderMode(GL_FEEDBACK), after the whole vertex
// pipeline: transformation, clipping and division by w. Coordinates are read back in the space of
// an orthographic cube, so tests can compare them with the geometry they drew.
#pragma once

#include <functional>
#include <vector>

struct Point3 {
    double x, y, z;
};

struct Segment {
    Point3 a, b;
    float colour[3];  // r, g, b of the segment's first vertex
};

// Sets a 256 x 256 viewport, an orthographic projection of the cube -halfSide..halfSide on every
// axis and an identity modelview matrix.
void useOrthoCube(double halfSide);

// Runs draw in feedback mode and returns the line segments it produced, with coordinates mapped
// back from window space into the cube set by useOrthoCube(halfSide).
std::vector<Segment> captureSegments(double halfSide, const std::function<void()>& draw);

// Segments whose colour is (r, g, b) within rounding.
std::vector<Segment> ofColour(const std::vector<Segment>& all, float r, float g, float b);
