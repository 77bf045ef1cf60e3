// route_test.cpp -- the way planner on the shipped plans and on
// hand-made floors: a way exists and keeps the clearance, a walled-up door
// gives none, and the way is as short as the geometry allows.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>

#include "plan/walls.h"
#include "route/route_planner.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {

// The goal area of a locator box given in plan units.
GoalArea plan_box(float x0, float y0, float x1, float y1)
{
    return {x0 * 3.0f, y1 * -3.0f, x1 * 3.0f, y0 * -3.0f};
}

// Expects the way to end in the goal and to keep the clearance from every wall of the loaded plan.
void expect_way_ends_in_goal_clear_of_walls(const std::vector<RoutePoint>& way, const GoalArea& goal)
{
    ASSERT_FALSE(way.empty());
    const RoutePoint end = way.back();
    EXPECT_TRUE(end.x >= goal.min_x && end.x <= goal.max_x && end.z >= goal.min_z && end.z <= goal.max_z);
    double least = 1e9;
    for (size_t i = 1; i < way.size(); ++i)
        for (int w = 0; w < floor_plan.wall_count; ++w) {
            const WallSegment& s = floor_plan.walls[w];
            least = std::fmin(least, segment_distance(way[i - 1], way[i], {s.x1, s.z1}, {s.x2, s.z2}));
        }
    EXPECT_GE(least, wall_clearance - 1e-4);
}

} // namespace

TEST(RoutePlanner, ShippedPlansFromTheStart)
{
    struct Row {
        int choice;
        const char* file;
        GoalArea goal;   // inside the room's locator box
        bool way;        // a way exists
    } rows[] = {
        {1, "plan.dat", plan_box(26.9f, 3.6f, 29.6f, 5.6f), true},    // room 320, far end
        {1, "plan.dat", plan_box(0.4f, 0.4f, 2.6f, 1.8f), true},      // room 301
        {3, "plan3.dat", plan_box(11.9f, 0.4f, 14.1f, 1.8f), false},  // room 309, door walled up
        {3, "plan3.dat", plan_box(8.9f, 0.4f, 11.1f, 1.8f), true},    // room 307 beside it
    };
    const fs::path previous = fs::current_path();
    fs::current_path(VEVUV_SHIPPED_DATA);  // the plans are read as the program reads them
    for (const Row& row : rows) {
        test::reset_plan_state();
        viewer_state.plan_choice = row.choice;
        test::capture_console([] { read_plan(); });
        const RoutePoint start{floor_plan.start_x, floor_plan.start_z};
        const std::vector<RoutePoint> way = plan_route(floor_plan, start, row.goal, wall_clearance);
        SCOPED_TRACE(row.file);
        if (row.way)
            expect_way_ends_in_goal_clear_of_walls(way, row.goal);
        else
            EXPECT_TRUE(way.empty());
    }
    fs::current_path(previous);
}

TEST(RoutePlanner, HandMadeFloors)
{
    // A 20 x 10 floor (world units, z running negative) with its four outer
    // walls, and optionally a baffle from the near wall to z = -7 at x = 10.
    struct Row {
        const char* what;
        bool baffle;
        RoutePoint start;
        double shortest;   // the best way's length, from the geometry; 0: no way
        WallSegment far_wall = {};  // one more wall, off the floor
        GoalArea goal = {14.5f, -2.5f, 15.5f, -1.5f};
    } rows[] = {
        {"open floor: a straight line", false, {2.0f, -2.0f}, 12.5},
        {"around the baffle's end", true, {5.0f, -2.0f}, std::hypot(5.0, 5.25) + std::hypot(4.5, 4.75)},
        {"start outside the floor", false, {-50.0f, 30.0f}, 0.0},
        {"start not a number", false, {NAN, -2.0f}, 0.0},
        {"start far out", false, {3e30f, -2.0f}, 0.0},
        {"goal beyond any float", false, {2.0f, -2.0f}, 0.0, {}, {14.5f, -2.5f, INFINITY, -1.5f}},
        {"a wall at 60000 (a typo)", true, {5.0f, -2.0f}, std::hypot(5.0, 5.25) + std::hypot(4.5, 4.75),
         {60000.0f, -30.0f, 60000.0f, -60.0f}},
        {"a wall at 3e13", false, {2.0f, -2.0f}, 12.5, {3e13f, -3.0f, 3e13f, -6.0f}},
        {"a wall at 3e38 across the floor", false, {2.0f, -2.0f}, 12.5, {-3e38f, 5.0f, 3e38f, 5.0f}},
    };
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    for (const Row& row : rows) {
        test::reset_plan_state();
        FloorPlan& p = floor_plan;
        p.floor_x2 = 20.0f;
        p.floor_z2 = -10.0f;
        const WallSegment walls[] = {{0, 0, 20, 0}, {0, -10, 20, -10}, {0, 0, 0, -10},
                                     {20, 0, 20, -10}, {10, 0, 10, -7}};
        for (const WallSegment& w : walls)
            if (row.baffle || w.x1 != 10.0f)
                p.walls[p.wall_count++] = w;
        p.walls[p.wall_count++] = row.far_wall;
        const GoalArea goal = row.goal;
        const std::vector<RoutePoint> way = plan_route(p, row.start, goal, wall_clearance);
        SCOPED_TRACE(row.what);
        if (row.shortest == 0.0) {
            EXPECT_TRUE(way.empty());
            continue;
        }
        expect_way_ends_in_goal_clear_of_walls(way, goal);
        // The rounding of the baffle's end makes the best way a little
        // shorter than the straight legs past its clearance corner.
        EXPECT_NEAR(route_length(way), row.shortest, row.shortest * 0.03);
        EXPECT_EQ(way.size(), row.baffle ? 3u : 2u) << "one turn round the baffle's end, none on the open floor";
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64L * 1024) << "kB more resident at the peak";
}

TEST(RoutePlanner, AMoveAlongTheWayShortensItAndOneOffItLeavesIt)
{
    const std::vector<RoutePoint> way = {{0, 0}, {10, 0}, {10, 10}};
    struct Row {
        RoutePoint here;
        bool on;                  // within route_leave_distance of the way
        std::vector<float> rest;  // x, z of the way from here
    } rows[] = {
        {{5.0f, 0.3f}, true, {5, 0.3f, 5, 0, 10, 0, 10, 10}},
        {{10.0f, 0.0f}, true, {10, 0, 10, 10}},  // at a corner: the next leg
        {{10.2f, 10.0f}, true, {10.2f, 10, 10, 10}},
        {{-0.4f, 0.0f}, true, {-0.4f, 0, 0, 0, 10, 0, 10, 10}},
        {{5.0f, 0.6f}, false, {0, 0, 10, 0, 10, 10}},
        {{NAN, 0.0f}, false, {0, 0, 10, 0, 10, 10}},
    };
    for (const Row& row : rows) {
        std::vector<RoutePoint> rest = way;
        EXPECT_EQ(follow_route(rest, row.here), row.on) << row.here.x << ", " << row.here.z;
        std::vector<float> flat;
        for (const RoutePoint& p : rest)
            flat.insert(flat.end(), {p.x, p.z});
        EXPECT_EQ(flat, row.rest) << row.here.x << ", " << row.here.z;
    }
}
