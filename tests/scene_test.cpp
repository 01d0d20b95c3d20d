// The scene's initial state and its animation numerics, frame by frame.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { scene = SCENE_INITIAL; }

    static void runFrames(int frames, int animate = 1)
    {
        for (int i = 0; i < frames; ++i) animateScene(animate);
    }
};

// Corner i of the square turned by the same angle about x, then y, then z, and moved to centre,
// computed independently in double.
void expectedCorner(double out[3], const Vec4& corner, double degrees, const Vec3& centre)
{
    const double theta = degrees * static_cast<double>(DEG_TO_RAD);
    const double c = std::cos(theta), s = std::sin(theta);
    double x = corner.x, y = corner.y, z = corner.z, t;
    t = c * y - s * z; z = s * y + c * z; y = t;  // about x
    t = c * x + s * z; z = -s * x + c * z; x = t;  // about y
    t = c * x - s * y; y = s * x + c * y; x = t;  // about z
    out[0] = x + centre.x;
    out[1] = y + centre.y;
    out[2] = z + centre.z;
}

TEST_F(SceneTest, FirstFrameMovesOneStepAndTurnsOneDegree)
{
    animateScene(1);
    EXPECT_EQ(scene.position.x, 0.01f);
    EXPECT_EQ(scene.position.y, 0.003f);
    EXPECT_EQ(scene.position.z, -0.75f + 0.007f);
    for (float angle : scene.spinAngle) EXPECT_EQ(angle, 1.0f);

    for (int i = 0; i < 4; ++i) {
        double want[3];
        expectedCorner(want, scene.basePolygon[i], 1.0, scene.position);
        const Vec4& got = scene.worldVertices[i];
        EXPECT_NEAR(got.x, want[0], 1e-6) << "corner " << i;
        EXPECT_NEAR(got.y, want[1], 1e-6) << "corner " << i;
        EXPECT_NEAR(got.z, want[2], 1e-6) << "corner " << i;
        EXPECT_EQ(got.w, 1.0f) << "corner " << i;
    }
    const float depth = scene.position.z;
    // Corners 0 and 2 stay at the centre's depth up to second-order terms of the small turn.
    EXPECT_NEAR(scene.worldVertices[0].z, depth, 1e-5f);
    EXPECT_NEAR(scene.worldVertices[2].z, depth, 1e-5f);
    EXPECT_GT(scene.worldVertices[1].z, depth + 0.01f);  // nearer the eye
    EXPECT_NEAR(scene.worldVertices[3].z - depth, depth - scene.worldVertices[1].z, 1e-6f);
}

TEST_F(SceneTest, BouncesFallOnTheFramesSinglePrecisionGives)
{
    struct Axis {
        const char* name;
        float Vec3::*component;
        int bounceFrame;
    };
    const Axis axes[] = {{"x", &Vec3::x, 25}, {"y", &Vec3::y, 84}, {"z", &Vec3::z, 72}};
    for (const Axis& axis : axes) {
        scene = SCENE_INITIAL;
        const float v0 = SCENE_INITIAL.velocity.*axis.component;
        int frame = 0;
        float before = 0.0f;
        while (scene.velocity.*axis.component == v0 && frame < 1000) {
            before = scene.position.*axis.component;
            animateScene(1);
            ++frame;
        }
        EXPECT_EQ(frame, axis.bounceFrame) << axis.name;
        EXPECT_EQ(scene.velocity.*axis.component, -v0) << axis.name;
        // The step is taken back: the centre stays, up to rounding, where the frame before left it.
        EXPECT_NEAR(scene.position.*axis.component, before, 1e-7f) << axis.name;
    }
}

// The bounce tests are strict: a step that ends exactly on a bound keeps its velocity. The numbers
// are exact in float, so each sum lands on the bound itself.
TEST_F(SceneTest, AStepEndingExactlyOnABoundDoesNotBounce)
{
    struct Case {
        const char* bound;
        float Vec3::*component;
        float start, step;
    };
    const Case cases[] = {
        {"right", &Vec3::x, 0.125f, 0.125f},  {"left", &Vec3::x, -0.125f, -0.125f},
        {"top", &Vec3::y, 0.125f, 0.125f},    {"bottom", &Vec3::y, -0.125f, -0.125f},
        {"near", &Vec3::z, -0.5f, 0.25f},     {"far", &Vec3::z, -0.5f, -0.5f},
    };
    for (const Case& c : cases) {
        scene = SCENE_INITIAL;
        scene.position.*c.component = c.start;
        scene.velocity.*c.component = c.step;
        animateScene(1);
        EXPECT_EQ(scene.position.*c.component, c.start + c.step) << c.bound;
        EXPECT_EQ(scene.velocity.*c.component, c.step) << c.bound << " bounced";
    }
}

TEST_F(SceneTest, XStaysJustBelowTheBoundAfterItsBounce)
{
    runFrames(25);
    EXPECT_EQ(scene.velocity.x, -0.01f);
    EXPECT_NEAR(scene.position.x, 0.24f, 1e-6f);
}

TEST_F(SceneTest, AnglesReachExactly360AndWrapAfter)
{
    runFrames(360);
    for (float angle : scene.spinAngle) EXPECT_EQ(angle, 360.0f);
    runFrames(1);
    for (float angle : scene.spinAngle) EXPECT_EQ(angle, 1.0f);
}

TEST_F(SceneTest, PausedFramesChangeNothing)
{
    runFrames(40);
    const SceneState before = scene;
    runFrames(500, 0);
    EXPECT_EQ(std::memcmp(&before, &scene, sizeof scene), 0);
}

TEST_F(SceneTest, ResumingContinuesWhereThePauseBegan)
{
    runFrames(30);
    runFrames(7, 0);
    runFrames(30);
    const SceneState paused = scene;

    scene = SCENE_INITIAL;
    runFrames(60);
    EXPECT_EQ(std::memcmp(&paused, &scene, sizeof scene), 0);
}

TEST_F(SceneTest, FirstFrameFillsTheZeroedVerticesEvenWhenPaused)
{
    animateScene(0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(scene.worldVertices[i].w, 1.0f);
        EXPECT_EQ(scene.worldVertices[i].z, -0.75f);
        EXPECT_EQ(scene.worldVertices[i].x, scene.basePolygon[i].x);
    }
}

}  // namespace
