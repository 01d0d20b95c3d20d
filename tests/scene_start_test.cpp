// The record the process really starts with, read before anything writes it: this program has one
// test, and nothing in it assigns to `scene` (the other scene tests reset it for every case).
#include "scene/scene.h"

#include <gtest/gtest.h>

namespace {

TEST(SceneAtStart, HoldsTheCompiledInValues)
{
    const Frustum& f = scene.frustum;
    EXPECT_EQ(f.left, -0.25f);
    EXPECT_EQ(f.right, 0.25f);
    EXPECT_EQ(f.bottom, -0.25f);
    EXPECT_EQ(f.top, 0.25f);
    EXPECT_EQ(f.near, 0.25f);
    EXPECT_EQ(f.far, 1.0f);

    const float corners[4][4] = {{1, 1, 0, 1}, {-1, 1, 0, 1}, {-1, -1, 0, 1}, {1, -1, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        const Vec4& v = scene.basePolygon[i];
        EXPECT_TRUE(v.x == corners[i][0] && v.y == corners[i][1] && v.z == corners[i][2] && v.w == corners[i][3])
            << "corner " << i;
        const Vec4& w = scene.worldVertices[i];
        EXPECT_TRUE(w.x == 0 && w.y == 0 && w.z == 0 && w.w == 0) << "world vertex " << i << " is not zero";
    }
    EXPECT_EQ(scene.vertexCount, 4);

    EXPECT_EQ(scene.animating, 1);
    EXPECT_EQ(scene.position.x, 0.0f);
    EXPECT_EQ(scene.position.y, 0.0f);
    EXPECT_EQ(scene.position.z, -0.75f);
    EXPECT_EQ(scene.velocity.x, 0.01f);
    EXPECT_EQ(scene.velocity.y, 0.003f);
    EXPECT_EQ(scene.velocity.z, 0.007f);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(scene.spinRate[k], 1.0f) << "axis " << k;
        EXPECT_EQ(scene.spinAngle[k], 0.0f) << "axis " << k;
    }

    EXPECT_EQ(scene.clipSpaceView, 0);
    EXPECT_EQ(scene.dragging, 0);
    EXPECT_EQ(scene.pointerX, 0);
    EXPECT_EQ(scene.pointerY, 0);
    EXPECT_EQ(scene.viewPitch, 0.0f);
    EXPECT_EQ(scene.viewYaw, 0.0f);
}

}  // namespace
