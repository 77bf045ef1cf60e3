// walls.cpp -- wall and lintel solids, the start pose, collision and table blocks.
#include "plan/walls.h"

#include "app/state.h"
#include "render/colour_table.h"

#include <cmath>    // Required for: std::sqrt(), std::fabs()
#include <iostream> // Required for: std::cout, std::endl

WallBox wall_boxes[max_walls];
WallBox lintel_boxes[max_lintels];

namespace {

constexpr double no_hit = -1.0;           // hit value that stands for "no blocking wall"
constexpr double no_hit_tolerance = 1e-6; // a hit this close to no_hit counts as none
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

bool is_no_hit(float hit) { return std::fabs(double(hit) - no_hit) < no_hit_tolerance; }

// Coordinate of the first constant-x segment that blocks a move from x to
// x - step_x at depth z, or no_hit.
float first_x_hit(float x, float z, float step_x)
{
    const float target = x - step_x;
    const int count = collision_segment_count();
    for (int i = 0; i < count; ++i) {
        const WallSegment& s = floor_plan.walls[i];
        if (s.x1 != s.x2)
            continue;
        const bool within = (s.z1 - wall_margin < z && z < s.z2 + wall_margin)
                            || (s.z2 - wall_margin < z && z < s.z1 + wall_margin);
        if (!within)
            continue;
        if ((x < s.x1 && target > s.x1 - wall_margin) || (x > s.x1 && target < s.x1 + wall_margin))
            return s.x1;
    }
    return static_cast<float>(no_hit);
}

// Coordinate of the first constant-z segment that blocks a move from z to
// z + step_z at position x, or no_hit.
float first_z_hit(float x, float z, float step_z)
{
    const float target = z + step_z;
    const int count = collision_segment_count();
    for (int i = 0; i < count; ++i) {
        const WallSegment& s = floor_plan.walls[i];
        if (s.z1 != s.z2)
            continue;
        const bool within = (s.x1 - wall_margin < x && x < s.x2 + wall_margin)
                            || (s.x2 - wall_margin < x && x < s.x1 + wall_margin);
        if (!within)
            continue;
        if ((z < s.z1 && target > s.z1 - wall_margin) || (z > s.z1 && target < s.z1 + wall_margin))
            return s.z1;
    }
    return static_cast<float>(no_hit);
}

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

// Reads the plan, puts the visitor at its start and rebuilds every box.
void build_walls()
{
    read_plan();

    viewer_state.x = floor_plan.start_x;
    viewer_state.z = floor_plan.start_z;
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

// Decides each axis against the position before the move: a free axis takes
// its step, a blocked one snaps to the clearance on the side the step sign
// names, so a diagonal step into a wall slides along it.
void move_with_collision(float step_x, float step_z)
{
    const float x = viewer_state.x;
    const float z = viewer_state.z;
    const float hit_x = first_x_hit(x, z, step_x);
    const float hit_z = first_z_hit(x, z, step_z);

    if (is_no_hit(hit_x))
        viewer_state.x = x - step_x;
    else
        viewer_state.x = static_cast<float>(step_x < 0.0f ? hit_x - wall_clearance
                                                          : hit_x + wall_clearance);
    if (is_no_hit(hit_z))
        viewer_state.z = z + step_z;
    else
        viewer_state.z = static_cast<float>(step_z < 0.0f ? hit_z + wall_clearance
                                                          : hit_z - wall_clearance);
}

// Appends the four segments of the 1.1 x 1.0 block of a table at (x, z);
// false (and nothing appended) when they would not fit in the wall table.
bool add_table_walls(float x, float z)
{
    const int k = floor_plan.wall_count + floor_plan.table_wall_count;
    if (!table_block_fits(k))
        return false;
    const float x_end = static_cast<float>(x + table_block_length);
    const float x_side = static_cast<float>(x + table_block_side);
    const float z_far = static_cast<float>(z + table_block_side);
    WallSegment* block = &floor_plan.walls[k];
    block[0] = WallSegment{x, z, x_end, z};
    block[1] = WallSegment{x, z_far, x_end, z_far};
    block[2] = WallSegment{x_side, z_far, x_side, z};
    block[3] = WallSegment{x, z, x, z_far};
    floor_plan.table_wall_count += table_block_segments;
    return true;
}
