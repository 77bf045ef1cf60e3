// walls.h -- wall and lintel solids, and the visitor's collision with walls.
#pragma once

#include "plan/floor_plan.h"

constexpr double wall_height = 4.0;          // top of walls and lintels, ceiling height
constexpr double wall_half_thickness = 0.1;  // box reach to each side and past each end
constexpr double lintel_bottom_ratio = 0.67; // lintel bottom as a share of wall_height
constexpr float wall_margin = 0.1f;          // closer than this to a wall line is blocked
constexpr double wall_clearance = 0.25;      // a blocked visitor stands this far off

// The drawable solid of one segment: a closed quad strip of ten vertices.
struct WallBox {
    float vertices[10][3];  // x, y, z of each strip vertex, world units
    float colours[10][4];   // r, g, b, a of each vertex, 0 to 1
};

extern WallBox wall_boxes[max_walls];     // one per plan wall
extern WallBox lintel_boxes[max_lintels]; // one per lintel

// Fills box with the solid of segment s between heights bottom and top.
void build_wall_box(const WallSegment& s, double bottom, double top, WallBox& box);

// Reads the plan, sets the start pose and rebuilds every wall and lintel box.
void build_walls();

// Moves the visitor by (-step_x, +step_z) as far as the axis-aligned walls allow.
void move_with_collision(float step_x, float step_z);

