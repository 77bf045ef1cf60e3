// find_figures.cpp -- Find's costs: planning the way to the farthest room and
// across a large floor of diagonal walls against a bare validated parse, and
// the walking frame with the way shown against the same frame without it.
#include <GL/freeglut.h>  // Required for: glutSetWindow()

#include <algorithm>  // Required for: std::sort()
#include <chrono>   // Required for: std::chrono::steady_clock
#include <cmath>    // Required for: std::hypot(), std::lround()
#include <cstdio>   // Required for: std::snprintf()
#include <cstring>  // Required for: strnlen(), std::strncmp()
#include <string>   // Required for: std::string, std::to_string()

#include "common/state.h"
#include "app/viewer.h"
#include "bench/figures.h"
#include "directory/locator.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"
#include "route/route_planner.h"

namespace bench {

namespace {

constexpr double planning_goal = 1.0;     // planning at most one bare parse
constexpr double way_frame_goal = 1.10;   // way shown: at most 10 % slower
constexpr float goal_depth = 0.4f;        // plan units inside the room's box, as Find plans
constexpr unsigned char enter_key = 13;

// The diagonal floor: 500 x 500 world units holding a full wall table of
// walls at 45 degrees, in rows and columns, each leaning the other way from
// its neighbours, so that the way zigzags between them from corner to corner.
constexpr float diagonal_floor_size = 500.0f;
constexpr int diagonal_columns = 15, diagonal_rows = max_walls / diagonal_columns;
constexpr float diagonal_half_reach = 7.0f;   // half a wall's extent along x and along z
constexpr float diagonal_corner = 5.0f;       // start and goal this far in from the corners

// The locator record whose box centre lies farthest from plan point p.
const LocatorEntry* farthest_room(StandPoint p)
{
    if (locator_searchable_count == 0)
        read_room_locator();
    const LocatorEntry* farthest = nullptr;
    double longest = -1.0;
    for (int i = 0; i < locator_searchable_count && i < max_locator_records; ++i) {
        const LocatorEntry& e = locator_table[i];
        const double d = std::hypot((e.min_x + e.max_x) / 2 - p.x, (e.min_y + e.max_y) / 2 - p.y);
        if (d > longest) {
            longest = d;
            farthest = &e;
        }
    }
    return farthest;
}

// The room's box shrunk by the goal depth, world units.
GoalArea room_goal(const LocatorEntry& e)
{
    const float x0 = float((e.min_x + goal_depth) * plan_scale_x);
    const float x1 = float((e.max_x - goal_depth) * plan_scale_x);
    const float z0 = float((e.max_y - goal_depth) * plan_scale_z);
    const float z1 = float((e.min_y + goal_depth) * plan_scale_z);
    return {x0, z0, x1, z1};
}

// The diagonal floor, z running negative as on every plan.
FloorPlan diagonal_floor()
{
    FloorPlan plan{};
    plan.floor_x2 = diagonal_floor_size;
    plan.floor_z2 = -diagonal_floor_size;
    plan.visit_wall_start = -1;
    const float step_x = diagonal_floor_size / diagonal_columns, step_z = diagonal_floor_size / diagonal_rows;
    for (int r = 0; r < diagonal_rows; ++r) {
        for (int c = 0; c < diagonal_columns; ++c) {
            const float x = (c + 0.5f) * step_x, z = -(r + 0.5f) * step_z;
            const float lean = (r + c) % 2 == 0 ? diagonal_half_reach : -diagonal_half_reach;
            plan.walls[plan.wall_count++] = {x - diagonal_half_reach, z - lean, x + diagonal_half_reach, z + lean};
        }
    }
    return plan;
}

// Planning from one corner of the diagonal floor to the other, against a bare parse.
Figure diagonal_floor_figure(const Effort& effort)
{
    const FloorPlan plan = diagonal_floor();
    const RoutePoint start{diagonal_corner, -diagonal_corner};
    const float far = diagonal_floor_size - diagonal_corner;
    const GoalArea goal{far - 2.0f, -far, far, 2.0f - far};
    std::vector<RoutePoint> way;
    const PairTiming planning = time_pair(
        [&] { way = plan_route(plan, start, goal, wall_clearance); }, bare_parse, effort);
    Figure figure = time_figure("way planning, 500x500 floor, 300 diagonal walls",
                                "bare validated libxml2 parse", "us", 1e6, planning);
    figure.goal = "<= 1.0";
    figure.met = figure.ratio <= planning_goal;
    figure.note = way.size() >= 2 ? std::to_string(way.size()) + " points, "
                                        + std::to_string(std::lround(route_length(way))) + " units"
                                  : "WRONG PATH: no way";
    return figure;
}

// Chooses a room through the keys, as the visitor does: '/', its name, Enter.
void choose_room_by_keys(const char* name)
{
    on_key('/', 0, 0);
    for (size_t i = 0; i < strnlen(name, locator_name_size); ++i)
        on_key(static_cast<unsigned char>(name[i]), 0, 0);
    on_key(enter_key, 0, 0);
}

// One walking frame, finished.
void walking_frame()
{
    on_display();
    glutSetWindow(window_state.main_window);
    glFinish();
}

// Seconds per walking frame, over frames for at least the given time.
double seconds_per_frame(double at_least)
{
    const auto start = std::chrono::steady_clock::now();
    int frames = 0;
    double elapsed = 0.0;
    do {
        walking_frame();
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < at_least);
    return elapsed / frames;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The walking frame with the way to the room shown, and without, in
// alternating repetitions; the way is chosen and cleared between them,
// untimed. Sets shown when the way was there in every repetition.
PairTiming frames_with_and_without_way(const LocatorEntry& room, const ViewerSetup& setup,
                                       const Effort& effort, bool& shown)
{
    std::vector<double> with, without;
    shown = true;
    for (int rep = 0; rep < effort.repetitions; ++rep) {
        stand_at(setup.corridor, setup.corridor_heading);
        choose_room_by_keys(room.name);
        stand_at(setup.corridor, setup.corridor_heading);
        shown = shown && shown_route() != nullptr;
        with.push_back(seconds_per_frame(effort.min_rep_seconds));
        clear_find();
        without.push_back(seconds_per_frame(effort.min_rep_seconds));
    }
    return {median(with), median(without)};
}

} // namespace

// Planning from the corridor to the farthest room, and across the diagonal
// floor, against a bare parse; the walking frame along the corridor with and
// without that room's way.
std::vector<Figure> find_figures(const ViewerSetup& setup, const Effort& effort)
{
    std::vector<Figure> figures;
    const LocatorEntry* room = farthest_room(setup.corridor);
    if (room == nullptr)
        return figures;
    const RoutePoint start{float(setup.corridor.x * plan_scale_x), float(setup.corridor.y * plan_scale_z)};
    const GoalArea goal = room_goal(*room);
    size_t points = 0;
    const PairTiming planning = time_pair(
        [&] { points = plan_route(floor_plan, start, goal, wall_clearance).size(); }, bare_parse, effort);
    Figure plan_figure = time_figure(std::string("way planning to room ") + room->name,
                                     "bare validated libxml2 parse", "us", 1e6, planning);
    plan_figure.goal = "<= 1.0";
    plan_figure.met = plan_figure.ratio <= planning_goal;
    plan_figure.note = points >= 2 ? std::to_string(points) + " points" : "WRONG PATH: no way";
    figures.push_back(plan_figure);
    figures.push_back(diagonal_floor_figure(effort));

    viewer_state.room_visit_count = 1;
    bool shown = false;
    const PairTiming frames = frames_with_and_without_way(*room, setup, effort, shown);
    char name[64];
    std::snprintf(name, sizeof name, "frame walking, way shown %dx%d", window_state.width, window_state.height);
    Figure frame = time_figure(name, "frame walking, no way", "ms", 1e3, frames);
    frame.goal = "<= 1.10";
    frame.met = frame.ratio <= way_frame_goal;
    frame.note = shown ? "way to room " + std::string(room->name) : "WRONG PATH: no way shown";
    figures.push_back(frame);
    return figures;
}

} // namespace bench
