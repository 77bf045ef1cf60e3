// plan_check.cpp -- the three plan files: read by the viewer's reader, then
// walls, lintels and tables checked against the floor and each other.
//
// Sections: geometry helpers; the walls in file order; walls; lintels;
// tables and capacity; one plan; check_plans.
#include <algorithm>  // Required for: std::sort(), std::unique(), std::min(), std::max()
#include <cmath>      // Required for: std::fabs()
#include <cstdint>    // Required for: int32_t
#include <fstream>    // Required for: std::ifstream
#include <locale>     // Required for: std::locale::classic()
#include <tuple>      // Required for: std::tie()

#include "common/state.h"
#include "common/data_path.h"
#include "plan/floor_plan.h"
#include "maintainer/check_parts.h"
#include "maintainer/plan_geometry.h"

namespace {

// The plan key that starts the visitor facing south.
constexpr int south_facing_choice = 2;
constexpr float south_heading = 180.0f;

float plan_x(float world_x) { return float(world_x / plan_scale_x); }
float plan_y(float world_z) { return float(world_z / plan_scale_z); }

} // namespace

// ---------------------------------------------------------------------------
// Geometry helpers

std::string wall_label(const LoadedPlan& plan, std::size_t index)
{
    return (plan.walls_in_file_order ? "wall " : "stored wall ") + std::to_string(index + 1);
}

std::string world_point_text(float x, float z) { return point_text(plan_x(x), plan_y(z)); }

std::string world_span_text(const WallSegment& s)
{
    return span_text(plan_x(s.x1), plan_y(s.z1), plan_x(s.x2), plan_y(s.z2));
}

FloorPlace world_segment_place(const WallSegment& s)
{
    return segment_place(plan_x(s.x1), plan_y(s.z1), plan_x(s.x2), plan_y(s.z2));
}

FloorPlace world_point_place(float x, float z) { return point_place(plan_x(x), plan_y(z)); }

bool on_floor(const LoadedPlan& plan, float x, float z)
{
    return x >= plan.min_x - world_tolerance && x <= plan.max_x + world_tolerance
        && z >= plan.min_z - world_tolerance && z <= plan.max_z + world_tolerance;
}

std::string floor_text(const LoadedPlan& plan)
{
    return span_text(plan_x(plan.min_x), plan_y(plan.max_z), plan_x(plan.max_x),
                     plan_y(plan.min_z));
}

bool is_constant_x(const WallSegment& s) { return s.x1 == s.x2; }
bool is_constant_z(const WallSegment& s) { return s.z1 == s.z2; }

namespace {

bool swapped_segment(const WallSegment& a, const WallSegment& b)
{
    return a.x1 == b.x2 && a.z1 == b.z2 && a.x2 == b.x1 && a.z2 == b.z1;
}

bool segment_before(const WallSegment& a, const WallSegment& b)
{
    return std::tie(a.x1, a.z1, a.x2, a.z2) < std::tie(b.x1, b.z1, b.x2, b.z2);
}

// ---------------------------------------------------------------------------
// The walls in file order

// Reads the floor rectangle and the walls again, in file order, with the same
// formatted extraction and conversion as the viewer's reader. False when the
// file does not give them cleanly or gives more than the viewer keeps.
bool read_walls_in_file_order(const std::string& file, std::vector<WallSegment>& walls)
{
    std::ifstream in(data_file_path(file));
    in.imbue(std::locale::classic());
    float rectangle[4] = {};
    for (float& value : rectangle)
        in >> value;
    int32_t count = 0;
    in >> count;
    if (!in || count < 0 || count > max_walls)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
        in >> x1 >> y1 >> x2 >> y2;
        if (!in)
            return false;
        walls.push_back(WallSegment{float(x1 * plan_scale_x), float(y1 * plan_scale_z),
                                    float(x2 * plan_scale_x), float(y2 * plan_scale_z)});
    }
    return true;
}

