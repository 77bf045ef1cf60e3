// plan_test.cpp -- the plan reader (records, order, messages, bad input), the
// name table, wall boxes, the start pose and collision.
#include <cstring>
#include <string>
#include <vector>

#include "bench/wall_walk.h"
#include "plan/floor_plan.h"
#include "common/hash_table.h"
#include "plan/walls.h"
#include "support.h"

using namespace test;

namespace {

std::string seg(const WallSegment& s) { return text(s.x1, s.z1, s.x2, s.z2); }
// Walls, lintels, tables and table segments read.
std::string counts() { return text(floor_plan.wall_count, floor_plan.lintel_count, floor_plan.table_count, floor_plan.table_wall_count); }

class PlanReader : public testing::Test {
protected:
    void SetUp() override { reset_plan_state(); }
    void TearDown() override { reset_plan_state(); }
    static Console read() { return capture_console([] { read_plan(); }); }
    ScratchDir dir_;
};

const std::string reading = "Reading plan from file \"plan.dat\".....";
const std::string done = "Reading plan from file \"plan.dat\".....done!\n";

// count walls, one lintel (4 0 4 1), no tables, start (1, 1).
std::string plan_with_walls(int count, const std::string& walls)
{
    return "0 0 10 5\n" + std::to_string(count) + "\n" + walls + "1\n4 0 4 1\n0\n1 1 0 0\n";
}

// n records "i 0 i 1" (segments) or "i 1 0" (tables).
std::string records(int n, bool segments)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::to_string(i) + (segments ? " 0 " + std::to_string(i) + " 1\n" : " 1 0\n");
    return text;
}

} // namespace

TEST_F(PlanReader, ReadsRecordsInWorldUnitsSortedWithoutDuplicates)
{
    copy_test_data("plan/example.dat", "plan.dat");
    floor_plan.visit_wall_start = 7;
    EXPECT_EQ(read().out, done);
    ASSERT_EQ(counts(), "1 1 1 4 ");  // the blocking table's segments follow the walls
    EXPECT_EQ(text(floor_plan.floor_x2, floor_plan.floor_z2, seg(floor_plan.walls[0]), seg(floor_plan.walls[1])),
              "30 -15 0 0 30 0  6 -3 7.1 -3  ");
    EXPECT_EQ(text(seg(floor_plan.lintels[0]), floor_plan.tables[0].z, floor_plan.tables[0].kind, floor_plan.start_x),
              "12 0 12 -3  -3 2 3 ");
    EXPECT_EQ(floor_plan.visit_wall_start, -1);

    // (0 0 0 5) three times, (1 0 1 5) twice, (0 5 0 0) once: weights -150, -15, 3285.
    copy_test_data("plan/duplicates.dat", "plan.dat");
    read();
    EXPECT_EQ(text(floor_plan.wall_count, seg(floor_plan.walls[0]), seg(floor_plan.walls[2])), "3 0 -15 0 0  3 0 3 -15  ");
    write_file("plan.dat", plan_with_walls(6, "9 1 9 2\n0 0 0 5\n1 0 1 5\n2 3 2 1\n0.5 7 4 7\n0 0 0 5\n"));
    read();
    ASSERT_EQ(floor_plan.wall_count, 5);
    for (int i = 1; i < floor_plan.wall_count; ++i)
        EXPECT_EQ(compare_segments(floor_plan.walls[i - 1], floor_plan.walls[i]), -1) << i;
    EXPECT_EQ(seg(floor_plan.walls[4]), "27 -3 27 -6 ");
    write_file("plan.dat", plan_with_walls(0, ""));
    read();
    EXPECT_EQ(counts(), "0 1 0 0 ");

    // x1 outweighs a large z2 difference; equal weights compare as 0.
    EXPECT_EQ(compare_segments(WallSegment{1, 0, 0, -900}, WallSegment{0, 0, 0, 0}), 1);
    EXPECT_EQ(compare_segments(WallSegment{1, 0, 1, 2}, WallSegment{1, 0, 1, 3}), -1);
    EXPECT_EQ(compare_segments(WallSegment{0, 1, 0, 0}, WallSegment{0, 0, 0, 10}), 0);
}

