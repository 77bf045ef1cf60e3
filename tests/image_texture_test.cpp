// image_texture_test.cpp -- loading SGI images into texture objects, in a real
// GLUT window (run under Xvfb): console lines, numbering, size, parameters.
#include "image/texture.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image_test_support.h"

namespace {

using namespace image_test;
namespace fs = std::filesystem;

// A verbatim SGI file of one byte a sample.
Bytes verbatim_file(uint16_t xsize, uint16_t ysize, uint16_t zsize, const Bytes& planes)
{
    return image_test::verbatim_file({474, 0x0001, 3, xsize, ysize, zsize}, planes);
}

// Runs load_texture with the console captured.
struct Load {
    int result;
    std::string out;
    std::string err;
};

Load load(const std::string& file_name, unsigned object = 1)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int result = load_texture(file_name.c_str(), object);
    Load l{result, testing::internal::GetCapturedStdout(), ""};
    l.err = testing::internal::GetCapturedStderr();
    return l;
}

GLint level_parameter(GLenum name)
{
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

GLint texture_parameter(GLenum name)
{
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

Bytes texture_pixels(GLuint texture)
{
    Bytes pixels(256 * 256 * 4, 0xEE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST(TextureLoading, ConsoleLinesNumberingAndTheTextureObject)
{
    ensure_gl_context();
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string rgb = dir.write("wide.rgb", verbatim_file(128, 64, 3, Bytes(128 * 64 * 3, 90)));
    const std::string grey = dir.write("grey.rgb", verbatim_file(3, 5, 1, Bytes(15, 40)));
    const std::string empty = dir.write("empty.rgb", verbatim_file(0, 256, 3, {}));
    const std::string huge = dir.write("huge.rgb", verbatim_file(65535, 65535, 3, {}));
    const std::string missing = dir.file("missing.rgb");
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);  // the loader must overwrite it

    // Files that cannot be used say so.
    const Load skipped = load(missing);
    EXPECT_EQ(skipped.result, -1);
    EXPECT_EQ(skipped.out, "Cannot read texture file \"" + missing + "\"....skipping!\n");
    EXPECT_EQ(skipped.err, "");
    const Load e = load(empty);
    EXPECT_EQ(e.result, -1);
    EXPECT_EQ(e.out, "");
    EXPECT_EQ(e.err, empty + ": image size 0x256x3 is empty; skipping\n");
    const Load h = load(huge);
    EXPECT_EQ(h.result, -1);
    EXPECT_EQ(h.err, huge + ": image size 65535x65535x3 is too large (more than 134217728 pixels); skipping\n");

    const Load first = load(rgb, 3);
    EXPECT_EQ(first.out, "Reading texture from file \"" + rgb + "\" (128x64x3)\n");
    EXPECT_EQ(first.result, 3);
    const Load second = load(grey, 2);
    EXPECT_EQ(second.out, "Reading texture from file \"" + grey + "\" (3x5x1)\n");
    EXPECT_EQ(second.result, 2);
    EXPECT_TRUE(glIsTexture(3));

    // The last one stays bound: 256 x 256 RGBA, repeating, nearest, modulated.
    GLint value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 256);
    EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 256);
    EXPECT_EQ(level_parameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    for (GLenum name : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
        EXPECT_EQ(texture_parameter(name), GL_REPEAT);
    for (GLenum name : {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER})
        EXPECT_EQ(texture_parameter(name), GL_NEAREST);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureLoading, PixelsReachTheTexture)
{
    ensure_gl_context();
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // A 256 x 256 grey image keeps its size through the rescaling: every
    // texel is the grey sample, expanded, with alpha 255; row 0 first.
    Bytes grey(256 * 256);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<unsigned char>((i % 256) ^ (i / 256 * 7));
    const Load g = load(dir.write("grey256.rgb", verbatim_file(256, 256, 1, grey)));
    ASSERT_GT(g.result, 0);
    const Bytes texels = texture_pixels(static_cast<GLuint>(g.result));
    Bytes expected;
    for (unsigned char v : grey)
        expected.insert(expected.end(), {v, v, v, 255});
    EXPECT_EQ(texels, expected);

    // A 2 x 2 RGB image grows to 256 x 256. GLU's box filter wraps around
    // the image's edges, so only the middle of each quadrant keeps its
    // source colour (within the filter's rounding).
    const Bytes planes{255, 0, 0, 0, /* red */ 0, 255, 0, 0, /* green */ 0, 0, 255, 0 /* blue */};
    const Load q = load(dir.write("quad.rgb", verbatim_file(2, 2, 3, planes)));
    ASSERT_GT(q.result, 0);
    const Bytes big = texture_pixels(static_cast<GLuint>(q.result));
    auto expect_texel = [&big](int x, int y, Bytes colour) {
        const size_t at = (size_t(y) * 256 + x) * 4;
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(big[at + c], colour[c], 2) << "texel " << x << "," << y << " channel " << c;
    };
    expect_texel(64, 64, {255, 0, 0, 255});   // row 0, column 0
    expect_texel(192, 64, {0, 255, 0, 255});  // row 0, column 1
    expect_texel(64, 192, {0, 0, 255, 255});  // row 1, column 0
    expect_texel(192, 192, {0, 0, 0, 255});   // row 1, column 1
}

// A run-length SGI file of width x height x 3 whose every row is red on its
// left half and blue on its right: all rows share one encoded row per channel.
Bytes half_red_half_blue(uint16_t width, uint16_t height)
{
    Bytes file = header_bytes({474, 0x0101, 3, width, height, 3});
    file.resize(512 + size_t(height) * 3 * 8);
    Bytes rows[3];
    for (int c = 0; c < 3; ++c)
        for (int half = 0; half < 2; ++half)
            for (int left = width / 2; left > 0; left -= std::min(left, 127))
                rows[c].insert(rows[c].end(), {static_cast<unsigned char>(std::min(left, 127)),
                                               static_cast<unsigned char>((c == 0 && half == 0) || (c == 2 && half == 1) ? 255 : 0)});
    size_t start[3];
    for (int c = 0; c < 3; ++c) {
        rows[c].push_back(0);
        start[c] = file.size();
        file.insert(file.end(), rows[c].begin(), rows[c].end());
    }
    auto put_32 = [&file](size_t at, size_t value) {
        for (int k = 0; k < 4; ++k)
            file[at + k] = static_cast<unsigned char>(value >> (24 - 8 * k));
    };
    for (size_t row = 0; row < size_t(height) * 3; ++row) {
        put_32(512 + 4 * row, start[row / height]);
        put_32(512 + size_t(height) * 12 + 4 * row, rows[row / height].size());
    }
    return file;
}

// Every file keeps its own texture object whatever happens to the others: a
// missing one leaves its object empty (drawn untextured), and a photo larger
// than 4096 x 4096 is box-filtered into its 256 x 256 texture.
TEST(TextureLoading, EveryFileKeepsItsObjectAndLargePhotosAreReduced)
{
    ensure_gl_context();
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string photo = dir.write("photo.rgb", half_red_half_blue(6000, 4000));
    const std::string shipped = std::string(VEVUV_SHIPPED_DATA) + "/";
    EXPECT_EQ(load(shipped + "texture2.rgb", 1).result, 1);
    EXPECT_EQ(load(shipped + "walltexture2.rgb", 4).result, 4);
    const struct {
        std::string file;
        unsigned object;
        int result;
        const char* out;  // what follows the file's name on the console
    } rows[] = {
        {dir.file("texture2.rgb"), 1, -1, "Cannot read texture file \"%\"....skipping!\n"},
        {shipped + "walltexture2.rgb", 4, 4, "Reading texture from file \"%\" (256x256x3)\n"},
        {photo, 5, 5, "Reading texture from file \"%\" (6000x4000x3)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const Load l = load(row.file, row.object);
        std::string out = row.out;
        out.replace(out.find('%'), 1, row.file);
        EXPECT_EQ(l.result, row.result);
        EXPECT_EQ(l.out, out);
        EXPECT_EQ(bool(glIsTexture(row.object)), row.result > 0);
    }
    const Bytes reduced = texture_pixels(5);
    EXPECT_EQ(Bytes(reduced.begin(), reduced.begin() + 4), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(Bytes(reduced.end() - 4, reduced.end()), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(Bytes(reduced.begin() + 127 * 4, reduced.begin() + 129 * 4), (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
}

} // namespace
