// support.h -- what every test program shares: a scratch working folder, file
// helpers, console capture, and a real GLUT window with pixel and feedback read-back.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <fcntl.h>   // Required for: open()
#include <stdlib.h>  // Required for: mkdtemp()
#include <unistd.h>  // Required for: dup2(), usleep()

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "common/config.h"
#include "common/state.h"
#include "plan/floor_plan.h"
#include "common/colour_table.h"
#include "render/world.h"

// Two Xlib calls, declared here so that Xlib's macros stay out of the tests.
extern "C" struct _XDisplay* XOpenDisplay(const char* name);
extern "C" int XCloseDisplay(struct _XDisplay* display);

namespace test {

namespace fs = std::filesystem;

// A fresh folder under /tmp that is the working folder while it lives.
class ScratchDir {
public:
    ScratchDir() : previous_(fs::current_path())
    {
        char pattern[] = "/tmp/vevuv-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
        fs::current_path(path_);
    }
    ~ScratchDir()
    {
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path previous_, path_;
};

// Writes text to a file (relative names land in the working folder).
inline void write_file(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

// The whole content of a file.
inline std::string read_file(const std::string& name)
{
    std::ostringstream text;
    text << std::ifstream(name, std::ios::binary).rdbuf();
    return text.str();
}

using Bytes = std::vector<unsigned char>;

// An SGI file's 512-byte header: magic, type, dimension, x, y and z sizes, the rest zero.
inline Bytes sgi_header(unsigned type, unsigned x, unsigned y, unsigned z, unsigned magic = 474)
{
    Bytes out;
    for (unsigned field : {magic, type, z > 1 ? 3u : 2u, x, y, z})
        out.insert(out.end(), {static_cast<unsigned char>(field >> 8), static_cast<unsigned char>(field)});
    out.resize(512, 0);
    return out;
}

// Bytes written one after the other.
inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Writes bytes to a file.
inline void write_file(const std::string& name, const Bytes& bytes) { write_file(name, std::string(bytes.begin(), bytes.end())); }

// Copies a file of tests/data (path below it) into the working folder.
inline void copy_test_data(const std::string& source, const std::string& target)
{
    fs::copy_file(std::string(VEVUV_TEST_DATA) + "/" + source, target, fs::copy_options::overwrite_existing);
}

// The values written one after another, each followed by a blank (floats to
// six digits, -0 as 0), so that several fields can be checked in one comparison.
template <typename... T>
std::string text(const T&... values)
{
    std::ostringstream out;
    auto put = [&out](const auto& v) {
        if constexpr (std::is_floating_point_v<std::decay_t<decltype(v)>>)
            out << v + 0.0f << ' ';
        else
            out << v << ' ';
    };
    (put(values), ...);
    return out.str();
}

// Puts the plan and the viewer back to their start-of-run values.
inline void reset_plan_state()
{
    floor_plan = FloorPlan{};
    floor_plan.visit_wall_start = -1;
    viewer_state = ViewerState{};
}

// What a call wrote to the two console streams.
struct Console {
    std::string out, err;
};

// Runs f with both console streams captured.
template <typename F>
Console capture_console(F f)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    std::string out = testing::internal::GetCapturedStdout();
    return {out, testing::internal::GetCapturedStderr()};
}

// In a death test child: standard output goes to the stream the test
// matches, and the child's own standard error is dropped.
inline void stdout_to_stderr()
{
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDERR_FILENO);
    close(null_fd);
}

constexpr int main_width = 700;
constexpr int main_height = 500;

// Display callback for the test windows: they draw only when a test says so.
inline void ignore_redisplay() {}
inline int exposures_seen = 0;
inline void count_exposure() { ++exposures_seen; }

// Opens the 700 x 500 "Vevuv" window and its 690 x 50 strip once per process,
// as start-up does, and waits for both to be exposed; leaves the main window current.
inline void open_windows()
{
    static bool opened = false;
    if (!opened) {
        opened = true;
        static char program[] = "vevuv_test";
        static char* argv[] = {program, nullptr};
        int argc = 1;
        // freeglut ends the program on a refused connection: wait up to 3 s for the X
        // server, and hold this connection while freeglut opens its own (so no reset).
        _XDisplay* held = nullptr;
        for (int i = 0; i < 30 && !(held = XOpenDisplay(nullptr)); ++i)
            usleep(100000);
        glutInitWindowSize(main_width, main_height);
        glutInit(&argc, argv);
        if (held)
            XCloseDisplay(held);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        window_state.main_window = glutCreateWindow("Vevuv");
        glutDisplayFunc(count_exposure);
        window_state.status_window = glutCreateSubWindow(window_state.main_window, status_strip_x, status_strip_y,
                                                          status_strip_width(main_width),
                                                          status_strip_height(main_height));
        glutDisplayFunc(count_exposure);
        define_colours();
        for (int i = 0; i < 200 && exposures_seen < 2; ++i) {
            glutMainLoopEvent();
            usleep(10000);
        }
        for (int i = 0; i < 5; ++i)
            glutMainLoopEvent();
        glutDisplayFunc(ignore_redisplay);
        glutSetWindow(window_state.main_window);
        glutDisplayFunc(ignore_redisplay);
        set_up_lighting();
    }
    window_state.width = main_width;
    window_state.height = main_height;
    glutSetWindow(window_state.main_window);
}

// An RGB picture read back from the current window's back buffer, row 0 at the bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    float c(int x, int y, int k) const { return rgb[3 * (size_t(y) * width + x) + k] / 255.0f; }
    float red(int x, int y) const { return c(x, y, 0); }
    float green(int x, int y) const { return c(x, y, 1); }
    float blue(int x, int y) const { return c(x, y, 2); }
    bool is(int x, int y, float r, float g, float b, float tolerance = 0.02f) const
    {
        return std::fabs(red(x, y) - r) <= tolerance && std::fabs(green(x, y) - g) <= tolerance &&
               std::fabs(blue(x, y) - b) <= tolerance;
    }
};

