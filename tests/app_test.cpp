// The frame, the window's shape and the drag, in a real GLUT window on a real GL context.
#include "app/app.h"

#include "alloc_count.h"
#include "feedback.h"

#include "draw/opengl.h"
#include <gtest/gtest.h>

#include <cmath>

namespace {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = SCENE_INITIAL;
        reshape(256, 256);
    }

    // One frame through display(), captured in feedback mode in window coordinates.
    static std::vector<Segment> captureFrame()
    {
        // The frame sets its own modelview and keeps the projection reshape gave; map window
        // coordinates back with a half-side of 1 so they read as normalised device coordinates.
        return captureSegments(1.0, [] { display(); });
    }
};

TEST_F(AppTest, ReshapeKeepsThirtyDegreesAtTheWindowsAspect)
{
    reshape(512, 256);
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const double cot = 1.0 / std::tan(15.0 * 3.14159265358979 / 180.0);
    EXPECT_NEAR(p[5], cot, 1e-5);
    EXPECT_NEAR(p[0], cot / 2.0, 1e-5);
    EXPECT_NEAR(p[10], -(100.0 + 0.1) / (100.0 - 0.1), 1e-5);
    GLint mode = 0, viewport[4];
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(viewport[2], 512);
    EXPECT_EQ(viewport[3], 256);
}

TEST_F(AppTest, ReshapeToNoAreaKeepsAFiniteProjection)
{
    for (auto size : {std::pair<int, int>{300, 0}, {0, 300}, {0, 0}}) {
        reshape(size.first, size.second);
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        for (float v : p) EXPECT_TRUE(std::isfinite(v)) << size.first << " x " << size.second;
        EXPECT_NEAR(p[0], p[5], 1e-6) << "aspect 1";
    }
    // and the next real size draws as before
    reshape(256, 256);
    EXPECT_FALSE(ofColour(captureFrame(), 0, 0, 1).empty());
}

TEST_F(AppTest, WorldViewShowsAxesOutlinesAndFrustum)
{
    const std::vector<Segment> frame = captureFrame();
    EXPECT_EQ(ofColour(frame, 0, 1, 0).size(), 13u);  // twelve frustum edges and the y axis
    EXPECT_EQ(ofColour(frame, 1, 0, 0).size(), 5u);   // the square's four sides and the x axis
    EXPECT_GE(ofColour(frame, 0, 0, 1).size(), 4u);   // the z axis and the clipped loop
    EXPECT_EQ(scene.position.x, 0.01f);  // the first frame already moved the square
}

TEST_F(AppTest, ClipSpaceViewShowsTheCubeAndNoAxes)
{
    scene.clipSpaceView = 1;
    const std::vector<Segment> frame = captureFrame();
    EXPECT_EQ(ofColour(frame, 0, 1, 0).size(), 12u);  // the cube alone: no y axis
    EXPECT_GE(ofColour(frame, 0, 0, 1).size(), 3u);
    EXPECT_FALSE(ofColour(frame, 1, 0, 0).empty());
    // The cube from -1 to 1 seen from (0, 0, 8): every corner is in the window.
    for (const Segment& s : ofColour(frame, 0, 1, 0)) {
        EXPECT_LT(std::fabs(s.a.x), 0.75);
        EXPECT_LT(std::fabs(s.a.y), 0.75);
    }
}

// The cube is drawn after the z mirror is popped: its near face (the frustum's near rectangle, the
// first loop drawFrustum sends) lies at z = -1, away from the camera at +8, and so deeper than the
// far face.
TEST_F(AppTest, ClipSpaceCubeIsNotMirrored)
{
    scene.clipSpaceView = 1;
    const std::vector<Segment> cube = ofColour(captureFrame(), 0, 1, 0);
    ASSERT_EQ(cube.size(), 12u);
    // Captured z grows towards the camera.
    double nearFaceClosest = -1e9, farFaceFarthest = 1e9;
    for (int i = 0; i < 4; ++i) {
        nearFaceClosest = std::fmax(nearFaceClosest, std::fmax(cube[i].a.z, cube[i].b.z));
        farFaceFarthest = std::fmin(farFaceFarthest, std::fmin(cube[4 + i].a.z, cube[4 + i].b.z));
    }
    EXPECT_LT(nearFaceClosest, farFaceFarthest);
}

TEST_F(AppTest, SquareWhollyOutsideLeavesOnlyTheBlueAxis)
{
    scene.animating = 0;
    scene.position = Vec3{0, 2.0f, -0.5f};  // wholly above the frustum
    const std::vector<Segment> blue = ofColour(captureFrame(), 0, 0, 1);
    ASSERT_EQ(blue.size(), 1u);  // the z axis, which points at the camera
    EXPECT_NEAR(blue[0].a.x, blue[0].b.x, 1e-3);
}

