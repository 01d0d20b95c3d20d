// The drawing routines against real OpenGL: where their lines land, read back through feedback
// mode, and what they leave behind in the GL state and the framebuffer.
#include "draw/draw.h"

#include "alloc_count.h"
#include "feedback.h"
#include "scene/scene.h"

#include "draw/opengl.h"
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double distance(const Point3& p, const Point3& q)
{
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
}

double distanceToSegment(const Point3& p, const Segment& s)
{
    const Point3 d{s.b.x - s.a.x, s.b.y - s.a.y, s.b.z - s.a.z};
    const double len2 = d.x * d.x + d.y * d.y + d.z * d.z;
    double t = len2 > 0 ? ((p.x - s.a.x) * d.x + (p.y - s.a.y) * d.y + (p.z - s.a.z) * d.z) / len2 : 0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return distance(p, {s.a.x + t * d.x, s.a.y + t * d.y, s.a.z + t * d.z});
}

// A boundary face as a signed distance: inside where it is >= 0.
struct Face {
    double a, b, c, d;
    double at(const Point3& p) const { return a * p.x + b * p.y + c * p.z + d; }
};

Face normalised(double a, double b, double c, double d)
{
    const double n = std::sqrt(a * a + b * b + c * c);
    return {a / n, b / n, c / n, d / n};
}

// The scene's frustum in world space, and the cube from -1 to 1 it becomes in clip space.
std::vector<Face> worldFrustumFaces()
{
    const Frustum& f = SCENE_INITIAL.frustum;
    return {normalised(f.near, 0, f.left, 0),   normalised(-f.near, 0, -f.right, 0),
            normalised(0, f.near, f.bottom, 0), normalised(0, -f.near, -f.top, 0),
            normalised(0, 0, -1, -f.near),      normalised(0, 0, 1, f.far)};
}

std::vector<Face> cubeFaces()
{
    return {{1, 0, 0, 1}, {-1, 0, 0, 1}, {0, 1, 0, 1}, {0, -1, 0, 1}, {0, 0, 1, 1}, {0, 0, -1, 1}};
}

// Every blue segment runs along one red segment or within one face, and no blue point lies
// outside the faces.
::testing::AssertionResult onOutlineOrFace(const std::vector<Segment>& blue,
                                           const std::vector<Segment>& red,
                                           const std::vector<Face>& faces, double tolerance)
{
    for (const Segment& s : blue) {
        bool placed = false;
        for (const Segment& r : red)
            placed = placed || (distanceToSegment(s.a, r) < tolerance && distanceToSegment(s.b, r) < tolerance);
        for (const Face& f : faces) {
            placed = placed || (std::fabs(f.at(s.a)) < tolerance && std::fabs(f.at(s.b)) < tolerance);
            if (f.at(s.a) < -tolerance || f.at(s.b) < -tolerance)
                return ::testing::AssertionFailure() << "blue point outside a face: (" << s.a.x << ", "
                                                     << s.a.y << ", " << s.a.z << ")";
        }
        if (!placed)
            return ::testing::AssertionFailure() << "blue segment from (" << s.a.x << ", " << s.a.y << ", "
                                                 << s.a.z << ") to (" << s.b.x << ", " << s.b.y << ", "
                                                 << s.b.z << ") is on neither the outline nor a face";
    }
    return ::testing::AssertionSuccess();
}

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = SCENE_INITIAL;
        glDisable(GL_DEPTH_TEST);
    }

    // Poses of the tumbling square, from the first frame to well past the first bounces.
    static std::vector<int> poses() { return {1, 20, 45, 71, 100, 133, 170, 222, 260, 301, 350, 411}; }

    static void showPose(int frames)
    {
        scene = SCENE_INITIAL;
        for (int i = 0; i < frames; ++i) animateScene(1);
    }
};

