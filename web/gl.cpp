// The part of OpenGL 1.1 and GLU that the program draws with, over WebGL 1: matrix stacks,
// immediate-mode lines with per-vertex colours, wide lines, and the line-width attribute.
//
// Conventions
//   - Matrices are sixteen floats in column-major order and follow OpenGL's arithmetic: each
//     matrix call multiplies the current matrix on the right, in float; GLU's builders work in
//     double where Mesa's GLU does.
//   - glBegin/glEnd gather object-space vertices; glEnd carries them into clip coordinates by
//     projection x modelview on the CPU, cuts lines to the near plane, and hands them to one
//     shader that only passes them on; WebGL clips to the other planes, divides by w and
//     rasterises as OpenGL would.
//   - WebGL draws lines 1 pixel wide only. A line wider than 1 is drawn as a quad per segment,
//     widened by half the width on each side along the minor axis in window pixels, as OpenGL
//     rasterises wide aliased lines; its depth is the line's.
//   - glClear, glViewport and glEnable are WebGL's own and are not defined here.
#include <GLES2/gl2.h>

#include <cmath>
#include <cstddef>
#include <vector>

using GLdouble = double;

namespace {

constexpr GLenum MATRIX_MODELVIEW = 0x1700;
constexpr GLenum MATRIX_PROJECTION = 0x1701;
constexpr int MAX_STACK_DEPTH = 32;  // OpenGL guarantees at least 32 modelview matrices
constexpr double PI = 3.14159265358979323846;

struct Matrix {
    float m[16];
};

struct Vertex {
    float x, y, z, w;
    float r, g, b;
};

struct FixedFunction {
    std::vector<Matrix> modelview, projection;
    GLenum matrixMode;
    float colour[3];
    float lineWidth;
    std::vector<float> savedLineWidths;
    GLenum primitive;
    bool betweenBeginAndEnd;
    std::vector<Vertex> vertices;    // this primitive's vertices, in object space
    std::vector<Vertex> clipSpace;   // the same after projection x modelview
    std::vector<Vertex> segments;    // lines cut to the near plane: two ends, or a wide line's quad
    GLuint program, buffer;
    GLint positionAttribute, colourAttribute;
};

FixedFunction gl = {{{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}},
                    {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}},
                    MATRIX_MODELVIEW,
                    {1, 1, 1},
                    1.0f,
                    {},
                    GL_LINES,
                    false,
                    {},
                    {},
                    {},
                    0,
                    0,
                    -1,
                    -1};

std::vector<Matrix>* currentStack()
{
    return gl.matrixMode == MATRIX_PROJECTION ? &gl.projection : &gl.modelview;
}

Matrix* current() { return &currentStack()->back(); }

// dst = a x b; dst may be a or b.
Matrix* multiply(Matrix* dst, const Matrix* a, const Matrix* b)
{
    Matrix product;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            product.m[4 * c + r] = a->m[r] * b->m[4 * c] + a->m[4 + r] * b->m[4 * c + 1] +
                                   a->m[8 + r] * b->m[4 * c + 2] + a->m[12 + r] * b->m[4 * c + 3];
    *dst = product;
    return dst;
}

void multiplyCurrent(const Matrix* by) { multiply(current(), current(), by); }

Matrix identity() { return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Vertex* transform(Vertex* dst, const Matrix* m, const Vertex* v)
{
    const float x = v->x, y = v->y, z = v->z, w = v->w;
    dst->x = m->m[0] * x + m->m[4] * y + m->m[8] * z + m->m[12] * w;
    dst->y = m->m[1] * x + m->m[5] * y + m->m[9] * z + m->m[13] * w;
    dst->z = m->m[2] * x + m->m[6] * y + m->m[10] * z + m->m[14] * w;
    dst->w = m->m[3] * x + m->m[7] * y + m->m[11] * z + m->m[15] * w;
    dst->r = v->r;
    dst->g = v->g;
    dst->b = v->b;
    return dst;
}

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The one program: clip coordinates and a colour in, the colour out.
bool ensureProgram()
{
    if (gl.program) return true;
    const GLuint vertex = compile(GL_VERTEX_SHADER,
                                  "attribute vec4 position;\n"
                                  "attribute vec3 colour;\n"
                                  "varying vec3 fragmentColour;\n"
                                  "void main() { gl_Position = position; fragmentColour = colour; }\n");
    const GLuint fragment = compile(GL_FRAGMENT_SHADER,
                                    "precision mediump float;\n"
                                    "varying vec3 fragmentColour;\n"
                                    "void main() { gl_FragColor = vec4(fragmentColour, 1.0); }\n");
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        glDeleteProgram(program);
        return false;
    }
    gl.program = program;
    gl.positionAttribute = glGetAttribLocation(program, "position");
    gl.colourAttribute = glGetAttribLocation(program, "colour");
    glGenBuffers(1, &gl.buffer);
    return true;
}

