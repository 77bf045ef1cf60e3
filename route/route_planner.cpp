// route_planner.cpp -- A* search with jump points on a grid of free floor
// cells, then the grid way pulled straight wherever the walls leave a clear
// line, and its corners settled at the clearance.
#include "route/route_planner.h"

#include <algorithm>  // Required for: std::min(), std::max(), std::reverse()
#include <cmath>      // Required for: std::sqrt(), std::floor(), std::isfinite()
#include <cstdlib>    // Required for: std::abs()
#include <cstdint>    // Required for: int32_t, uint8_t
#include <queue>      // Required for: std::priority_queue

namespace {

constexpr double diagonal_step = 1.4142135623730951;  // length of a diagonal move, cells
constexpr int32_t no_cell = -1;
constexpr double estimate_nudge = 1.001;  // see goal_estimate
constexpr int tighten_rounds = 3;   // rounds of tightening and pulling straight
constexpr double tighten_first_step = 0.5;   // first move tried per corner, world units
constexpr double tighten_last_step = 0.01;   // moves shorter than this are not tried
constexpr float goal_edge_margin = 0.05f;  // a way ends this far inside its goal area, world units
constexpr int merge_samples = 16;   // points tried along a leg to merge its two corners
constexpr int tighten_steps = 8;    // halvings when ending the way at its goal

// The floor as a grid of cells; a cell is blocked when its centre lies so
// near a wall that a move to a neighbour could come closer than the clearance.
struct RouteGrid {
    double origin_x, origin_z;   // world position of cell (0, 0)'s lower corner
    double cell;                 // cell edge, world units
    int columns, rows;           // cells along x and z, the blocked edge included
    std::vector<uint8_t> blocked; // 1 for a blocked cell, row by row
    double centre_x(int c) const { return origin_x + (c + 0.5) * cell; }
    double centre_z(int r) const { return origin_z + (r + 0.5) * cell; }
    int index(int c, int r) const { return r * columns + c; }
};

// One open cell of the search, ordered by estimated total length.
struct OpenCell {
    double estimate;   // length so far plus the estimate to the goal, cells
    int32_t index;     // the cell, row by row
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
    // One blocked cell round the edge spares the search every bounds check.
    grid.origin_x = x0 - grid.cell;
    grid.origin_z = z0 - grid.cell;
    grid.columns = std::max(1, int(std::ceil((x1 - x0) / grid.cell))) + 2;
    grid.rows = std::max(1, int(std::ceil((z1 - z0) / grid.cell))) + 2;
    grid.blocked.assign(size_t(grid.columns) * size_t(grid.rows), 0);
    // Any point of a move between two neighbouring free centres lies within
    // half a diagonal of one of them.
    const double reach = clearance + grid.cell * diagonal_step * 0.5;
    for (int i = 0; i < segment_count(plan); ++i)
        if (finite_segment(plan.walls[i]))
            block_segment(grid, plan.walls[i], reach);
    for (int c = 0; c < grid.columns; ++c)
        grid.blocked[size_t(grid.index(c, 0))] = grid.blocked[size_t(grid.index(c, grid.rows - 1))] = 1;
    for (int r = 0; r < grid.rows; ++r)
        grid.blocked[size_t(grid.index(0, r))] = grid.blocked[size_t(grid.index(grid.columns - 1, r))] = 1;
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

// The goal area as a range of cells whose centres lie in it.
struct GoalCells {
    int c0, r0, c1, r1;
};

GoalCells goal_cells(const RouteGrid& grid, const GoalArea& goal)
{
    auto first = [&](double lo, double origin) { return int(std::ceil((lo - origin) / grid.cell - 0.5)); };
    auto last = [&](double hi, double origin) { return int(std::floor((hi - origin) / grid.cell - 0.5)); };
    GoalCells cells{first(goal.min_x, grid.origin_x), first(goal.min_z, grid.origin_z),
                    last(goal.max_x, grid.origin_x), last(goal.max_z, grid.origin_z)};
    // An area narrower than a cell holds no centre: its middle's cell stands in.
    if (cells.c0 > cells.c1)
        cells.c0 = cells.c1 = int(std::floor(((goal.min_x + goal.max_x) * 0.5 - grid.origin_x) / grid.cell));
    if (cells.r0 > cells.r1)
        cells.r0 = cells.r1 = int(std::floor(((goal.min_z + goal.max_z) * 0.5 - grid.origin_z) / grid.cell));
    return cells;
}

bool in_goal(const GoalCells& goal, int c, int r)
{
    return c >= goal.c0 && c <= goal.c1 && r >= goal.r0 && r <= goal.r1;
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

// Only ever asked about a free cell or its neighbours, which the blocked
// edge keeps inside the grid.
bool free_cell(const RouteGrid& grid, int c, int r)
{
    return grid.blocked[size_t(r) * size_t(grid.columns) + size_t(c)] == 0;
}

// A cell of the grid by column and row.
struct Cell {
    int c, r;
};

// Jumps from cell (c, r), entered from (pc, pr), on in the same direction to
// the next cell where a shortest way may turn: a goal cell, a cell beside a
// wall's end, or (going diagonally) a cell from which a straight jump finds
// one. False when the jump runs into a wall first. Diagonal steps never cut
// a blocked corner.
bool jump(const RouteGrid& grid, const GoalCells& goal, int c, int r, int pc, int pr, Cell& found)
{
    const int dc = c - pc, dr = r - pr;
    for (;;) {
        if (!free_cell(grid, c, r))
            return false;
        found = {c, r};
        if (in_goal(goal, c, r))
            return true;
        if (dc != 0 && dr != 0) {
            Cell ignored{};
            if (jump(grid, goal, c + dc, r, c, r, ignored) || jump(grid, goal, c, r + dr, c, r, ignored))
                return true;
            if (!free_cell(grid, c + dc, r) || !free_cell(grid, c, r + dr))
                return false;
        } else if (dc != 0) {
            if ((free_cell(grid, c, r - 1) && !free_cell(grid, c - dc, r - 1))
                || (free_cell(grid, c, r + 1) && !free_cell(grid, c - dc, r + 1)))
                return true;
        } else if ((free_cell(grid, c - 1, r) && !free_cell(grid, c - 1, r - dr))
                   || (free_cell(grid, c + 1, r) && !free_cell(grid, c + 1, r - dr))) {
            return true;
        }
        c += dc;
        r += dr;
    }
}

// The directions worth trying from cell (c, r) reached from parent (pc, pr):
// all eight at the start, else the way on and the turns a wall may force.
int next_directions(const RouteGrid& grid, int c, int r, int pc, int pr, Cell (&out)[8])
{
    int n = 0;
    if (pc < 0) {
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if ((dc != 0 || dr != 0) && free_cell(grid, c + dc, r + dr)
                    && (dc == 0 || dr == 0 || (free_cell(grid, c + dc, r) && free_cell(grid, c, r + dr))))
                    out[n++] = {dc, dr};
        return n;
    }
    const int dc = (c > pc) - (c < pc), dr = (r > pr) - (r < pr);
    if (dc != 0 && dr != 0) {
        const bool across = free_cell(grid, c + dc, r), along = free_cell(grid, c, r + dr);
        if (along)
            out[n++] = {0, dr};
        if (across)
            out[n++] = {dc, 0};
        if (across && along)
            out[n++] = {dc, dr};
        return n;
    }
    // Straight on: the way on, both sides, and forward diagonals beside them.
    const int sc = dr != 0 ? 1 : 0, sr = dc != 0 ? 1 : 0;  // one side across the direction
    const bool ahead = free_cell(grid, c + dc, r + dr);
    const bool side_a = free_cell(grid, c + sc, r + sr), side_b = free_cell(grid, c - sc, r - sr);
    if (ahead) {
        out[n++] = {dc, dr};
        if (side_a)
            out[n++] = {dc + sc, dr + sr};
        if (side_b)
            out[n++] = {dc - sc, dr - sr};
    }
    if (side_a)
        out[n++] = {sc, sr};
    if (side_b)
        out[n++] = {-sc, -sr};
    return n;
}

// Octile length between two cells, cells.
double octile(int c0, int r0, int c1, int r1)
{
    const double dx = std::abs(c1 - c0), dz = std::abs(r1 - r0);
    return std::max(dx, dz) + (diagonal_step - 1.0) * std::min(dx, dz);
}

// A* over the jump points of the free cells, from start to the first goal
// cell; the jump points of the way in order (each leg a straight or diagonal
// line of free cells), or none.
std::vector<int32_t> search_cells(const RouteGrid& grid, const GoalArea& goal, int32_t start)
{
    const size_t n = grid.blocked.size();
    std::vector<double> cost(n, -1.0);
    std::vector<int32_t> from(n, no_cell);
    std::priority_queue<OpenCell, std::vector<OpenCell>, std::greater<OpenCell>> open;
    const GoalCells cells_of_goal = goal_cells(grid, goal);
    cost[size_t(start)] = 0.0;
    open.push({goal_estimate(grid, goal, start % grid.columns, start / grid.columns), start});
    while (!open.empty()) {
        const OpenCell top = open.top();
        open.pop();
        const int c = top.index % grid.columns, r = top.index / grid.columns;
        const double g = cost[size_t(top.index)];
        if (top.estimate > g + goal_estimate(grid, goal, c, r) + 1e-9)
            continue;  // a shorter way to this cell was found after it was queued
        if (in_goal(cells_of_goal, c, r)) {
            std::vector<int32_t> cells;
            for (int32_t i = top.index; i != no_cell; i = from[size_t(i)])
                cells.push_back(i);
            std::reverse(cells.begin(), cells.end());
            return cells;
        }
        const int32_t parent = from[size_t(top.index)];
        const int pc = parent == no_cell ? -1 : parent % grid.columns;
        const int pr = parent == no_cell ? -1 : parent / grid.columns;
        Cell directions[8];
        const int count = next_directions(grid, c, r, pc, pr, directions);
        for (int k = 0; k < count; ++k) {
            Cell landed{};
            if (!jump(grid, cells_of_goal, c + directions[k].c, r + directions[k].r, c, r, landed))
                continue;
            const int32_t next = grid.index(landed.c, landed.r);
            const double ng = g + octile(c, r, landed.c, landed.r);
            if (cost[size_t(next)] >= 0.0 && cost[size_t(next)] <= ng)
                continue;
            cost[size_t(next)] = ng;
            from[size_t(next)] = top.index;
            open.push({ng + goal_estimate(grid, goal, landed.c, landed.r), next});
        }
    }
    return {};
}

// The jump points of the way as floor points.
std::vector<RoutePoint> turning_points(const RouteGrid& grid, const std::vector<int32_t>& cells)
{
    std::vector<RoutePoint> points;
    for (int32_t cell : cells)
        points.push_back({float(grid.centre_x(cell % grid.columns)), float(grid.centre_z(cell / grid.columns))});
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

double distance(RoutePoint a, RoutePoint b) { return std::sqrt(squared(b.x - a.x) + squared(b.z - a.z)); }

// Length of the two legs at point i (one at the last point).
double legs_at(const std::vector<RoutePoint>& way, size_t i, RoutePoint p)
{
    double length = distance(way[i - 1], p);
    if (i + 1 < way.size())
        length += distance(p, way[i + 1]);
    return length;
}

// True when the legs at point i, moved to p, keep the clearance.
bool legs_clear(const FloorPlan& plan, const std::vector<RoutePoint>& way, size_t i, RoutePoint p,
                double clearance)
{
    return clear_line(plan, way[i - 1], p, clearance)
        && (i + 1 >= way.size() || clear_line(plan, p, way[i + 1], clearance));
}

bool inside(const GoalArea& goal, RoutePoint p)
{
    return p.x >= goal.min_x + goal_edge_margin && p.x <= goal.max_x - goal_edge_margin
        && p.z >= goal.min_z + goal_edge_margin && p.z <= goal.max_z - goal_edge_margin;
}

// Moves every point after the start, in shrinking steps in eight directions,
// wherever that shortens the way and keeps the clearance (the last point
// within the goal area): corners settle at the clearance round wall ends.
void tighten_corners(const FloorPlan& plan, std::vector<RoutePoint>& way, const GoalArea& goal,
                     double clearance)
{
    static const double directions[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1},
                                            {0.7071, 0.7071}, {0.7071, -0.7071}, {-0.7071, 0.7071}, {-0.7071, -0.7071}};
    for (size_t i = 1; i < way.size(); ++i) {
        const bool last = i + 1 == way.size();
        if (last && !inside(goal, way[i]))
            continue;  // an end left at a cell's centre outside the margin stays
        for (double step = tighten_first_step; step >= tighten_last_step;) {
            bool moved = false;
            for (const auto& d : directions) {
                const RoutePoint q{float(way[i].x + d[0] * step), float(way[i].z + d[1] * step)};
                if (legs_at(way, i, q) < legs_at(way, i, way[i]) - 1e-6 && (!last || inside(goal, q))
                    && legs_clear(plan, way, i, q, clearance)) {
                    way[i] = q;
                    moved = true;
                }
            }
            if (!moved)
                step *= 0.5;
        }
    }
}

// Replaces two neighbouring inner points by one point of the leg between
// them where that is clear and shorter: two grid corners round one wall end
// become one corner, which tightening then draws in to the clearance.
void merge_corner_pairs(const FloorPlan& plan, std::vector<RoutePoint>& points, double clearance)
{
    for (size_t i = 1; i + 2 < points.size(); ++i) {
        const RoutePoint a = points[i - 1], p = points[i], q = points[i + 1], b = points[i + 2];
        double best = distance(a, p) + distance(p, q) + distance(q, b);
        bool merged = false;
        RoutePoint chosen{};
        for (int k = 1; k < merge_samples; ++k) {
            const double t = double(k) / merge_samples;
            const RoutePoint m{float(p.x + (q.x - p.x) * t), float(p.z + (q.z - p.z) * t)};
            const double length = distance(a, m) + distance(m, b);
            if (length < best && clear_line(plan, a, m, clearance) && clear_line(plan, m, b, clearance)) {
                best = length;
                chosen = m;
                merged = true;
            }
        }
        if (merged) {
            points[i] = chosen;
            points.erase(points.begin() + long(i) + 1);
        }
    }
}

// v held within lo and hi less the margin, or their middle when they are closer.
float held_inside(float v, float lo, float hi)
{
    if (hi - lo <= 2.0f * goal_edge_margin)
        return (lo + hi) * 0.5f;
    return std::max(lo + goal_edge_margin, std::min(hi - goal_edge_margin, v));
}

// Ends the way at the point of the goal area nearest its last corner,
// rather than at a cell's centre, or as near it as the line there stays clear.
void end_at_goal_edge(const FloorPlan& plan, std::vector<RoutePoint>& way, const GoalArea& goal,
                      double clearance)
{
    if (way.size() < 2)
        return;
    const RoutePoint corner = way[way.size() - 2], from = way.back();
    const RoutePoint end{held_inside(corner.x, goal.min_x, goal.max_x), held_inside(corner.z, goal.min_z, goal.max_z)};
    double lo = 0.0, hi = 1.0;  // share of the way from the cell's centre to that point
    for (int step = 0; step < tighten_steps; ++step) {
        const double t = step == 0 ? 1.0 : (lo + hi) * 0.5;
        const RoutePoint p{float(from.x + (end.x - from.x) * t), float(from.z + (end.z - from.z) * t)};
        if (clear_line(plan, corner, p, clearance))
            lo = t;
        else
            hi = t;
        if (lo == 1.0)
            break;
    }
    way.back() = {float(from.x + (end.x - from.x) * lo), float(from.z + (end.z - from.z) * lo)};
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
    // Tightened corners may see past each other: pull straight again.
    std::vector<RoutePoint> way = pull_straight(plan, points, clearance);
    for (int round = 0; round < tighten_rounds; ++round) {
        merge_corner_pairs(plan, way, clearance);
        tighten_corners(plan, way, goal, clearance);
        way = pull_straight(plan, way, clearance);
        end_at_goal_edge(plan, way, goal, clearance);
    }
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