TEST_F(DrawTest, FrustumAfterGlFrustumLandsOnTheCubeCorners)
{
    const Frustum& f = scene.frustum;
    useOrthoCube(2.0);
    glFrustum(f.left, f.right, f.bottom, f.top, f.near, f.far);
    const std::vector<Segment> lines =
        captureSegments(2.0, [&] { drawFrustum(f.left, f.right, f.bottom, f.top, f.near, f.far); });
    ASSERT_EQ(lines.size(), 12u);
    for (size_t i = 0; i < lines.size(); ++i) {
        for (const Point3& p : {lines[i].a, lines[i].b}) {
            EXPECT_NEAR(std::fabs(p.x), 1.0, 1e-4) << "segment " << i;
            EXPECT_NEAR(std::fabs(p.y), 1.0, 1e-4) << "segment " << i;
            EXPECT_NEAR(std::fabs(p.z), 1.0, 1e-4) << "segment " << i;
        }
        if (i < 8) {
            // The near rectangle comes first, at z = -1, then the far one at z = 1.
            EXPECT_NEAR(lines[i].a.z, i < 4 ? -1.0 : 1.0, 1e-4) << "rectangle segment " << i;
        } else {
            EXPECT_NEAR(lines[i].b.z - lines[i].a.z, 2.0, 1e-4) << "side edge " << i;
        }
    }
}

TEST_F(DrawTest, FrustumSpansTheNearAndFarRectangles)
{
    const Frustum& f = scene.frustum;
    useOrthoCube(2.0);
    const std::vector<Segment> lines =
        captureSegments(2.0, [&] { drawFrustum(f.left, f.right, f.bottom, f.top, f.near, f.far); });
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_NEAR(lines[0].a.x, 0.25, 1e-5);   // near rectangle starts at (r, t, -n)
    EXPECT_NEAR(lines[0].a.y, 0.25, 1e-5);
    EXPECT_NEAR(lines[0].a.z, -0.25, 1e-5);
    EXPECT_NEAR(lines[4].a.x, 1.0, 1e-5);    // far rectangle at (k r, k t, -f)
    EXPECT_NEAR(lines[4].a.z, -1.0, 1e-5);
    EXPECT_NEAR(lines[6].a.x, -1.0, 1e-5);
    EXPECT_NEAR(lines[6].a.y, -1.0, 1e-5);
}