TEST_F(PlanReader, FileNameComesFromTheChoiceOrOnceFromTheCommandLine)
{
    Console console = read();  // at start-up the empty plan stays
    EXPECT_EQ(console.err, "Couldn't open file \"plan.dat\"!!!\n");
    EXPECT_EQ(console.out + std::to_string(floor_plan.wall_count), "0");
    copy_test_data("plan/example.dat", "plan2.dat");
    copy_test_data("plan/duplicates.dat", "plan3.dat");
    const struct {
        int choice;
        std::string console;  // standard output, then standard error
        int walls;
    } rows[] = {{2, "Reading plan from file \"plan2.dat\".....done!\n", 1},
                {3, "Reading plan from file \"plan3.dat\".....done!\n", 3},
                {7, "Couldn't open file \"\"!!!\n", 3}};  // a choice that names no file opens nothing
    for (const auto& row : rows) {
        viewer_state.plan_choice = row.choice;
        console = read();
        EXPECT_EQ(console.out + console.err, row.console);
        EXPECT_EQ(floor_plan.wall_count, row.walls);
    }
    const FloorPlan before = floor_plan;  // later, the previous plan stays byte for byte
    viewer_state.plan_choice = 1;
    EXPECT_EQ(read().err, "Couldn't open file \"plan.dat\"!!!\n");
    EXPECT_EQ(std::memcmp(&before, &floor_plan, sizeof before), 0);

    const std::string long_name = (dir_.path() / "a_floor_plan_named_on_the_command_line.dat").string();
    fs::rename("plan3.dat", long_name);
    fs::rename("plan2.dat", "plan.dat");
    viewer_state.plan_from_command_line = 1;
    viewer_state.plan_file_name = long_name;
    EXPECT_EQ(read().out, "Reading plan from file \"" + long_name + "\".....done!\n");
    EXPECT_EQ(viewer_state.plan_from_command_line, 0);
    EXPECT_EQ(read().out, done);
    EXPECT_EQ(floor_plan.wall_count, 1);
    // (A command-line plan that cannot be read ends the program: the end-to-end quit run.)
}

