// render_colour_test.cpp -- the named colour table: order, scaling, unknown
// names, its bounds, and the current OpenGL colour.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cstdlib>
#include <string>

#include "render/colour_table.h"

namespace {

void expect_rgba(const float (&rgba)[4], float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(rgba[0], r);
    EXPECT_FLOAT_EQ(rgba[1], g);
    EXPECT_FLOAT_EQ(rgba[2], b);
    EXPECT_FLOAT_EQ(rgba[3], a);
}

} // namespace

TEST(ColourTable, DefinesTenColoursScaledByOneOver255)
{
    define_colours();
    define_colours();  // a second start-up gives the same table
    EXPECT_EQ(colour_table.count, 10);
    EXPECT_EQ(colour_table.index->count, 10);
    EXPECT_EQ(colour_table.index->find_id("Background"), 1);
    EXPECT_EQ(colour_table.index->find_id("RedTinted"), 10);
    float rgba[4] = {};
    colour_table.fill_rgba("RedTinted", 0.5f, rgba);
    expect_rgba(rgba, 1.0f, 0.30196078f, 0.2f, 0.5f);
    colour_table.fill_rgba(8, 1.0f, rgba);  // Brown, by entry
    expect_rgba(rgba, 0.64705882f, 0.16470588f, 0.16470588f, 1.0f);

    // Unknown names and entries past the colours in use leave the output alone.
    float kept[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    colour_table.fill_rgba("Purple", 1.0f, kept);
    colour_table.fill_rgba(10, 1.0f, kept);
    colour_table.fill_rgba(-1, 1.0f, kept);
    expect_rgba(kept, 0.1f, 0.2f, 0.3f, 0.4f);
}

TEST(ColourTable, ResizeKeepsTheIndexAndAddIsBounded)
{
    ColourTable table;
    EXPECT_EQ(table.capacity, 100);
    table.add("Grey", 128, 128, 128);
    table.resize(2);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.index->find_id("Grey"), 1);  // still registered
    table.add("Grey", 10, 20, 30);
    table.add("Teal", 0, 128, 128);

    testing::internal::CaptureStderr();
    table.add("Cyan", 0, 255, 255);
    table.resize(5);
    table.add("AVeryLongColourName1", 1, 2, 3);  // 20 characters
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ColourTable: no room for colour \"Cyan\" (capacity 2); colour ignored\n"
              "ColourTable: colour name \"AVeryLongColourName1\" is longer than 19 "
              "characters; colour ignored\n");
    EXPECT_EQ(table.index->find_id("Cyan"), 0);
    EXPECT_EQ(table.index->find_id("AVeryLongColourName1"), 0);
    table.add("AVeryLongColourName", 1, 2, 3);  // 19 characters fit
    EXPECT_STREQ(table.entries[0].name, "AVeryLongColourName");

    table.clear();
    EXPECT_EQ(table.entries, nullptr);
    table.resize(3);  // after a clear, nothing is released twice
    EXPECT_EQ(table.capacity, 3);
}

TEST(ColourTable, SetsTheCurrentGlColour)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    int argc = 1;
    char name[] = "render_colour_test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("colour");
    define_colours();

    float current[4] = {};
    colour_table.set_gl_colour("Orange");
    colour_table.set_gl_colour("NoSuchColour");  // keeps the colour before it
    glGetFloatv(GL_CURRENT_COLOR, current);
    expect_rgba(current, 1.0f, 0.50196078f, 0.0f, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
