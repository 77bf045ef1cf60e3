// app_state_test.cpp -- keys, arrows and drags against the viewer state, with
// GLUT started for real (run under Xvfb) on a small hand-made floor.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "app/viewer.h"
#include "plan/floor_plan.h"

namespace fs = std::filesystem;

namespace {

// The test floor: plan 0..10 x 0..6, outer walls, a wall at plan x 7, the
// start at plan (3, 2.7); plans 2 and 3 start at plan x 6 and 2.
constexpr float start_x = 9.0f;    // world units
constexpr float start_z = -8.1f;
constexpr float inner_wall_x = 21.0f;
constexpr float outer_wall_x = 30.0f;
constexpr float clearance = 0.25f;

constexpr unsigned char escape_key = 27;

// Copies the test floor into a fresh directory and starts GLUT there once.
class ViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under Xvfb (xvfb-run)";
        char pattern[] = "/tmp/vevuv_app_state_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work_dir = pattern;
        fs::copy(fs::path(VEVUV_TEST_DATA) / "app", work_dir);
        ASSERT_EQ(chdir(work_dir.c_str()), 0);
        static char program[] = "app_state_test";
        static char* argv[] = {program, nullptr};
        int argc = 1;
        start_up(&argc, argv);
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(work_dir, ignored);
    }

    // Every test starts on plan 1 at the start pose with every switch off.
    void SetUp() override
    {
        if (viewer_state.popup_view == 1)
            on_key('v', 0, 0);
        if (viewer_state.help_shown == 1)
            on_special_key(GLUT_KEY_F1, 0, 0);
        viewer_state.walk_through_walls = 0;
        viewer_state.textures_on = 1;
        viewer_state.popup_eye_height = 25.0f;
        viewer_state.last_mouse_x = 0;
        viewer_state.last_mouse_y = 0;
        on_key('1', 0, 0);
    }

    static void press(int special_key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            on_special_key(special_key, 0, 0);
    }

    static std::string work_dir;
};

std::string ViewerTest::work_dir;

TEST_F(ViewerTest, StartUpBuildsTheWorldOnTheTestFloor)
{
    EXPECT_NE(window_state.main_window, window_state.status_window);
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);
    EXPECT_EQ(floor_plan.wall_count, 5);
    // The strip is 690 x 50 at (5, 5) inside the 700 x 500 main window.
    glutSetWindow(window_state.status_window);
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), 690);
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 50);
    glutSetWindow(window_state.main_window);
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), 700);
}

TEST_F(ViewerTest, EachViewKeepsItsOwnAngleAcrossPopupSwitches)
{
    press(GLUT_KEY_RIGHT, 2);                    // walking: 12 degrees right
    EXPECT_FLOAT_EQ(viewer_state.heading, 12.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 12.0f);

    on_key('v', 0, 0);                           // overhead view on, first time at 0
    EXPECT_EQ(viewer_state.popup_view, 1);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.saved_heading, 12.0f);
    const float x = viewer_state.x;
    const float z = viewer_state.z;
    press(GLUT_KEY_LEFT, 3);                     // the overhead picture turns 18 left
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, -18.0f);
    EXPECT_EQ(viewer_state.x, x);                // the visitor does not move
    EXPECT_EQ(viewer_state.z, z);

    on_key('V', 0, 0);                           // off: walking heading comes back
    EXPECT_EQ(viewer_state.popup_view, 0);
    EXPECT_FLOAT_EQ(viewer_state.heading, 12.0f);
    EXPECT_FLOAT_EQ(viewer_state.saved_popup_angle, -18.0f);
    EXPECT_EQ(glutGetWindow(), window_state.main_window);

    press(GLUT_KEY_RIGHT, 5);                    // walking turns do not carry over
    EXPECT_FLOAT_EQ(viewer_state.heading, 42.0f);
    on_key('v', 0, 0);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, -18.0f);
    EXPECT_FLOAT_EQ(viewer_state.saved_heading, 42.0f);
    on_key('v', 0, 0);
    EXPECT_FLOAT_EQ(viewer_state.heading, 42.0f);
}

