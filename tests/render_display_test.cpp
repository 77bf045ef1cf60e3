// render_display_test.cpp -- the main window's frame (walking and pop-up
// cameras), the reshape callback with the status strip, and the idle callback.
#include <gtest/gtest.h>

#include <unistd.h>  // Required for: usleep()

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/viewer.h"
#include "plan/walls.h"
#include "render/world.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

// An empty floor of the given far corner, no walls, lintels or tables, and
// the mode switches at their start values.
void set_empty_floor(float x2, float z2)
{
    floor_plan.floor_x1 = 0.0f;
    floor_plan.floor_z1 = 0.0f;
    floor_plan.floor_x2 = x2;
    floor_plan.floor_z2 = z2;
    floor_plan.wall_count = 0;
    floor_plan.lintel_count = 0;
    floor_plan.table_count = 0;
    viewer_state.textures_on = 1;
    viewer_state.popup_view = 0;
    viewer_state.help_shown = 0;
}

// The walking frame drawn by the display callback, read back from the main window.
Picture frame_from(float x, float z, float heading)
{
    viewer_state.x = x;
    viewer_state.z = z;
    viewer_state.eye_height = 1.0f;
    viewer_state.heading = heading;
    on_display();
    glutSetWindow(window_state.main_window);
    return read_picture();
}

void set_perspective() { set_projection(main_width, main_height); }

bool is_yellow(const Picture& p, int x, int y) { return p.red(x, y) > 0.3f && std::fabs(p.red(x, y) - p.green(x, y)) < 0.03f && p.blue(x, y) < 0.05f; }
bool is_magenta(const Picture& p, int x, int y) { return p.red(x, y) > 0.3f && std::fabs(p.red(x, y) - p.blue(x, y)) < 0.03f && p.green(x, y) < 0.05f; }
bool is_cyan(const Picture& p, int x, int y) { return p.green(x, y) > 0.3f && std::fabs(p.green(x, y) - p.blue(x, y)) < 0.03f && p.red(x, y) < 0.05f; }

// Mean position of the pixels that pass the test; count 0 when none do.
struct Spot {
    int count = 0;
    double x = 0.0, y = 0.0;
};

Spot find(const Picture& p, bool (*test)(const Picture&, int, int))
{
    Spot spot;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (test(p, x, y)) {
                ++spot.count;
                spot.x += x;
                spot.y += y;
            }
    if (spot.count > 0) {
        spot.x /= spot.count;
        spot.y /= spot.count;
    }
    return spot;
}

} // namespace

