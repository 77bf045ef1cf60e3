// route_planner.cpp -- A* search on a grid of free floor cells, then the
// grid path pulled straight wherever the walls leave a clear line, and its
// corners drawn in to the clearance.
#include "route/route_planner.h"

#include <algorithm>  // Required for: std::min(), std::max(), std::reverse()
#include <cmath>      // Required for: std::sqrt(), std::floor(), std::isfinite()
#include <cstdint>    // Required for: int32_t, uint8_t
#include <queue>      // Required for: std::priority_queue

namespace {

constexpr double diagonal_step = 1.4142135623730951;  // length of a diagonal move, cells
constexpr int32_t no_cell = -1;
constexpr double estimate_nudge = 1.001;  // see goal_estimate
constexpr int tighten_passes = 3;   // rounds of corner tightening
constexpr int tighten_steps = 8;    // halvings per corner and round

// The floor as a grid of cells; a cell is blocked when its centre lies so
// near a wall that a move to a neighbour could come closer than the clearance.
struct RouteGrid {
    double origin_x, origin_z;   // world position of cell (0, 0)'s lower corner
    double cell;                 // cell edge, world units
    int columns, rows;
    std::vector<uint8_t> blocked;
    double centre_x(int c) const { return origin_x + (c + 0.5) * cell; }
    double centre_z(int r) const { return origin_z + (r + 0.5) * cell; }
    int index(int c, int r) const { return r * columns + c; }
};

// One open cell of the search, ordered by estimated total length.
struct OpenCell {
    double estimate;
    int32_t index;
    bool operator>(const OpenCell& other) const { return estimate > other.estimate; }
};

double squared(double v) { return v * v; }

// Distance from point p to the segment a-b.
double point_segment_distance(double px, double pz, double ax, double az, double bx, double bz)
{
    const double dx = bx - ax, dz = bz - az;
    const double length2 = dx * dx + dz * dz;
    double t = length2 > 0.0 ? ((px - ax) * dx + (pz - az) * dz) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::sqrt(squared(px - (ax + t * dx)) + squared(pz - (az + t * dz)));
}

// The wall and table segments that collision uses, within the array.
int segment_count(const FloorPlan& plan)
{
    const long total = long(plan.wall_count) + long(plan.table_wall_count);
    return int(std::max(0L, std::min(total, long(max_walls))));
}

bool finite_segment(const WallSegment& s)
{
    return std::isfinite(s.x1) && std::isfinite(s.z1) && std::isfinite(s.x2) && std::isfinite(s.z2);
}

// Grid extent: the floor rectangle and every segment. False when nothing
// finite bounds it.
bool grid_extent(const FloorPlan& plan, double& x0, double& z0, double& x1, double& z1)
{
    x0 = std::min(plan.floor_x1, plan.floor_x2);
    x1 = std::max(plan.floor_x1, plan.floor_x2);
    z0 = std::min(plan.floor_z1, plan.floor_z2);
    z1 = std::max(plan.floor_z1, plan.floor_z2);
    for (int i = 0; i < segment_count(plan); ++i) {
        const WallSegment& s = plan.walls[i];
        if (!finite_segment(s))
            continue;
        x0 = std::min({x0, double(s.x1), double(s.x2)});
        x1 = std::max({x1, double(s.x1), double(s.x2)});
        z0 = std::min({z0, double(s.z1), double(s.z2)});
        z1 = std::max({z1, double(s.z1), double(s.z2)});
    }
    return std::isfinite(x0) && std::isfinite(x1) && std::isfinite(z0) && std::isfinite(z1)
        && x1 > x0 && z1 > z0;
}

// Marks the cells whose centre lies within reach of segment s.
void block_segment(RouteGrid& grid, const WallSegment& s, double reach)
{
    const int c0 = std::max(0, int(std::floor((std::min(s.x1, s.x2) - reach - grid.origin_x) / grid.cell)));
    const int c1 = std::min(grid.columns - 1, int(std::floor((std::max(s.x1, s.x2) + reach - grid.origin_x) / grid.cell)));
    const int r0 = std::max(0, int(std::floor((std::min(s.z1, s.z2) - reach - grid.origin_z) / grid.cell)));
    const int r1 = std::min(grid.rows - 1, int(std::floor((std::max(s.z1, s.z2) + reach - grid.origin_z) / grid.cell)));
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            if (point_segment_distance(grid.centre_x(c), grid.centre_z(r), s.x1, s.z1, s.x2, s.z2) < reach)
                grid.blocked[grid.index(c, r)] = 1;
}

// Builds the grid of plan; false when the plan has no finite extent.
bool build_grid(const FloorPlan& plan, double clearance, RouteGrid& grid)
{
    double x0, z0, x1, z1;
    if (!grid_extent(plan, x0, z0, x1, z1))
        return false;
    grid.cell = route_cell_size;
    const double area = (x1 - x0) * (z1 - z0);
    if (area / (grid.cell * grid.cell) > double(route_max_cells))
        grid.cell = std::sqrt(area / double(route_max_cells));
    grid.origin_x = x0;
    grid.origin_z = z0;
    grid.columns = std::max(1, int(std::ceil((x1 - x0) / grid.cell)));
    grid.rows = std::max(1, int(std::ceil((z1 - z0) / grid.cell)));
    grid.blocked.assign(size_t(grid.columns) * size_t(grid.rows), 0);
    // Any point of a move between two neighbouring free centres lies within
    // half a diagonal of one of them.
    const double reach = clearance + grid.cell * diagonal_step * 0.5;
    for (int i = 0; i < segment_count(plan); ++i)
        if (finite_segment(plan.walls[i]))
            block_segment(grid, plan.walls[i], reach);
    return true;
}

// The free cell nearest to p within the start reach, or no_cell.
int32_t nearest_free_cell(const RouteGrid& grid, RoutePoint p)
{
    const double fc = (p.x - grid.origin_x) / grid.cell - 0.5;
    const double fr = (p.z - grid.origin_z) / grid.cell - 0.5;
    const int span = int(std::ceil(route_start_reach / grid.cell)) + 1;
    int32_t best = no_cell;
    double best_distance = route_start_reach;
    for (int r = int(std::floor(fr)) - span; r <= int(std::floor(fr)) + span + 1; ++r) {
        for (int c = int(std::floor(fc)) - span; c <= int(std::floor(fc)) + span + 1; ++c) {
            if (c < 0 || r < 0 || c >= grid.columns || r >= grid.rows || grid.blocked[grid.index(c, r)])
                continue;
            const double d = std::sqrt(squared(grid.centre_x(c) - p.x) + squared(grid.centre_z(r) - p.z));
            if (d <= best_distance) {
                best_distance = d;
                best = grid.index(c, r);
            }
        }
    }
    return best;
}

bool in_goal(const RouteGrid& grid, const GoalArea& goal, int c, int r)
{
    const double x = grid.centre_x(c), z = grid.centre_z(r);
    return x >= goal.min_x && x <= goal.max_x && z >= goal.min_z && z <= goal.max_z;
}

// Octile distance from cell (c, r) to the goal area, cells, nudged up by a
// thousandth: among the many equally short grid ways the search then keeps
// to the one it is on instead of widening over all of them, for a way at
// most that thousandth longer.
double goal_estimate(const RouteGrid& grid, const GoalArea& goal, int c, int r)
{
    const double x = grid.centre_x(c), z = grid.centre_z(r);
    const double dx = std::max({0.0, goal.min_x - x, x - goal.max_x}) / grid.cell;
    const double dz = std::max({0.0, goal.min_z - z, z - goal.max_z}) / grid.cell;
    return (std::max(dx, dz) + (diagonal_step - 1.0) * std::min(dx, dz)) * estimate_nudge;
}

// A* over the free cells from start to the first goal cell; the cells of
// the way in order, or none.
std::vector<int32_t> search_cells(const RouteGrid& grid, const GoalArea& goal, int32_t start)
{
    const size_t n = grid.blocked.size();
    std::vector<double> cost(n, -1.0);
    std::vector<int32_t> from(n, no_cell);
    std::priority_queue<OpenCell, std::vector<OpenCell>, std::greater<OpenCell>> open;
    cost[size_t(start)] = 0.0;
    open.push({goal_estimate(grid, goal, start % grid.columns, start / grid.columns), start});
    static const int step_c[8] = {1, -1, 0, 0, 1, 1, -1, -1};
    static const int step_r[8] = {0, 0, 1, -1, 1, -1, 1, -1};
    while (!open.empty()) {
        const OpenCell top = open.top();
        open.pop();
        const int c = top.index % grid.columns, r = top.index / grid.columns;
        const double g = cost[size_t(top.index)];
        if (top.estimate > g + goal_estimate(grid, goal, c, r) + 1e-6)
            continue;  // a shorter way to this cell was found after it was queued
        if (in_goal(grid, goal, c, r)) {
            std::vector<int32_t> cells;
            for (int32_t i = top.index; i != no_cell; i = from[size_t(i)])
                cells.push_back(i);
            std::reverse(cells.begin(), cells.end());
            return cells;
        }
        for (int k = 0; k < 8; ++k) {
            const int nc = c + step_c[k], nr = r + step_r[k];
            if (nc < 0 || nr < 0 || nc >= grid.columns || nr >= grid.rows)
                continue;
            const int32_t next = grid.index(nc, nr);
            if (grid.blocked[size_t(next)])
                continue;
            const double ng = g + (k < 4 ? 1.0 : diagonal_step);
            if (cost[size_t(next)] >= 0.0 && cost[size_t(next)] <= ng)
                continue;
            cost[size_t(next)] = ng;
            from[size_t(next)] = top.index;
            open.push({ng + goal_estimate(grid, goal, nc, nr), next});
        }
    }
    return {};
}

// The cell path as points, keeping only the cells where it turns.
std::vector<RoutePoint> turning_points(const RouteGrid& grid, const std::vector<int32_t>& cells)
{
    std::vector<RoutePoint> points;
    for (size_t i = 0; i < cells.size(); ++i) {
        const bool straight = i > 0 && i + 1 < cells.size()
                              && cells[i] - cells[i - 1] == cells[i + 1] - cells[i];
        if (straight)
            continue;
        const int c = cells[i] % grid.columns, r = cells[i] / grid.columns;
        points.push_back({float(grid.centre_x(c)), float(grid.centre_z(r))});
    }
    return points;
}

// True when the straight line a-b keeps the clearance from every segment.
bool clear_line(const FloorPlan& plan, RoutePoint a, RoutePoint b, double clearance)
{
    const double lo_x = std::min(a.x, b.x) - clearance, hi_x = std::max(a.x, b.x) + clearance;
    const double lo_z = std::min(a.z, b.z) - clearance, hi_z = std::max(a.z, b.z) + clearance;
    for (int i = 0; i < segment_count(plan); ++i) {
        const WallSegment& s = plan.walls[i];
        if (std::max(s.x1, s.x2) < lo_x || std::min(s.x1, s.x2) > hi_x
            || std::max(s.z1, s.z2) < lo_z || std::min(s.z1, s.z2) > hi_z || !finite_segment(s))
            continue;
        if (segment_distance(a, b, {s.x1, s.z1}, {s.x2, s.z2}) < clearance)
            return false;
    }
    return true;
}

// Keeps from each kept point the farthest later point in clear sight.
std::vector<RoutePoint> pull_straight(const FloorPlan& plan, const std::vector<RoutePoint>& points,
                                      double clearance)
{
    std::vector<RoutePoint> kept{points.front()};
    size_t anchor = 0;
    while (anchor + 1 < points.size()) {
        size_t next = anchor + 1;
        for (size_t k = points.size() - 1; k > anchor + 1; --k) {
            if (clear_line(plan, points[anchor], points[k], clearance)) {
                next = k;
                break;
            }
        }
        kept.push_back(points[next]);
        anchor = next;
    }
    return kept;
}

// Moves each inner point towards the straight line between its neighbours as
// far as the clearance allows, which takes the way from the grid's safe
// distance round a corner to the clearance itself.
void tighten_corners(const FloorPlan& plan, std::vector<RoutePoint>& points, double clearance)
{
    for (int pass = 0; pass < tighten_passes; ++pass) {
        for (size_t i = 1; i + 1 < points.size(); ++i) {
            const RoutePoint a = points[i - 1], b = points[i + 1], p = points[i];
            const RoutePoint target{float((a.x + b.x) * 0.5), float((a.z + b.z) * 0.5)};
            double lo = 0.0, hi = 1.0;
            for (int step = 0; step < tighten_steps; ++step) {
                const double t = (lo + hi) * 0.5;
                const RoutePoint q{float(p.x + (target.x - p.x) * t), float(p.z + (target.z - p.z) * t)};
                if (clear_line(plan, a, q, clearance) && clear_line(plan, q, b, clearance))
                    lo = t;
                else
                    hi = t;
            }
            points[i] = {float(p.x + (target.x - p.x) * lo), float(p.z + (target.z - p.z) * lo)};
        }
    }
}

} // namespace