TEST_F(PlanReader, DamagedFilesAreReportedAndKeepWhatWasRead)
{
    const std::string keeping = "; keeping what was read before it\n";
    std::string walls296;
    for (int i = 0; i < 296; ++i)
        walls296 += "0 " + std::to_string(i) + " 0 " + std::to_string(i + 1) + "\n";
    const struct { std::string text, messages; int walls, lintels, tables; } rows[] = {
        {plan_with_walls(400, records(400, true)),
         "wall count 400 exceeds capacity 300; keeping the first 300\n", 300, 1, 0},
        {"0 0 10 5\n0\n301\n" + records(301, true) + "301\n" + records(301, false) + "2 2 0 0\n",
         "lintel count 301 exceeds capacity 300; keeping the first 300\n"
         "plan.dat: table count 301 exceeds capacity 300; keeping the first 300\n", 0, 300, 300},
        {"0 0 10 5\n-5\n1\n4 0 4 1\n-1\n1 1 0 0\n",
         "wall count -5 is negative; reading no walls\n"
         "plan.dat: table count -1 is negative; reading no tables\n", 0, 1, 0},
        {"0 0 10 5\n296\n" + walls296 + "0\n3\n2 1 2\n4 1 0\n6 1 2\n1 1 0 0\n",
         "no room for the 4 blocking segments of table 3 of 3 (walls plus table segments are limited "
         "to 300); the table is drawn but does not block\n", 296, 0, 3},
        {"0 0 10 5\n3\n7 0 7 1\n0 0 10 0\n5 0", "file ends early while reading wall 3 of 3" + keeping, 2, 0, 0},
        {"0 0 10 5\n0\n0\n0\n1 1\n",
         "file ends early while reading the point after the start point" + keeping, 0, 0, 0},
    };
    for (const auto& row : rows) {
        const std::string ending = row.messages.find(keeping) == std::string::npos ? "done!\n" : "";
        write_file("plan.dat", row.text);
        const Console console = read();
        EXPECT_EQ(console.out, reading + "\nplan.dat: " + row.messages + ending) << row.text.substr(0, 40);
        EXPECT_EQ(console.err, "");
        EXPECT_EQ(text(floor_plan.wall_count, floor_plan.lintel_count, floor_plan.table_count), text(row.walls, row.lintels, row.tables));
        // The dropped walls were still read: the lintel after them is right.
        const std::string details[] = {seg(floor_plan.walls[299]) + seg(floor_plan.lintels[0]),
                                       text(floor_plan.tables[299].x, floor_plan.start_x),
                                       "", text(floor_plan.table_wall_count, seg(floor_plan.walls[299])),
                                       text(seg(floor_plan.walls[1]), floor_plan.start_x), ""};
        const char* const wanted[] = {"897 0 897 -3 12 0 12 -3 ", "897 6 ", "", "4 6 -3 6 -2  ", "21 0 21 -3  0 ", ""};
        EXPECT_EQ(details[&row - rows], wanted[&row - rows]);
    }
    EXPECT_FLOAT_EQ(floor_plan.start_x, 3.0f);  // ending after the start point keeps it

    const std::pair<std::string, std::string> bad[] = {
        {"", "file ends early while reading the floor rectangle"},
        {"0 0 10 5\n", "file ends early while reading the wall count"},
        {"0 0 10 5\n0\n0\n0\n", "file ends early while reading the start point"},
        {std::string(70, '1') + " 0 10 5\n",
         "\"" + std::string(63, '1') + "...\" is too long to be a number while reading the floor rectangle"},
        {"0 0 10 5\n1\n0 0 ten 0\n", "\"ten\" is not a number while reading wall 1 of 1"},
        {"0 0 10 5\n2.5\n", "\"2.5\" is not a whole number while reading the wall count"},
        {"0 0 10 5\n0\n1x\n", "\"1x\" is not a whole number while reading the lintel count"},
        {"0 0 10 5\n0\n0\n1\n2 1 2.0\n", "\"2.0\" is not a whole number while reading table 1 of 1"},
        {"0 0 10 5\n99999999999\n", "\"99999999999\" is out of range while reading the wall count"},
        {"0 0 1e50 5\n", "\"1e50\" is out of range while reading the floor rectangle"},
        {"0 0 -1e50 5\n", "\"-1e50\" is out of range while reading the floor rectangle"},
        {"0 0 2e38 5\n", "\"2e38\" is out of range while reading the floor rectangle"},  // once scaled
        {"nan 0 10 5\n", "\"nan\" is not a number while reading the floor rectangle"},
        {"0 inf 10 5\n", "\"inf\" is not a number while reading the floor rectangle"},
        {"0 0 10 5\n0\n0\n0\n1 1 0x10 0\n", "\"0x10\" is not a number while reading the point after the start point"},
        {"\x01\xff\x80 0 10 5\n", "\"???\" is not a number while reading the floor rectangle"},
    };
    for (const auto& [text, message] : bad) {
        write_file("plan.dat", text);
        EXPECT_EQ(read().out, reading + "\nplan.dat: " + message + keeping) << text;
    }
    EXPECT_EQ(floor_plan.floor_x1, 0.0f);  // the last case read nothing at all
    fs::remove("plan.dat");
    fs::create_directory("plan.dat");  // opens as a stream but cannot be read
    EXPECT_EQ(read().out, reading + "\nplan.dat: read error while reading the floor rectangle" + keeping);
}

