// route_planner.cpp -- A* search with jump points on a grid of free floor
// cells over the floor rectangle, the start and the goal, then the grid way
// pulled straight wherever the walls leave a clear line, and its corners
// settled at the clearance; and a shown way shortened as it is walked.
#include "route/route_planner.h"

#include <algorithm>  // Required for: std::min(), std::max(), std::reverse(), std::push_heap(), std::sort()
#include <cmath>      // Required for: std::sqrt(), std::floor(), std::isfinite(), HUGE_VAL
#include <cstdlib>    // Required for: std::abs(), std::calloc(), std::free()
#include <cstdint>    // Required for: int32_t, uint8_t, uint32_t, INT32_MAX, UINT32_MAX
#include <functional> // Required for: std::greater
#include <memory>     // Required for: std::unique_ptr

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
constexpr double cell_growth = 1.25;  // coarsening step while a grid has too many cells
static_assert(route_max_cells < INT32_MAX / 4, "cell indices and queue sizes fit in 32 bits");

// The rectangle the grid covers, world units.
struct Region {
    double x0, z0, x1, z1;
};

// The floor as a grid of cells; a cell is blocked when its centre lies so
// near a wall that a move to a neighbour could come closer than the clearance.
// At most route_max_cells cells, so every index fits in 32 bits. The blocked
// cells are kept as bits twice, row by row and column by column, and beside
// them, for each of the four straight directions, the cells where a straight
// jump stops (blocked, or beside a side cell's end), so that a jump looks at
// 64 cells at a time.
struct RouteGrid {
    double origin_x, origin_z;   // world position of cell (0, 0)'s lower corner
    double cell;                 // cell edge, world units
    int columns, rows;           // cells along x and z, the blocked edge included
    size_t row_words, column_words;    // 64-bit words per row, per column
    std::vector<uint64_t> row_bits;    // bit c of row r: cell (c, r) is blocked
    std::vector<uint64_t> column_bits; // bit r of column c: the same
    std::vector<uint64_t> stops_up_c, stops_down_c;  // per row: stops going to higher, lower c
    std::vector<uint64_t> stops_up_r, stops_down_r;  // per column: stops going to higher, lower r
    double centre_x(int c) const { return origin_x + (c + 0.5) * cell; }
    double centre_z(int r) const { return origin_z + (r + 0.5) * cell; }
    int32_t index(int c, int r) const { return int32_t(size_t(r) * size_t(columns) + size_t(c)); }
    size_t cell_count() const { return size_t(columns) * size_t(rows); }
    const uint64_t* row(int r) const { return &row_bits[size_t(r) * row_words]; }
    const uint64_t* column(int c) const { return &column_bits[size_t(c) * column_words]; }
    bool blocked(int c, int r) const { return (row(r)[size_t(c) / 64] >> (c % 64)) & 1u; }
    void block(int c, int r)
    {
        row_bits[size_t(r) * row_words + size_t(c) / 64] |= uint64_t(1) << (c % 64);
        column_bits[size_t(c) * column_words + size_t(r) / 64] |= uint64_t(1) << (r % 64);
    }
};

// One open cell of the search, ordered by estimated total length.
struct OpenCell {
    float estimate;    // length so far plus the estimate to the goal, cells
    int32_t index;     // the cell, row by row
    bool operator>(const OpenCell& other) const { return estimate > other.estimate; }
};