TEST_F(AppTest, CameraTurnsWithTheViewAngles)
{
    scene.animating = 0;
    const std::vector<Segment> straight = ofColour(captureFrame(), 0, 0, 1);
    scene.viewYaw = 90.0f;  // the z axis now points along +x on screen
    const std::vector<Segment> turned = ofColour(captureFrame(), 0, 0, 1);
    ASSERT_FALSE(straight.empty());
    ASSERT_FALSE(turned.empty());
    EXPECT_NEAR(straight[0].b.x, straight[0].a.x, 1e-3);
    EXPECT_GT(turned[0].b.x - turned[0].a.x, 0.05);
}

bool sameFrame(const std::vector<Segment>& a, const std::vector<Segment>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const Segment& s = a[i];
        const Segment& t = b[i];
        if (s.a.x != t.a.x || s.a.y != t.a.y || s.a.z != t.a.z || s.b.x != t.b.x || s.b.y != t.b.y ||
            s.b.z != t.b.z)
            return false;
    }
    return true;
}

// Values the program never produces itself still leave nothing behind: the frame after them
// draws exactly as it would have.
TEST_F(AppTest, FramesAfterDegenerateValuesDrawAsBefore)
{
    scene.animating = 0;
    for (int view : {0, 1}) {
        scene.clipSpaceView = view;
        const std::vector<Segment> good = captureFrame();

        reshape(300, 0);
        display();
        reshape(0, 0);
        display();
        turnView(&scene, 40, -40, 0, 0);
        const Frustum degenerate[] = {
            {-0.25f, 0.25f, -0.25f, 0.25f, 0.0f, 1.0f},    // n = 0
            {-0.25f, -0.25f, -0.25f, 0.25f, 0.25f, 1.0f},  // r = l
            {-0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 1.0f},    // t = b
            {-0.25f, 0.25f, -0.25f, 0.25f, 0.5f, 0.5f},    // f = n
        };
        for (const Frustum& f : degenerate) {
            scene.frustum = f;
            display();
        }
        scene.frustum = SCENE_INITIAL.frustum;
        reshape(256, 256);

        EXPECT_TRUE(std::isfinite(scene.viewYaw) && std::isfinite(scene.viewPitch));
        EXPECT_TRUE(sameFrame(captureFrame(), good)) << "view " << view;
    }
}

TEST_F(AppTest, EachFrameMakesThreeHeapArraysAndReleasesThem)
{
    for (int view : {0, 1}) {
        scene.clipSpaceView = view;
        for (int i = 0; i < 50; ++i) display();  // Mesa's first-use work is not the frame's
        glFinish();
        const long allocated = alloc_count::arrayAllocations();
        const long released = alloc_count::arrayReleases();
        for (int i = 0; i < 100; ++i) display();
        EXPECT_EQ(alloc_count::arrayAllocations() - allocated, 300) << "view " << view;
        EXPECT_EQ(alloc_count::arrayReleases() - released, 300) << "view " << view;
    }
}

TEST_F(AppTest, MotionTurnsWhileTheLeftButtonIsHeld)
{
    ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), 256);
    ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 256);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    motion(228, 100);  // half the width to the right
    EXPECT_FLOAT_EQ(scene.viewYaw, 90.0f);
    motion(228, 36);   // a quarter of the height up
    EXPECT_FLOAT_EQ(scene.viewPitch, -45.0f);
    EXPECT_EQ(scene.pointerX, 228);
    EXPECT_EQ(scene.pointerY, 36);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 228, 36);
    motion(0, 0);
    EXPECT_FLOAT_EQ(scene.viewYaw, 90.0f);
    EXPECT_EQ(scene.pointerX, 0);
}

TEST_F(AppTest, RightOrMiddleDragTurnsNothing)
{
    for (int button : {GLUT_RIGHT_BUTTON, GLUT_MIDDLE_BUTTON}) {
        mouse(button, GLUT_DOWN, 10, 10);
        motion(200, 150);
        mouse(button, GLUT_UP, 200, 150);
        EXPECT_EQ(scene.viewYaw, 0.0f);
        EXPECT_EQ(scene.viewPitch, 0.0f);
        EXPECT_EQ(scene.pointerX, 200);
    }
}

TEST_F(AppTest, LostReleaseInvertsTheDragUntilTheNextRelease)
{
    scene.dragging = 1;  // a release that never arrived
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 50, 50);
    EXPECT_EQ(scene.dragging, 0);
    motion(178, 50);  // held, but turns nothing
    EXPECT_EQ(scene.viewYaw, 0.0f);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 178, 50);
    EXPECT_EQ(scene.dragging, 1);
    motion(50, 50);   // released, and turns
    EXPECT_FLOAT_EQ(scene.viewYaw, -90.0f);
}

}  // namespace
