#include "draw/draw.h"

#include "clip/clip.h"
#include "scene/scene.h"

#include "draw/opengl.h"

namespace {

Mat4* sceneFrustumMatrix(Mat4* dst)
{
    const Frustum& f = scene.frustum;
    return matFrustum(dst, f.left, f.right, f.bottom, f.top, f.near, f.far);
}

Mat4* sceneFrustumInverse(Mat4* dst)
{
    const Frustum& f = scene.frustum;
    return matFrustumInverse(dst, f.left, f.right, f.bottom, f.top, f.near, f.far);
}

void sendLoop(const Vec4* vertices, int count)
{
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < count; ++i) glVertex4fv(&vertices[i].x);
    glEnd();
}

}  // namespace

void drawAxes()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 1, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 1);
    glEnd();
    glPopMatrix();
}

void drawFrustum(float l, float r, float b, float t, float n, float f)
{
    const float k = f / n;
    glBegin(GL_LINE_LOOP);
    glVertex3f(r, t, -n);
    glVertex3f(l, t, -n);
    glVertex3f(l, b, -n);
    glVertex3f(r, b, -n);
    glEnd();
    glBegin(GL_LINE_LOOP);
    glVertex3f(k * r, k * t, -f);
    glVertex3f(k * l, k * t, -f);
    glVertex3f(k * l, k * b, -f);
    glVertex3f(k * r, k * b, -f);
    glEnd();
    glBegin(GL_LINES);
    glVertex3f(r, t, -n);
    glVertex3f(k * r, k * t, -f);
    glVertex3f(l, t, -n);
    glVertex3f(k * l, k * t, -f);
    glVertex3f(l, b, -n);
    glVertex3f(k * l, k * b, -f);
    glVertex3f(r, b, -n);
    glVertex3f(k * r, k * b, -f);
    glEnd();
}

void drawOutline(const Vec4* vertices, int count) { sendLoop(vertices, count); }

void drawProjectedOutline(const Vec4* vertices, int count)
{
    Mat4 projection;
    sceneFrustumMatrix(&projection);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < count; ++i) {
        Vec4 c;
        glVertex4fv(&matTransform(&c, &projection, &vertices[i])->x);
    }
    glEnd();
}

void drawClippedOutline(const Vec4* vertices, int count, int mapBack)
{
    if (count < 0) count = 0;
    Mat4 projection;
    sceneFrustumMatrix(&projection);
    Vec4* clipIn = new Vec4[count];
    for (int i = 0; i < count; ++i) matTransform(&clipIn[i], &projection, &vertices[i]);

    Vec4* clipped = nullptr;
    const int m = clipPolygon(clipIn, count, &clipped);
    if (mapBack) {
        Mat4 inverse;
        sceneFrustumInverse(&inverse);
        for (int i = 0; i < m; ++i) matTransform(&clipped[i], &inverse, &clipped[i]);
    }

    glPushAttrib(GL_LINE_BIT);
    glLineWidth(3.0f);
    sendLoop(clipped, m);
    glPopAttrib();

    delete[] clipIn;
    delete[] clipped;
}