TEST(HashTable, IdsBucketsCopiesAndTheLimit)
{
    HashTable table(100);
    EXPECT_EQ(table.find_id("Red"), 0);
    EXPECT_EQ(table.id_of("Red"), 1);
    EXPECT_EQ(table.id_of("Green"), 2);
    EXPECT_EQ(table.id_of("Red"), 1);
    EXPECT_EQ(table.find_id("green") + table.find_id("Gree"), 0);  // case and prefixes matter
    EXPECT_EQ(table.count, 2);
    char name[] = "Yellow";  // the table keeps its own copy
    EXPECT_EQ(table.id_of(name), 3);
    std::strcpy(name, "Purple");
    EXPECT_STREQ(table.entries[2]->name, "Yellow");
    EXPECT_EQ(table.find_id("Yellow"), 3);
    EXPECT_EQ(table.find_id("Purple"), 0);

    EXPECT_EQ(table.hash_of("Blue"), 25u);  // h = 2277125
    EXPECT_EQ(table.hash_of("Orange"), 25u);
    const int blue = table.id_of("Blue"), orange = table.id_of("Orange");
    ASSERT_NE(table.buckets[25], nullptr);
    EXPECT_EQ(table.buckets[25]->id, orange);  // newest first
    EXPECT_EQ(table.buckets[25]->next->id, blue);
    EXPECT_EQ(table.find_id("Blue"), blue);
    EXPECT_EQ(table.hash_of("\xff"), 95u);  // bytes above seven bits count as negative
    EXPECT_EQ(HashTable(1000).hash_of("\x80" "A"), 265u);
    EXPECT_EQ(table.hash_of(""), 0u);

    HashTable full(100);
    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(full.id_of(("name" + std::to_string(i)).c_str()), i);
    EXPECT_EQ(full.id_of("name100"), 100);
    EXPECT_EXIT(full.id_of("name101"), testing::ExitedWithCode(255),
                "^Number of vertices exceeds size of 100 in HashTable::id_of !\nExiting\\.\\.\\.\\.\n$");
    HashTable single(0);  // a size below one is taken as one
    EXPECT_EQ(single.size, 1);
    EXPECT_EQ(single.id_of("only"), 1);
}

namespace {

class Walls : public testing::Test {
protected:
    void SetUp() override
    {
        reset_plan_state();
        define_colours();
    }
    void TearDown() override { reset_plan_state(); }
};

} // namespace

TEST_F(Walls, BoxesReachHalfAThicknessAroundTheirSegment)
{
    const struct { WallSegment s; double bottom; float corners[4][2]; } rows[] = {
        {{0, 0, 3, 0}, 0.0, {{-0.1f, -0.1f}, {3.1f, -0.1f}, {3.1f, 0.1f}, {-0.1f, 0.1f}}},
        {{3, -3, 3, -9}, lintel_bottom_ratio * wall_height, {{2.9f, -2.9f}, {2.9f, -9.1f}, {3.1f, -9.1f}, {3.1f, -2.9f}}},
        {{0, 0, 3, 4}, 0.0, {{0.02f, -0.14f}, {3.14f, 4.02f}, {2.98f, 4.14f}, {-0.14f, -0.02f}}},
        {{6, -3, 6, -3}, 0.0, {{5.9f, -3.1f}, {6.1f, -3.1f}, {6.1f, -2.9f}, {5.9f, -2.9f}}},  // no length
    };
    for (const auto& row : rows) {
        WallBox box{};
        build_wall_box(row.s, row.bottom, wall_height, box);
        for (int v = 0; v < 10; ++v) {  // the ring A A B B C C D D A A, bottom and top
            EXPECT_NEAR(box.vertices[v][0], row.corners[(v / 2) % 4][0], 1e-5) << v;
            EXPECT_NEAR(box.vertices[v][2], row.corners[(v / 2) % 4][1], 1e-5) << v;
            EXPECT_FLOAT_EQ(box.vertices[v][1], v % 2 == 0 ? float(row.bottom) : 4.0f) << v;
        }
    }
}

