// start_check.cpp -- the start point of a plan: clear of the walls, on the
// floor, and somewhere from which a visitor reaches a room and can leave it.
//
// Reachability is found on a grid of cells over the floor: a cell is closed
// when its centre lies within the walls' margin of a blocking segment, and
// the visitor's region is every open cell joined to the start cell.
#include <algorithm>  // Required for: std::max(), std::min()
#include <cmath>      // Required for: std::fabs(), std::floor(), std::ceil(), std::isfinite()
#include <vector>     // Required for: std::vector

#include "common/state.h"
#include "plan/walls.h"
#include "maintainer/check_parts.h"
#include "maintainer/plan_geometry.h"

namespace {

constexpr float grid_cell = 0.15f;    // world units; less than twice the margin, so no wall leaks
constexpr int max_grid_side = 2000;   // cells along one side at most
constexpr int grid_border = 2;        // open cells around the floor rectangle

// ---------------------------------------------------------------------------
// Wall margins

bool within_margin(const WallSegment& s, float x, float z)
{
    const float m = wall_margin;
    if (is_constant_x(s))
        return std::fabs(x - s.x1) < m && z > std::min(s.z1, s.z2) - m
            && z < std::max(s.z1, s.z2) + m;
    if (is_constant_z(s))
        return std::fabs(z - s.z1) < m && x > std::min(s.x1, s.x2) - m
            && x < std::max(s.x1, s.x2) + m;
    return false;  // a diagonal never blocks
}

// Names segment k of the wall table: a plan wall by its number in the file,
// or the desk of a blocking table, whose block starts at the table's anchor.
std::string blocking_label(const LoadedPlan& plan, int k)
{
    const WallSegment& s = floor_plan.walls[k];
    if (k < floor_plan.wall_count) {
        for (std::size_t i = 0; i < plan.walls.size(); ++i)
            if (plan.walls[i].x1 == s.x1 && plan.walls[i].z1 == s.z1 && plan.walls[i].x2 == s.x2
                && plan.walls[i].z2 == s.z2)
                return wall_label(plan, i);
        return "a wall";
    }
    const int block_start = k - (k - floor_plan.wall_count) % table_block_segments;
    const WallSegment& first = floor_plan.walls[block_start];
    for (int32_t t = 0; t < floor_plan.table_count; ++t) {
        const TablePlacement& table = floor_plan.tables[t];
        if (table.kind == blocking_table_kind && table.x == first.x1 && table.z == first.z1)
            return "the desk of table " + std::to_string(t + 1);
    }
    return "a desk";
}

// Warns when the start lies inside the margin of a blocking segment.
void check_margin(BuildingReport& report, const LoadedPlan& plan)
{
    const float x = floor_plan.start_x;
    const float z = floor_plan.start_z;
    const int total = std::min(floor_plan.wall_count + floor_plan.table_wall_count, max_walls);
    for (int k = 0; k < total; ++k) {
        if (!within_margin(floor_plan.walls[k], x, z))
            continue;
        add_finding(report, Severity::warning, plan.file, 0, "start point",
                    world_point_text(x, z) + " lies within the " + number_text(wall_margin)
                        + " world-unit margin of " + blocking_label(plan, k) + " "
                        + world_span_text(floor_plan.walls[k])
                        + "; the visitor's first move throws him " + number_text(wall_clearance)
                        + " off it",
                    world_point_place(x, z));
        return;
    }
}

// ---------------------------------------------------------------------------
// The walking grid

struct WalkGrid {
    float origin_x = 0.0f, origin_z = 0.0f;  // world corner of cell (0, 0)
    float cell = grid_cell;                  // side of a cell, world units
    float band = 0.0f;                       // a centre this close to a wall line is closed
    int nx = 0, nz = 0;                      // cells along x and z
    std::vector<unsigned char> closed;       // 1: no visitor stands there

    float centre_x(int i) const { return origin_x + (float(i) + 0.5f) * cell; }
    float centre_z(int j) const { return origin_z + (float(j) + 0.5f) * cell; }
};

// The first and last cell whose centre lies strictly between low and high.
bool cell_range(float origin, float cell, int count, double low, double high, int* first, int* last)
{
    const double from = std::ceil((low - origin) / cell - 0.5);
    const double to = std::floor((high - origin) / cell - 0.5);
    const double lo = std::max(from, 0.0);
    const double hi = std::min(to, double(count - 1));
    if (lo > hi)
        return false;
    *first = int(lo);
    *last = int(hi);
    return true;
}

void close_segment(WalkGrid& grid, const WallSegment& s)
{
    if (!is_constant_x(s) && !is_constant_z(s))
        return;
    const double low_x = std::min(s.x1, s.x2) - grid.band;
    const double high_x = std::max(s.x1, s.x2) + grid.band;
    const double low_z = std::min(s.z1, s.z2) - grid.band;
    const double high_z = std::max(s.z1, s.z2) + grid.band;
    int i0 = 0, i1 = 0, j0 = 0, j1 = 0;
    if (!cell_range(grid.origin_x, grid.cell, grid.nx, low_x, high_x, &i0, &i1)
        || !cell_range(grid.origin_z, grid.cell, grid.nz, low_z, high_z, &j0, &j1))
        return;
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i)
            grid.closed[std::size_t(j) * grid.nx + i] = 1;
}

