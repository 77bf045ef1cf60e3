// render_gl_harness.h -- a real GLUT main window with its status strip for
// the rendering tests, pixel read-back, feedback capture and plain textures.
#pragma once

#include <GL/freeglut.h>  // Required for: glutInit(), glutCreateWindow(), glutCreateSubWindow()

#include <unistd.h>       // Required for: usleep()

#include <cmath>
#include <functional>
#include <vector>

#include "app/state.h"
#include "render/colour_table.h"
#include "render/world.h"

namespace render_test {

constexpr int main_width = 700;
constexpr int main_height = 500;

// Display callback for the tests' windows: they draw only when a test says so.
inline void ignore_redisplay() {}

// Counts the first exposures of the two windows while they are mapped.
inline int exposures_seen = 0;
inline void count_exposure() { ++exposures_seen; }

// Runs GLUT's event loop until both new windows have been mapped and exposed,
// so that a test run alone in its process starts from the same quiet state
// as one that follows other tests (at most about two seconds).
inline void wait_until_windows_exposed()
{
    for (int i = 0; i < 200 && exposures_seen < 2; ++i) {
        glutMainLoopEvent();
        usleep(10000);
    }
    for (int i = 0; i < 5; ++i)
        glutMainLoopEvent();
    glutSetWindow(window_state.main_window);
    glutDisplayFunc(ignore_redisplay);
    glutSetWindow(window_state.status_window);
    glutDisplayFunc(ignore_redisplay);
}

// Opens the 700 x 500 "Vevuv" window and its 690 x 50 strip, once per process,
// as the program does at start-up, and fills the colour table. Leaves the
// main window current.
inline void open_windows()
{
    static bool opened = false;
    if (!opened) {
        opened = true;
        static char program[] = "render_test";
        static char* argv[] = {program, nullptr};
        int argc = 1;
        glutInitWindowSize(main_width, main_height);
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        window_state.main_window = glutCreateWindow("Vevuv");
        glutDisplayFunc(count_exposure);
        window_state.status_window = glutCreateSubWindow(window_state.main_window, status_strip_x, status_strip_y,
                                                          status_strip_width(main_width),
                                                          status_strip_height(main_height));
        glutDisplayFunc(count_exposure);
        define_colours();
        wait_until_windows_exposed();
        // The GL state the world set-up leaves before the first frame
        // (clear colour, depth test, lighting), as at start-up.
        glutSetWindow(window_state.main_window);
        set_up_lighting();
    }
    window_state.width = main_width;
    window_state.height = main_height;
    glutSetWindow(window_state.main_window);
}

// An RGB picture read back from the current window, row 0 at the bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const { return &rgb[3 * (size_t(y) * width + x)]; }
    float red(int x, int y) const { return at(x, y)[0] / 255.0f; }
    float green(int x, int y) const { return at(x, y)[1] / 255.0f; }
    float blue(int x, int y) const { return at(x, y)[2] / 255.0f; }
    // True when pixel (x, y) is within tolerance of the colour (0..1 components).
    bool is(int x, int y, float r, float g, float b, float tolerance = 0.02f) const
    {
        return std::fabs(red(x, y) - r) <= tolerance && std::fabs(green(x, y) - g) <= tolerance &&
               std::fabs(blue(x, y) - b) <= tolerance;
    }
};

// Reads the back buffer of the current window once drawing has finished.
// Mesa's software buffers swap by copying, so the back buffer still holds the
// frame after a swap as well.
inline Picture read_picture()
{
    glFinish();
    Picture picture;
    picture.width = glutGet(GLUT_WINDOW_WIDTH);
    picture.height = glutGet(GLUT_WINDOW_HEIGHT);
    picture.rgb.resize(size_t(picture.width) * picture.height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
}

// An orthographic view box in world units; feedback window coordinates are
// mapped back through it, so the captured vertices come out in world units.
struct ViewBox {
    double left, right, bottom, top, near_plane, far_plane;
};

// One vertex as the feedback buffer reports it, mapped back to world units.
struct CapturedVertex {
    float x, y, z;   // world units
    float s, t;      // texture coordinates
};

// Polygons in the order GL received them (quads may arrive as triangles).
using CapturedPolygon = std::vector<CapturedVertex>;

// Runs draw in feedback mode under an orthographic view of box (identity
// model-view, 700 x 500 viewport) and returns the polygons it produced.
inline std::vector<CapturedPolygon> capture_polygons(const ViewBox& box, const std::function<void()>& draw)
{
    constexpr int buffer_size = 1 << 20;
    constexpr int floats_per_vertex = 3 + 4 + 4;  // window x y z, RGBA, s t r q
    static std::vector<GLfloat> buffer(buffer_size);
    glViewport(0, 0, main_width, main_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(box.left, box.right, box.bottom, box.top, box.near_plane, box.far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(buffer_size, GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    std::vector<CapturedPolygon> polygons;
    if (used < 0)
        return polygons;  // overflow: the caller's expectations fail
    auto vertex_at = [&](int i) {
        const GLfloat* f = &buffer[i];
        CapturedVertex v;
        v.x = float(box.left + f[0] / main_width * (box.right - box.left));
        v.y = float(box.bottom + f[1] / main_height * (box.top - box.bottom));
        v.z = float(-(box.near_plane + f[2] * (box.far_plane - box.near_plane)));
        v.s = f[7];
        v.t = f[8];
        return v;
    };
    for (int i = 0; i < used;) {
        const GLenum token = GLenum(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const int n = int(buffer[i++]);
            CapturedPolygon polygon;
            for (int k = 0; k < n; ++k, i += floats_per_vertex)
                polygon.push_back(vertex_at(i));
            polygons.push_back(polygon);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * floats_per_vertex;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += floats_per_vertex;  // point, bitmap, pixel tokens: one vertex
        }
    }
    return polygons;
}

// Number of triangles the polygons stand for: a box face is two.
inline int triangle_count(const CapturedPolygon& polygon) { return int(polygon.size()) - 2; }

// Extent of a run of captured polygons, world units.
struct Extent {
    float min[3] = {1e30f, 1e30f, 1e30f};
    float max[3] = {-1e30f, -1e30f, -1e30f};
    void add(const CapturedVertex& v)
    {
        const float p[3] = {v.x, v.y, v.z};
        for (int a = 0; a < 3; ++a) {
            min[a] = std::fmin(min[a], p[a]);
            max[a] = std::fmax(max[a], p[a]);
        }
    }
};

// Splits captured polygons into consecutive groups of the given number of
// triangles each (12 for a textured box) and returns each group's extent.
inline std::vector<Extent> group_extents(const std::vector<CapturedPolygon>& polygons, int triangles_per_group)
{
    std::vector<Extent> groups;
    int triangles = 0;
    for (const CapturedPolygon& polygon : polygons) {
        if (triangles % triangles_per_group == 0)
            groups.emplace_back();
        for (const CapturedVertex& v : polygon)
            groups.back().add(v);
        triangles += triangle_count(polygon);
    }
    return groups;
}

// Makes texture object name a one-colour 2 x 2 RGBA image, complete without mipmaps.
inline void make_plain_texture(GLuint name, unsigned char r, unsigned char g, unsigned char b)
{
    const unsigned char image[2 * 2 * 4] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace render_test
