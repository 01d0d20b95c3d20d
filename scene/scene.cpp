#include "scene/scene.h"

SceneState scene = SCENE_INITIAL;

namespace {

// Position and velocity are stored in float after every step, so that the bounces fall on the
// frames single-precision arithmetic gives (x bounces on the 25th frame, not the 26th).
void advance(float* position, float* velocity, float low, float high)
{
    *position = *position + *velocity;
    if (*position < low || *position > high) {
        *velocity = -*velocity;
        *position = *position + *velocity;
    }
}

void spin(float* angle, float rate)
{
    *angle = *angle + rate;
    if (*angle > 360.0f) *angle = *angle - 360.0f;
}

Mat4* buildModelMatrix(Mat4* model, const SceneState* s)
{
    Vec3 xAxis{1, 0, 0}, yAxis{0, 1, 0}, zAxis{0, 0, 1};
    Mat4 rotation;
    matTranslation(model, s->position.x, s->position.y, s->position.z);
    matMultiply(model, model, matRotation(&rotation, s->spinAngle[2], &zAxis));
    matMultiply(model, model, matRotation(&rotation, s->spinAngle[1], &yAxis));
    matMultiply(model, model, matRotation(&rotation, s->spinAngle[0], &xAxis));
    return model;
}

}  // namespace

void animateScene(int animate)
{
    if (animate) {
        const Frustum& f = scene.frustum;
        advance(&scene.position.x, &scene.velocity.x, f.left, f.right);
        advance(&scene.position.y, &scene.velocity.y, f.bottom, f.top);
        advance(&scene.position.z, &scene.velocity.z, -f.far, -f.near);
        for (int k = 0; k < 3; ++k) spin(&scene.spinAngle[k], scene.spinRate[k]);
    }
    Mat4 model;
    buildModelMatrix(&model, &scene);
    for (int i = 0; i < scene.vertexCount && i < SQUARE_VERTICES; ++i)
        matTransform(&scene.worldVertices[i], &model, &scene.basePolygon[i]);
}