TEST_F(ViewerTest, OverheadEyeHeightStaysBetweenFiveAndHundredInStepsOfFive)
{
    on_key('v', 0, 0);
    press(GLUT_KEY_UP, 4);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 5.0f);
    press(GLUT_KEY_UP);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 5.0f);
    press(GLUT_KEY_DOWN, 2);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 15.0f);
    viewer_state.popup_eye_height = 95.0f;
    press(GLUT_KEY_DOWN);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 100.0f);
    press(GLUT_KEY_DOWN);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 100.0f);
    // The visitor stays put while the overhead eye moves.
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);
    on_key('v', 0, 0);
    // Walking, the same arrows walk and leave the overhead eye alone.
    press(GLUT_KEY_UP);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 100.0f);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z - 0.4f);
}

TEST_F(ViewerTest, ArrowsAreMadeUpPointerDistancesFromTheOrigin)
{
    viewer_state.last_mouse_x = 300;
    viewer_state.last_mouse_y = 200;
    press(GLUT_KEY_RIGHT);
    EXPECT_FLOAT_EQ(viewer_state.heading, 6.0f);
    EXPECT_EQ(viewer_state.last_mouse_x, 20);
    EXPECT_EQ(viewer_state.last_mouse_y, 0);
    press(GLUT_KEY_LEFT, 2);
    EXPECT_FLOAT_EQ(viewer_state.heading, -6.0f);
    EXPECT_EQ(viewer_state.last_mouse_x, -20);
    press(GLUT_KEY_RIGHT);
    press(GLUT_KEY_UP);
    EXPECT_FLOAT_EQ(viewer_state.step_z, -0.4f);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z - 0.4f);
    EXPECT_EQ(viewer_state.last_mouse_y, -10);
    press(GLUT_KEY_DOWN, 2);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z + 0.4f);
    EXPECT_EQ(viewer_state.last_mouse_x, 0);
    EXPECT_EQ(viewer_state.last_mouse_y, 10);
    // The plan position follows each move.
    EXPECT_FLOAT_EQ(viewer_state.plan_x, 3.0f);
    EXPECT_NEAR(viewer_state.plan_y, 2.7 - 0.4 / 3.0, 1e-6);
    // A drag after an arrow measures from the arrow's made-up position.
    on_motion(0, 0);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);
}

TEST_F(ViewerTest, DragTurnsByHorizontalAndWalksByVerticalTravel)
{
    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    on_motion(100, 90);                          // 10 pixels up at heading 0
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z - 0.4f);
    on_motion(400, 90);                          // 300 pixels right: 90 degrees
    EXPECT_FLOAT_EQ(viewer_state.heading, 90.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 90.0f);
    on_motion(400, 65);                          // 25 pixels up: 1.0 along +x
    EXPECT_FLOAT_EQ(viewer_state.step_x, -1.0f);
    EXPECT_NEAR(viewer_state.step_z, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(viewer_state.x, start_x + 1.0f);
    EXPECT_NEAR(viewer_state.z, start_z - 0.4f, 1e-5);
    // Releases and other buttons leave the reference point alone.
    on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    on_mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
    on_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(viewer_state.last_mouse_x, 400);
    EXPECT_EQ(viewer_state.last_mouse_y, 65);
    on_motion(400, 75);                          // 10 pixels down: back 0.4
    EXPECT_FLOAT_EQ(viewer_state.x, start_x + 0.6f);
    // Turning is never wrapped into 0..360.
    on_motion(1600, 75);
    EXPECT_FLOAT_EQ(viewer_state.heading, 450.0f);
}

TEST_F(ViewerTest, WallsStopTheWalkUntilWalkingThroughIsOn)
{
    press(GLUT_KEY_RIGHT, 15);                   // face +x, toward the wall at x 21
    EXPECT_FLOAT_EQ(viewer_state.heading, 90.0f);
    press(GLUT_KEY_UP, 40);                      // 16 units of walking, 12 to the wall
    EXPECT_FLOAT_EQ(viewer_state.x, inner_wall_x - clearance);
    press(GLUT_KEY_UP, 5);
    EXPECT_FLOAT_EQ(viewer_state.x, inner_wall_x - clearance);

    on_key('w', 0, 0);
    EXPECT_EQ(viewer_state.walk_through_walls, 1);
    const float before = viewer_state.x;
    press(GLUT_KEY_UP, 3);                       // free moves by exactly -step_x each
    EXPECT_GT(viewer_state.x, inner_wall_x);
    EXPECT_NEAR(viewer_state.x, before + 1.2f, 1e-4);

    on_key('W', 0, 0);                           // solid again: the outer wall stops him
    EXPECT_EQ(viewer_state.walk_through_walls, 0);
    press(GLUT_KEY_UP, 40);
    EXPECT_FLOAT_EQ(viewer_state.x, outer_wall_x - clearance);
}

