#include "app/app.h"

#include "draw/opengl.h"

#include <cstdlib>

namespace {

constexpr unsigned char KEY_ESCAPE = 27;
constexpr unsigned char KEY_SPACE = 32;
constexpr unsigned char KEY_BACKSLASH = 92;
constexpr double DEGREES_PER_WINDOW = 180.0;

int toggled(int flag) { return flag == 0 ? 1 : 0; }

}  // namespace

void keyboard(unsigned char key, int, int)
{
    switch (key) {
    case KEY_ESCAPE: std::exit(0);
    case KEY_SPACE: scene.clipSpaceView = toggled(scene.clipSpaceView); break;
    case KEY_BACKSLASH: scene.animating = toggled(scene.animating); break;
    default: break;
    }
}

void mouse(int button, int, int x, int y)
{
    scene.pointerX = x;
    scene.pointerY = y;
    if (button == GLUT_LEFT_BUTTON) scene.dragging = toggled(scene.dragging);
}

void motion(int x, int y)
{
    // Taken in long long so that no pair of pointer positions can overflow the difference.
    const long long dx = static_cast<long long>(x) - scene.pointerX;
    const long long dy = static_cast<long long>(y) - scene.pointerY;
    scene.pointerX = x;
    scene.pointerY = y;
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (scene.dragging) turnView(&scene, dx, dy, width, height);
}

void turnView(SceneState* state, long long dx, long long dy, int width, int height)
{
    if (width <= 0 || height <= 0) return;
    // The sum is taken in double and rounded once, as a float += double does.
    const double yaw = static_cast<double>(dx) / width * DEGREES_PER_WINDOW;
    const double pitch = static_cast<double>(dy) / height * DEGREES_PER_WINDOW;
    state->viewYaw = static_cast<float>(state->viewYaw + yaw);
    state->viewPitch = static_cast<float>(state->viewPitch + pitch);
}
