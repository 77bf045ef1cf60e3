// walls.cpp -- wall and lintel solids, the start pose and collision.
#include "plan/walls.h"

#include "common/colour_table.h"
#include "common/state.h"

#include <cmath>    // Required for: std::sqrt(), std::fabs(), std::fmin(), std::fmax()
#include <iostream> // Required for: std::cout, std::endl

WallBox wall_boxes[max_walls];
WallBox lintel_boxes[max_lintels];

namespace {

constexpr int max_contacts = 4;           // walls one move may meet before it stops
constexpr double start_heading_plan_2 = 180.0; // degrees; plan 2 is entered from its far end

// A point on the floor, world units, in double precision.
struct FloorPoint {
    double x, z;
};

// Writes the strip vertices of corner p at heights bottom and top.
void put_corner_pair(WallBox& box, int first, const FloorPoint& p, double bottom, double top)
{
    float* low = box.vertices[first];
    float* high = box.vertices[first + 1];
    low[0] = high[0] = static_cast<float>(p.x);
    low[2] = high[2] = static_cast<float>(p.z);
    low[1] = static_cast<float>(bottom);
    high[1] = static_cast<float>(top);
}

// Gives every vertex of the box the wall colour, one lookup per vertex.
void colour_box(WallBox& box)
{
    for (float* colour : box.colours)
        colour_table.fill_rgba("Blue", 1.0f, colour);
}

// Number of segments in walls that take part in collision, within the array.
int collision_segment_count()
{
    const int total = floor_plan.wall_count + floor_plan.table_wall_count;
    if (total < 0)
        return 0;
    return total > max_walls ? max_walls : total;
}

// One axis-aligned blocking segment seen as a line with an extent.
struct WallLine {
    bool constant_x;  // the line is x = at (else z = at)
    double at;        // the line's coordinate, world units
    double lo, hi;    // its extent along the other axis, world units
};

// Where a move first meets a wall, and which coordinate the wall holds.
struct Contact {
    double t = 2.0;        // fraction of the move at the meeting point; above 1: none
    bool holds_x = false;  // the wall holds the move's x (else its z)
    double held = 0.0;     // the value the held coordinate is set to, world units
};

// The interval of t in which p + t d lies strictly between lo and hi.
struct Span {
    double enter, leave;
};

Span span_within(double p, double d, double lo, double hi)
{
    constexpr double never = 1e300;
    if (d == 0.0)
        return lo < p && p < hi ? Span{-never, never} : Span{never, -never};
    const double t1 = (lo - p) / d, t2 = (hi - p) / d;
    return t1 < t2 ? Span{t1, t2} : Span{t2, t1};
}

// The line of a blocking segment; false for a diagonal, which never blocks.
// A segment of no length blocks as a short constant-x wall.
bool as_wall_line(const WallSegment& s, WallLine& line)
{
    if (s.x1 == s.x2)
        line = WallLine{true, s.x1, std::fmin(s.z1, s.z2), std::fmax(s.z1, s.z2)};
    else if (s.z1 == s.z2)
        line = WallLine{false, s.z1, std::fmin(s.x1, s.x2), std::fmax(s.x1, s.x2)};
    else
        return false;
    return true;
}

double across(const WallLine& w, const FloorPoint& p) { return w.constant_x ? p.x : p.z; }
double along(const WallLine& w, const FloorPoint& p) { return w.constant_x ? p.z : p.x; }
double sign_of(double v) { return v < 0.0 ? -1.0 : 1.0; }

// Where the move from p by d first comes closer than the margin to the wall
// (its line, and its ends widened by the margin), judged from the side the
// visitor stands on. Meeting a face along the wall holds the coordinate
// across it at the clearance on that side; meeting an end face holds the
// coordinate along it at the clearance before the end.
Contact meet_wall(const WallLine& w, const FloorPoint& p, const FloorPoint& d)
{
    const double m = wall_margin;
    const double n0 = across(w, p) - w.at, dn = across(w, d);
    const double a0 = along(w, p), da = along(w, d);
    Contact c;
    c.holds_x = w.constant_x;
    if (std::fabs(n0) < m && w.lo - m < a0 && a0 < w.hi + m) {
        // Already within the margin: held unless he leaves it on his own
        // side; standing on the line itself, he is not held.
        if (n0 != 0.0 && sign_of(n0) * (n0 + dn) < m) {
            c.t = 0.0;
            c.held = w.at + sign_of(n0) * wall_clearance;
        }
        return c;
    }
    const Span sn = span_within(n0, dn, -m, m);
    const Span sa = span_within(a0, da, w.lo - m, w.hi + m);
    const double enter = std::fmax(0.0, std::fmax(sn.enter, sa.enter));
    const double leave = std::fmin(1.0, std::fmin(sn.leave, sa.leave));
    if (!(enter < leave))
        return c;
    c.t = enter;
    if (sn.enter >= sa.enter) {
        c.held = w.at + sign_of(n0) * wall_clearance;
    } else {
        c.holds_x = !w.constant_x;
        c.held = da > 0.0 ? w.lo - wall_clearance : w.hi + wall_clearance;
    }
    return c;
}

// True when the box around the move from p by d stays clear of the box a
// segment blocks (the segment widened by the margin on every side).
bool clear_of(const WallSegment& s, const FloorPoint& p, const FloorPoint& d)
{
    const double m = wall_margin;
    const double x0 = std::fmin(p.x, p.x + d.x), x1 = std::fmax(p.x, p.x + d.x);
    const double z0 = std::fmin(p.z, p.z + d.z), z1 = std::fmax(p.z, p.z + d.z);
    return x1 <= std::fmin(s.x1, s.x2) - m || x0 >= std::fmax(s.x1, s.x2) + m
           || z1 <= std::fmin(s.z1, s.z2) - m || z0 >= std::fmax(s.z1, s.z2) + m;
}

// The earliest wall the move from p by d meets, in walls order on a tie.
Contact first_contact(const FloorPoint& p, const FloorPoint& d)
{
    Contact first;
    const int count = collision_segment_count();
    for (int i = 0; i < count; ++i) {
        WallLine w;
        if (clear_of(floor_plan.walls[i], p, d) || !as_wall_line(floor_plan.walls[i], w))
            continue;
        const Contact c = meet_wall(w, p, d);
        if (c.t < first.t)
            first = c;
    }
    return first;
}

// True when the straight move from p to q reaches or passes the line of a
// wall within its extent widened by the margin, from off the line.
bool crosses_wall(const WallLine& w, const FloorPoint& p, const FloorPoint& q)
{
    const double a = across(w, p) - w.at, b = across(w, q) - w.at;
    if (a == 0.0 || a * b > 0.0)
        return false;
    const double t = a / (a - b);
    const double at = along(w, p) + t * (along(w, q) - along(w, p));
    return w.lo - wall_margin <= at && at <= w.hi + wall_margin;
}

// True when the straight move from p to q crosses any blocking wall.
bool crosses_any_wall(const FloorPoint& p, const FloorPoint& q)
{
    const int count = collision_segment_count();
    for (int i = 0; i < count; ++i) {
        WallLine w;
        if (as_wall_line(floor_plan.walls[i], w) && crosses_wall(w, p, q))
            return true;
    }
    return false;
}

// A point as the viewer state will hold it (single precision).
FloorPoint as_stored(const FloorPoint& p) { return {float(p.x), float(p.z)}; }

} // namespace

