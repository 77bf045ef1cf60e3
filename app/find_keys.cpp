// find_keys.cpp -- Find and the way to a room, wired into the program: the
// keys of the Find box, the chosen room's way and its status line, and the
// timer that walks the visitor there step by step.
#include <GL/glut.h>  // Required for: glutTimerFunc(), glutPostWindowRedisplay()

#include <cmath>      // Required for: std::atan2(), std::sqrt(), std::lround()
#include <cstdio>     // Required for: std::snprintf()
#include <cstring>    // Required for: strnlen()
#include <string>     // Required for: std::string, std::to_string()

#include "common/state.h"
#include "app/viewer.h"
#include "directory/locator.h"
#include "find/find_state.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"
#include "route/route_planner.h"

namespace {

constexpr unsigned char enter_key = 13;
constexpr unsigned char line_feed_key = 10;
constexpr unsigned char backspace_key = 8;
constexpr unsigned char delete_key = 127;

// How far inside the room's locator box the way ends, plan units.
constexpr float goal_depth = 0.4f;
// Plan units per metre on the strip.
constexpr double plan_units_per_metre = 1.0;
// The walk: one step every walk_tick_ms of walk_step world units (about
// 1.3 metres a second).
constexpr unsigned walk_tick_ms = 50;
constexpr double walk_step = 0.2;
// A step that gets less than this share of its length counts as blocked;
// this many blocked steps in a row end the walk.
constexpr double blocked_share = 0.2;
constexpr int blocked_steps_to_stop = 5;

// The room whose way is shown, and the walk along it.
struct RouteState {
    int active = 0;                   // flag: a room was chosen and not yet reached
    int room_number = 0;              // the chosen room
    std::string label;                // its professor, or its introduction
    GoalArea goal{};                  // where the way ends, world units
    std::vector<RoutePoint> points;   // the way from the visitor, world units; empty: no way
    int walking = 0;                  // flag: the timer walks the visitor along points
    int walk_generation = 0;          // tells the current walk's timer from stopped ones
    int blocked_steps = 0;            // blocked steps in a row during the walk
};

RouteState route;
// The strip's line before Find was opened, shown again when Find is closed.
std::string line_before_find;

void set_status(const std::string& text)
{
    std::snprintf(window_state.status_text, status_text_size, "%s", text.c_str());
}

void show_main_window_change() { glutPostWindowRedisplay(window_state.main_window); }

// The goal area of a room: its locator box shrunk by the goal depth, in
// world units; false when the locator file does not list the room. The file
// is read first when no lookup has read it yet.
bool room_goal(int room_number, GoalArea& goal)
{
    read_room_locator_if_changed();
    const std::string number = std::to_string(room_number);
    for (int i = 0; i < locator_searchable_count && i < max_locator_records; ++i) {
        const LocatorEntry& e = locator_table[i];
        if (number != std::string(e.name, strnlen(e.name, locator_name_size)))
            continue;
        const float dx = e.max_x - e.min_x > 2 * goal_depth ? goal_depth : (e.max_x - e.min_x) / 2;
        const float dy = e.max_y - e.min_y > 2 * goal_depth ? goal_depth : (e.max_y - e.min_y) / 2;
        const float x0 = float((e.min_x + dx) * plan_scale_x), x1 = float((e.max_x - dx) * plan_scale_x);
        const float z0 = float((e.min_y + dy) * plan_scale_z), z1 = float((e.max_y - dy) * plan_scale_z);
        goal = {std::fmin(x0, x1), std::fmin(z0, z1), std::fmax(x0, x1), std::fmax(z0, z1)};
        return true;
    }
    return false;
}

// Writes the way's status line: the room and the metres left, or no way.
void show_way_line()
{
    if (route.points.empty()) {
        set_status("No way into room " + std::to_string(route.room_number) + " on this plan");
        return;
    }
    const long metres = std::lround(route_length(route.points) / plan_scale_x / plan_units_per_metre);
    if (route.room_number == 0) {
        set_status("Walking to the place you tapped: " + std::to_string(metres) + " m");
        return;
    }
    set_status("Room " + std::to_string(route.room_number) + " (" + route.label + "): "
               + std::to_string(metres) + " m");
}

// True once the walker is where the way leads: in the chosen room, as the
// room lookup says, or, for a tapped place on the floor, inside its area.
bool arrived(int room_here)
{
    if (route.room_number != 0)
        return room_here == route.room_number;
    const ViewerState& v = viewer_state;
    return v.x >= route.goal.min_x && v.x <= route.goal.max_x && v.z >= route.goal.min_z && v.z <= route.goal.max_z;
}

// Plans from where the visitor stands and writes the way's status line.
void replan_route()
{
    route.points = plan_route(floor_plan, {viewer_state.x, viewer_state.z}, route.goal, wall_clearance);
    show_way_line();
}

void stop_walk()
{
    route.walking = 0;
    ++route.walk_generation;
    route.blocked_steps = 0;
}

// Chooses the highlighted room: closes Find and shows the way there.
void choose_highlighted_room()
{
    const RoomRecord* room = highlighted_room();
    if (room == nullptr)
        return;
    choose_room(*room);
}

} // namespace