TEST_F(Walls, BuildWallsSetsTheStartPoseAndColoursEveryBox)
{
    ScratchDir dir;
    write_file("plan.dat", "0 0 10 5\n2\n0 0 10 0\n1 0 1 5\n1\n4 0 4 1\n0\n2 1 0 0\n");
    write_file("plan2.dat", "0 0 10 5\n0\n0\n0\n9 2 0 0\n");
    viewer_state.eye_height = 3.0f;
    wall_boxes[0].colours[9][2] = 0.5f;
    lintel_boxes[0].colours[0][3] = 0.0f;
    const struct {
        int choice;
        float x, z, heading, popup_angle;
        std::string err, plan_xy;  // plan_xy: the overhead marker, in plan units
    } rows[] = {{1, 6, -3, 0, 0, "", "2 1 "}, {2, 27, -6, 180, 180, "", "9 2 "},  // plan 2 is entered from its far end
                {3, 27, -6, 0, 0, "Couldn't open file \"plan3.dat\"!!!\n", ""}};  // pose reset to the old start
    for (const auto& row : rows) {
        viewer_state.plan_choice = row.choice;
        viewer_state.x = 1.0f;
        EXPECT_EQ(capture_console([] { build_walls(); }).err, row.err);
        EXPECT_FLOAT_EQ(viewer_state.x, row.x);
        EXPECT_FLOAT_EQ(viewer_state.z, row.z);
        EXPECT_FLOAT_EQ(viewer_state.heading, row.heading);
        EXPECT_FLOAT_EQ(viewer_state.popup_angle, row.popup_angle);
        EXPECT_FLOAT_EQ(viewer_state.eye_height, 1.0f);
        if (!row.plan_xy.empty()) {
            EXPECT_EQ(text(viewer_state.plan_x, viewer_state.plan_y), row.plan_xy);
        }
    }
    EXPECT_FLOAT_EQ(lintel_boxes[0].vertices[0][0], 11.9f);
    for (const WallBox* box : {&wall_boxes[0], &wall_boxes[1], &lintel_boxes[0]})
        for (const float* c : box->colours)
            EXPECT_TRUE(c[0] == 0.0f && c[1] == 0.0f && c[2] == 1.0f && c[3] == 1.0f);
}

