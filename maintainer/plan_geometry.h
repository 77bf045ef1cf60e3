// plan_geometry.h -- one plan as the viewer's reader left it, with its walls
// in file order, and the geometry tests the plan checks share.
#pragma once

#include <string>
#include <vector>

#include "plan/floor_plan.h"
#include "maintainer/building_check.h"

// World coordinates closer than this count as the same place, world units.
constexpr float world_tolerance = 0.003f;

// A plan just read, world units as the viewer holds them.
struct LoadedPlan {
    std::string file;                // "plan.dat"
    std::vector<WallSegment> walls;  // in file order, or in stored order (see below)
    bool walls_in_file_order = true; // false: numbered as the reader stored them
    float min_x = 0.0f, max_x = 0.0f, min_z = 0.0f, max_z = 0.0f;  // floor rectangle
};

// "wall 17", numbered as the file lists them when that order is known.
std::string wall_label(const LoadedPlan& plan, std::size_t index);
// Plan-unit text of a world segment: "(0 0)-(30 0)".
std::string world_span_text(const WallSegment& s);
// Plan-unit text of a world point: "(4.5 2.7)".
std::string world_point_text(float x, float z);
// A world segment as a map place in plan units.
FloorPlace world_segment_place(const WallSegment& s);
// A world point as a map place in plan units.
FloorPlace world_point_place(float x, float z);
// True when the world point lies on the floor rectangle or inside it.
bool on_floor(const LoadedPlan& plan, float x, float z);
// "(0 0)-(30 6)": the floor rectangle in plan units.
std::string floor_text(const LoadedPlan& plan);

bool is_constant_x(const WallSegment& s);
bool is_constant_z(const WallSegment& s);

// Checks the start point of the plan in floor_plan: wall margins, floor,
// and whether a visitor standing there can reach a room and leave it.
void check_start_point(BuildingReport& report, const LoadedPlan& plan);
