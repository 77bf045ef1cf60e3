// input.cpp -- keyboard, special keys, mouse presses and drags of the main
// window: quitting, plan choice, mode switches, turning and walking.
#include <GL/glut.h>  // Required for: glutSetWindow(), glutPostRedisplay(), key codes

#include <cctype>     // Required for: std::tolower()
#include <cmath>      // Required for: std::sin(), std::cos(), std::remainder()
#include <cstdio>     // Required for: std::snprintf()
#include <cstring>    // Required for: strnlen()
#include <iostream>   // Required for: std::cout

#include "common/process_exit.h"
#include "common/state.h"
#include "app/viewer.h"
#include "diagnostics/heap_report.h"
#include "directory/locator.h"
#include "kiosk/kiosk.h"
#include "plan/walls.h"
#include "render/world.h"

namespace {

// Pointer travel an arrow key stands for, pixels.
constexpr int arrow_turn_distance = 20;   // 20 x 0.3 = 6 degrees
constexpr int arrow_step_distance = 10;   // 10 x 0.04 = 0.4 world units

// Overhead eye height: step per arrow press and its bounds, world units.
constexpr float popup_eye_step = 5.0f;
constexpr float popup_eye_lowest = 5.0f;
constexpr float popup_eye_highest = 100.0f;

// Turn per pixel of horizontal travel (degrees) and step per pixel of
// vertical travel (world units).
constexpr double turn_per_pixel = 0.3;
constexpr double step_per_pixel = 0.04;

// Room text handed to the position lookup, which does not use it.
constexpr int default_room_name_size = 10;
const char default_room_name[default_room_name_size] = "302";

// Shown in a kiosk when the room files cannot be used at a lookup.
const char unavailable_text[] = "Room information unavailable";

// Writes the quit line and ends the program with status 0.
[[noreturn]] void quit()
{
    std::cout << std::endl;
    end_program(0);
}

// Selects plan 1, 2 or 3 and rebuilds the world from it.
void choose_plan(int choice)
{
    clear_find();  // a way planned on the old plan means nothing on the new one
    viewer_state.plan_choice = choice;
    build_world_or_show_fault();
    glutPostRedisplay();
}

// Switches the overhead view; each view keeps its own angle.
void switch_popup_view()
{
    ViewerState& v = viewer_state;
    if (v.popup_view == 0) {
        v.popup_angle = v.saved_popup_angle;
        v.saved_heading = v.heading;
        show_strip_window(false);
    } else {
        v.heading = v.saved_heading;
        v.saved_popup_angle = v.popup_angle;
        show_strip_window(true);
        glutSetWindow(window_state.main_window);
        on_reshape(window_state.width, window_state.height);
    }
    v.popup_view = 1 - v.popup_view;
}

// Switches the help page; leaving it brings back the strip and the perspective.
void switch_help_page()
{
    viewer_state.help_shown = 1 - viewer_state.help_shown;
    if (viewer_state.help_shown == 1) {
        show_strip_window(false);
    } else {
        show_strip_window(true);
        glutSetWindow(window_state.main_window);
        on_reshape(window_state.width, window_state.height);
    }
}

// Redraws the main window, and with it the strip, after a key: nothing
// redraws while nothing happens.
void show_change()
{
    glutPostWindowRedisplay(window_state.main_window);
}

// Feeds a made-up pointer travel from the origin to the motion callback.
void arrow_motion(int dx, int dy)
{
    viewer_state.last_mouse_x = 0;
    viewer_state.last_mouse_y = 0;
    on_motion(dx, dy);
}

// Lowers the overhead eye by one step, not below the lowest height.
void lower_popup_eye()
{
    float& h = viewer_state.popup_eye_height;
    if (h > popup_eye_lowest)
        h -= popup_eye_step;
    else
        h = popup_eye_lowest;
}

// Raises the overhead eye by one step, not above the highest height.
void raise_popup_eye()
{
    float& h = viewer_state.popup_eye_height;
    if (h < popup_eye_highest)
        h += popup_eye_step;
    else
        h = popup_eye_highest;
}

// Turns both the walking heading and the overhead angle by dx pixels' worth.
void turn_viewer(int dx)
{
    const double turn = dx * turn_per_pixel;
    viewer_state.heading = float(viewer_state.heading + turn);
    viewer_state.popup_angle = float(viewer_state.popup_angle + turn);
}

// Walks dy pixels' worth along the heading, against the walls unless they are off.
void walk_viewer(double dy)
{
    ViewerState& v = viewer_state;
    const double h = v.heading * degrees_to_radians;
    v.step_x = float(std::sin(h) * dy * step_per_pixel);
    v.step_z = float(std::cos(h) * dy * step_per_pixel);
    if (v.walk_through_walls == 0) {
        move_with_collision(v.step_x, v.step_z);
    } else {
        v.x = v.x - v.step_x;
        v.z = v.z + v.step_z;
    }
}

// Writes the status line for the room record, and visits a found room.
void report_room(RoomRecord* record_or_null)
{
    if (lookup_failed) {
        std::snprintf(window_state.status_text, status_text_size, "%s", unavailable_text);
        show_room_page(nullptr);
        return;
    }
    if (record_or_null == nullptr || record_or_null->found == 0) {
        std::snprintf(window_state.status_text, status_text_size, "%s", corridor_text);
        show_room_page(nullptr);
        return;
    }
    RoomRecord& record = *record_or_null;
    // The precision keeps the read inside the field even if it lacks its zero.
    const int intro_length = int(strnlen(record.Introduction_Text, long_text_size));
    std::snprintf(window_state.status_text, status_text_size, "Room %d (%.*s)",
                  int(record.Room_Number), intro_length, record.Introduction_Text);
    show_room_page(&record);
    visit_room(record);
}

// After a move: plan position, room lookup, status line and visit, and the
// way to a chosen room.
void finish_motion()
{
    ViewerState& v = viewer_state;
    v.plan_x = float(v.x / plan_scale_x);
    v.plan_y = float(v.z / plan_scale_z);
    RoomRecord* record = lookup_room(0, default_room_name, v.plan_x, v.plan_y);
    report_room(record);
    const bool in_room = !lookup_failed && record != nullptr && record->found != 0;
    follow_route_after_motion(in_room ? int(record->Room_Number) : 0);
}

// The heading change that turns from one heading to another the short way, degrees.
double shortest_turn(double from, double to)
{
    return std::remainder(to - from, 360.0);
}

} // namespace