void submit(GLenum mode, const std::vector<Vertex>& vertices)
{
    if (vertices.empty() || !ensureProgram()) return;
    glUseProgram(gl.program);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STREAM_DRAW);
    glEnableVertexAttribArray(gl.positionAttribute);
    glEnableVertexAttribArray(gl.colourAttribute);
    glVertexAttribPointer(gl.positionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, x)));
    glVertexAttribPointer(gl.colourAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, r)));
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

Vertex between(const Vertex& a, const Vertex& b, float t)
{
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z), a.w + t * (b.w - a.w),
            a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b)};
}

// Cuts the segment to the near side of the near plane (z >= -w), where w > 0 and a division by w
// is safe; returns false when nothing of it is left there.
bool clipToNearPlane(Vertex* a, Vertex* b)
{
    const float da = a->z + a->w, db = b->z + b->w;
    if (da < 0 && db < 0) return false;
    if (da < 0) *a = between(*a, *b, da / (da - db));
    if (db < 0) *b = between(*b, *a, db / (db - da));
    return a->w > 0 && b->w > 0;
}

// Appends one segment, cut to the near side of the near plane: its two ends for GL_LINES, or for
// a wide line the two triangles of a quad, the ends moved by half the width, in pixels, across the
// line's minor axis and taken back into clip coordinates by multiplying with each end's w.
void appendSegment(Vertex a, Vertex b, float width, const GLint viewport[4])
{
    if (!clipToNearPlane(&a, &b)) return;
    if (width <= 1.0f) {
        gl.segments.push_back(a);
        gl.segments.push_back(b);
        return;
    }
    const float pixelsPerUnitX = viewport[2] * 0.5f, pixelsPerUnitY = viewport[3] * 0.5f;
    const float dx = (b.x / b.w - a.x / a.w) * pixelsPerUnitX;
    const float dy = (b.y / b.w - a.y / a.w) * pixelsPerUnitY;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const float half = width * 0.5f;
    const float offsetX = xMajor ? 0.0f : half / pixelsPerUnitX;
    const float offsetY = xMajor ? half / pixelsPerUnitY : 0.0f;
    const auto moved = [&](const Vertex& v, float side) {
        Vertex m = v;
        m.x += side * offsetX * v.w;
        m.y += side * offsetY * v.w;
        return m;
    };
    const Vertex a0 = moved(a, -1), a1 = moved(a, 1), b0 = moved(b, -1), b1 = moved(b, 1);
    for (const Vertex& v : {a0, b0, b1, a0, b1, a1}) gl.segments.push_back(v);
}

// Lines are cut to the near plane here rather than left to WebGL: a line to a point behind the eye
// (w < 0 after the camera, as the clip-space view's projected square can have) must be drawn as
// OpenGL clips it, and WebGL on SwiftShader was seen to draw such lines differently.
void drawLines(GLenum mode, float width)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::vector<Vertex>& v = gl.clipSpace;
    const size_t n = v.size();
    gl.segments.clear();
    if (mode == GL_LINES) {
        for (size_t i = 0; i + 1 < n; i += 2) appendSegment(v[i], v[i + 1], width, viewport);
    } else {
        for (size_t i = 0; i + 1 < n; ++i) appendSegment(v[i], v[i + 1], width, viewport);
        if (mode == GL_LINE_LOOP && n > 2) appendSegment(v[n - 1], v[0], width, viewport);
    }
    submit(width > 1.0f ? GL_TRIANGLES : GL_LINES, gl.segments);
}

bool isLine(GLenum mode) { return mode == GL_LINES || mode == GL_LINE_LOOP || mode == GL_LINE_STRIP; }

}  // namespace

