// image_sgi_fuzz_test.cpp -- inputs the image fuzzer found, kept as
// regression cases: headers that claim tens of thousands of rows in a file
// of a few dozen bytes, and a file that ends inside its pixel data.
#include "image/sgi_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct FreePixels {
    void operator()(unsigned char* pixels) const { std::free(pixels); }
};
using Pixels = std::unique_ptr<unsigned char, FreePixels>;

std::string image_data(const char* name) { return std::string(VEVUV_TEST_DATA) + "/image/" + name; }

// Counts the RGBA pixels that are not black with the given alpha.
size_t pixels_not_black(const unsigned char* pixels, int width, int height, unsigned char alpha)
{
    size_t count = 0;
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
        const unsigned char* p = pixels + 4 * i;
        if (p[0] != 0 || p[1] != 0 || p[2] != 0 || p[3] != alpha)
            ++count;
    }
    return count;
}

// A 30-byte verbatim file whose header says 257 x 55810 x 3: every row lies
// past the end of the file, so the image is all black. Reading it once made
// a system call or two per row (a 25 s fuzzer timeout).
TEST(SgiImageFuzzFindings, RowsPastTheEndOfAShortFileReadAsBlack)
{
    int width = 0, height = 0, components = 0;
    Pixels pixels(read_sgi_image(image_data("tall_image_short_file.rgb").c_str(), &width,
                                 &height, &components));
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 257);
    EXPECT_EQ(height, 0xda02);
    EXPECT_EQ(components, 3);
    EXPECT_EQ(pixels_not_black(pixels.get(), width, height, 255), 0u);

    // The same with a magic number that is not SGI's, 32768 rows and 768
    // channels, of which the fourth gives alpha: zero past the end too.
    Pixels odd(read_sgi_image(image_data("tall_image_odd_magic.rgb").c_str(), &width, &height,
                              &components));
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(width, 257);
    EXPECT_EQ(height, 0x8000);
    EXPECT_EQ(components, 0x0300);
    EXPECT_EQ(pixels_not_black(odd.get(), width, height, 0), 0u);
}

// A verbatim 3 x 2 grey image cut after its fourth pixel byte: the bytes
// present are read, the row that straddles the end is zero-filled past it.
TEST(SgiImageFuzzFindings, FileEndingInsideARowKeepsTheBytesBeforeTheEnd)
{
    char name[] = "/tmp/vevuv_sgi_cut_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    unsigned char bytes[512 + 4] = {0x01, 0xda, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03,
                                    0x00, 0x02, 0x00, 0x01};
    bytes[512] = 10;
    bytes[513] = 20;
    bytes[514] = 30;
    bytes[515] = 40;
    ASSERT_EQ(write(fd, bytes, sizeof bytes), ssize_t(sizeof bytes));
    close(fd);

    int width = 0, height = 0, components = 0;
    Pixels pixels(read_sgi_image(name, &width, &height, &components));
    std::remove(name);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(width, 3);
    ASSERT_EQ(height, 2);
    const unsigned char expected_grey[6] = {10, 20, 30, 40, 0, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pixels.get()[4 * i], expected_grey[i]) << "pixel " << i;
        EXPECT_EQ(pixels.get()[4 * i + 1], expected_grey[i]) << "pixel " << i;
        EXPECT_EQ(pixels.get()[4 * i + 3], 255) << "pixel " << i;
    }
}

} // namespace
