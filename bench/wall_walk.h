// wall_walk.h -- a seeded random walk of the visitor through move_with_collision
// on the loaded plan, counting the moves that take him across a wall.
#pragma once

#include <cmath>    // Required for: std::sin(), std::cos()
#include <cstdint>  // Required for: uint32_t
#include <random>   // Required for: std::mt19937

#include "common/state.h"
#include "plan/walls.h"

namespace wall_walk {

// Pointer travel of the walk's events, pixels, and what it means to the viewer.
constexpr int arrow_step = 10;            // an up or down arrow press
constexpr int arrow_turn = 20;            // a left or right arrow press
constexpr int longest_drag = 60;          // a drag event moves at most this far per axis
constexpr double turn_per_pixel = 0.3;    // degrees
constexpr double step_per_pixel = 0.04;   // world units
constexpr long relocate_every = 500;      // moves between drops at a random floor point

// What a walk found.
struct WalkResult {
    long moves = 0;        // calls of move_with_collision
    long crossings = 0;    // moves that took the visitor across a wall line
    long stuck = 0;        // moves with a step that left the visitor where he was
    float from_x = 0.0f, from_z = 0.0f;   // the first crossing: start of the move
    float step_x = 0.0f, step_z = 0.0f;   // and its step
};

// Whether the straight move from (x0, z0) to (x1, z1) reaches or passes the
// line of one axis-aligned segment within the segment's ends, starting off it.
inline bool crosses(const WallSegment& s, double x0, double z0, double x1, double z1)
{
    const bool along_z = s.x1 == s.x2, along_x = s.z1 == s.z2;
    if (along_z == along_x)
        return false;  // diagonal segments do not block; a point has no line
    const double line = along_z ? s.x1 : s.z1;
    const double a = (along_z ? x0 : z0) - line, b = (along_z ? x1 : z1) - line;
    if (a == 0.0 || a * b > 0.0)
        return false;
    const double t = a / (a - b);
    const double at = along_z ? z0 + t * (z1 - z0) : x0 + t * (x1 - x0);
    const double lo = along_z ? std::fmin(s.z1, s.z2) : std::fmin(s.x1, s.x2);
    const double hi = along_z ? std::fmax(s.z1, s.z2) : std::fmax(s.x1, s.x2);
    return lo <= at && at <= hi;
}

// Whether the move crosses any blocking segment of the loaded plan.
inline bool crosses_any_wall(float x0, float z0, float x1, float z1)
{
    const int count = floor_plan.wall_count + floor_plan.table_wall_count;
    for (int i = 0; i < count && i < max_walls; ++i)
        if (crosses(floor_plan.walls[i], x0, z0, x1, z1))
            return true;
    return false;
}

// A number from 0 up to (not including) 1.
inline double unit_random(std::mt19937& rng) { return rng() / 4294967296.0; }

// Drops the visitor at a random point of the floor with a random heading, as
// a walk with the walls off would leave him (even inside a wall).
inline void relocate(std::mt19937& rng)
{
    const FloorPlan& p = floor_plan;
    viewer_state.x = float(p.floor_x1 + unit_random(rng) * (p.floor_x2 - p.floor_x1));
    viewer_state.z = float(p.floor_z1 + unit_random(rng) * (p.floor_z2 - p.floor_z1));
    viewer_state.heading = float(unit_random(rng) * 360.0);
}

// Pointer travel of the next event: arrow steps forward and back, arrow
// turns, and drags of 1 to 60 pixels along either axis or both.
inline void next_travel(std::mt19937& rng, int& dx, int& dy)
{
    const unsigned kind = rng() % 100;
    dx = dy = 0;
    if (kind < 30) {
        dy = -arrow_step;
    } else if (kind < 40) {
        dy = arrow_step;
    } else if (kind < 55) {
        dx = rng() % 2 ? arrow_turn : -arrow_turn;
    } else {
        const int span = 2 * longest_drag + 1;
        while (dx == 0 && dy == 0) {
            dx = kind < 70 ? 0 : int(rng() % span) - longest_drag;
            dy = int(rng() % span) - longest_drag;
        }
    }
}

// Walks the visitor moves times from the plan's start, turning and stepping
// as the motion callback does with the walls on, and counts the crossings.
inline WalkResult walk(long moves, uint32_t seed)
{
    std::mt19937 rng(seed);
    ViewerState& v = viewer_state;
    v.x = floor_plan.start_x;
    v.z = floor_plan.start_z;
    WalkResult result;
    for (long i = 1; i <= moves; ++i) {
        if (i % relocate_every == 0)
            relocate(rng);
        int dx = 0, dy = 0;
        next_travel(rng, dx, dy);
        v.heading = float(v.heading + dx * turn_per_pixel);
        const double h = v.heading * degrees_to_radians;
        const float step_x = float(std::sin(h) * dy * step_per_pixel);
        const float step_z = float(std::cos(h) * dy * step_per_pixel);
        const float x0 = v.x, z0 = v.z;
        move_with_collision(step_x, step_z);
        ++result.moves;
        if ((step_x != 0.0f || step_z != 0.0f) && v.x == x0 && v.z == z0)
            ++result.stuck;
        if (!crosses_any_wall(x0, z0, v.x, v.z))
            continue;
        if (result.crossings++ == 0) {
            result.from_x = x0, result.from_z = z0;
            result.step_x = step_x, result.step_z = step_z;
        }
    }
    return result;
}

} // namespace wall_walk
