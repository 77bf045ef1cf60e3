// data_building_test.cpp -- the shipped building in data/ read by the
// program's own readers: plans, locator file, room records and pages agree.
#include <gtest/gtest.h>

#include <GL/freeglut.h>  // Required for: glutInit(), glutBitmapLength()

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "app/viewer.h"
#include "directory/locator.h"
#include "directory/room_record.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"

namespace {

constexpr int shipped_room_count = 20;
constexpr float step_length = 0.4f;   // one arrow-key step, world units
constexpr int steps_into_room = 8;    // 3.2 world units from the corridor centre

// Runs every test in data/, where the program finds its files.
class ShippedData : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VEVUV_SHIPPED_DATA);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

// Reads built-in plan choice into floor_plan; returns what the console showed.
std::string read_shipped_plan(int choice)
{
    viewer_state.plan_choice = choice;
    viewer_state.plan_from_command_line = 0;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    read_plan();
    std::string console = testing::internal::GetCapturedStdout();
    return console + testing::internal::GetCapturedStderr();
}

// Distance from world (x, z) to the nearest plan wall line, within its extent.
float nearest_wall(float x, float z)
{
    float best = 1e9f;
    for (int i = 0; i < floor_plan.wall_count; ++i) {
        const WallSegment& s = floor_plan.walls[i];
        float lo_x = std::min(s.x1, s.x2), hi_x = std::max(s.x1, s.x2);
        float lo_z = std::min(s.z1, s.z2), hi_z = std::max(s.z1, s.z2);
        float dx = x < lo_x ? lo_x - x : (x > hi_x ? x - hi_x : 0.0f);
        float dz = z < lo_z ? lo_z - z : (z > hi_z ? z - hi_z : 0.0f);
        best = std::min(best, std::sqrt(dx * dx + dz * dz));
    }
    return best;
}

// The room a position lookup finds at world (x, z), or 0 for the corridor.
int room_at_world(float x, float z)
{
    RoomRecord* record = lookup_room(0, "", x / 3.0f, z / -3.0f);
    return record->found ? record->Room_Number : 0;
}

} // namespace

// Each plan reads without a console complaint, starts the visitor in the
// corridor clear of every wall, and lets him walk straight ahead (heading 0
// is north, 180 south) through a doorway into the room he faces.
TEST_F(ShippedData, EveryPlanStartsInFrontOfADoorwayHeCanWalkThrough)
{
    const struct { int choice; const char* file; float step_z; int room; } plans[] = {
        {1, "plan.dat", -step_length, 304},
        {2, "plan2.dat", step_length, 319},
        {3, "plan3.dat", -step_length, 304},
    };
    for (const auto& plan : plans) {
        SCOPED_TRACE(plan.file);
        EXPECT_EQ(read_shipped_plan(plan.choice),
                  std::string("Reading plan from file \"") + plan.file + "\".....done!\n");
        EXPECT_GE(floor_plan.wall_count, 40);
        EXPECT_LE(floor_plan.wall_count + floor_plan.table_wall_count + 4, max_walls);
        // One lintel per doorway; plan 3 walls one up and adds the partition's.
        EXPECT_EQ(floor_plan.lintel_count, shipped_room_count);
        EXPECT_EQ(floor_plan.table_wall_count, 8);  // two solid desks in every plan
        EXPECT_LT(floor_plan.start_z, -6.6f);       // between the corridor walls
        EXPECT_GT(floor_plan.start_z, -9.6f);
        EXPECT_GT(nearest_wall(floor_plan.start_x, floor_plan.start_z), wall_margin);
        EXPECT_EQ(room_at_world(floor_plan.start_x, floor_plan.start_z), 0);

        viewer_state.x = floor_plan.start_x;
        viewer_state.z = floor_plan.start_z;
        for (int i = 0; i < steps_into_room; ++i)
            move_with_collision(0.0f, plan.step_z);
        EXPECT_FLOAT_EQ(viewer_state.x, floor_plan.start_x);
        EXPECT_NEAR(viewer_state.z, floor_plan.start_z + steps_into_room * plan.step_z, 1e-4);
        EXPECT_EQ(room_at_world(viewer_state.x, viewer_state.z), plan.room);
    }
}

