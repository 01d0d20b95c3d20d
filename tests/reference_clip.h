// A plain transcription of Sutherland-Hodgman in homogeneous coordinates, written for comparison
// and kept deliberately naive: a switch for every plane test, a modulo for the closing edge. The
// tests hold the program's clipper to it vertex for vertex, and the benchmarks measure against it.
#pragma once

#include "geometry/geometry.h"

namespace reference {

// Outside plane 0..5 (left, right, bottom, top, near, far): strictly beyond it.
bool outside(const Vec4& v, int plane);

// One pass: clips the n vertices of in against the plane into out, which must have room.
int clipToPlane(const Vec4* in, int n, Vec4* out, int plane);

// The same float to the bit, except that any two NaNs match: their sign and payload carry no
// meaning. The rule by which the program's clipper is held to this one.
bool sameFloat(float a, float b);

// Room that six passes can need for n vertices: one pass over m vertices writes at most 3m/2.
int worstCaseRoom(int n);

// Clips in two arrays of the given room (n + 6 suffices for convex input; worstCaseRoom(n) for any)
// and hands the result over in a new array, as the program's clipper does.
int clipPolygon(const Vec4* in, int n, Vec4** result, int room);

}  // namespace reference
