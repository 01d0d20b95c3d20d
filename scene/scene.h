// The demonstration's one state record, its initial values, and the per-frame animation step.
//
// Conventions
//   - All state lives in the single record `scene`, static for the life of the process. The GLUT
//     callbacks read and write its fields directly, all on one thread.
//   - Positions are world units, velocities world units per frame, angles degrees, spin rates
//     degrees per frame. Motion is counted in frames, not seconds.
#pragma once

#include "geometry/geometry.h"

// A viewing frustum given as glFrustum's six arguments: the near rectangle, then the two positive
// plane distances along -z.
struct Frustum {
    float left, right, bottom, top, near, far;
};

constexpr int SQUARE_VERTICES = 4;

struct SceneState {
    Frustum frustum;                       // the frustum being demonstrated; constant
    Vec4 basePolygon[SQUARE_VERTICES];     // the square in its own model space; constant
    int vertexCount;                       // vertices in use, never more than SQUARE_VERTICES
    int animating;                         // 1 while the square moves; toggled by backslash
    Vec3 position;                         // centre of the square in world space
    Vec3 velocity;                         // world units per frame; a sign flips at each bounce
    float spinRate[3];                     // degrees per frame about x, y, z; constant
    float spinAngle[3];                    // degrees about x, y, z, never above 360
    Vec4 worldVertices[SQUARE_VERTICES];   // the square in world space, rebuilt every frame
    int pointerX, pointerY;                // window pixels of the last mouse event
    int dragging;                          // 1 while the left button turns the camera
    float viewPitch;                       // turn of the whole scene about x, applied first
    float viewYaw;                         // turn of the whole scene about y, inside the pitch
    int clipSpaceView;                     // 0 = world view, 1 = clip-space view; toggled by space
};

// The state the program starts in: the world view, animating, nothing dragged, view angles zero.
constexpr SceneState SCENE_INITIAL = {
    {-0.25f, 0.25f, -0.25f, 0.25f, 0.25f, 1.0f},
    {{1, 1, 0, 1}, {-1, 1, 0, 1}, {-1, -1, 0, 1}, {1, -1, 0, 1}},
    SQUARE_VERTICES,
    1,
    {0.0f, 0.0f, -0.75f},
    {0.01f, 0.003f, 0.007f},
    {1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, 0.0f},
    {},
    0, 0,
    0,
    0.0f,
    0.0f,
    0,
};

extern SceneState scene;

// One frame's step. When animate is non-zero, moves the centre by the velocity, bouncing off the
// near rectangle's x and y extent and the near and far distances (a step that ends strictly past a
// bound is taken back and the velocity component negated), and adds the spin rates to the angles
// (an angle past 360 loses 360; exactly 360 stays). In every case, rebuilds worldVertices as
// translation x Rz x Ry x Rx applied to basePolygon. Allocates nothing.
void animateScene(int animate);