// Fills box with the ring of four faces around s, half a thickness out on
// every side; a segment of no length is taken as pointing along +x.
void build_wall_box(const WallSegment& s, double bottom, double top, WallBox& box)
{
    const double dx = double(s.x2) - double(s.x1);
    const double dz = double(s.z2) - double(s.z1);
    const double length = std::sqrt(dx * dx + dz * dz);
    const bool has_direction = length > 0.0;
    const FloorPoint u{has_direction ? dx / length : 1.0, has_direction ? dz / length : 0.0};
    const FloorPoint n{u.z, -u.x};
    const double t = wall_half_thickness;

    const FloorPoint a{s.x1 - t * u.x + t * n.x, s.z1 - t * u.z + t * n.z};
    const FloorPoint b{s.x2 + t * u.x + t * n.x, s.z2 + t * u.z + t * n.z};
    const FloorPoint c{s.x2 + t * u.x - t * n.x, s.z2 + t * u.z - t * n.z};
    const FloorPoint d{s.x1 - t * u.x - t * n.x, s.z1 - t * u.z - t * n.z};
    put_corner_pair(box, 0, a, bottom, top);
    put_corner_pair(box, 2, b, bottom, top);
    put_corner_pair(box, 4, c, bottom, top);
    put_corner_pair(box, 6, d, bottom, top);
    put_corner_pair(box, 8, a, bottom, top);
}

