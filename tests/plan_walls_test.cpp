// plan_walls_test.cpp -- wall and lintel boxes, the start pose, collision with
// walls and table blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "bench/wall_walk.h"
#include "plan/walls.h"
#include "plan_test_support.h"
#include "render/colour_table.h"

using namespace plan_test;

namespace {

struct Corner {
    float x, z;
};

// Checks the ring A A B B C C D D A A with alternating bottom and top.
void expect_box(const WallBox& box, const Corner (&corners)[4], float bottom, float top)
{
    for (int v = 0; v < 10; ++v) {
        const Corner& c = corners[(v / 2) % 4];
        EXPECT_NEAR(box.vertices[v][0], c.x, 1e-5) << "vertex " << v;
        EXPECT_NEAR(box.vertices[v][2], c.z, 1e-5) << "vertex " << v;
        EXPECT_FLOAT_EQ(box.vertices[v][1], v % 2 == 0 ? bottom : top) << "vertex " << v;
    }
}

class Walls : public testing::Test {
protected:
    void SetUp() override
    {
        reset_plan_state();
        define_colours();
    }
    void TearDown() override { reset_plan_state(); }

    // Puts the visitor at (x, z) among the given segments and moves him.
    static void move_from(float x, float z, float step_x, float step_z)
    {
        viewer_state.x = x;
        viewer_state.z = z;
        move_with_collision(step_x, step_z);
    }
    static void set_walls(std::initializer_list<WallSegment> walls)
    {
        floor_plan.wall_count = 0;
        for (const WallSegment& s : walls)
            floor_plan.walls[floor_plan.wall_count++] = s;
    }
};

} // namespace

TEST_F(Walls, BoxesReachHalfAThicknessAroundTheirSegment)
{
    WallBox box{};
    build_wall_box(WallSegment{0.0f, 0.0f, 3.0f, 0.0f}, 0.0, wall_height, box);
    expect_box(box, {{-0.1f, -0.1f}, {3.1f, -0.1f}, {3.1f, 0.1f}, {-0.1f, 0.1f}}, 0.0f, 4.0f);
    build_wall_box(WallSegment{3.0f, -3.0f, 3.0f, -9.0f}, lintel_bottom_ratio * wall_height,
                   wall_height, box);
    expect_box(box, {{2.9f, -2.9f}, {2.9f, -9.1f}, {3.1f, -9.1f}, {3.1f, -2.9f}}, 2.68f, 4.0f);
    build_wall_box(WallSegment{0.0f, 0.0f, 3.0f, 4.0f}, 0.0, wall_height, box);
    expect_box(box, {{0.02f, -0.14f}, {3.14f, 4.02f}, {2.98f, 4.14f}, {-0.14f, -0.02f}}, 0.0f, 4.0f);
    // A wall of no length gets a small square, not a division by zero.
    build_wall_box(WallSegment{6.0f, -3.0f, 6.0f, -3.0f}, 0.0, wall_height, box);
    expect_box(box, {{5.9f, -3.1f}, {6.1f, -3.1f}, {6.1f, -2.9f}, {5.9f, -2.9f}}, 0.0f, 4.0f);
}

TEST_F(Walls, BuildWallsSetsTheStartPoseAndColoursEveryBox)
{
    ScratchDir dir;
    write_file("plan.dat", "0 0 10 5\n2\n0 0 10 0\n1 0 1 5\n1\n4 0 4 1\n0\n2 1 0 0\n");
    write_file("plan2.dat", "0 0 10 5\n0\n0\n0\n9 2 0 0\n");
    viewer_state.eye_height = 3.0f;
    wall_boxes[0].colours[9][2] = 0.5f;
    lintel_boxes[0].colours[0][3] = 0.0f;

    capture_console([] { build_walls(); });
    EXPECT_FLOAT_EQ(viewer_state.x, 6.0f);
    EXPECT_FLOAT_EQ(viewer_state.z, -3.0f);
    EXPECT_FLOAT_EQ(viewer_state.eye_height, 1.0f);
    EXPECT_FLOAT_EQ(viewer_state.heading, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.plan_x, 2.0f);  // the overhead marker, in plan units
    EXPECT_FLOAT_EQ(viewer_state.plan_y, 1.0f);

    ASSERT_EQ(floor_plan.wall_count, 2);
    EXPECT_FLOAT_EQ(lintel_boxes[0].vertices[0][0], 11.9f);  // plan x 4 in world units
    for (const WallBox* box : {&wall_boxes[0], &wall_boxes[1], &lintel_boxes[0]})
        for (const float* colour : box->colours)
            EXPECT_TRUE(colour[0] == 0.0f && colour[1] == 0.0f && colour[2] == 1.0f && colour[3] == 1.0f);

    // Plan 2 is entered from its far end.
    viewer_state.plan_choice = 2;
    capture_console([] { build_walls(); });
    EXPECT_FLOAT_EQ(viewer_state.x, 27.0f);
    EXPECT_FLOAT_EQ(viewer_state.plan_x, 9.0f);
    EXPECT_FLOAT_EQ(viewer_state.heading, 180.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 180.0f);

    // A plan that cannot be opened still resets the pose, to the old start.
    viewer_state.plan_choice = 3;
    viewer_state.x = 1.0f;
    const Console console = capture_console([] { build_walls(); });
    EXPECT_EQ(console.err, "Couldn't open file \"plan3.dat\"!!!\n");
    EXPECT_FLOAT_EQ(viewer_state.x, 27.0f);
    EXPECT_FLOAT_EQ(viewer_state.heading, 0.0f);
}

