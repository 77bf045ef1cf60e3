// image_texture_bound_test.cpp -- texture objects that no drawing can bind
// are counted but hold no image, so plan reloads do not grow memory.
#include "image/texture.h"
#include "plan/floor_plan.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "image_test_support.h"

namespace {

using image_test::ensure_gl_context;
namespace fs = std::filesystem;

GLint bound_texture_width(GLuint object)
{
    glBindTexture(GL_TEXTURE_2D, object);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width;
}

// The desk of the last possible table binds object max_tables: that one
// still gets its image; the numbers after it are handed out without objects.
TEST(TextureBound, ObjectsAboveTheLastDeskAreCountedButHoldNoImage)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under Xvfb (xvfb-run)";
    ensure_gl_context();
    const fs::path previous = fs::current_path();
    fs::current_path(VEVUV_SHIPPED_DATA);
    texture_counter = static_cast<uint32_t>(max_tables) - 1;
    testing::internal::CaptureStdout();
    const int last_drawn = load_texture("person.rgb");
    const int first_beyond = load_texture("person.rgb");
    const int second_beyond = load_texture("tabletexture.rgb");
    const std::string output = testing::internal::GetCapturedStdout();
    fs::current_path(previous);

    EXPECT_EQ(last_drawn, max_tables);
    EXPECT_EQ(first_beyond, max_tables + 1);
    EXPECT_EQ(second_beyond, max_tables + 2);
    EXPECT_EQ(texture_counter, static_cast<uint32_t>(max_tables) + 2);
    // Every load still says what it read.
    EXPECT_EQ(output, "Reading texture from file \"person.rgb\" (256x256x3)\n"
                      "Reading texture from file \"person.rgb\" (256x256x3)\n"
                      "Reading texture from file \"tabletexture.rgb\" (256x256x3)\n");
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(last_drawn)));
    EXPECT_EQ(bound_texture_width(static_cast<GLuint>(last_drawn)), 256);
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(first_beyond)));
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(second_beyond)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