TEST(Display, WalkingCameraStandsAtTheEyeAndLooksAlongTheHeading)
{
    open_windows();
    set_perspective();
    set_empty_floor(90.0f, -30.0f);
    make_plain_texture(5, 255, 255, 0);  // first portrait, world x 52.8..53.8, z -13.8..-12.8
    make_plain_texture(6, 255, 0, 255);  // second portrait, world x 73.5..74.5, z -4.5..-3.5
    const int cx = main_width / 2, cy = main_height / 2;

    // Heading 0 looks along -z: the first portrait straight ahead.
    Picture p = frame_from(53.3f, -8.0f, 0.0f);
    EXPECT_TRUE(is_yellow(p, cx, cy));
    // Lights 1 and 2 hang fixed in the building: placed after the camera,
    // they are seen relative to the eye.
    float position[4] = {};
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1) && glIsEnabled(GL_LIGHT2));
    glGetLightfv(GL_LIGHT1, GL_POSITION, position);
    EXPECT_NEAR(position[0], 0.0f - 53.3f, 1e-4f);
    EXPECT_NEAR(position[1], 3.2f - 1.0f, 1e-4f);
    glGetLightfv(GL_LIGHT2, GL_POSITION, position);
    EXPECT_NEAR(position[0], 39.0f - 53.3f, 1e-4f);
    EXPECT_NEAR(position[2], -8.1f + 8.0f, 1e-4f);
    // Heading 180 looks along +z, away from it.
    p = frame_from(53.3f, -8.0f, 180.0f);
    EXPECT_EQ(find(p, is_yellow).count, 0);
    // Heading 90 looks along +x: the second portrait ahead; -90 away from it.
    p = frame_from(60.0f, -4.0f, 90.0f);
    EXPECT_TRUE(is_magenta(p, cx, cy));
    p = frame_from(60.0f, -4.0f, -90.0f);
    EXPECT_EQ(find(p, is_magenta).count, 0);
    // The eye height lifts the picture: from 3.0 the portrait drops below the middle.
    viewer_state.eye_height = 3.0f;
    viewer_state.heading = 90.0f;
    on_display();
    // The frame ends in the status strip, drawn and current.
    EXPECT_EQ(glutGetWindow(), window_state.status_window);
    const Picture strip = read_picture();
    EXPECT_TRUE(strip.is(100, 10, 0.25f, 0.25f, 0.25f, 0.01f));
    glutSetWindow(window_state.main_window);
    p = read_picture();
    const Spot low = find(p, is_magenta);
    EXPECT_GT(low.count, 0);
    EXPECT_LT(low.y, cy - 20);
    // The model-view stack is back to the camera alone.
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST(Display, PopUpCameraLooksDownOnTheTurnedFloorWithTheVisitorMarker)
{
    open_windows();
    set_perspective();
    set_empty_floor(60.0f, -60.0f);
    make_plain_texture(7, 0, 255, 255);  // visitor marker: cyan
    viewer_state.popup_view = 1;
    viewer_state.popup_eye_height = 25.0f;
    // The marker 0.1 plan units past (15, 5): right of the floor's centre in x, nearer in z.
    viewer_state.plan_x = 14.9f;
    viewer_state.plan_y = 4.9f;
    viewer_state.popup_angle = 0.0f;
    on_display();
    glutSetWindow(window_state.main_window);
    Picture p = read_picture();
    // Seen from above the far corner, that spot lies left of the middle.
    const Spot unturned = find(p, is_cyan);
    ASSERT_GT(unturned.count, 0);
    EXPECT_LT(unturned.x, main_width / 2 - 100);
    EXPECT_NEAR(unturned.y, main_height / 2, 60);
    // No ceiling over the floor: the top of the picture is background.
    EXPECT_TRUE(p.is(main_width / 2, main_height - 5, 0.0f, 0.05f, 0.0f, 0.01f));
    EXPECT_FALSE(p.is(main_width / 2, main_height / 2, 0.0f, 0.05f, 0.0f, 0.01f));

    // Turning the overhead view by 90 degrees swings the marker below the middle.
    viewer_state.popup_angle = 90.0f;
    on_display();
    glutSetWindow(window_state.main_window);
    p = read_picture();
    const Spot turned = find(p, is_cyan);
    ASSERT_GT(turned.count, 0);
    EXPECT_NEAR(turned.x, main_width / 2, 60);
    EXPECT_LT(turned.y, main_height / 2 - 50);
    viewer_state.popup_view = 0;
}

namespace {

// Lets freeglut carry out the window changes it has queued.
void process_window_events()
{
    for (int i = 0; i < 10; ++i) {
        glutMainLoopEvent();
        usleep(10000);
    }
}

// Runs the event loop until done() holds, for at most about two seconds: a
// loaded machine may deliver a posted redraw a little later.
template <typename Condition>
void process_events_until(Condition done)
{
    for (int i = 0; i < 200 && !done(); ++i) {
        glutMainLoopEvent();
        usleep(10000);
    }
    process_window_events();
}

struct Geometry {
    int x, y, width, height;
};

Geometry status_geometry()
{
    const int current = glutGetWindow();
    glutSetWindow(window_state.status_window);
    const Geometry g = {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)};
    glutSetWindow(current);
    return g;
}

} // namespace

