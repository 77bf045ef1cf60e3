// floor_plan.h -- the floor plan: file format reader and the loaded plan.
#pragma once

#include <cstdint>

#include "common/config.h"  // Required for: max_walls, max_lintels, max_tables

// Longest built-in plan name, in characters (plus the terminating zero).
constexpr int plan_name_size = 30;
// Number of built-in plans, chosen by plan_choice 1 to 3.
constexpr int plan_name_count = 3;

// A segment on the floor, world units. Either end may be the smaller one.
struct WallSegment {
    float x1, z1;   // first end
    float x2, z2;   // second end
};

struct TablePlacement {
    float x, z;     // the table's anchor point, world units
    int32_t kind;   // 2: blocks the visitor (four segments appended); else only drawn
};

struct FloorPlan {
    float floor_x1, floor_z1;           // one corner of the floor rectangle, world units
    float floor_x2, floor_z2;           // the opposite corner, world units
    WallSegment walls[max_walls];       // sorted unique plan walls, then table segments
    int32_t wall_count;                 // plan walls in walls
    int32_t table_wall_count;           // table segments after the plan walls
    WallSegment lintels[max_lintels];   // lintels, in file order
    int32_t lintel_count;               // lintels in use
    TablePlacement tables[max_tables];  // tables, in file order
    int32_t table_count;                // tables in use
    float start_x, start_z;             // visitor start point, world units
    float mark_x, mark_z;               // second point of the last line, unused
    // Index in walls where the last room visit's four segments start, or -1
    // when no visit has added any since the plan was read. A visit replaces
    // its predecessor's block instead of piling up segments.
    int32_t visit_wall_start;
};

// The one loaded plan; zero until the first successful read.
extern FloorPlan floor_plan;

// Built-in plan file names; row n is chosen by plan_choice n (row 0 unused).
extern const char plan_file_names[plan_name_count + 1][plan_name_size];

// True when the four coordinates are equal exactly.
bool same_segment(const WallSegment& a, const WallSegment& b);
// Orders walls by the weight 1000 x1 + 100 x2 + 10 z1 + z2; -1, 0 or 1.
int compare_segments(const WallSegment& a, const WallSegment& b);

// Reads the plan chosen by the viewer state into floor_plan, converting to
// world units, sorting the walls and dropping exact duplicates.
void read_plan();

// Appends the four blocking segments of a table anchored at world (x, z);
// false (and nothing appended) when they would not fit in the wall table.
bool add_table_walls(float x, float z);