// Every locator record, the last one included, is found at its own centre and
// names a Room of Department.xml whose page exists; the desk a visit would
// place stands inside that room's box; the corridor is in no box.
TEST_F(ShippedData, EveryLocatorRoomIsFoundAndHasItsRecordPageAndDesk)
{
    testing::internal::CaptureStdout();
    lookup_room(0, "", -1.0f, -1.0f);  // the first lookup reads the locator file
    ASSERT_EQ(locator_searchable_count, shipped_room_count);
    for (int i = 0; i < locator_searchable_count; ++i) {
        const LocatorEntry& entry = locator_table[i];
        SCOPED_TRACE(entry.name);
        float cx = (entry.min_x + entry.max_x) / 2, cy = (entry.min_y + entry.max_y) / 2;
        ASSERT_NE(find_room_at(cx, cy), nullptr);
        EXPECT_STREQ(find_room_at(cx, cy), entry.name);

        RoomRecord room = *lookup_room(1, entry.name, 0.0f, 0.0f);
        ASSERT_EQ(room.found, 1);
        EXPECT_EQ(room.Room_Number, std::atoi(entry.name));
        EXPECT_GT(std::strlen(room.Introduction_Text), 0u);
        EXPECT_TRUE(std::filesystem::is_regular_file(room.Publications)) << room.Publications;
        if (room.TableX == -1.0f && room.TableY == -1.0f)
            continue;
        float tx = room.TableX, ty = room.TableY;
        if (tx == 0.0f && ty == 0.0f) {
            tx = (room.RoomX[0] + room.RoomX[1] + room.RoomX[2] + room.RoomX[3] + room.RoomX[4] + room.RoomX[5]) / 6;
            ty = (room.RoomY[0] + room.RoomY[1] + room.RoomY[2] + room.RoomY[3] + room.RoomY[4] + room.RoomY[5]) / 6;
        }
        // The blocking block (world x..x+1.1, z..z+1.0) and the drawn desk,
        // mirrored through its anchor in rooms beyond y = 2.7.
        const float sign = ty > 2.7f ? -1.0f : 1.0f;
        const float corners[][2] = {{0.0f, 0.0f}, {1.1f, 1.0f}, {0.0f, 1.0f}, {1.1f, 0.0f},
                                    {sign * 1.254f, sign * 1.035f}, {sign * -0.066f, sign * 1.035f}};
        for (const auto& c : corners)
            EXPECT_STREQ(find_room_at(tx + c[0] / 3.0f, ty - c[1] / 3.0f), entry.name)
                << "desk corner " << c[0] << ", " << c[1];
    }
    // The shipped files read without a single console note.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (float x = 0.1f; x < 30.0f; x += 0.2f)
        for (float y : {2.25f, 2.7f, 3.15f})
            EXPECT_EQ(find_room_at(x, y), nullptr) << x << ", " << y;
}

// The two portrait figures stand in the rooms of their professors.
TEST_F(ShippedData, PortraitFiguresStandInTheirProfessorsRooms)
{
    const struct { float x, y; const char* professor; } figures[] = {
        {17.6f, 4.6f, "Prof. A. Dolvane"}, {24.5f, 1.5f, "Prof. B. Trevarnik"}};
    for (const auto& figure : figures) {
        SCOPED_TRACE(figure.professor);
        for (float dx : {0.0f, 1.0f / 3}) {
            for (float dy : {0.0f, 1.0f / 3}) {
                RoomRecord* room = lookup_room(0, "", figure.x + dx, figure.y - dy);
                ASSERT_EQ(room->found, 1);
                EXPECT_STREQ(room->Professor, figure.professor);
            }
        }
    }
}

// Every room's status line fits the 690-pixel strip of the 700 x 500 window
// in Helvetica 18, starting where the strip places a line of its length.
TEST_F(ShippedData, EveryStatusLineFitsTheStrip)
{
    static char program[] = "data_building_test";
    static char* argv[] = {program, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    const WindowState start_window;
    const double strip_width = status_strip_width(start_window.width);
    lookup_room(0, "", -1.0f, -1.0f);
    for (int i = 0; i < locator_searchable_count; ++i) {
        RoomRecord* room = lookup_room(1, locator_table[i].name, 0.0f, 0.0f);
        char line[status_text_size];
        std::snprintf(line, sizeof line, "Room %d (%s)", room->Room_Number, room->Introduction_Text);
        const std::string glyphs = glyph_text(line, sizeof line);
        const double start_ndc = status_text_x(glyphs.size(), start_window.width);
        const double start_px = (start_ndc + 1.0) / 2.0 * strip_width;
        const int width = glutBitmapLength(GLUT_BITMAP_HELVETICA_18,
                                           reinterpret_cast<const unsigned char*>(glyphs.c_str()));
        EXPECT_GE(start_px, 0.0) << line;
        EXPECT_LE(start_px + width, strip_width - 5.0) << line;
    }
}