extern "C" {

void glMatrixMode(GLenum mode)
{
    if (mode == MATRIX_MODELVIEW || mode == MATRIX_PROJECTION) gl.matrixMode = mode;
}

void glLoadIdentity() { *current() = identity(); }

void glPushMatrix()
{
    std::vector<Matrix>* stack = currentStack();
    if (stack->size() < MAX_STACK_DEPTH) stack->push_back(stack->back());
}

void glPopMatrix()
{
    std::vector<Matrix>* stack = currentStack();
    if (stack->size() > 1) stack->pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    Matrix by = identity();
    by.m[12] = x, by.m[13] = y, by.m[14] = z;
    multiplyCurrent(&by);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    Matrix by = identity();
    by.m[0] = x, by.m[5] = y, by.m[10] = z;
    multiplyCurrent(&by);
}

// As Mesa builds it: the sine and cosine of the angle in double, rounded to float; for an axis
// along x, y or z the elementary matrix (a negative axis turning the other way), and otherwise the
// normalised axis's general form.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const float axis[3] = {x, y, z};
    int along = -1;  // the axis's one non-zero component, or 3 when it has more than one
    for (int k = 0; k < 3; ++k)
        if (axis[k] != 0) along = along == -1 ? k : 3;
    const float s = static_cast<float>(std::sin(angle * PI / 180.0));
    const float c = static_cast<float>(std::cos(angle * PI / 180.0));
    Matrix by = identity();
    float* m = by.m;
    if (along >= 0 && along < 3) {
        const int i = (along + 1) % 3, j = (along + 2) % 3;  // the plane the turn moves in
        const float signedSine = axis[along] < 0 ? -s : s;
        m[5 * i] = c, m[5 * j] = c, m[4 * i + j] = signedSine, m[4 * j + i] = -signedSine;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length <= 1.0e-4f) return;
        x /= length, y /= length, z /= length;
        const float one = 1.0f - c;
        m[0] = one * x * x + c, m[4] = one * x * y - z * s, m[8] = one * z * x + y * s;
        m[1] = one * x * y + z * s, m[5] = one * y * y + c, m[9] = one * y * z - x * s;
        m[2] = one * z * x - y * s, m[6] = one * y * z + x * s, m[10] = one * z * z + c;
    }
    multiplyCurrent(&by);
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    if (zNear <= 0 || zFar <= 0 || left == right || bottom == top || zNear == zFar) return;  // GL_INVALID_VALUE
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float b = static_cast<float>(bottom), t = static_cast<float>(top);
    const float n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    Matrix by = {};
    by.m[0] = (2.0f * n) / (r - l);
    by.m[5] = (2.0f * n) / (t - b);
    by.m[8] = (r + l) / (r - l);
    by.m[9] = (t + b) / (t - b);
    by.m[10] = -(f + n) / (f - n);
    by.m[11] = -1.0f;
    by.m[14] = -(2.0f * f * n) / (f - n);
    multiplyCurrent(&by);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2 * PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    Matrix by = {};
    by.m[0] = static_cast<float>(cotangent / aspect);
    by.m[5] = static_cast<float>(cotangent);
    by.m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
    by.m[11] = -1.0f;
    by.m[14] = static_cast<float>(-2 * zNear * zFar / deltaZ);
    multiplyCurrent(&by);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY, GLdouble centreZ,
               GLdouble upX, GLdouble upY, GLdouble upZ)
{
    const auto normalise = [](float v[3]) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length == 0) return;
        v[0] /= length, v[1] /= length, v[2] /= length;
    };
    const auto cross = [](const float a[3], const float b[3], float out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3], trueUp[3];
    normalise(forward);
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, trueUp);

    Matrix by = identity();
    for (int i = 0; i < 3; ++i) {
        by.m[4 * i + 0] = side[i];
        by.m[4 * i + 1] = trueUp[i];
        by.m[4 * i + 2] = -forward[i];
    }
    multiplyCurrent(&by);
    glTranslatef(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}

void glPushAttrib(GLbitfield) { gl.savedLineWidths.push_back(gl.lineWidth); }

void glPopAttrib()
{
    if (gl.savedLineWidths.empty()) return;
    gl.lineWidth = gl.savedLineWidths.back();
    gl.savedLineWidths.pop_back();
}

void glLineWidth(GLfloat width)
{
    if (width > 0) gl.lineWidth = width;
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    gl.colour[0] = r;
    gl.colour[1] = g;
    gl.colour[2] = b;
}

void glBegin(GLenum mode)
{
    if (gl.betweenBeginAndEnd) return;
    gl.betweenBeginAndEnd = true;
    gl.primitive = mode;
    gl.vertices.clear();
}

void glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w)
{
    if (gl.betweenBeginAndEnd) gl.vertices.push_back({x, y, z, w, gl.colour[0], gl.colour[1], gl.colour[2]});
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { glVertex4f(x, y, z, 1.0f); }

void glVertex4fv(const GLfloat* v) { glVertex4f(v[0], v[1], v[2], v[3]); }

void glEnd()
{
    if (!gl.betweenBeginAndEnd) return;
    gl.betweenBeginAndEnd = false;
    Matrix mvp;
    multiply(&mvp, &gl.projection.back(), &gl.modelview.back());
    gl.clipSpace.resize(gl.vertices.size());
    for (size_t i = 0; i < gl.vertices.size(); ++i) transform(&gl.clipSpace[i], &mvp, &gl.vertices[i]);

    if (isLine(gl.primitive))
        drawLines(gl.primitive, gl.lineWidth);
    else
        submit(gl.primitive, gl.clipSpace);
}

}  // extern "C"