TEST_F(ViewerTest, ReloadingAPlanResetsThePoseButKeepsEverySwitch)
{
    press(GLUT_KEY_RIGHT, 3);
    press(GLUT_KEY_UP, 2);
    on_key('t', 0, 0);
    on_key('w', 0, 0);
    on_key('v', 0, 0);
    press(GLUT_KEY_UP, 2);                       // overhead eye 25 -> 15
    on_special_key(GLUT_KEY_F1, 0, 0);
    on_key('1', 0, 0);
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);
    EXPECT_FLOAT_EQ(viewer_state.heading, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.eye_height, 1.0f);
    EXPECT_EQ(viewer_state.textures_on, 0);
    EXPECT_EQ(viewer_state.walk_through_walls, 1);
    EXPECT_EQ(viewer_state.popup_view, 1);
    EXPECT_EQ(viewer_state.help_shown, 1);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 15.0f);
    EXPECT_FLOAT_EQ(viewer_state.saved_heading, 18.0f);
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
    on_key('T', 0, 0);
    EXPECT_EQ(viewer_state.textures_on, 1);

    // Help and the overhead view switch independently of each other.
    on_special_key(GLUT_KEY_F1, 0, 0);
    EXPECT_EQ(viewer_state.help_shown, 0);
    EXPECT_EQ(viewer_state.popup_view, 1);
    EXPECT_EQ(glutGetWindow(), window_state.main_window);
}

TEST_F(ViewerTest, PlanKeysChooseThePlanAndItsStartHeading)
{
    on_key('2', 0, 0);
    EXPECT_EQ(viewer_state.plan_choice, 2);
    EXPECT_FLOAT_EQ(viewer_state.heading, 180.0f);
    EXPECT_FLOAT_EQ(viewer_state.popup_angle, 180.0f);
    EXPECT_FLOAT_EQ(viewer_state.x, 18.0f);      // plan2.dat starts at plan x 6
    press(GLUT_KEY_UP);                          // heading 180 walks along +z
    EXPECT_NEAR(viewer_state.z, start_z + 0.4f, 1e-5);
    on_key('3', 0, 0);
    EXPECT_EQ(viewer_state.plan_choice, 3);
    EXPECT_FLOAT_EQ(viewer_state.heading, 0.0f);
    EXPECT_FLOAT_EQ(viewer_state.x, 6.0f);       // plan3.dat starts at plan x 2
    on_key('1', 0, 0);
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
    // Keys with no meaning change nothing.
    on_key('x', 0, 0);
    on_special_key(GLUT_KEY_F5, 0, 0);
    EXPECT_EQ(viewer_state.plan_choice, 1);
    EXPECT_FLOAT_EQ(viewer_state.x, start_x);
}

TEST_F(ViewerTest, StatusLineNamesTheRoomOrTheCorridor)
{
    // Plan (1, 5) lies in room 101 of the test locator.
    viewer_state.x = 3.0f;
    viewer_state.z = -15.0f;
    on_motion(0, 0);
    EXPECT_STREQ(window_state.status_text, "Room 101 (Small test office)");
    EXPECT_FLOAT_EQ(viewer_state.plan_x, 1.0f);
    EXPECT_FLOAT_EQ(viewer_state.plan_y, 5.0f);
    // Room 101 has no table: the visit leaves the plan's desks alone.
    EXPECT_EQ(viewer_state.room_visit_count, 0);
    viewer_state.x = 15.0f;
    on_motion(0, 0);
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
}

// Sends the console's standard output to standard error, where a death
// test can read it.
void send_stdout_to_stderr()
{
    std::fflush(stdout);  // what the test runner already wrote stays on stdout
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

TEST(QuitKeyTest, EscapeQAndCapitalQPrintOneEmptyLineAndExitWithZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (unsigned char key : {escape_key, static_cast<unsigned char>('q'), static_cast<unsigned char>('Q')})
        EXPECT_EXIT((send_stdout_to_stderr(), on_key(key, 0, 0)), ::testing::ExitedWithCode(0), "^\n$") << key;
}

} // namespace