TEST(Display, ReshapeSetsProjectionAndKeepsTheStripAlongTheTop)
{
    open_windows();
    on_reshape(800, 600);
    EXPECT_EQ(window_state.width, 800);
    EXPECT_EQ(glutGetWindow(), window_state.main_window);
    GLint viewport[4] = {}, mode = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 600);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const float focal = float(1.0 / std::tan(30.0 * 3.141592654 / 180.0));
    EXPECT_NEAR(projection[0], focal * 600.0f / 800.0f, 1e-5f);
    EXPECT_NEAR(projection[5], focal, 1e-5f);
    EXPECT_NEAR(projection[14], -2.0f * 100.0f * 0.05f / (100.0f - 0.05f), 1e-5f);
    process_window_events();
    Geometry g = status_geometry();
    EXPECT_EQ(g.x, 5);
    EXPECT_EQ(g.y, 5);
    EXPECT_EQ(g.width, 790);
    EXPECT_EQ(g.height, 60);

    // The strip's line follows the new size: x -0.4236, y 0.1333 of 790 x 60.
    std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", "You are in the corridor");
    on_status_display();  // Mesa resizes the strip's buffers at this swap:
    on_status_display();  // the second frame is the one to read back
    const Picture strip = read_picture();
    int left = strip.width, bottom = strip.height;
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            if (strip.red(x, y) > 0.8f && strip.green(x, y) > 0.8f && strip.blue(x, y) > 0.8f) {
                left = std::min(left, x);
                bottom = std::min(bottom, y);
            }
    EXPECT_NEAR(left, (1.0 - 0.42362) / 2.0 * 790.0, 3.0);
    EXPECT_NEAR(bottom, (1.0 + 800.0 * 0.1 / 600.0) / 2.0 * 60.0, 2.0);

    // A window of no height neither divides by zero nor asks X for an
    // empty strip: the aspect takes a height of 1, the strip one pixel.
    glutSetWindow(window_state.main_window);
    on_reshape(700, 0);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], focal / 700.0f, 1e-6f);
    on_reshape(5, 3);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float m : projection)
        EXPECT_TRUE(std::isfinite(m));
    process_window_events();
    g = status_geometry();
    EXPECT_EQ(g.width, 1);
    EXPECT_EQ(g.height, 1);

    on_reshape(main_width, main_height);
    process_window_events();
    g = status_geometry();
    EXPECT_EQ(g.width, 690);
    EXPECT_EQ(g.height, 50);
}

namespace {
int main_redisplays = 0, status_redisplays = 0;
void count_main_redisplay() { ++main_redisplays; }
void count_status_redisplay() { ++status_redisplays; }
} // namespace

TEST(Display, AKeyRedrawsTheMainWindowWhicheverWindowIsCurrent)
{
    open_windows();
    glutSetWindow(window_state.main_window);
    glutDisplayFunc(count_main_redisplay);
    glutSetWindow(window_state.status_window);
    glutDisplayFunc(count_status_redisplay);
    // Let late exposes from the X server arrive first: wait until no redraw
    // has happened for a quarter of a second.
    for (int quiet_turns = 0, seen = -1; quiet_turns < 25;) {
        glutMainLoopEvent();
        usleep(10000);
        const int now = main_redisplays + status_redisplays;
        quiet_turns = (now == seen) ? quiet_turns + 1 : 0;
        seen = now;
    }
    main_redisplays = status_redisplays = 0;

    // No idle callback redraws: a key draws the main window (and with it
    // the strip), even while the strip is the current window.
    on_key('t', 0, 0);
    process_events_until([] { return main_redisplays > 0; });
    EXPECT_GE(main_redisplays, 1);
    on_key('t', 0, 0);

    glutDisplayFunc(ignore_redisplay);
    glutSetWindow(window_state.status_window);
    glutDisplayFunc(ignore_redisplay);
    glutSetWindow(window_state.main_window);
}