// True when the walls, sorted and without exact repeats, are those the reader kept.
bool agrees_with_reader(std::vector<WallSegment> walls)
{
    std::sort(walls.begin(), walls.end(), segment_before);
    walls.erase(std::unique(walls.begin(), walls.end(), same_segment), walls.end());
    std::vector<WallSegment> kept(floor_plan.walls, floor_plan.walls + floor_plan.wall_count);
    std::sort(kept.begin(), kept.end(), segment_before);
    return walls.size() == kept.size()
        && std::equal(walls.begin(), walls.end(), kept.begin(), same_segment);
}

// The walls in file order, or as the reader stored them when the file's
// order cannot be recovered (the reader has then reported why).
void collect_walls(LoadedPlan& plan)
{
    std::vector<WallSegment> in_file_order;
    if (read_walls_in_file_order(plan.file, in_file_order) && agrees_with_reader(in_file_order)) {
        plan.walls = in_file_order;
        plan.walls_in_file_order = true;
        return;
    }
    plan.walls.assign(floor_plan.walls, floor_plan.walls + floor_plan.wall_count);
    plan.walls_in_file_order = false;
}

// ---------------------------------------------------------------------------
// Walls

void warn_wall(BuildingReport& report, const LoadedPlan& plan, std::size_t i,
               const std::string& text)
{
    add_finding(report, Severity::warning, plan.file, 0, wall_label(plan, i),
                world_span_text(plan.walls[i]) + " " + text, world_segment_place(plan.walls[i]));
}

// The first earlier wall equal to wall i, exactly or with its ends swapped.
void check_repeated_wall(BuildingReport& report, const LoadedPlan& plan, std::size_t i)
{
    for (std::size_t earlier = 0; earlier < i; ++earlier) {
        if (same_segment(plan.walls[earlier], plan.walls[i])) {
            warn_wall(report, plan, i, "repeats " + wall_label(plan, earlier)
                                           + "; the viewer's reader drops the repeat");
            return;
        }
        if (swapped_segment(plan.walls[earlier], plan.walls[i])) {
            warn_wall(report, plan, i, "is " + wall_label(plan, earlier)
                                           + " with its ends swapped; both are drawn, one in the other");
            return;
        }
    }
}

void check_walls(BuildingReport& report, const LoadedPlan& plan)
{
    for (std::size_t i = 0; i < plan.walls.size(); ++i) {
        const WallSegment& s = plan.walls[i];
        if (!on_floor(plan, s.x1, s.z1) || !on_floor(plan, s.x2, s.z2))
            warn_wall(report, plan, i, "leaves the floor rectangle " + floor_text(plan));
        if (is_constant_x(s) && is_constant_z(s))
            warn_wall(report, plan, i, "has no length: it is drawn as a point and blocks as one");
        else if (!is_constant_x(s) && !is_constant_z(s))
            warn_wall(report, plan, i, "is diagonal: it is drawn but never blocks the visitor");
        if (plan.walls_in_file_order)
            check_repeated_wall(report, plan, i);
    }
}

// ---------------------------------------------------------------------------
// Lintels

// A lintel along one axis: the line it lies on and the span it covers.
struct LineSpan {
    bool along_x;      // true: constant z, spanning x
    float line;        // the constant coordinate
    float low, high;   // the span along the other axis
};

LineSpan line_span(const WallSegment& s)
{
    if (is_constant_z(s))
        return LineSpan{true, s.z1, std::min(s.x1, s.x2), std::max(s.x1, s.x2)};
    return LineSpan{false, s.x1, std::min(s.z1, s.z2), std::max(s.z1, s.z2)};
}

bool near(float a, float b) { return std::fabs(a - b) <= world_tolerance; }

// A wall on the same line as the lintel, as a span of that line; false if not.
bool collinear_span(const WallSegment& wall, const LineSpan& lintel, LineSpan* span)
{
    const bool wall_on_axis = lintel.along_x ? is_constant_z(wall) : is_constant_x(wall);
    if (!wall_on_axis || !near(lintel.along_x ? wall.z1 : wall.x1, lintel.line))
        return false;
    const float a = lintel.along_x ? wall.x1 : wall.z1;
    const float b = lintel.along_x ? wall.x2 : wall.z2;
    *span = LineSpan{lintel.along_x, lintel.line, std::min(a, b), std::max(a, b)};
    return true;
}