// Reads the plan, puts the visitor (and his overhead marker) at its start
// and rebuilds every box.
void build_walls()
{
    read_plan();

    viewer_state.x = floor_plan.start_x;
    viewer_state.z = floor_plan.start_z;
    // The overhead marker stands at the plan position: at the start, too.
    viewer_state.plan_x = float(viewer_state.x / plan_scale_x);
    viewer_state.plan_y = float(viewer_state.z / plan_scale_z);
    viewer_state.eye_height = 1.0f;
    const double heading = viewer_state.plan_choice == 2 ? start_heading_plan_2 : 0.0;
    viewer_state.heading = static_cast<float>(heading);
    viewer_state.popup_angle = static_cast<float>(heading);

    for (int i = 0; i < floor_plan.wall_count && i < max_walls; ++i) {
        build_wall_box(floor_plan.walls[i], 0.0, wall_height, wall_boxes[i]);
        colour_box(wall_boxes[i]);
    }
    const double lintel_bottom = lintel_bottom_ratio * wall_height;
    for (int j = 0; j < floor_plan.lintel_count && j < max_lintels; ++j) {
        build_wall_box(floor_plan.lintels[j], lintel_bottom, wall_height, lintel_boxes[j]);
        colour_box(lintel_boxes[j]);
    }
}

// Follows the move until it meets a wall, holds the blocked coordinate at
// the clearance on the visitor's side and goes on with the rest, so that a
// diagonal step into a wall slides along it. A result whose straight way
// from the start would still cross a wall (a held coordinate thrown back
// across a wall behind) gives way to the last stop before it, or to no move.
void move_with_collision(float step_x, float step_z)
{
    const FloorPoint start{viewer_state.x, viewer_state.z};
    FloorPoint target{start.x - step_x, start.z + step_z};
    FloorPoint stops[max_contacts + 2] = {start};
    int stop_count = 1;
    FloorPoint at = start;
    for (int round = 0; round < max_contacts; ++round) {
        const FloorPoint d{target.x - at.x, target.z - at.z};
        const Contact c = first_contact(at, d);
        if (c.t > 1.0 && round == 0) {
            // Met no wall on the whole way: nothing to check.
            viewer_state.x = float(target.x);
            viewer_state.z = float(target.z);
            return;
        }
        if (c.t > 1.0) {
            at = target;
            break;
        }
        at = FloorPoint{at.x + c.t * d.x, at.z + c.t * d.z};
        (c.holds_x ? at.x : at.z) = c.held;
        (c.holds_x ? target.x : target.z) = c.held;
        stops[stop_count++] = as_stored(at);
    }
    stops[stop_count++] = as_stored(at);
    for (int i = stop_count - 1; i >= 0; --i) {
        if (i == 0 || !crosses_any_wall(start, stops[i])) {
            viewer_state.x = float(stops[i].x);
            viewer_state.z = float(stops[i].z);
            return;
        }
    }
}