WalkGrid make_grid(const LoadedPlan& plan)
{
    WalkGrid grid;
    const float width = plan.max_x - plan.min_x;
    const float depth = plan.max_z - plan.min_z;
    grid.cell = std::max(grid_cell, std::max(width, depth) / float(max_grid_side));
    grid.band = std::max(float(wall_margin), 0.55f * grid.cell);
    grid.nx = int(width / grid.cell) + 1 + 2 * grid_border;
    grid.nz = int(depth / grid.cell) + 1 + 2 * grid_border;
    grid.origin_x = plan.min_x - grid_border * grid.cell;
    grid.origin_z = plan.min_z - grid_border * grid.cell;
    grid.closed.assign(std::size_t(grid.nx) * grid.nz, 0);
    const int total = std::min(floor_plan.wall_count + floor_plan.table_wall_count, max_walls);
    for (int k = 0; k < total; ++k)
        close_segment(grid, floor_plan.walls[k]);
    return grid;
}

// Every cell joined to the start cell through open cells, the start included.
std::vector<int> reachable_cells(const WalkGrid& grid, int start)
{
    std::vector<unsigned char> seen(grid.closed.size(), 0);
    std::vector<int> reached{start};
    seen[start] = 1;
    for (std::size_t next = 0; next < reached.size(); ++next) {
        const int at = reached[next];
        const int i = at % grid.nx;
        const int j = at / grid.nx;
        const int neighbours[4][2] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
        for (const auto& n : neighbours) {
            if (n[0] < 0 || n[0] >= grid.nx || n[1] < 0 || n[1] >= grid.nz)
                continue;
            const int index = n[1] * grid.nx + n[0];
            if (seen[index] || grid.closed[index])
                continue;
            seen[index] = 1;
            reached.push_back(index);
        }
    }
    return reached;
}

// The first room box holding the plan point, as the viewer's search does; -1 if none.
int room_at(const std::vector<RoomFacts>& rooms, float x, float y)
{
    for (std::size_t r = 0; r < rooms.size(); ++r)
        if (rooms[r].min_x <= x && x <= rooms[r].max_x && rooms[r].min_y <= y && y <= rooms[r].max_y)
            return static_cast<int>(r);
    return -1;
}

// What a visitor at the start can reach: which rooms, and floor outside them.
struct Reach {
    std::vector<bool> rooms;   // per locator record: some reachable cell lies in its box
    int room_count = 0;        // rooms reached
    int last_room = -1;        // one of them
    bool open_floor = false;   // some reachable cell lies in no box
};

Reach reach_from_start(const LoadedPlan& plan, const std::vector<RoomFacts>& rooms)
{
    Reach reach;
    reach.rooms.assign(rooms.size(), false);
    const WalkGrid grid = make_grid(plan);
    const int i = int(std::floor((floor_plan.start_x - grid.origin_x) / grid.cell));
    const int j = int(std::floor((floor_plan.start_z - grid.origin_z) / grid.cell));
    for (int index : reachable_cells(grid, j * grid.nx + i)) {
        const float x = float(grid.centre_x(index % grid.nx) / plan_scale_x);
        const float y = float(grid.centre_z(index / grid.nx) / plan_scale_z);
        const int room = room_at(rooms, x, y);
        if (room < 0) {
            reach.open_floor = true;
        } else if (!reach.rooms[room]) {
            reach.rooms[room] = true;
            ++reach.room_count;
            reach.last_room = room;
        }
    }
    return reach;
}

// Warns when the visitor can reach no room from the start, or never leave it.
void check_walled_in(BuildingReport& report, const LoadedPlan& plan)
{
    const std::vector<RoomFacts>& rooms = report.rooms;
    if (rooms.empty())
        return;  // without rooms there is nothing to reach; the locator is reported
    const float width = plan.max_x - plan.min_x;
    const float depth = plan.max_z - plan.min_z;
    if (!std::isfinite(width) || !std::isfinite(depth))
        return;  // a floor beyond the float range has no grid; its walls are reported
    const Reach reach = reach_from_start(plan, rooms);
    const std::string where = world_point_text(floor_plan.start_x, floor_plan.start_z);
    const FloorPlace place = world_point_place(floor_plan.start_x, floor_plan.start_z);
    if (reach.room_count == 0)
        add_finding(report, Severity::warning, plan.file, 0, "start point",
                    where + " is walled in: no room can be reached from it", place);
    else if (reach.room_count == 1 && !reach.open_floor)
        add_finding(report, Severity::warning, plan.file, 0, "start point",
                    where + " is walled in inside " + room_label(rooms[reach.last_room].name)
                        + ": the visitor can never leave it",
                    place);
}

} // namespace

// Checks the start point of the plan in floor_plan: wall margins, floor,
// and whether a visitor standing there can reach a room and leave it.
void check_start_point(BuildingReport& report, const LoadedPlan& plan)
{
    check_margin(report, plan);
    if (!on_floor(plan, floor_plan.start_x, floor_plan.start_z)) {
        add_finding(report, Severity::warning, plan.file, 0, "start point",
                    world_point_text(floor_plan.start_x, floor_plan.start_z)
                        + " lies outside the floor rectangle " + floor_text(plan)
                        + ", in no room and no corridor",
                    world_point_place(floor_plan.start_x, floor_plan.start_z));
        return;
    }
    check_walled_in(report, plan);
}