TEST_F(DrawTest, AxesAreUnitSegmentsInTheirColoursAndLeaveTheMatrixAlone)
{
    useOrthoCube(2.0);
    glRotatef(20.0f, 1, 2, 3);
    glTranslatef(0.1f, -0.2f, 0.3f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glLoadIdentity();
    const std::vector<Segment> axes = captureSegments(2.0, [] { drawAxes(); });
    glLoadMatrixf(before);
    drawAxes();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << "element " << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    ASSERT_EQ(axes.size(), 3u);
    const double ends[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(distance(axes[k].a, {0, 0, 0}), 0.0, 1e-5) << "axis " << k;
        EXPECT_NEAR(distance(axes[k].b, {ends[k][0], ends[k][1], ends[k][2]}), 0.0, 1e-5) << "axis " << k;
        for (int c = 0; c < 3; ++c) EXPECT_EQ(axes[k].colour[c], c == k ? 1.0f : 0.0f) << "axis " << k;
    }
}

TEST_F(DrawTest, WorldViewBlueLoopLiesOnTheRedOutlineOrOnAFrustumFace)
{
    int cut = 0;
    for (int frames : poses()) {
        showPose(frames);
        useOrthoCube(3.0);
        const auto red = captureSegments(3.0, [] { drawOutline(scene.worldVertices, scene.vertexCount); });
        const auto blue =
            captureSegments(3.0, [] { drawClippedOutline(scene.worldVertices, scene.vertexCount, 1); });
        ASSERT_EQ(red.size(), 4u) << "frame " << frames;
        EXPECT_TRUE(onOutlineOrFace(blue, red, worldFrustumFaces(), 2e-4)) << "frame " << frames;
        if (blue.size() >= 3) ++cut;
    }
    EXPECT_GE(cut, 8);
}

TEST_F(DrawTest, ClipSpaceBlueVerticesStayInTheCube)
{
    int cut = 0;
    for (int frames : poses()) {
        showPose(frames);
        useOrthoCube(2.0);
        const auto red =
            captureSegments(2.0, [] { drawProjectedOutline(scene.worldVertices, scene.vertexCount); });
        const auto blue =
            captureSegments(2.0, [] { drawClippedOutline(scene.worldVertices, scene.vertexCount, 0); });
        EXPECT_TRUE(onOutlineOrFace(blue, red, cubeFaces(), 2e-4)) << "frame " << frames;
        if (blue.size() >= 3) ++cut;
    }
    EXPECT_GE(cut, 8);
}

TEST_F(DrawTest, ProjectedOutlineIsTheSquareDividedByW)
{
    showPose(1);
    useOrthoCube(2.0);
    const auto red = captureSegments(2.0, [] { drawProjectedOutline(scene.worldVertices, scene.vertexCount); });
    ASSERT_EQ(red.size(), 4u);
    // The scene's projection sends a world point (x, y, z) to (x, y, ...) / -z: x' = -x / z.
    for (int i = 0; i < 4; ++i) {
        const Vec4& v = scene.worldVertices[i];
        EXPECT_NEAR(red[i].a.x, -v.x / v.z, 1e-4) << "vertex " << i;
        EXPECT_NEAR(red[i].a.y, -v.y / v.z, 1e-4) << "vertex " << i;
    }
}

TEST_F(DrawTest, SquareWhollyOutsideDrawsNoBlue)
{
    const Vec4 outside[4] = {{9, 1, -0.5f, 1}, {11, 1, -0.5f, 1}, {11, -1, -0.5f, 1}, {9, -1, -0.5f, 1}};
    useOrthoCube(12.0);
    for (int mapBack : {0, 1}) {
        const auto blue = captureSegments(12.0, [&] { drawClippedOutline(outside, 4, mapBack); });
        EXPECT_TRUE(blue.empty()) << "mapBack " << mapBack;
    }
    EXPECT_EQ(captureSegments(12.0, [&] { drawOutline(outside, 4); }).size(), 4u);
}

TEST_F(DrawTest, ClippedOutlineMakesThreeArraysAndReleasesThem)
{
    const Vec4 outside[4] = {{9, 1, -0.5f, 1}, {11, 1, -0.5f, 1}, {11, -1, -0.5f, 1}, {9, -1, -0.5f, 1}};
    showPose(1);
    useOrthoCube(2.0);
    for (const Vec4* vertices : {static_cast<const Vec4*>(scene.worldVertices), outside}) {
        drawClippedOutline(vertices, 4, 1);  // Mesa's own first-use work is not counted
        glFinish();
        const long allocated = alloc_count::arrayAllocations();
        const long released = alloc_count::arrayReleases();
        drawClippedOutline(vertices, 4, 1);
        EXPECT_EQ(alloc_count::arrayAllocations() - allocated, 3);
        EXPECT_EQ(alloc_count::arrayReleases() - released, 3);
    }
}

// Counts the pixels of a colour channel above half intensity in one column of the back buffer.
int litPixelsInColumn(int column, int channel)
{
    std::vector<GLubyte> pixels(256 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(column, 0, 1, 256, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (int y = 0; y < 256; ++y) lit += pixels[static_cast<size_t>(y) * 4 + channel] > 127;
    return lit;
}

TEST_F(DrawTest, ClippedOutlineIsThreePixelsWideAndLaterLinesOnePixel)
{
    // A small square wholly inside the frustum: its clipped outline is the square itself.
    const Vec4 inside[4] = {{0.1f, 0.1f, -0.5f, 1}, {-0.1f, 0.1f, -0.5f, 1}, {-0.1f, -0.1f, -0.5f, 1},
                            {0.1f, -0.1f, -0.5f, 1}};
    useOrthoCube(1.0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 1);
    drawClippedOutline(inside, 4, 0);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);

    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex2f(-0.9f, -0.8f);
    glVertex2f(0.9f, -0.8f);
    glEnd();

    EXPECT_EQ(litPixelsInColumn(128, 2), 6);  // the top and bottom edges of the blue square
    EXPECT_EQ(litPixelsInColumn(128, 0), 1);  // the red line drawn afterwards
}

}  // namespace
