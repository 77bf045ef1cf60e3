// display.cpp -- the main window's display and reshape callbacks: the
// walking and pop-up cameras, Find's page and the way on the floor; lights
// and projection come from render/world.
#include <GL/freeglut.h>  // Required for: glutSetWindow(), glutSwapBuffers(), glutReshapeWindow()
#include <GL/glu.h>       // Required for: gluLookAt()

#include "common/state.h"
#include "app/viewer.h"
#include "plan/floor_plan.h"
#include "find/find_state.h"
#include "kiosk/kiosk.h"
#include "render/kiosk_panels.h"
#include "render/boxes.h"
#include "render/maze.h"
#include "render/route_view.h"
#include "render/world.h"

namespace {

constexpr float walking_target_z = -100.0f; // the walking eye looks along -z before turning
constexpr float marker_offset = 0.1f;    // plan units added to the marker's position
constexpr double popup_route_eye = 10.0; // overhead eye height at which the way's marks are drawn as walking, world units

// The overhead eye over the floor's far corner half-way, looking at the
// origin; the floor is turned by popup_angle about its centre. Draws the
// visitor's marker.
void place_popup_camera()
{
    const float half_x = floor_plan.floor_x2 * 0.5f;
    const float half_z = floor_plan.floor_z2 * 0.5f;
    gluLookAt(half_x, viewer_state.popup_eye_height, half_z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glPushMatrix();
    glRotatef(viewer_state.popup_angle, 0.0f, 1.0f, 0.0f);
    glTranslatef(floor_plan.floor_x2 * -0.5f, 0.0f, floor_plan.floor_z2 * -0.5f);
    draw_figure(viewer_state.plan_x + marker_offset, viewer_state.plan_y + marker_offset, marker_texture);
}

// The visitor's eye: turned by heading, standing at (x, eye_height, z).
void place_walking_camera()
{
    gluLookAt(0.0, 0.0, 0.0, 0.0, 0.0, walking_target_z, 0.0, 1.0, 0.0);
    glPushMatrix();
    glRotatef(viewer_state.heading, 0.0f, 1.0f, 0.0f);
    glTranslatef(-viewer_state.x, -viewer_state.eye_height, -viewer_state.z);
}

// Find's page: what was typed, then the matching rooms.
void draw_find_list()
{
    std::vector<std::string> lines;
    for (int index : find_state.matches)
        lines.push_back(find_list_line(find_state.rooms[size_t(index)]));
    if (lines.empty())
        lines.push_back("No room matches");
    draw_find_page(find_strip_line(), lines, find_state.matches.empty() ? -1 : find_state.highlight);
}

// The way to the chosen room, over the building (not over the help page).
void draw_shown_route()
{
    const std::vector<RoutePoint>* route = shown_route();
    if (route == nullptr || viewer_state.help_shown != 0)
        return;
    // From the overhead eye the marks are drawn wider, to stay as visible.
    const double scale = viewer_state.popup_view == 1 ? viewer_state.popup_eye_height / popup_route_eye : 1.0;
    draw_route(*route, scale < 1.0 ? 1.0 : scale);
}

// A window size as GLUT may be asked for it: at least one pixel.
int positive(int pixels) { return pixels > 0 ? pixels : 1; }

} // namespace

// Draws one frame of the main window, then the status strip if its line
// or size changed.
void on_display()
{
    glutSetWindow(window_state.main_window);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (kiosk_out_of_order()) {
        draw_out_of_order_screen(kiosk_fault().file, kiosk_fault().reason, window_state.width,
                                 window_state.height);
    } else if (find_state.open != 0 && viewer_state.help_shown == 0 && !kiosk_settings.touch_face) {
        draw_find_list();
    } else {
        if (viewer_state.popup_view == 1)
            place_popup_camera();
        else
            place_walking_camera();
        place_lights_1_and_2();
        draw_maze();
        draw_shown_route();
        glPopMatrix();
        if (viewer_state.help_shown == 0)
            draw_room_page_panel();
    }
    if (!kiosk_out_of_order())
        draw_touch_face();
    glutSwapBuffers();
    refresh_status_strip();
}

// Keeps the projection and the status strip in step with the window size.
void on_reshape(int w, int h)
{
    window_state.width = w;
    window_state.height = h;
    set_projection(w, h);
    if (window_state.status_window != 0) {
        glutSetWindow(window_state.status_window);
        // X refuses windows of no size, so the strip keeps at least one pixel.
        glutReshapeWindow(positive(status_strip_width(window_state.width)),
                          positive(status_strip_height(window_state.height)));
        glutPositionWindow(status_strip_x, status_strip_y);
        glutSetWindow(window_state.main_window);
    }
    glutPostRedisplay();
}