// Plans on a fresh grid of plan's segments: A* to the goal, then pulled straight.
std::vector<RoutePoint> plan_route(const FloorPlan& plan, RoutePoint start,
                                   const GoalArea& goal, double clearance)
{
    RouteGrid grid;
    if (!std::isfinite(start.x) || !std::isfinite(start.z) || !build_grid(plan, clearance, grid))
        return {};
    const int32_t first = nearest_free_cell(grid, start);
    if (first == no_cell)
        return {};
    const std::vector<int32_t> cells = search_cells(grid, goal, first);
    if (cells.empty())
        return {};
    std::vector<RoutePoint> points{start};
    for (const RoutePoint& p : turning_points(grid, cells))
        points.push_back(p);
    std::vector<RoutePoint> way = pull_straight(plan, points, clearance);
    tighten_corners(plan, way, clearance);
    return way;
}

// Adds up the lengths of the legs.
double route_length(const std::vector<RoutePoint>& route)
{
    double length = 0.0;
    for (size_t i = 1; i < route.size(); ++i)
        length += std::sqrt(squared(route[i].x - route[i - 1].x) + squared(route[i].z - route[i - 1].z));
    return length;
}

// Zero when the segments cross, else the least of the four end-to-segment distances.
double segment_distance(RoutePoint a, RoutePoint b, RoutePoint c, RoutePoint d)
{
    auto side = [](RoutePoint p, RoutePoint q, RoutePoint r) {
        return (double(q.x) - p.x) * (double(r.z) - p.z) - (double(q.z) - p.z) * (double(r.x) - p.x);
    };
    const double s1 = side(a, b, c), s2 = side(a, b, d), s3 = side(c, d, a), s4 = side(c, d, b);
    if (((s1 > 0 && s2 < 0) || (s1 < 0 && s2 > 0)) && ((s3 > 0 && s4 < 0) || (s3 < 0 && s4 > 0)))
        return 0.0;
    return std::min({point_segment_distance(a.x, a.z, c.x, c.z, d.x, d.z),
                     point_segment_distance(b.x, b.z, c.x, c.z, d.x, d.z),
                     point_segment_distance(c.x, c.z, a.x, a.z, b.x, b.z),
                     point_segment_distance(d.x, d.z, a.x, a.z, b.x, b.z)});
}
