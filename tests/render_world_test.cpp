// render_world_test.cpp -- world initialisation and the per-frame lighting:
// the GL state they leave, the texture files they ask for, the plan they build.
#include <gtest/gtest.h>

#include <stdlib.h>  // Required for: mkdtemp()
#include <unistd.h>  // Required for: chdir(), getcwd()

#include <fstream>
#include <string>

#include "image/texture.h"
#include "plan/walls.h"
#include "render/world.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

// Puts GL state far from what the world needs, so that each value checked
// afterwards was written by the call under test.
void scramble_state()
{
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    const float odd[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, odd);
}

// The lighting state every frame starts from; light 0 as seen through the
// model-view matrix (world to eye) that was current when it was placed.
void expect_lighting_state(float eye_dx)
{
    float v[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, v);
    EXPECT_FLOAT_EQ(v[1], 0.05f);
    EXPECT_FLOAT_EQ(v[0] + v[2] + v[3], 0.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_LIGHT0));
    GLint two_side = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
    EXPECT_EQ(two_side, 1);
    glGetLightfv(GL_LIGHT0, GL_POSITION, v);
    EXPECT_NEAR(v[0], 81.0f + eye_dx, 1e-4f);
    EXPECT_NEAR(v[2], -8.1f, 1e-4f);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, v);  // both faces' material
    EXPECT_NEAR(v[1], 0.5f, 1e-5f);
}

// Runs the test body in a fresh directory that holds only the test plan as
// "plan.dat", so that no texture file can be found.
class WorldInDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_windows();
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous_directory = here;
        char pattern[] = "/tmp/render_world_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        std::ifstream source(std::string(VEVUV_TEST_DATA) + "/render/plan.dat");
        std::ofstream(directory + "/plan.dat") << source.rdbuf();
        ASSERT_EQ(chdir(directory.c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir(previous_directory.c_str()), 0);
        std::remove((directory + "/plan.dat").c_str());
        rmdir(directory.c_str());
    }
    std::string previous_directory, directory;
};

} // namespace

TEST_F(WorldInDirectory, InitWorldSetsTheStateAsksForTheSevenTexturesAndBuildsThePlan)
{
    std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", "Room 301 (Optics)");
    viewer_state.plan_choice = 1;
    viewer_state.plan_from_command_line = 0;
    viewer_state.textures_on = 0;
    viewer_state.heading = 45.0f;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scramble_state();

    ::testing::internal::CaptureStdout();
    init_world();
    const std::string output = ::testing::internal::GetCapturedStdout();

    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
    expect_lighting_state(0.0f);
    // The seven files, asked for in their order; none exists here.
    const char* const files[7] = {"texture2.rgb", "tabletexture.rgb", "walltexture.rgb", "walltexture2.rgb",
                                  "dolvane.rgb", "trevarnik.rgb", "person.rgb"};
    size_t at = 0;
    for (const char* file : files) {
        const size_t found = output.find(std::string("\"") + file + "\"", at);
        ASSERT_NE(found, std::string::npos) << file << " not asked for after position " << at << " in:\n" << output;
        at = found + 1;
    }
    // The plan was read and built: two walls, one lintel, the start point.
    EXPECT_NE(output.find("Reading plan from file \"plan.dat\".....done!"), std::string::npos) << output;
    EXPECT_EQ(floor_plan.wall_count, 2);
    EXPECT_EQ(floor_plan.lintel_count, 1);
    EXPECT_FLOAT_EQ(wall_boxes[0].vertices[0][2], -30.1f);  // sorted: the y = 10 wall first
    EXPECT_FLOAT_EQ(lintel_boxes[0].vertices[0][1], 2.68f);
    EXPECT_FLOAT_EQ(viewer_state.z, -9.0f);
    EXPECT_FLOAT_EQ(viewer_state.heading, 0.0f);
    EXPECT_EQ(viewer_state.textures_on, 0);  // mode switches survive
}

TEST(World, SetUpLightingRestoresTheFrameStateUnderTheCamera)
{
    open_windows();
    scramble_state();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-10.0f, 0.0f, 0.0f);  // a camera 10 units along +x
    set_up_lighting();
    expect_lighting_state(-10.0f);
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
    glLoadIdentity();
}