TEST_F(Walls, CollisionHoldsFromTheSideTheVisitorStandsOnAndTableBlocksAreSolid)
{
    const WallSegment walls[] = {{5.2f, 0, 5.2f, 4}, {0, -3, 6, -3}, {-1, 0, -1, 4}, {0.5f, -1, 4, -1},
                                 {9.85f, 0, 9.85f, 4}, {10, 0, 10, 4}, {6, 6, 8, 8}};
    floor_plan.wall_count = int(std::size(walls));
    std::copy(std::begin(walls), std::end(walls), floor_plan.walls);
    floor_plan.lintels[0] = WallSegment{3, 5, 3, 9};
    floor_plan.lintel_count = 1;
    const struct { float x, z, step_x, step_z, want_x, want_z; } rows[] = {
        {5.0f, 1.0f, -0.3f, 0.5f, 4.95f, 1.5f},      // target past 5.1: held, z still moves
        {5.0f, 1.0f, -0.05f, 0, 5.05f, 1.0f},        // short of the margin
        {5.0f, 4.2f, -0.3f, 0, 5.3f, 4.2f},          // beyond the wall's end plus 0.1
        {5.0f, 4.05f, -0.3f, 0, 4.95f, 4.05f},       // within 0.1 of its end
        {5.4f, 2.0f, 0.3f, 0, 5.45f, 2.0f},          // from the high side
        {5.2f, 2.0f, 0.3f, 0, 4.9f, 2.0f},           // on the line: not held
        {2.0f, -2.5f, 0, -0.6f, 2.0f, -2.75f},       // a constant-z wall
        {2.0f, -3.5f, 0, 0.6f, 2.0f, -3.25f},
        {7.0f, -2.5f, 0, -0.6f, 7.0f, -3.1f},
        {2.0f, -2.5f, -0.4f, -0.6f, 2.4f, -2.75f},   // slides along the wall
        {-0.9f, 1.0f, 0.3f, 0, -0.75f, 1.0f},        // walls at -1 block
        {1.0f, -0.9f, 0, -0.3f, 1.0f, -0.75f},
        {5.15f, 1.0f, 0, 0, 4.95f, 1.0f},            // within the margin, no step: his own side
        {5.15f, 1.0f, 0.02f, 0, 4.95f, 1.0f},
        {2.0f, -2.95f, 0, 0.02f, 2.0f, -2.75f},
        {4.8f, 4.3f, -1.2f, -1.2f, 4.95f, 3.1f},     // a long drag across a wall's end slides
        {5.2f, 4.6f, 0, -0.6f, 5.2f, 4.25f},         // along the line: stops before the end
        {9.93f, 2.0f, 0, 0, 9.93f, 2.0f},            // no clearance between two walls: stays
        {6.5f, 7.5f, -1.0f, 0, 7.5f, 7.5f},          // diagonals do not block
        {2.5f, 6.0f, -1.0f, 0, 3.5f, 6.0f},          // nor lintels
    };
    for (const auto& row : rows) {
        viewer_state.x = row.x;
        viewer_state.z = row.z;
        move_with_collision(row.step_x, row.step_z);
        EXPECT_EQ(text(viewer_state.x, viewer_state.z), text(row.want_x, row.want_z)) << row.x << " " << row.z;
    }

    // A table block (x 6..7.1, z -3..-2) is solid from every side.
    floor_plan.wall_count = 1;
    floor_plan.walls[0] = WallSegment{50, 50, 50, 60};
    add_table_walls(6.0f, -3.0f);
    ASSERT_EQ(floor_plan.table_wall_count, 4);
    const float block[][5] = {{5.5f, -2.5f, -0.6f, 0, 5.75f}, {7.5f, -2.5f, 0.6f, 0, 7.25f}, {6.5f, -1.5f, 0, -0.6f, -1.75f}};
    for (const auto& b : block) {
        viewer_state.x = b[0];
        viewer_state.z = b[1];
        move_with_collision(b[2], b[3]);
        EXPECT_FLOAT_EQ(b[3] == 0 ? viewer_state.x : viewer_state.z, b[4]);
    }

    // Beyond capacity a block is dropped, and the caller told.
    floor_plan.wall_count = 292;
    floor_plan.table_wall_count = 0;
    EXPECT_TRUE(add_table_walls(0.0f, 0.0f) && add_table_walls(2.0f, 0.0f));
    floor_plan.walls[299] = WallSegment{1, 2, 3, 4};
    EXPECT_FALSE(add_table_walls(6.0f, -3.0f));
    EXPECT_EQ(floor_plan.table_wall_count, 8);
    EXPECT_FLOAT_EQ(floor_plan.walls[299].x1, 1.0f);
}

TEST_F(Walls, SeededWalkNeverCrossesAWallOfTheShippedPlans)
{
    const fs::path previous = fs::current_path();
    fs::current_path(VEVUV_SHIPPED_DATA);
    for (int choice = 1; choice <= 3; ++choice) {
        viewer_state.plan_choice = choice;
        capture_console([] { build_walls(); });
        const wall_walk::WalkResult r = wall_walk::walk(20000, 7u + choice);
        EXPECT_EQ(r.crossings, 0) << plan_file_names[choice] << " from " << r.from_x << " " << r.from_z;
    }
    fs::current_path(previous);
}
