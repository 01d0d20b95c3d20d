// Keyboard and mouse handlers, and the drag arithmetic, on the scene record alone.
#include "app/app.h"

#include "draw/opengl.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { scene = SCENE_INITIAL; }
};

bool unchanged(const SceneState& before) { return std::memcmp(&before, &scene, sizeof scene) == 0; }

// Runs in a child process that ends with status 42 once every key has been pressed and checked: a
// key that ended the process, with any status, would end it before that.
TEST_F(InputTest, EveryKeyButEscSpaceAndBackslashIsIgnored)
{
    constexpr int ALL_KEYS_PRESSED = 42;
    EXPECT_EXIT(
        {
            int wrong = 0;
            for (int code = 0; code < 256; ++code) {
                if (code == 27) continue;
                scene = SCENE_INITIAL;
                SceneState expected = SCENE_INITIAL;
                if (code == ' ') expected.clipSpaceView = 1;
                if (code == '\\') expected.animating = 0;
                keyboard(static_cast<unsigned char>(code), 100, 100);
                if (!unchanged(expected)) {
                    std::fprintf(stderr, "key code %d changed the scene\n", code);
                    ++wrong;
                }
            }
            std::exit(wrong == 0 ? ALL_KEYS_PRESSED : 1);
        },
        ::testing::ExitedWithCode(ALL_KEYS_PRESSED), "");
}

TEST_F(InputTest, SpaceAndBackslashToggleBackAfterTwoPresses)
{
    const SceneState before = scene;
    keyboard(' ', 0, 0);
    keyboard('\\', 0, 0);
    EXPECT_EQ(scene.clipSpaceView, 1);
    EXPECT_EQ(scene.animating, 0);
    keyboard(' ', 0, 0);
    keyboard('\\', 0, 0);
    EXPECT_TRUE(unchanged(before));
}

TEST_F(InputTest, EscEndsTheProcessWithStatusZero)
{
    EXPECT_EXIT(keyboard(27, 5, 5), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputTest, LeftButtonFlipsDraggingOnPressAndReleaseAlike)
{
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    EXPECT_EQ(scene.dragging, 1);
    EXPECT_EQ(scene.pointerX, 10);
    EXPECT_EQ(scene.pointerY, 20);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 30, 40);
    EXPECT_EQ(scene.dragging, 0);
    EXPECT_EQ(scene.pointerX, 30);
    EXPECT_EQ(scene.pointerY, 40);
    // The state argument is not consulted: two presses in a row flip twice.
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(scene.dragging, 0);
}

TEST_F(InputTest, OtherButtonsOnlyMoveThePointer)
{
    for (int button : {GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON, 3, 4}) {
        for (int state : {GLUT_DOWN, GLUT_UP}) {
            mouse(button, state, button * 7, state + 3);
            EXPECT_EQ(scene.dragging, 0);
            EXPECT_EQ(scene.pointerX, button * 7);
            EXPECT_EQ(scene.pointerY, state + 3);
        }
    }
}

TEST_F(InputTest, DragTurns180DegreesPerWindow)
{
    struct Case {
        int dx, dy, width, height;
        float yaw, pitch;
    };
    const Case cases[] = {
        {128, 0, 256, 256, 90.0f, 0.0f},    // half the width to the right
        {0, -64, 256, 256, 0.0f, -45.0f},   // a quarter of the height upwards
        {300, 150, 600, 300, 90.0f, 90.0f}, // each axis against its own size
        {-256, 256, 256, 256, -180.0f, 180.0f},
        {7, 7, 0, 256, 0.0f, 0.0f},         // a window with no width turns nothing
        {7, 7, 256, 0, 0.0f, 0.0f},         // nor one with no height
        {7, 7, 0, 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SceneState s = SCENE_INITIAL;
        turnView(&s, c.dx, c.dy, c.width, c.height);
        EXPECT_FLOAT_EQ(s.viewYaw, c.yaw) << c.dx << ", " << c.dy << " in " << c.width << " x " << c.height;
        EXPECT_FLOAT_EQ(s.viewPitch, c.pitch) << c.dx << ", " << c.dy << " in " << c.width << " x " << c.height;
    }
}

TEST_F(InputTest, AnglesAreNeitherWrappedNorClamped)
{
    SceneState s = SCENE_INITIAL;
    for (int i = 0; i < 5; ++i) turnView(&s, 256, -256, 256, 256);
    EXPECT_FLOAT_EQ(s.viewYaw, 900.0f);
    EXPECT_FLOAT_EQ(s.viewPitch, -900.0f);
}

}  // namespace
