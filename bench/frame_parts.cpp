// frame_parts.cpp -- where the walking frame's time goes: each way of
// drawing the wall boxes and the strip's redraw timed on and off in the same
// run, and the fragments a frame rasterizes and shades, counted with an
// occlusion query.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/freeglut.h>  // Required for: glutSetWindow()
#include <GL/glext.h>     // Required for: glBeginQuery(), GL_SAMPLES_PASSED

#include <cstdio>  // Required for: std::printf(), std::snprintf()

#include "common/state.h"
#include "app/viewer.h"
#include "bench/figures.h"
#include "plan/floor_plan.h"
#include "render/wall_batch.h"

namespace bench {

namespace {

// A switch of the wall drawing and what it is called in the table.
struct DrawingSwitch {
    const char* name;
    bool WallDrawing::*flag;
};

const DrawingSwitch drawing_switches[] = {
    {"walls from arrays", &WallDrawing::arrays},
    {"boxes out of sight skipped", &WallDrawing::skip_outside},
    {"boxes behind walls skipped", &WallDrawing::skip_hidden},
    {"turned-away faces culled", &WallDrawing::cull_hidden},
};

// Fragments of one frame of the main window that reach the depth
// test (rasterized) or pass it (shaded), with the depth test as given.
GLuint count_fragments(GLenum depth_function)
{
    GLuint query = 0, samples = 0;
    glutSetWindow(window_state.main_window);
    glGenQueries(1, &query);
    glDepthFunc(depth_function);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    on_display();
    glutSetWindow(window_state.main_window);
    glEndQuery(GL_SAMPLES_PASSED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
    glDepthFunc(GL_LESS);
    glDeleteQueries(1, &query);
    return samples;
}

} // namespace

// Prints the rasterized and shaded fragments per pixel of the frame, all of
// it and without the walls and lintels, and without culling.
void print_fragments(const char* view)
{
    const double pixels = double(window_state.width) * window_state.height;
    const GLuint rasterized = count_fragments(GL_ALWAYS), shaded = count_fragments(GL_LESS);
    wall_drawing.cull_hidden = false;
    const GLuint rasterized_unculled = count_fragments(GL_ALWAYS);
    wall_drawing.cull_hidden = true;
    const int walls = floor_plan.wall_count, lintels = floor_plan.lintel_count;
    floor_plan.wall_count = floor_plan.lintel_count = 0;
    const GLuint rest_rasterized = count_fragments(GL_ALWAYS), rest_shaded = count_fragments(GL_LESS);
    floor_plan.wall_count = walls;
    floor_plan.lintel_count = lintels;
    std::printf("fragments per pixel, %-24s rasterized %.2f (%.2f without culling; floor, ceiling and the "
                "rest alone %.2f), shaded %.2f (the rest alone %.2f)\n",
                view, rasterized / pixels, rasterized_unculled / pixels, rest_rasterized / pixels,
                shaded / pixels, rest_shaded / pixels);
}

namespace {

// The frame with the status strip drawn every time, as it was before the
// strip was redrawn only when its line changes.
void frame_with_strip_every_time()
{
    viewer_frame();
    status_strip_frame();
}

} // namespace

// Each way of drawing the boxes on against off, the strip only when its line
// changes against every frame, at the current window size and pose.
std::vector<Figure> drawing_switch_figures(const Effort& effort)
{
    std::vector<Figure> figures;
    for (const DrawingSwitch& s : drawing_switches) {
        bool& flag = wall_drawing.*s.flag;
        const PairTiming t = time_pair([&flag] { flag = true; viewer_frame(); },
                                       [&flag] { flag = false; viewer_frame(); flag = true; }, effort);
        char name[96];
        std::snprintf(name, sizeof name, "%s %dx%d", s.name, window_state.width, window_state.height);
        figures.push_back(time_figure(name, "the same frame without it", "ms", 1e3, t));
    }
    const PairTiming t = time_pair(viewer_frame, frame_with_strip_every_time, effort);
    char name[96];
    std::snprintf(name, sizeof name, "strip only when changed %dx%d", window_state.width, window_state.height);
    figures.push_back(time_figure(name, "strip drawn every frame", "ms", 1e3, t));
    return figures;
}

} // namespace bench