// Closes Find and shows the way from here into the room.
void choose_room(RoomRecord chosen)
{
    const RoomRecord* room = &chosen;
    close_find();
    clear_find();
    route.room_number = room->Room_Number;
    const size_t professor_length = strnlen(room->Professor, sizeof room->Professor);
    route.label = professor_length > 0
        ? std::string(room->Professor, professor_length)
        : std::string(room->Introduction_Text, strnlen(room->Introduction_Text, sizeof room->Introduction_Text));
    if (!room_goal(room->Room_Number, route.goal)) {
        set_status("Room " + std::to_string(room->Room_Number) + " is not on this floor");
        return;
    }
    route.active = 1;
    replan_route();
}

namespace {

// One timer tick of the walk: a step towards the next point of the way.
void on_walk_tick(int generation)
{
    if (route.walking == 0 || generation != route.walk_generation)
        return;
    if (!route.active || route.points.size() < 2) {
        stop_walk();
        return;
    }
    const ViewerState& v = viewer_state;
    const double dx = route.points[1].x - v.x, dz = route.points[1].z - v.z;
    const double distance = std::sqrt(dx * dx + dz * dz);
    if (distance <= 0.0 && route.points.size() == 2) {
        stop_walk();  // at the way's end, yet the room lookup does not place him in the room
        return;
    }
    const double step = distance < walk_step ? distance : walk_step;
    const double heading = std::atan2(dx, -dz) / degrees_to_radians;
    const float before_x = v.x, before_z = v.z;
    route_step(heading, step);
    const double moved = std::sqrt((v.x - before_x) * (v.x - before_x) + (v.z - before_z) * (v.z - before_z));
    route.blocked_steps = moved < blocked_share * step ? route.blocked_steps + 1 : 0;
    if (route.blocked_steps >= blocked_steps_to_stop)
        stop_walk();
    if (route.walking != 0 && generation == route.walk_generation)
        glutTimerFunc(walk_tick_ms, on_walk_tick, generation);
}

// Starts walking the visitor along the shown way.
void start_walk()
{
    if (!route.active || route.points.size() < 2)
        return;
    stop_walk();
    route.walking = 1;
    glutTimerFunc(walk_tick_ms, on_walk_tick, route.walk_generation);
}

// Keys while Find is open: the text box's editing and choosing keys.
void find_box_key(unsigned char key)
{
    if (key == escape_key) {
        close_find();
        set_status(line_before_find);
    } else if (key == enter_key || key == line_feed_key) {
        choose_highlighted_room();
    } else if (key == backspace_key || key == delete_key) {
        erase_find_character();
        set_status(find_strip_line());
    } else {
        type_find_byte(key);
        set_status(find_strip_line());
    }
    show_main_window_change();
}

// Opens Find, closing the help page first: the visitor sees what he types.
void open_find_box()
{
    close_help_page();
    line_before_find = std::string(window_state.status_text, strnlen(window_state.status_text, status_text_size));
    open_find();
    set_status(find_strip_line());
    show_main_window_change();
}

} // namespace

// Handles '/', 'g', Enter and every key while Find is open; false for the
// keys that keep their usual meaning.
bool find_takes_key(unsigned char key)
{
    if (find_state.open != 0) {
        find_box_key(key);
        return true;
    }
    if (key == '/') {
        open_find_box();
        return true;
    }
    if (key == 'g' || key == 'G' || key == enter_key || key == line_feed_key) {
        start_walk();
        return true;
    }
    return false;
}

// Handles F3, and the highlight keys while Find is open; false otherwise.
bool find_takes_special_key(int key)
{
    if (find_state.open == 0) {
        if (key != GLUT_KEY_F3)
            return false;
        open_find_box();
        return true;
    }
    if (key == GLUT_KEY_UP || key == GLUT_KEY_DOWN) {
        move_find_highlight(key == GLUT_KEY_UP ? -1 : 1);
        show_main_window_change();
    }
    return true;
}

// Stops a walk in progress; the way stays shown.
void stop_route_walk()
{
    if (route.walking != 0)
        stop_walk();
}

// After every move: Find keeps its line. Arriving in the chosen room (the
// room lookup places the visitor in it) ends the way; a move along the way
// shortens it, and one that leaves it by more than route_leave_distance
// plans it again from here.
void follow_route_after_motion(int room_here)
{
    if (find_state.open != 0) {
        set_status(find_strip_line());
        return;
    }
    if (!route.active)
        return;
    if (arrived(room_here)) {
        const int room = route.room_number;
        clear_find();  // the room line written by the move stays
        touch_note_arrival(room);
        return;
    }
    if (follow_route(route.points, {viewer_state.x, viewer_state.z}))
        show_way_line();
    else
        replan_route();
}

// The way to show, or null when none is.
const std::vector<RoutePoint>* shown_route()
{
    return route.active && route.points.size() >= 2 ? &route.points : nullptr;
}

// True while the visitor is walked along the way.
bool route_walking() { return route.walking != 0; }

// Plans the way into the area from here and walks it at once; a place
// nothing leads to says so on the strip.
void walk_to_area(const GoalArea& area)
{
    clear_find();
    route.goal = area;
    route.active = 1;
    replan_route();
    if (route.points.empty()) {
        route.active = 0;
        set_status("No way to the place you tapped");
        return;
    }
    start_walk();
}

// The room the shown way leads to, or 0.
int route_room_number() { return route.active ? route.room_number : 0; }

// Starts the walk along the shown way, as 'g' does.
void start_route_walk() { start_walk(); }

// Closes Find and forgets the chosen room, its way and any walk.
void clear_find()
{
    if (find_state.open != 0) {
        close_find();
        set_status(line_before_find);
    }
    stop_walk();
    route.active = 0;
    route.points.clear();
    route.room_number = 0;
    route.label.clear();
}