// Character keys: quit (not in a kiosk), plan choice, textures, overhead
// view, wall-walking.
void on_key(unsigned char key, int, int)
{
    if (kiosk_out_of_order())
        return;  // nothing to walk in while the out-of-order screen shows
    note_visitor_input();
    touch_note_key();
    stop_route_walk();
    if (find_takes_key(key))
        return;
    switch (std::tolower(key)) {
    case escape_key:
    case 'q':
        if (!kiosk_settings.kiosk_mode)
            quit();
        break;
    case '1': choose_plan(1); break;
    case '2': choose_plan(2); break;
    case '3': choose_plan(3); break;
    case 't': viewer_state.textures_on = 1 - viewer_state.textures_on; break;
    case 'v': switch_popup_view(); break;
    case 'w': viewer_state.walk_through_walls = (viewer_state.walk_through_walls + 1) % 2; break;
    default: break;
    }
    show_change();
}

// Special keys: F1 help, arrows turn and walk (or move the overhead eye);
// F12 prints the heap report where it is turned on.
void on_special_key(int key, int, int)
{
    if (key == GLUT_KEY_F12 && heap_report_enabled()) {
        print_heap_report();
        return;
    }
    if (kiosk_out_of_order())
        return;  // nothing to walk in while the out-of-order screen shows
    note_visitor_input();
    touch_note_key();
    stop_route_walk();
    if (touch_takes_special_key(key))
        return;
    if (find_takes_special_key(key))
        return;
    switch (key) {
    case GLUT_KEY_F1: switch_help_page(); break;
    case GLUT_KEY_LEFT: arrow_motion(-arrow_turn_distance, 0); break;
    case GLUT_KEY_RIGHT: arrow_motion(arrow_turn_distance, 0); break;
    case GLUT_KEY_UP:
        if (viewer_state.popup_view == 1)
            lower_popup_eye();
        else
            arrow_motion(0, -arrow_step_distance);
        break;
    case GLUT_KEY_DOWN:
        if (viewer_state.popup_view == 1)
            raise_popup_eye();
        else
            arrow_motion(0, arrow_step_distance);
        break;
    default: break;
    }
    show_change();
}

// Leaves the help page the way F1 does.
void close_help_page()
{
    if (viewer_state.help_shown == 1)
        switch_help_page();
}

// A left-button press marks where the next drag measures from.
void on_mouse(int button, int state, int x, int y)
{
    if (kiosk_out_of_order())
        return;  // nothing to walk in while the out-of-order screen shows
    if (touch_takes_mouse(button, state, x, y))
        return;
    note_visitor_input();
    stop_route_walk();
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN)
        return;
    viewer_state.last_mouse_x = x;
    viewer_state.last_mouse_y = y;
}

// A drag turns and walks the visitor, then finds and reports his room.
void on_motion(int x, int y)
{
    if (kiosk_out_of_order())
        return;  // nothing to walk in while the out-of-order screen shows
    if (touch_takes_motion(x, y))
        return;
    note_visitor_input();
    stop_route_walk();
    ViewerState& v = viewer_state;
    const int dx = x - v.last_mouse_x;
    const int dy = y - v.last_mouse_y;
    turn_viewer(dx);
    if (v.popup_view == 0)
        walk_viewer(dy);
    finish_motion();
    v.last_mouse_x = x;
    v.last_mouse_y = y;
    glutPostRedisplay();
}

// A pointer moved without a button: only counts as the visitor's presence.
void on_passive_motion(int, int)
{
    if (!touch_takes_passive_motion())
        note_visitor_input();
}

// Turns the walker to the heading (the overhead picture keeps its angle) and
// walks the distance forward like a drag, then reports his room.
void route_step(double heading_degrees, double distance)
{
    ViewerState& v = viewer_state;
    const double turn = shortest_turn(v.heading, heading_degrees);
    v.heading = float(v.heading + turn);
    if (v.popup_view == 0)
        v.popup_angle = float(v.popup_angle + turn);
    walk_viewer(-distance / step_per_pixel);
    finish_motion();
    glutPostWindowRedisplay(window_state.main_window);
}