// True when a wall ends at, or crosses the lintel's line at, the point `end`.
bool wall_meets_end(const WallSegment& wall, const LineSpan& lintel, float end)
{
    LineSpan span{};
    if (collinear_span(wall, lintel, &span))
        return near(span.low, end) || near(span.high, end);
    const bool across = lintel.along_x ? is_constant_x(wall) : is_constant_z(wall);
    if (!across || !near(lintel.along_x ? wall.x1 : wall.z1, end))
        return false;
    const float low = lintel.along_x ? std::min(wall.z1, wall.z2) : std::min(wall.x1, wall.x2);
    const float high = lintel.along_x ? std::max(wall.z1, wall.z2) : std::max(wall.x1, wall.x2);
    return lintel.line >= low - world_tolerance && lintel.line <= high + world_tolerance;
}

// The wall the lintel runs along instead of spanning a gap, or -1.
int wall_under_lintel(const LoadedPlan& plan, const LineSpan& lintel)
{
    for (std::size_t i = 0; i < plan.walls.size(); ++i) {
        LineSpan span{};
        if (!collinear_span(plan.walls[i], lintel, &span))
            continue;
        if (std::min(span.high, lintel.high) - std::max(span.low, lintel.low) > world_tolerance)
            return static_cast<int>(i);
    }
    return -1;
}

bool end_has_wall(const LoadedPlan& plan, const LineSpan& lintel, float end)
{
    for (const WallSegment& wall : plan.walls)
        if (wall_meets_end(wall, lintel, end))
            return true;
    return false;
}

// The world point of one end of a lintel's span.
std::string end_text(const LineSpan& lintel, float end)
{
    return lintel.along_x ? world_point_text(end, lintel.line) : world_point_text(lintel.line, end);
}

// Why the lintel does not sit over a gap in the walls, or "" when it does.
std::string lintel_problem(const LoadedPlan& plan, const WallSegment& s)
{
    if (is_constant_x(s) && is_constant_z(s))
        return "has no length, so it spans no gap in the walls";
    if (!is_constant_x(s) && !is_constant_z(s))
        return "is diagonal, so it spans no gap in the walls";
    const LineSpan lintel = line_span(s);
    const int under = wall_under_lintel(plan, lintel);
    if (under >= 0)
        return "runs along " + wall_label(plan, static_cast<std::size_t>(under))
            + " instead of spanning a gap in the walls";
    for (float end : {lintel.low, lintel.high})
        if (!end_has_wall(plan, lintel, end))
            return "does not sit over a gap in the walls: no wall ends at " + end_text(lintel, end);
    return "";
}

void check_lintels(BuildingReport& report, const LoadedPlan& plan)
{
    for (int32_t j = 0; j < floor_plan.lintel_count; ++j) {
        const WallSegment& s = floor_plan.lintels[j];
        const std::string problem = lintel_problem(plan, s);
        if (!problem.empty())
            add_finding(report, Severity::warning, plan.file, 0, "lintel " + std::to_string(j + 1),
                        world_span_text(s) + " " + problem, world_segment_place(s));
    }
}

// ---------------------------------------------------------------------------
// Tables and capacity

void check_tables(BuildingReport& report, const LoadedPlan& plan)
{
    for (int32_t k = 0; k < floor_plan.table_count; ++k) {
        const TablePlacement& table = floor_plan.tables[k];
        if (!on_floor(plan, table.x, table.z))
            add_finding(report, Severity::warning, plan.file, 0, "table " + std::to_string(k + 1),
                        world_point_text(table.x, table.z) + " stands outside the floor rectangle "
                            + floor_text(plan),
                        world_point_place(table.x, table.z));
    }
}

