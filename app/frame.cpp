#include "app/app.h"

#include "draw/draw.h"

#include "draw/opengl.h"

namespace {

void drawWorldLayers()
{
    drawAxes();
    glColor3f(1, 0, 0);
    drawOutline(scene.worldVertices, scene.vertexCount);
    glColor3f(0, 0, 1);
    drawClippedOutline(scene.worldVertices, scene.vertexCount, 1);
}

// The outlines are drawn under a z mirror; the cube that follows is not, so its near face stays at
// z = -1.
void drawClipSpaceLayers()
{
    const Frustum& f = scene.frustum;
    glPushMatrix();
    glScalef(1, 1, -1);
    glColor3f(1, 0, 0);
    drawProjectedOutline(scene.worldVertices, scene.vertexCount);
    glColor3f(0, 0, 1);
    drawClippedOutline(scene.worldVertices, scene.vertexCount, 0);
    glPopMatrix();
    glFrustum(f.left, f.right, f.bottom, f.top, f.near, f.far);
}

}  // namespace

void display()
{
    animateScene(scene.animating);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 8, 0, 0, 0, 0, 1, 0);
    glRotatef(scene.viewPitch, 1, 0, 0);
    glRotatef(scene.viewYaw, 0, 1, 0);

    if (scene.clipSpaceView)
        drawClipSpaceLayers();
    else
        drawWorldLayers();

    const Frustum& f = scene.frustum;
    glColor3f(0, 1, 0);
    drawFrustum(f.left, f.right, f.bottom, f.top, f.near, f.far);
    glutSwapBuffers();
}

void reshape(int width, int height)
{
    const bool hasArea = width > 0 && height > 0;
    const double aspect = hasArea ? static_cast<double>(width) / static_cast<double>(height) : 1.0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, aspect, 0.1, 100.0);
}

void idle() { glutPostRedisplay(); }
