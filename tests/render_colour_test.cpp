// render_colour_test.cpp -- the named colour table: the ten colours, their
// scaling, lookups by name, its bounds, and the current OpenGL colour.
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

TEST(ColourTable, DefinesTheTenColoursInOrder)
{
    define_colours();
    EXPECT_EQ(colour_table.count, 10);
    EXPECT_EQ(colour_table.capacity, 20);
    const char* const names[10] = {"Background", "White", "Black", "Red", "Green",
                                   "Blue", "Yellow", "Orange", "Brown", "RedTinted"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(colour_table.index->find_id(names[i]), i + 1) << names[i];
        EXPECT_STREQ(colour_table.entries[i].name, names[i]);
    }
    EXPECT_EQ(colour_table.entries[8].red, 165u);
    EXPECT_EQ(colour_table.entries[8].green, 42u);
    EXPECT_EQ(colour_table.entries[8].blue, 42u);

    // Filling it again, as a second start-up would, gives the same table.
    define_colours();
    EXPECT_EQ(colour_table.count, 10);
    EXPECT_EQ(colour_table.index->count, 10);
    EXPECT_EQ(colour_table.index->find_id("RedTinted"), 10);
}

TEST(ColourTable, ScalesComponentsByOneOver255)
{
    define_colours();
    float rgba[4] = {};
    colour_table.fill_rgba("White", 1.0f, rgba);
    expect_rgba(rgba, 1.0f, 1.0f, 1.0f, 1.0f);
    colour_table.fill_rgba("Blue", 1.0f, rgba);
    expect_rgba(rgba, 0.0f, 0.0f, 1.0f, 1.0f);
    colour_table.fill_rgba("RedTinted", 0.5f, rgba);
    expect_rgba(rgba, 1.0f, 0.30196078f, 0.2f, 0.5f);
    colour_table.fill_rgba("Orange", 0.25f, rgba);
    expect_rgba(rgba, 1.0f, 0.50196078f, 0.0f, 0.25f);
    colour_table.fill_rgba(8, 1.0f, rgba);  // Brown, by entry
    expect_rgba(rgba, 0.64705882f, 0.16470588f, 0.16470588f, 1.0f);
    EXPECT_EQ(colour_table.red(0), 1.0);
    EXPECT_EQ(colour_table.green(7), 128 * 0.00392156862745098);

    // Same values, different names, different entries.
    EXPECT_EQ(colour_table.index->find_id("Background") - 1, 0);
    EXPECT_EQ(colour_table.index->find_id("White") - 1, 1);
}

TEST(ColourTable, UnknownColourLeavesTheOutputAlone)
{
    define_colours();
    float rgba[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    colour_table.fill_rgba("Purple", 1.0f, rgba);
    expect_rgba(rgba, 0.1f, 0.2f, 0.3f, 0.4f);
    colour_table.fill_rgba(10, 1.0f, rgba);   // past the colours in use
    colour_table.fill_rgba(-1, 1.0f, rgba);
    expect_rgba(rgba, 0.1f, 0.2f, 0.3f, 0.4f);
}

TEST(ColourTable, ResizeKeepsTheIndexAndAddIsBounded)
{
    ColourTable table;
    EXPECT_EQ(table.capacity, 100);
    table.add("Grey", 128, 128, 128);
    table.resize(2);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.capacity, 2);
    EXPECT_EQ(table.index->find_id("Grey"), 1);   // still registered
    table.add("Grey", 10, 20, 30);
    table.add("Teal", 0, 128, 128);
    EXPECT_EQ(table.count, 2);

    testing::internal::CaptureStderr();
    table.add("Cyan", 0, 255, 255);
    table.resize(5);
    table.add("AVeryLongColourName1", 1, 2, 3);  // 20 characters
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "ColourTable: no room for colour \"Cyan\" (capacity 2); colour ignored\n"
                   "ColourTable: colour name \"AVeryLongColourName1\" is longer than 19 "
                   "characters; colour ignored\n");
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.index->find_id("Cyan"), 0);
    EXPECT_EQ(table.index->find_id("AVeryLongColourName1"), 0);
    table.add("AVeryLongColourName", 1, 2, 3);   // 19 characters fit
    EXPECT_STREQ(table.entries[0].name, "AVeryLongColourName");

    table.clear();
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.entries, nullptr);
    table.resize(3);   // after a clear, nothing is released twice
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
    glGetFloatv(GL_CURRENT_COLOR, current);
    expect_rgba(current, 1.0f, 0.50196078f, 0.0f, 1.0f);
    colour_table.set_gl_colour("NoSuchColour");
    glGetFloatv(GL_CURRENT_COLOR, current);
    expect_rgba(current, 1.0f, 0.50196078f, 0.0f, 1.0f);
    colour_table.set_gl_colour("Green");
    glGetFloatv(GL_CURRENT_COLOR, current);
    expect_rgba(current, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
