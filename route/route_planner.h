// route_planner.h -- the walkable way from a point on the floor into a goal
// area, planned on the plan's walls with the clearance the walker keeps.
#pragma once

#include <vector>

#include "plan/floor_plan.h"

// A point on the floor, world units.
struct RoutePoint {
    float x, z;
};

// An axis-aligned area on the floor, world units; the way ends inside it.
struct GoalArea {
    float min_x, min_z, max_x, max_z;
};

// Grid step of the planner, world units (finer costs time, coarser closes
// narrow doors).
constexpr double route_cell_size = 0.5;
// Most grid cells one plan is given; a larger floor gets coarser cells.
constexpr long route_max_cells = 1000L * 1000;
// How far a start inside a wall's clearance may lie from the nearest free
// point of the grid, world units; farther counts as no way.
constexpr double route_start_reach = 1.0;

// The shortest way from start into goal that stays at least clearance away
// from every wall and table segment of plan; the first point is start, the
// last lies in goal. Empty when there is none.
std::vector<RoutePoint> plan_route(const FloorPlan& plan, RoutePoint start,
                                   const GoalArea& goal, double clearance);

// Length of the way along its points, world units.
double route_length(const std::vector<RoutePoint>& route);

// Smallest distance between two floor segments a-b and c-d, world units.
double segment_distance(RoutePoint a, RoutePoint b, RoutePoint c, RoutePoint d);