// Reads the current window once drawing has finished (Mesa swaps by copying).
inline Picture read_picture()
{
    glFinish();
    Picture p;
    p.width = glutGet(GLUT_WINDOW_WIDTH);
    p.height = glutGet(GLUT_WINDOW_HEIGHT);
    p.rgb.resize(size_t(p.width) * p.height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, p.width, p.height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

// One fed-back vertex in world units, with its texture coordinates.
struct Vertex {
    float x, y, z, s, t;
};
using Polygon = std::vector<Vertex>;

// Runs draw in feedback mode under glOrtho(box) with an identity model-view
// and returns its polygons, mapped back to world units.
inline std::vector<Polygon> capture_polygons(const double (&box)[6], const std::function<void()>& draw)
{
    constexpr int size = 1 << 20, per_vertex = 11;  // window xyz, RGBA, strq
    static std::vector<GLfloat> buffer(size);
    glViewport(0, 0, main_width, main_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(box[0], box[1], box[2], box[3], box[4], box[5]);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(size, GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    std::vector<Polygon> polygons;
    for (int i = 0; i < used;) {
        const GLenum token = GLenum(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            const bool line = token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN;
            i += token == GL_PASS_THROUGH_TOKEN ? 1 : (line ? 2 : 1) * per_vertex;
            continue;
        }
        Polygon polygon(size_t(buffer[i++]));
        for (Vertex& v : polygon) {
            const GLfloat* f = &buffer[i];
            v = {float(box[0] + f[0] / main_width * (box[1] - box[0])),
                 float(box[2] + f[1] / main_height * (box[3] - box[2])),
                 float(-(box[4] + f[2] * (box[5] - box[4]))), f[7], f[8]};
            i += per_vertex;
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// Extents (min x y z, max x y z) of consecutive groups of the given number of
// triangles each (12 for a box).
inline std::vector<std::vector<float>> group_extents(const std::vector<Polygon>& polygons, int triangles)
{
    std::vector<std::vector<float>> groups;
    int seen = 0;
    for (const Polygon& polygon : polygons) {
        if (seen % triangles == 0)
            groups.push_back({1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f});
        for (const Vertex& v : polygon)
            for (int a = 0; a < 3; ++a) {
                const float p = a == 0 ? v.x : (a == 1 ? v.y : v.z);
                groups.back()[a] = std::fmin(groups.back()[a], p);
                groups.back()[a + 3] = std::fmax(groups.back()[a + 3], p);
            }
        seen += int(polygon.size()) - 2;
    }
    return groups;
}

// Makes texture object name a one-colour 2 x 2 RGBA image.
inline void make_plain_texture(GLuint name, unsigned char r, unsigned char g, unsigned char b)
{
    const unsigned char image[16] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace test
