#include "feedback.h"

#include "draw/opengl.h"

#include <cmath>

namespace {

constexpr int VIEWPORT = 256;

Point3 toCube(const GLfloat* v, double halfSide)
{
    // Window x = (ndc + 1) * 128, depth = (ndc_z + 1) / 2, and the ortho cube has ndc_z = -z / s.
    return {(v[0] / (VIEWPORT / 2.0) - 1.0) * halfSide, (v[1] / (VIEWPORT / 2.0) - 1.0) * halfSide,
            -(2.0 * v[2] - 1.0) * halfSide};
}

}  // namespace

void useOrthoCube(double halfSide)
{
    glViewport(0, 0, VIEWPORT, VIEWPORT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-halfSide, halfSide, -halfSide, halfSide, -halfSide, halfSide);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::vector<Segment> captureSegments(double halfSide, const std::function<void()>& draw)
{
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);

    // In RGBA mode each GL_3D_COLOR vertex is x, y, z and four colour values.
    const int vertexSize = 7;
    std::vector<Segment> segments;
    for (int i = 0; i < used;) {
        const auto token = static_cast<GLenum>(buffer[i++]);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            const GLfloat* a = &buffer[i];
            const GLfloat* b = &buffer[i + vertexSize];
            segments.push_back({toCube(a, halfSide), toCube(b, halfSide), {a[3], a[4], a[5]}});
            i += 2 * vertexSize;
        } else if (token == GL_POLYGON_TOKEN) {
            i += 1 + static_cast<int>(buffer[i]) * vertexSize;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += vertexSize;  // point, bitmap and pixel tokens carry one vertex
        }
    }
    return segments;
}

std::vector<Segment> ofColour(const std::vector<Segment>& all, float r, float g, float b)
{
    std::vector<Segment> picked;
    for (const Segment& s : all)
        if (std::fabs(s.colour[0] - r) < 1e-3f && std::fabs(s.colour[1] - g) < 1e-3f &&
            std::fabs(s.colour[2] - b) < 1e-3f)
            picked.push_back(s);
    return picked;
}