// An array of zero bytes taken from the system as it is first touched, so
// that the pages of cells no search reaches never become resident.
template <typename T>
struct LazyArray {
    struct Release {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T, Release> data;
    size_t size = 0;
    // Replaces the array by n zero elements; false when memory ran out.
    bool renew(size_t n)
    {
        data.reset(static_cast<T*>(std::calloc(n, sizeof(T))));
        size = data ? n : 0;
        return data != nullptr;
    }
    T& operator[](size_t i) const { return data.get()[i]; }
};

// The search's arrays, kept from one plan to the next so that a plan touches
// only the cells it reaches: a cell's cost and parent count only when its
// mark is this plan's (2 x generation: reached; one more: expanded).
struct SearchArrays {
    LazyArray<float> cost;      // length from the start, cells
    LazyArray<int32_t> from;    // the cell it was reached from, or no_cell
    LazyArray<uint32_t> mark;
    uint32_t generation = 0;
};

RouteGrid reused_grid;
SearchArrays search_arrays;

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

// The region to plan over: the floor rectangle, the start and the goal area
// (as far as it lies near the floor), grown by the margin. False when a
// point is not finite or lies too far outside the floor.
bool plan_region(const FloorPlan& plan, RoutePoint start, const GoalArea& goal, Region& region)
{
    const double fx0 = std::min(plan.floor_x1, plan.floor_x2), fx1 = std::max(plan.floor_x1, plan.floor_x2);
    const double fz0 = std::min(plan.floor_z1, plan.floor_z2), fz1 = std::max(plan.floor_z1, plan.floor_z2);
    const double outside = std::max({route_least_outside_reach, fx1 - fx0, fz1 - fz0});
    const double values[] = {fx0, fx1, fz0, fz1, outside, start.x, start.z, goal.min_x, goal.min_z, goal.max_x, goal.max_z};
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    const Region near{fx0 - outside, fz0 - outside, fx1 + outside, fz1 + outside};
    const double gx0 = std::max<double>(goal.min_x, near.x0), gx1 = std::min<double>(goal.max_x, near.x1);
    const double gz0 = std::max<double>(goal.min_z, near.z0), gz1 = std::min<double>(goal.max_z, near.z1);
    if (start.x < near.x0 || start.x > near.x1 || start.z < near.z0 || start.z > near.z1 || gx0 > gx1 || gz0 > gz1)
        return false;
    region = {std::min({fx0, double(start.x), gx0}) - route_floor_margin,
              std::min({fz0, double(start.z), gz0}) - route_floor_margin,
              std::max({fx1, double(start.x), gx1}) + route_floor_margin,
              std::max({fz1, double(start.z), gz1}) + route_floor_margin};
    return true;
}

// The cell edge for a region: route_cell_size, or coarser until the grid
// (with its blocked edge) holds at most route_max_cells cells.
double grid_cell(double width, double depth)
{
    auto cells = [&](double cell) { return (std::ceil(width / cell) + 2.0) * (std::ceil(depth / cell) + 2.0); };
    double cell = std::max(route_cell_size, std::sqrt(width * depth / double(route_max_cells)));
    while (cells(cell) > double(route_max_cells))
        cell *= cell_growth;
    return cell;
}

// The x-range [lo, hi] of the points on the line z = zc within reach of
// segment s: its two end discs and the band along it. lo > hi when none.
void row_span(const WallSegment& s, double zc, double reach, double& lo, double& hi)
{
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    auto take = [&](double x) { lo = std::min(lo, x); hi = std::max(hi, x); };
    const double ends[2][2] = {{s.x1, s.z1}, {s.x2, s.z2}};
    for (const auto& e : ends) {
        const double h = reach * reach - squared(zc - e[1]);
        if (h > 0.0) {
            take(e[0] - std::sqrt(h));
            take(e[0] + std::sqrt(h));
        }
    }
    const double dx = double(s.x2) - s.x1, dz = double(s.z2) - s.z1, length = std::sqrt(dx * dx + dz * dz);
    if (!(length > 0.0))
        return;
    const double nx = -dz / length * reach, nz = dx / length * reach;
    const double band[4][2] = {{s.x1 + nx, s.z1 + nz}, {s.x2 + nx, s.z2 + nz}, {s.x2 - nx, s.z2 - nz}, {s.x1 - nx, s.z1 - nz}};
    for (int k = 0; k < 4; ++k) {
        const double* a = band[k];
        const double* b = band[(k + 1) % 4];
        if (a[1] != b[1] && (a[1] - zc) * (b[1] - zc) <= 0.0)
            take(a[0] + (zc - a[1]) * (b[0] - a[0]) / (b[1] - a[1]));
    }
}

// The cells from the first whose centre is at least lo to the last whose
// centre is at most hi, held within 0 .. count - 1; false when none. The
// bounds are taken in floating point first, so no far value is converted.
bool cell_range(double lo, double hi, double origin, double cell, int count, int& first, int& last)
{
    const double f = std::max(0.0, std::ceil((lo - origin) / cell - 0.5));
    const double l = std::min(double(count - 1), std::floor((hi - origin) / cell - 0.5));
    if (!(f <= l))
        return false;
    first = int(f);
    last = int(l);
    return true;
}

// Marks the cells whose centre lies within reach of segment s, row by row;
// a segment that lies wholly off the grid marks nothing.
void block_segment(RouteGrid& grid, const WallSegment& s, double reach)
{
    int r0 = 0, r1 = -1;
    if (!cell_range(std::min(s.z1, s.z2) - reach, std::max(s.z1, s.z2) + reach, grid.origin_z, grid.cell,
                    grid.rows, r0, r1))
        return;
    for (int r = r0; r <= r1; ++r) {
        double lo = 0.0, hi = 0.0;
        int c0 = 0, c1 = -1;
        row_span(s, grid.centre_z(r), reach, lo, hi);
        if (lo <= hi && cell_range(lo, hi, grid.origin_x, grid.cell, grid.columns, c0, c1))
            for (int c = c0; c <= c1; ++c)
                grid.block(c, r);
    }
}

// Word w of a bit line moved one place towards higher positions (step 1:
// bit i holds line's bit i - 1) or towards lower ones (step -1: bit i + 1).
uint64_t shifted(const uint64_t* line, size_t words, size_t w, int step)
{
    if (step > 0)
        return (line[w] << 1) | (w > 0 ? line[w - 1] >> 63 : 0);
    return (line[w] >> 1) | (w + 1 < words ? line[w + 1] << 63 : 0);
}

// The stops of a jump along each line of a bit plane going step (1 or -1):
// the line's blocked cells, and the cells where a side line turns free just
// past a blocked cell of its own.
void fill_stops(const std::vector<uint64_t>& plane, size_t words, int lines, int step, std::vector<uint64_t>& stops)
{
    stops = plane;  // the first and last lines are wholly blocked
    for (int l = 1; l + 1 < lines; ++l) {
        const uint64_t* a = &plane[size_t(l - 1) * words];
        const uint64_t* b = &plane[size_t(l + 1) * words];
        uint64_t* out = &stops[size_t(l) * words];
        for (size_t w = 0; w < words; ++w)
            out[w] |= (~a[w] & shifted(a, words, w, step)) | (~b[w] & shifted(b, words, w, step));
    }
}

// Builds the grid over the region, reusing the arrays of the last plan.
void build_grid(const FloorPlan& plan, const Region& region, double clearance, RouteGrid& grid)
{
    const double width = region.x1 - region.x0, depth = region.z1 - region.z0;
    grid.cell = grid_cell(width, depth);
    // One blocked cell round the edge spares the search every bounds check.
    grid.origin_x = region.x0 - grid.cell;
    grid.origin_z = region.z0 - grid.cell;
    grid.columns = int(std::ceil(width / grid.cell)) + 2;
    grid.rows = int(std::ceil(depth / grid.cell)) + 2;
    grid.row_words = (size_t(grid.columns) + 63) / 64;
    grid.column_words = (size_t(grid.rows) + 63) / 64;
    grid.row_bits.assign(grid.row_words * size_t(grid.rows), 0);
    grid.column_bits.assign(grid.column_words * size_t(grid.columns), 0);
    // Any point of a move between two neighbouring free centres lies within
    // half a diagonal of one of them.
    const double reach = clearance + grid.cell * diagonal_step * 0.5;
    for (int i = 0; i < segment_count(plan); ++i)
        if (finite_segment(plan.walls[i]))
            block_segment(grid, plan.walls[i], reach);
    for (int c = 0; c < grid.columns; ++c) {
        grid.block(c, 0);
        grid.block(c, grid.rows - 1);
    }
    for (int r = 0; r < grid.rows; ++r) {
        grid.block(0, r);
        grid.block(grid.columns - 1, r);
    }
    fill_stops(grid.row_bits, grid.row_words, grid.rows, 1, grid.stops_up_c);
    fill_stops(grid.row_bits, grid.row_words, grid.rows, -1, grid.stops_down_c);
    fill_stops(grid.column_bits, grid.column_words, grid.columns, 1, grid.stops_up_r);
    fill_stops(grid.column_bits, grid.column_words, grid.columns, -1, grid.stops_down_r);
}

// The free cell nearest to p within the start reach, or no_cell. p lies in
// the grid's region.
int32_t nearest_free_cell(const RouteGrid& grid, RoutePoint p)
{
    const int fc = int(std::floor((p.x - grid.origin_x) / grid.cell - 0.5));
    const int fr = int(std::floor((p.z - grid.origin_z) / grid.cell - 0.5));
    const int span = int(std::ceil(route_start_reach / grid.cell)) + 1;
    int32_t best = no_cell;
    double best_distance = route_start_reach;
    for (int r = fr - span; r <= fr + span + 1; ++r) {
        for (int c = fc - span; c <= fc + span + 1; ++c) {
            if (c < 0 || r < 0 || c >= grid.columns || r >= grid.rows || grid.blocked(c, r))
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

// An area narrower than a cell holds no centre: its middle's cell stands in.
// An area off the grid has no cells (c0 > c1).
GoalCells goal_cells(const RouteGrid& grid, const GoalArea& goal)
{
    auto cells = [&](double lo, double hi, double origin, int count, int& first, int& last) {
        const double mid = (lo + hi) * 0.5;
        if (std::ceil((lo - origin) / grid.cell - 0.5) > std::floor((hi - origin) / grid.cell - 0.5))
            lo = hi = origin + (std::floor((mid - origin) / grid.cell) + 0.5) * grid.cell;
        if (!cell_range(lo, hi, origin, grid.cell, count, first, last)) {
            first = 1;
            last = 0;
        }
    };
    GoalCells result{};
    cells(goal.min_x, goal.max_x, grid.origin_x, grid.columns, result.c0, result.c1);
    cells(goal.min_z, goal.max_z, grid.origin_z, grid.rows, result.r0, result.r1);
    return result;
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
    return !grid.blocked(c, r);
}

// A cell of the grid by column and row.
struct Cell {
    int c, r;
};

// The first set bit of a line from position from on, going step; -1 when none.
long first_set_bit(const uint64_t* line, size_t words, long from, int step)
{
    for (long w = from / 64; w >= 0 && w < long(words); w += step) {
        uint64_t bits = line[size_t(w)];
        if (w == from / 64)  // only from the start position on
            bits &= step > 0 ? ~uint64_t(0) << (from % 64) : ~uint64_t(0) >> (63 - from % 64);
        if (bits != 0)
            return 64 * w + (step > 0 ? __builtin_ctzll(bits) : 63 - __builtin_clzll(bits));
    }
    return -1;
}

// A straight jump along one line from position from, going step: the first
// goal position before its stop, else the stop, or -1 when the stop is a
// blocked cell (a goal position on a blocked cell does not count).
long straight_jump(const uint64_t* blocked, const uint64_t* stops, size_t words, long from, int step,
                   long goal_lo, long goal_hi)
{
    const long stop = first_set_bit(stops, words, from, step);
    if (stop < 0)
        return -1;
    const bool stop_blocked = (blocked[size_t(stop) / 64] >> (stop % 64)) & 1u;
    const long goal = step > 0 ? std::max(goal_lo, from) : std::min(goal_hi, from);
    if (goal >= goal_lo && goal <= goal_hi
        && ((goal - stop) * step < 0 || (goal == stop && !stop_blocked)))
        return goal;
    return stop_blocked ? -1 : stop;
}

// The straight jump from (c, r) one cell in direction (dc, dr), which has
// one zero, along its row or column.
bool straight(const RouteGrid& grid, const GoalCells& goal, int c, int r, int dc, int dr, Cell& found)
{
    if (dr == 0) {
        const bool goal_row = r >= goal.r0 && r <= goal.r1;
        const std::vector<uint64_t>& stops = dc > 0 ? grid.stops_up_c : grid.stops_down_c;
        const long at = straight_jump(grid.row(r), &stops[size_t(r) * grid.row_words], grid.row_words, c, dc,
                                      goal_row ? goal.c0 : 1, goal_row ? goal.c1 : 0);
        found = {int(at), r};
        return at >= 0;
    }
    const bool goal_column = c >= goal.c0 && c <= goal.c1;
    const std::vector<uint64_t>& stops = dr > 0 ? grid.stops_up_r : grid.stops_down_r;
    const long at = straight_jump(grid.column(c), &stops[size_t(c) * grid.column_words], grid.column_words, r, dr,
                                  goal_column ? goal.r0 : 1, goal_column ? goal.r1 : 0);
    found = {c, int(at)};
    return at >= 0;
}

// Jumps from cell (c, r), entered from (pc, pr), on in the same direction to
// the next cell where a shortest way may turn: a goal cell, a cell beside a
// wall's end, or (going diagonally) a cell from which a straight jump finds
// one. False when the jump runs into a wall first. Diagonal steps never cut
// a blocked corner.
bool jump(const RouteGrid& grid, const GoalCells& goal, int c, int r, int pc, int pr, Cell& found)
{
    const int dc = c - pc, dr = r - pr;
    if (dc == 0 || dr == 0)
        return free_cell(grid, c, r) && straight(grid, goal, c, r, dc, dr, found);
    for (;;) {
        if (!free_cell(grid, c, r))
            return false;
        found = {c, r};
        if (in_goal(goal, c, r))
            return true;
        Cell ignored{};
        if ((free_cell(grid, c + dc, r) && straight(grid, goal, c + dc, r, dc, 0, ignored))
            || (free_cell(grid, c, r + dr) && straight(grid, goal, c, r + dr, 0, dr, ignored)))
            return true;
        if (!free_cell(grid, c + dc, r) || !free_cell(grid, c, r + dr))
            return false;
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

// Readies the search arrays for a grid of n cells: a new generation of
// marks, fresh arrays when the grid is larger than any before or the marks
// would wrap. False when memory ran out.
bool prepare_search(SearchArrays& a, size_t n)
{
    if (a.mark.size < n || a.generation >= UINT32_MAX / 2 - 1) {
        a.generation = 0;
        if (!a.cost.renew(n) || !a.from.renew(n) || !a.mark.renew(n)) {
            a.mark.renew(0);
            return false;
        }
    }
    ++a.generation;
    return true;
}

// Keeps of the queue one entry per cell not yet expanded, the best: the
// queue never holds more than two entries per cell.
void compact_queue(std::vector<OpenCell>& open, const SearchArrays& a)
{
    const uint32_t expanded = 2 * a.generation + 1;
    open.erase(std::remove_if(open.begin(), open.end(),
                              [&](const OpenCell& o) { return a.mark[size_t(o.index)] == expanded; }),
               open.end());
    std::sort(open.begin(), open.end(), [](const OpenCell& x, const OpenCell& y) {
        return x.index != y.index ? x.index < y.index : x.estimate < y.estimate;
    });
    open.erase(std::unique(open.begin(), open.end(),
                           [](const OpenCell& x, const OpenCell& y) { return x.index == y.index; }),
               open.end());
    std::make_heap(open.begin(), open.end(), std::greater<OpenCell>());
}

// The jump points from the start to cell end, in order.
std::vector<int32_t> way_back(const SearchArrays& a, int32_t end)
{
    std::vector<int32_t> cells;
    for (int32_t i = end; i != no_cell; i = a.from[size_t(i)])
        cells.push_back(i);
    std::reverse(cells.begin(), cells.end());
    return cells;
}

// A* over the jump points of the free cells, from start to the first goal
// cell; the jump points of the way in order (each leg a straight or diagonal
// line of free cells), or none. Each cell is expanded once.
std::vector<int32_t> search_cells(const RouteGrid& grid, const GoalArea& goal, int32_t start)
{
    SearchArrays& a = search_arrays;
    const size_t n = grid.cell_count();
    if (!prepare_search(a, n))
        return {};
    const uint32_t reached = 2 * a.generation, expanded = reached + 1;
    const GoalCells cells_of_goal = goal_cells(grid, goal);
    const size_t most_queued = 2 * n + 8;
    std::vector<OpenCell> open;
    auto push = [&](int32_t index, float cost, int32_t parent) {
        a.cost[size_t(index)] = cost;
        a.from[size_t(index)] = parent;
        a.mark[size_t(index)] = reached;
        if (open.size() >= most_queued)
            compact_queue(open, a);
        if (open.size() == open.capacity())  // grown by hand, never past most_queued
            open.reserve(std::min(most_queued, std::max<size_t>(1024, 2 * open.capacity())));
        open.push_back({float(cost + goal_estimate(grid, goal, index % grid.columns, index / grid.columns)), index});
        std::push_heap(open.begin(), open.end(), std::greater<OpenCell>());
    };
    push(start, 0.0f, no_cell);
    while (!open.empty()) {
        std::pop_heap(open.begin(), open.end(), std::greater<OpenCell>());
        const int32_t index = open.back().index;
        open.pop_back();
        if (a.mark[size_t(index)] == expanded)
            continue;  // reached again by a shorter way after it was queued
        a.mark[size_t(index)] = expanded;
        const int c = index % grid.columns, r = index / grid.columns;
        if (in_goal(cells_of_goal, c, r))
            return way_back(a, index);
        const int32_t parent = a.from[size_t(index)];
        const int pc = parent == no_cell ? -1 : parent % grid.columns;
        const int pr = parent == no_cell ? -1 : parent / grid.columns;
        Cell directions[8];
        const int count = next_directions(grid, c, r, pc, pr, directions);
        for (int k = 0; k < count; ++k) {
            Cell landed{};
            if (!jump(grid, cells_of_goal, c + directions[k].c, r + directions[k].r, c, r, landed))
                continue;
            const int32_t next = grid.index(landed.c, landed.r);
            const uint32_t mark = a.mark[size_t(next)];
            const float cost = float(a.cost[size_t(index)] + octile(c, r, landed.c, landed.r));
            if (mark == expanded || (mark == reached && a.cost[size_t(next)] <= cost))
                continue;
            push(next, cost, index);
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

// The segments of the plan sorted into square buckets over the region, so
// that a line is tested only against the segments near it. A segment lies
// in every bucket its box, grown by the clearance, meets.
struct WallIndex {
    const FloorPlan* plan;
    double origin_x, origin_z, size;   // world position of bucket (0, 0), bucket edge
    int columns, rows;
    std::vector<int> starts;     // per bucket, row by row, where its segments start in segments
    std::vector<int> segments;   // segment numbers, bucket after bucket
    mutable std::vector<unsigned> tested;   // per segment: the test that last looked at it
    mutable unsigned test = 0;
};

WallIndex reused_walls;

// The buckets from lo to hi along one axis, held within 0 .. count - 1.
bool bucket_range(const WallIndex& index, double lo, double hi, double origin, int count, int& first, int& last)
{
    const double f = std::max(0.0, std::floor((lo - origin) / index.size));
    const double l = std::min(double(count - 1), std::floor((hi - origin) / index.size));
    if (!(f <= l))
        return false;
    first = int(f);
    last = int(l);
    return true;
}

// Sorts the finite segments of plan into about one bucket per segment over
// the region, at most 17 along each side.
void build_wall_index(const FloorPlan& plan, const Region& region, double clearance, WallIndex& index)
{
    const int count = segment_count(plan);
    const double width = region.x1 - region.x0, depth = region.z1 - region.z0;
    index.plan = &plan;
    index.origin_x = region.x0;
    index.origin_z = region.z0;
    index.size = std::max({std::sqrt(width * depth / std::max(16, count)), width / 16, depth / 16});
    index.columns = int(std::ceil(width / index.size)) + 1;
    index.rows = int(std::ceil(depth / index.size)) + 1;
    index.tested.assign(size_t(count), 0);
    index.test = 0;
    // Two passes over the segments: count per bucket, then place.
    index.starts.assign(size_t(index.columns) * size_t(index.rows) + 1, 0);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<int> next(index.starts.begin(), index.starts.end() - 1);
        for (int i = 0; i < count; ++i) {
            const WallSegment& s = plan.walls[i];
            int c0 = 0, c1 = -1, r0 = 0, r1 = -1;
            if (!finite_segment(s)
                || !bucket_range(index, std::min(s.x1, s.x2) - clearance, std::max(s.x1, s.x2) + clearance,
                                 index.origin_x, index.columns, c0, c1)
                || !bucket_range(index, std::min(s.z1, s.z2) - clearance, std::max(s.z1, s.z2) + clearance,
                                 index.origin_z, index.rows, r0, r1))
                continue;
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c) {
                    const size_t b = size_t(r) * size_t(index.columns) + size_t(c);
                    if (pass == 0)
                        ++index.starts[b + 1];
                    else
                        index.segments[size_t(next[b]++)] = i;
                }
        }
        if (pass == 0) {
            for (size_t b = 1; b < index.starts.size(); ++b)
                index.starts[b] += index.starts[b - 1];
            index.segments.assign(size_t(index.starts.back()), 0);
        }
    }
}

// True when the straight line a-b keeps the clearance from every segment.
// Every line the planner tests lies in the region the index covers.
bool clear_line(const WallIndex& index, RoutePoint a, RoutePoint b, double clearance)
{
    const double lo_x = std::min(a.x, b.x) - clearance, hi_x = std::max(a.x, b.x) + clearance;
    const double lo_z = std::min(a.z, b.z) - clearance, hi_z = std::max(a.z, b.z) + clearance;
    const double dx = double(b.x) - a.x, dz = double(b.z) - a.z, length = std::sqrt(dx * dx + dz * dz);
    // Distance of a point from the line through a and b, signed by its side.
    auto side = [&](double x, double z) { return ((x - a.x) * dz - (z - a.z) * dx) / length; };
    int c0 = 0, c1 = -1, r0 = 0, r1 = -1;
    if (!bucket_range(index, lo_x, hi_x, index.origin_x, index.columns, c0, c1)
        || !bucket_range(index, lo_z, hi_z, index.origin_z, index.rows, r0, r1))
        return true;
    if (++index.test == 0) {  // the marks wrapped: start them afresh
        std::fill(index.tested.begin(), index.tested.end(), 0);
        index.test = 1;
    }
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const size_t bucket = size_t(r) * size_t(index.columns) + size_t(c);
            for (int k = index.starts[bucket]; k < index.starts[bucket + 1]; ++k) {
                const int i = index.segments[size_t(k)];
                const WallSegment& s = index.plan->walls[i];
                if (index.tested[size_t(i)] == index.test || std::max(s.x1, s.x2) < lo_x || std::min(s.x1, s.x2) > hi_x
                    || std::max(s.z1, s.z2) < lo_z || std::min(s.z1, s.z2) > hi_z)
                    continue;
                index.tested[size_t(i)] = index.test;
                if (length > 0.0) {  // both ends well off the line on one side: clear of it
                    const double s1 = side(s.x1, s.z1), s2 = side(s.x2, s.z2);
                    if ((s1 > clearance && s2 > clearance) || (s1 < -clearance && s2 < -clearance))
                        continue;
                }
                if (segment_distance(a, b, {s.x1, s.z1}, {s.x2, s.z2}) < clearance)
                    return false;
            }
        }
    }
    return true;
}

// Keeps from each kept point the last of the points after it that are all
// in clear sight of it: one test per point, where looking back from the end
// of a long way would test every pair.
std::vector<RoutePoint> pull_straight(const WallIndex& walls, const std::vector<RoutePoint>& points,
                                      double clearance)
{
    std::vector<RoutePoint> kept{points.front()};
    size_t anchor = 0;
    while (anchor + 1 < points.size()) {
        size_t next = anchor + 1;
        while (next + 1 < points.size() && clear_line(walls, points[anchor], points[next + 1], clearance))
            ++next;
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
bool legs_clear(const WallIndex& walls, const std::vector<RoutePoint>& way, size_t i, RoutePoint p,
                double clearance)
{
    return clear_line(walls, way[i - 1], p, clearance)
        && (i + 1 >= way.size() || clear_line(walls, p, way[i + 1], clearance));
}

bool inside(const GoalArea& goal, RoutePoint p)
{
    return p.x >= goal.min_x + goal_edge_margin && p.x <= goal.max_x - goal_edge_margin
        && p.z >= goal.min_z + goal_edge_margin && p.z <= goal.max_z - goal_edge_margin;
}

// Moves every point after the start, in shrinking steps in eight directions,
// wherever that shortens the way and keeps the clearance (the last point
// within the goal area): corners settle at the clearance round wall ends.
void tighten_corners(const WallIndex& walls, std::vector<RoutePoint>& way, const GoalArea& goal,
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
                    && legs_clear(walls, way, i, q, clearance)) {
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
void merge_corner_pairs(const WallIndex& walls, std::vector<RoutePoint>& points, double clearance)
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
            if (length < best && clear_line(walls, a, m, clearance) && clear_line(walls, m, b, clearance)) {
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
void end_at_goal_edge(const WallIndex& walls, std::vector<RoutePoint>& way, const GoalArea& goal,
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
        if (clear_line(walls, corner, p, clearance))
            lo = t;
        else
            hi = t;
        if (lo == 1.0)
            break;
    }
    way.back() = {float(from.x + (end.x - from.x) * lo), float(from.z + (end.z - from.z) * lo)};
}

bool same_points(const std::vector<RoutePoint>& a, const std::vector<RoutePoint>& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](RoutePoint p, RoutePoint q) { return p.x == q.x && p.z == q.z; });
}

} // namespace

// Plans on a grid over the region that matters: A* to the goal, then pulled straight.
std::vector<RoutePoint> plan_route(const FloorPlan& plan, RoutePoint start,
                                   const GoalArea& goal, double clearance)
{
    Region region{};
    if (!plan_region(plan, start, goal, region))
        return {};
    RouteGrid& grid = reused_grid;
    build_grid(plan, region, clearance, grid);
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
    WallIndex& walls = reused_walls;
    build_wall_index(plan, region, clearance, walls);
    std::vector<RoutePoint> way = pull_straight(walls, points, clearance);
    for (int round = 0; round < tighten_rounds; ++round) {
        const std::vector<RoutePoint> before = way;
        merge_corner_pairs(walls, way, clearance);
        tighten_corners(walls, way, goal, clearance);
        way = pull_straight(walls, way, clearance);
        end_at_goal_edge(walls, way, goal, clearance);
        if (same_points(way, before))
            break;  // settled: further rounds would change nothing
    }
    return way;
}

// Finds the leg nearest here (the later one of equals, so that a visitor at
// a corner has passed it) and starts the way there.
bool follow_route(std::vector<RoutePoint>& way, RoutePoint here)
{
    if (way.size() < 2 || !std::isfinite(here.x) || !std::isfinite(here.z))
        return false;
    size_t nearest_leg = 0;
    double nearest = HUGE_VAL, along = 0.0;
    for (size_t i = 1; i < way.size(); ++i) {
        const double dx = double(way[i].x) - way[i - 1].x, dz = double(way[i].z) - way[i - 1].z;
        const double length2 = dx * dx + dz * dz;
        double t = length2 > 0.0 ? ((here.x - way[i - 1].x) * dx + (here.z - way[i - 1].z) * dz) / length2 : 0.0;
        t = std::max(0.0, std::min(1.0, t));
        const double d = std::hypot(way[i - 1].x + t * dx - here.x, way[i - 1].z + t * dz - here.z);
        if (d <= nearest) {
            nearest = d;
            nearest_leg = i;
            along = t;
        }
    }
    if (nearest > route_leave_distance)
        return false;
    const RoutePoint a = way[nearest_leg - 1], b = way[nearest_leg];
    const RoutePoint on_way{float(a.x + along * (double(b.x) - a.x)), float(a.z + along * (double(b.z) - a.z))};
    std::vector<RoutePoint> rest{here};
    if (on_way.x != here.x || on_way.z != here.z)
        if (along < 1.0)
            rest.push_back(on_way);
    rest.insert(rest.end(), way.begin() + long(nearest_leg), way.end());
    way.swap(rest);
    return true;
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
