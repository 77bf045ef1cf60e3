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
// Most grid cells one plan is given: floors up to 256 x 256 world units get
// route_cell_size cells, a larger floor coarser ones. The planner's memory
// follows from it, whatever the plan holds: per cell six bits of grid and
// four bytes each of cost, parent and search mark (3.2 MiB, kept from one
// plan to the next and touched only where a search goes); while it plans, at
// most two queue entries of eight bytes per cell (4 MiB), the grid way's
// jump points, at most one per cell, with their floor points (3 MiB), and the
// walls sorted into at most 17 x 17 buckets (0.4 MiB): 10.6 MiB at most.
constexpr long route_max_cells = 1L << 18;
// How far the grid reaches past the floor rectangle (and the start and the
// goal), world units; walls beyond it do not count.
constexpr double route_floor_margin = 2.0;
// A start or goal farther outside the floor rectangle than the larger of
// this and the floor's larger side has no way, world units.
constexpr double route_least_outside_reach = 10.0;
// How far a start inside a wall's clearance may lie from the nearest free
// point of the grid, world units; farther counts as no way.
constexpr double route_start_reach = 1.0;

// The shortest way from start into goal that stays at least clearance away
// from every wall and table segment of plan, planned over the floor
// rectangle, the start and the goal; the first point is start, the last lies
// in goal. Empty when there is none, or when a point is not finite or lies
// far outside the floor.
std::vector<RoutePoint> plan_route(const FloorPlan& plan, RoutePoint start,
                                   const GoalArea& goal, double clearance);

// How far the visitor may stray from a shown way before it is planned again,
// world units: one grid cell.
constexpr double route_leave_distance = route_cell_size;

// Shortens way to what is left of it from here: here, the nearest point of
// the way, and the points after that one. False, way unchanged, when here
// lies farther than route_leave_distance from every leg (or is not finite).
bool follow_route(std::vector<RoutePoint>& way, RoutePoint here);

// Length of the way along its points, world units.
double route_length(const std::vector<RoutePoint>& route);

// Smallest distance between two floor segments a-b and c-d, world units.
double segment_distance(RoutePoint a, RoutePoint b, RoutePoint c, RoutePoint d);