void check_visit_room(BuildingReport& report, const LoadedPlan& plan)
{
    const int used = floor_plan.wall_count + floor_plan.table_wall_count;
    if (!table_block_fits(used))
        add_finding(report, Severity::error, plan.file, 0, "",
                    "walls and desk segments take " + std::to_string(used) + " of the "
                        + std::to_string(max_walls)
                        + " places of the wall table; the desk a room visit places would not block");
}

// ---------------------------------------------------------------------------
// One plan

// Reads the plan with the viewer's reader; false when it read nothing.
bool read_with_viewer_reader(BuildingReport& report, int choice, const std::string& file)
{
    viewer_state.plan_choice = choice;
    viewer_state.plan_from_command_line = 0;
    ReaderNotes notes;
    try {
        read_plan();
    } catch (const ProgramEnded&) {
        add_finding(report, Severity::error, file, 0, "", "the viewer cannot read it and ends");
        return false;
    }
    notes.add_to(report, file);
    return true;
}

void report_missing_plan(BuildingReport& report, int choice, const std::string& file,
                         const std::string& failure)
{
    if (choice == 1)
        add_finding(report, Severity::error, file, 0, "",
                    "cannot be opened (" + failure + "); the viewer starts on an empty floor");
    else
        add_finding(report, Severity::warning, file, 0, "",
                    "cannot be opened (" + failure + "); key " + std::to_string(choice)
                        + " keeps the plan in force");
}

PlanFacts facts_of(const LoadedPlan& plan, int choice)
{
    PlanFacts facts;
    facts.file = plan.file;
    facts.read = true;
    facts.floor_x1 = plan_x(floor_plan.floor_x1);
    facts.floor_y1 = plan_y(floor_plan.floor_z1);
    facts.floor_x2 = plan_x(floor_plan.floor_x2);
    facts.floor_y2 = plan_y(floor_plan.floor_z2);
    for (const WallSegment& s : plan.walls)
        facts.walls.push_back(PlanSegment{plan_x(s.x1), plan_y(s.z1), plan_x(s.x2), plan_y(s.z2)});
    for (int32_t j = 0; j < floor_plan.lintel_count; ++j) {
        const WallSegment& s = floor_plan.lintels[j];
        facts.lintels.push_back(PlanSegment{plan_x(s.x1), plan_y(s.z1), plan_x(s.x2), plan_y(s.z2)});
    }
    for (int32_t k = 0; k < floor_plan.table_count; ++k) {
        const TablePlacement& t = floor_plan.tables[k];
        facts.tables.push_back(PlanTable{plan_x(t.x), plan_y(t.z), t.kind});
    }
    facts.start_x = plan_x(floor_plan.start_x);
    facts.start_y = plan_y(floor_plan.start_z);
    facts.heading = choice == south_facing_choice ? south_heading : 0.0f;
    return facts;
}

PlanFacts check_one_plan(BuildingReport& report, int choice)
{
    LoadedPlan plan;
    plan.file = plan_file_names[choice];
    PlanFacts facts;
    facts.file = plan.file;
    const std::string failure = open_failure(plan.file);
    if (!failure.empty()) {
        report_missing_plan(report, choice, plan.file, failure);
        return facts;
    }
    if (!read_with_viewer_reader(report, choice, plan.file))
        return facts;
    plan.min_x = std::min(floor_plan.floor_x1, floor_plan.floor_x2);
    plan.max_x = std::max(floor_plan.floor_x1, floor_plan.floor_x2);
    plan.min_z = std::min(floor_plan.floor_z1, floor_plan.floor_z2);
    plan.max_z = std::max(floor_plan.floor_z1, floor_plan.floor_z2);
    collect_walls(plan);
    check_visit_room(report, plan);
    check_walls(report, plan);
    check_lintels(report, plan);
    check_tables(report, plan);
    check_start_point(report, plan);
    return facts_of(plan, choice);
}

} // namespace

// ---------------------------------------------------------------------------
// check_plans

// Reads the three plans; report.rooms must hold the locator boxes.
void check_plans(BuildingReport& report)
{
    for (int choice = 1; choice <= plan_name_count; ++choice)
        report.plans.push_back(check_one_plan(report, choice));
}