TEST_F(Walls, WallsHoldFromTheSideTheVisitorStandsOn)
{
    set_walls({{5.2f, 0.0f, 5.2f, 4.0f}, {0.0f, -3.0f, 6.0f, -3.0f}, {-1.0f, 0.0f, -1.0f, 4.0f},
               {0.5f, -1.0f, 4.0f, -1.0f}, {9.85f, 0.0f, 9.85f, 4.0f}, {10.0f, 0.0f, 10.0f, 4.0f},
               {6.0f, 6.0f, 8.0f, 8.0f}});
    floor_plan.lintels[0] = WallSegment{3.0f, 5.0f, 3.0f, 9.0f};
    floor_plan.lintel_count = 1;
    const struct {
        float x, z, step_x, step_z, expect_x, expect_z;
        const char* what;
    } rows[] = {
        {5.0f, 1.0f, -0.3f, 0.5f, 4.95f, 1.5f, "target past 5.1: held, z still moves"},
        {5.0f, 1.0f, -0.05f, 0.0f, 5.05f, 1.0f, "target short of 5.1"},
        {5.0f, 4.2f, -0.3f, 0.0f, 5.3f, 4.2f, "beyond the wall's end plus 0.1"},
        {5.0f, 4.05f, -0.3f, 0.0f, 4.95f, 4.05f, "within 0.1 of its end"},
        {5.4f, 2.0f, 0.3f, 0.0f, 5.45f, 2.0f, "from the high side toward -x"},
        {5.2f, 2.0f, 0.3f, 0.0f, 4.9f, 2.0f, "standing on the line: not held"},
        {2.0f, -2.5f, 0.0f, -0.6f, 2.0f, -2.75f, "a constant-z wall, toward -z"},
        {2.0f, -3.5f, 0.0f, 0.6f, 2.0f, -3.25f, "the same from the far side"},
        {7.0f, -2.5f, 0.0f, -0.6f, 7.0f, -3.1f, "x beyond the wall's end plus 0.1"},
        {2.0f, -2.5f, -0.4f, -0.6f, 2.4f, -2.75f, "a diagonal step slides along it"},
        {-0.9f, 1.0f, 0.3f, 0.0f, -0.75f, 1.0f, "a wall at x = -1 blocks"},
        {1.0f, -0.9f, 0.0f, -0.3f, 1.0f, -0.75f, "a wall at z = -1 blocks"},
        {5.15f, 1.0f, 0.0f, 0.0f, 4.95f, 1.0f, "within the margin, no step: his own side"},
        {5.15f, 1.0f, 0.02f, 0.0f, 4.95f, 1.0f, "a small step that stays within it"},
        {2.0f, -2.95f, 0.0f, 0.02f, 2.0f, -2.75f, "the same beside a constant-z wall"},
        {4.8f, 4.3f, -1.2f, -1.2f, 4.95f, 3.1f, "a long drag across a wall's end slides"},
        {5.2f, 4.6f, 0.0f, -0.6f, 5.2f, 4.25f, "walking along the line stops before the end"},
        {9.93f, 2.0f, 0.0f, 0.0f, 9.93f, 2.0f, "no clearance between two walls: stays"},
        {6.5f, 7.5f, -1.0f, 0.0f, 7.5f, 7.5f, "a diagonal segment does not block"},
        {2.5f, 6.0f, -1.0f, 0.0f, 3.5f, 6.0f, "a lintel does not block"},
    };
    for (const auto& row : rows) {
        move_from(row.x, row.z, row.step_x, row.step_z);
        EXPECT_FLOAT_EQ(viewer_state.x, row.expect_x) << row.what;
        EXPECT_FLOAT_EQ(viewer_state.z, row.expect_z) << row.what;
    }
}

TEST_F(Walls, SeededWalkNeverCrossesAWallOfTheShippedPlans)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(VEVUV_SHIPPED_DATA);
    for (int choice = 1; choice <= 3; ++choice) {
        viewer_state.plan_choice = choice;
        capture_console([] { build_walls(); });
        const wall_walk::WalkResult r = wall_walk::walk(20000, 7u + choice);
        EXPECT_EQ(r.crossings, 0) << plan_file_names[choice] << " from " << r.from_x << " " << r.from_z;
    }
    std::filesystem::current_path(previous);
}

TEST_F(Walls, TableBlockIsSolidFromEverySide)
{
    floor_plan.wall_count = 1;
    floor_plan.walls[0] = WallSegment{50.0f, 50.0f, 50.0f, 60.0f};
    add_table_walls(6.0f, -3.0f);
    ASSERT_EQ(floor_plan.table_wall_count, 4);
    // The block spans x 6..7.1 and z -3..-2: from the low-x side...
    move_from(5.5f, -2.5f, -0.6f, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.x, 5.75f);
    // ...from the high-x side, and from the high-z side.
    move_from(7.5f, -2.5f, 0.6f, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.x, 7.25f);
    move_from(6.5f, -1.5f, 0.0f, -0.6f);
    EXPECT_FLOAT_EQ(viewer_state.z, -1.75f);
}

TEST_F(Walls, TableBlockBeyondCapacityIsDropped)
{
    floor_plan.wall_count = 292;
    EXPECT_TRUE(add_table_walls(0.0f, 0.0f));
    EXPECT_TRUE(add_table_walls(2.0f, 0.0f));
    EXPECT_EQ(floor_plan.table_wall_count, 8);
    floor_plan.walls[299] = WallSegment{1.0f, 2.0f, 3.0f, 4.0f};
    EXPECT_FALSE(add_table_walls(6.0f, -3.0f));
    EXPECT_EQ(floor_plan.table_wall_count, 8);
    EXPECT_FLOAT_EQ(floor_plan.walls[299].x1, 1.0f);
}
