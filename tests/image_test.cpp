// image_test.cpp -- the SGI reader (every variant, bad input, the fuzzer's
// findings, files written by ImageMagick, the shipped textures) and loading
// images into texture objects in a real window.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/sgi_image.h"
#include "image/texture.h"
#include "support.h"

using namespace test;

namespace {

// A run-length file: header, offset and length tables, then the rows in
// table order (entry y + z * ysize).
Bytes run_length_file(Bytes head, const std::vector<Bytes>& rows)
{
    uint32_t offset = uint32_t(512 + rows.size() * 8);
    Bytes offsets, lengths, data;
    for (const Bytes& row : rows) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            offsets.push_back(static_cast<unsigned char>(offset >> shift));
            lengths.push_back(static_cast<unsigned char>(row.size() >> shift));
        }
        offset += uint32_t(row.size());
        data.insert(data.end(), row.begin(), row.end());
    }
    return head + offsets + lengths + data;
}

// One row packed as a run packet of its first sample and a literal packet of the rest.
Bytes encode_row(const Bytes& samples)
{
    Bytes out{1, samples[0], static_cast<unsigned char>(0x80 | (samples.size() - 1))};
    return out + Bytes(samples.begin() + 1, samples.end()) + Bytes{0};
}

struct Decoded {
    Bytes pixels;
    bool null = true;
    int width = -1, height = -1, components = -1;
};

Decoded decode(const std::string& path)
{
    Decoded d;
    unsigned char* pixels = read_sgi_image(path.c_str(), &d.width, &d.height, &d.components);
    if (pixels != nullptr) {
        d.null = false;
        d.pixels.assign(pixels, pixels + size_t(d.width) * d.height * 4);
        std::free(pixels);
    }
    return d;
}

Decoded decode(const Bytes& file)
{
    write_file("image.rgb", file);
    return decode(std::string("image.rgb"));
}

// Repeatable samples with some runs in them.
Bytes sample_data(size_t count, uint32_t seed)
{
    Bytes out;
    for (uint32_t state = seed * 2654435761u + 1; out.size() < count;) {
        state = state * 1664525u + 1013904223u;
        for (size_t r = (state >> 8) % 7 == 0 ? 1 + (state >> 12) % 6 : 1; r > 0 && out.size() < count; --r)
            out.push_back(static_cast<unsigned char>(state >> 24));
    }
    return out;
}

// The RGBA buffer the reader must give for planes of w x h x channels.
Bytes expected_rgba(const Bytes& planes, int w, int h, int channels)
{
    Bytes out;
    const size_t plane = size_t(w) * h;
    for (size_t p = 0; p < plane; ++p) {
        const bool colour = channels >= 3;
        out.insert(out.end(), {planes[p], colour ? planes[plane + p] : planes[p],
                               colour ? planes[2 * plane + p] : planes[p],
                               static_cast<unsigned char>(channels >= 4 ? planes[3 * plane + p] : 255)});
    }
    return out;
}

// The pixels ImageMagick decodes a file to, flipped to our bottom row first.
Bytes imagemagick_pixels(const std::string& path, int width, int height)
{
    Bytes top_first;
    FILE* pipe = popen(("convert '" + path + "' -depth 8 rgba:-").c_str(), "r");
    unsigned char chunk[4096];
    for (size_t got = 0; pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        top_first.insert(top_first.end(), chunk, chunk + got);
    if (pipe != nullptr)
        pclose(pipe);
    Bytes out;
    const size_t row = size_t(width) * 4;
    for (int y = height - 1; y >= 0 && top_first.size() == row * height; --y)
        out.insert(out.end(), top_first.begin() + y * row, top_first.begin() + (y + 1) * row);
    return out;
}

} // namespace

TEST(SgiImage, EveryWellFormedVariantDecodes)
{
    ScratchDir dir;
    const int w = 5, h = 3;
    for (int channels = 1; channels <= 5; ++channels) {
        const Bytes planes = sample_data(size_t(w) * h * channels, channels);
        std::vector<Bytes> rows;
        for (int k = 0; k < h * channels; ++k)
            rows.push_back(encode_row(Bytes(planes.begin() + k * w, planes.begin() + (k + 1) * w)));
        for (const Bytes& file : {sgi_header(0x0001, w, h, channels) + planes, run_length_file(sgi_header(0x0101, w, h, channels), rows)}) {
            const Decoded d = decode(file);
            ASSERT_FALSE(d.null) << channels;
            EXPECT_EQ(d.width * 10 + d.height, w * 10 + h);
            EXPECT_EQ(d.components, channels);
            EXPECT_EQ(d.pixels, expected_rgba(planes, w, h, channels)) << channels << " type " << int(file[3]);
        }
    }
    // Only a high type byte of 1 selects run-length; the magic number is not checked.
    const Bytes samples{7, 7, 7, 7, 42, 43};
    for (const Bytes& file : {sgi_header(0x0201, 6, 1, 1) + samples, sgi_header(0x0001, 6, 1, 1, 0x1234) + samples})
        EXPECT_EQ(decode(file).pixels, expected_rgba(samples, 6, 1, 1));

    // Two bytes a sample keep the high byte: verbatim RGB 2 x 2, and run-length
    // grey with 16-bit counts, a run of 3 and a literal of 2.
    Bytes planes;
    for (int i = 0; i < 12; ++i)
        planes = planes + Bytes{static_cast<unsigned char>(10 * i + 1), 0x99};
    EXPECT_EQ(decode(sgi_header(0x0002, 2, 2, 3) + planes).pixels,
              (Bytes{1, 41, 81, 255, 11, 51, 91, 255, 21, 61, 101, 255, 31, 71, 111, 255}));
    const Bytes row16{0x00, 0x03, 0xAB, 0xCD, 0x00, 0x82, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00};
    EXPECT_EQ(decode(run_length_file(sgi_header(0x0102, 5, 1, 1), {row16})).pixels,
              expected_rgba({0xAB, 0xAB, 0xAB, 0x12, 0x56}, 5, 1, 1));

    // read_sgi_row gives one channel's row; a channel the file lacks reads as zeros.
    const Bytes packets = run_length_file(sgi_header(0x0101, 5, 1, 1), {{0x83, 1, 2, 3, 0x02, 9, 0x00}});
    write_file("packets.rgb", packets);
    SgiImage* image = open_sgi_image("packets.rgb");
    unsigned char out[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    read_sgi_row(image, out, 0, 0);
    EXPECT_EQ(Bytes(out, out + 5), (Bytes{1, 2, 3, 9, 9}));
    read_sgi_row(image, out, 0, 1);
    EXPECT_EQ(Bytes(out, out + 5), Bytes(5, 0));
    close_sgi_image(image);
}

TEST(SgiImage, BadInputIsClampedReadAsZerosOrRefused)
{
    ScratchDir dir;
    const struct { Bytes row, expected; } rows[] = {
        {{0x7F, 5, 0}, {5, 5, 5}},                           // run past the row end
        {{0x85, 1, 2, 3, 4, 5, 0}, {1, 2, 3}},               // literal past the row end
        {{0x83, 1, 2, 3, 0x7F, 9, 0x7F, 9, 0}, {1, 2, 3}},   // packets after a full row
        {{0x82, 7, 8}, {7, 8, 0}},                           // no zero count
        {{0x85, 4}, {4, 0, 0}},                              // literal cut by the row's end
        {{0x05}, {0, 0, 0}},                                 // run without its value
        {{}, {0, 0, 0}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(decode(run_length_file(sgi_header(0x0101, 3, 1, 1), {row.row})).pixels, expected_rgba(row.expected, 3, 1, 1));
    Bytes file = run_length_file(sgi_header(0x0101, 3, 1, 1), {{0x83, 4, 5, 6, 0}});
    file[512 + 4] = 0xFF;  // a row length far above the row buffer and the file
    EXPECT_EQ(decode(file).pixels, expected_rgba({4, 5, 6}, 3, 1, 1));
    file[512 + 4] = 0;
    file[512] = 0x7F;  // an offset past the end of the file
    EXPECT_EQ(decode(file).pixels, expected_rgba({0, 0, 0}, 3, 1, 1));

    EXPECT_EQ(decode(sgi_header(0x0001, 2, 2, 3) + Bytes{50, 60}).pixels,  // a short verbatim file
              (Bytes{50, 0, 0, 255, 60, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
    file = run_length_file(sgi_header(0x0101, 2, 3, 1), {{0x82, 1, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}});
    EXPECT_EQ(decode(file).pixels, expected_rgba({1, 2, 3, 3, 4, 4}, 2, 3, 1));
    file.resize(512 + 4);  // the tables stop after the first offset
    EXPECT_EQ(decode(file).pixels, expected_rgba(Bytes(6, 0), 2, 3, 1));
    const Decoded many = decode(sgi_header(0x0101, 2, 65535, 65535));  // only four channels are looked up
    EXPECT_EQ(many.components, 65535);
    EXPECT_EQ(many.pixels, Bytes(size_t(2) * 65535 * 4, 0));
    const Decoded big = decode(sgi_header(0x0001, 4096, 4096, 1));  // the largest accepted image
    ASSERT_EQ(big.pixels.size(), size_t(4096) * 4096 * 4);
    EXPECT_EQ(big.pixels[0] + big.pixels[big.pixels.size() - 2], 0);
    EXPECT_EQ(big.pixels.back(), 255);

    // The fuzzer's findings: a 30-byte file claiming 257 x 55810 x 3 (once a
    // system call or two per row), the same with an odd magic and 768
    // channels, and a file that ends inside a row.
    const struct {
        const char* name;
        int height, components;
        unsigned char alpha;
    } found[] = {{"tall_image_short_file.rgb", 0xda02, 3, 255}, {"tall_image_odd_magic.rgb", 0x8000, 0x0300, 0}};
    for (const auto& f : found) {
        const Decoded d = decode(std::string(VEVUV_TEST_DATA) + "/image/" + f.name);
        EXPECT_EQ(d.width * 1000000 + d.height * 1000 + d.components, 257000000 + f.height * 1000 + f.components);
        size_t lit = 0;
        for (size_t i = 0; i < d.pixels.size(); i += 4)
            lit += (d.pixels[i] | d.pixels[i + 1] | d.pixels[i + 2]) != 0 || d.pixels[i + 3] != f.alpha;
        EXPECT_EQ(lit, 0u) << f.name;
    }
    EXPECT_EQ(decode(sgi_header(0x0001, 3, 2, 1) + Bytes{10, 20, 30, 40}).pixels,
              expected_rgba({10, 20, 30, 40, 0, 0}, 3, 2, 1));

    const std::pair<Bytes, std::string> refused[] = {
        {sgi_header(0x0001, 0, 256, 3), "0x256x3 is empty"}, {sgi_header(0x0001, 256, 0, 3), "256x0x3 is empty"},
        {sgi_header(0x0101, 4, 4, 0), "4x4x0 is empty"}, {Bytes{0x01, 0xDA, 0x01}, "0x0x0 is empty"}, {Bytes{}, "0x0x0 is empty"},
        {sgi_header(0x0101, 65535, 65535, 4), "65535x65535x4 is too large (more than 16777216 pixels)"},
        {sgi_header(0x0001, 4097, 4096, 3), "4097x4096x3 is too large (more than 16777216 pixels)"}};
    for (const auto& [bytes, message] : refused) {
        Decoded d;
        EXPECT_EQ(capture_console([&] { d = decode(bytes); }).err, "image.rgb: image size " + message + "; skipping\n");
        EXPECT_TRUE(d.null);
    }
    int w = 0, h = 0, c = 0;
    EXPECT_EXIT(read_sgi_image("no-such-texture.rgb", &w, &h, &c), testing::ExitedWithCode(1),
                "^no-such-texture.rgb: No such file or directory\n$");
}

TEST(SgiImage, DecodesImageMagickFilesAndTheShippedTexturesLikeImageMagick)
{
    // ImageMagick needs no sanitizer runtime, which a preload would put in every convert it starts.
    unsetenv("LD_PRELOAD");
    ASSERT_EQ(std::system("convert -version >/dev/null 2>&1"), 0) << "ImageMagick's convert is needed";
    ScratchDir dir;
    const Bytes noise = sample_data(37 * 23 * 4, 99);  // noise, flat rows and several alpha levels
    std::string pam = "P7\nWIDTH 37\nHEIGHT 23\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int i = 0; i < 37 * 23; ++i) {
        const bool flat = (i / 37) % 4 == 1;
        pam += {char(flat ? 200 : noise[4 * i]), char(flat ? 30 : noise[4 * i + 1]), char(noise[4 * i + 2]), char(noise[4 * i + 3] | 0x0F)};
    }
    write_file("source.pam", pam);
    const struct { const char *name, *from, *options; unsigned type; int channels; } variants[] = {
        {"grey-rle", "source.pam", "-alpha off -colorspace Gray -depth 8 -compress RLE", 0x0101, 1},
        {"grey-verbatim", "source.pam", "-alpha off -colorspace Gray -depth 8 -compress None", 0x0001, 1},
        {"rgb-rle", "source.pam", "-alpha off -depth 8 -compress RLE", 0x0101, 3},
        {"rgb-verbatim", "source.pam", "-alpha off -depth 8 -compress None", 0x0001, 3},
        {"rgba-rle", "source.pam", "-depth 8 -compress RLE", 0x0101, 4},
        {"rgba-verbatim", "source.pam", "-depth 8 -compress None", 0x0001, 4},
        {"rgb-16bit", "source.pam", "-alpha off -depth 16 -compress None", 0x0002, 3},
        {"grey-16bit", "grey-verbatim.rgb", "-depth 16 -compress None", 0x0002, 1},  // 8-bit values times 257
    };
    for (const auto& v : variants) {
        const std::string path = std::string(v.name) + ".rgb";
        ASSERT_EQ(std::system(("convert '" + std::string(v.from) + "' -depth 8 " + v.options + " sgi:'" + path + "'").c_str()), 0);
        SgiImage* image = open_sgi_image(path.c_str());
        EXPECT_EQ(image->type * 10 + image->zsize, v.type * 10 + v.channels) << v.name;
        close_sgi_image(image);
        const Decoded ours = decode(path);
        EXPECT_EQ(ours.width * 100 + ours.height, 3723);
        EXPECT_EQ(ours.pixels, imagemagick_pixels(path, 37, 23)) << v.name;
    }

    int kinds[3] = {};  // run-length, verbatim, grey
    for (const char* name : {"texture2.rgb", "tabletexture.rgb", "walltexture.rgb", "walltexture2.rgb",
                             "dolvane.rgb", "trevarnik.rgb", "person.rgb"}) {
        const std::string path = std::string(VEVUV_SHIPPED_DATA) + "/" + name;
        SgiImage* image = open_sgi_image(path.c_str());
        EXPECT_EQ(image->magic, 474);
        ++kinds[(image->type & 0xFF00) == 0x0100 ? 0 : 1];
        kinds[2] += image->zsize == 1;
        close_sgi_image(image);
        const Decoded d = decode(path);
        ASSERT_EQ(d.width * 1000 + d.height, 256256) << name;
        EXPECT_NE(std::count(d.pixels.begin(), d.pixels.end(), d.pixels[0]), long(d.pixels.size())) << name;
        EXPECT_EQ(d.pixels, imagemagick_pixels(path, 256, 256)) << name;
    }
    EXPECT_TRUE(kinds[0] > 0 && kinds[1] > 0 && kinds[2] > 0);
}

namespace {

// load_texture into object with the console captured: its result, then standard output and error.
std::string load(const std::string& name, unsigned object)
{
    int got = 0;
    const Console console = capture_console([&] { got = load_texture(name.c_str(), object); });
    return std::to_string(got) + " " + console.out + console.err;
}

GLint texture_value(GLenum name, bool level = false)
{
    GLint value = -1;
    if (level)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

Bytes texels(int texture)
{
    Bytes pixels(256 * 256 * 4, 0xEE);
    glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace

TEST(Texture, LoadsEachFileIntoItsOwnObjectAndSetsItUpAndReducesLargePhotos)
{
    open_windows();
    ScratchDir dir;
    write_file("wide.rgb", sgi_header(1, 128, 64, 3) + Bytes(128 * 64 * 3, 90));
    Bytes grey(256 * 256);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<unsigned char>((i % 256) ^ (i / 256 * 7));
    write_file("grey256.rgb", sgi_header(1, 256, 256, 1) + grey);
    write_file("quad.rgb", sgi_header(1, 2, 2, 3) + Bytes{255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0});
    write_file("huge.rgb", sgi_header(1, 65535, 65535, 3));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);  // the loader must overwrite it

    // Files that cannot be used say so.
    EXPECT_EQ(load("missing.rgb", 1), "-1 Cannot read texture file \"missing.rgb\"....skipping!\n");
    EXPECT_EQ(load("huge.rgb", 1), "-1 huge.rgb: image size 65535x65535x3 is too large (more than 134217728 pixels); skipping\n");
    EXPECT_EQ(load("wide.rgb", 3), "3 Reading texture from file \"wide.rgb\" (128x64x3)\n");
    const int quad = 4, grey_object = 2;
    load("quad.rgb", quad);
    EXPECT_EQ(load("grey256.rgb", grey_object).substr(0, 2), "2 ");

    // The last one stays bound: 256 x 256 RGBA, repeating, nearest, modulated.
    GLint value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, grey_object);
    EXPECT_EQ(texture_value(GL_TEXTURE_WIDTH, true) * 1000 + texture_value(GL_TEXTURE_HEIGHT, true), 256256);
    EXPECT_EQ(texture_value(GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGBA);
    EXPECT_EQ(texture_value(GL_TEXTURE_WRAP_S) + texture_value(GL_TEXTURE_WRAP_T), 2 * GL_REPEAT);
    EXPECT_EQ(texture_value(GL_TEXTURE_MAG_FILTER) + texture_value(GL_TEXTURE_MIN_FILTER), 2 * GL_NEAREST);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    Bytes expected;  // a 256 x 256 image keeps every texel, row 0 first
    for (unsigned char v : grey)
        expected.insert(expected.end(), {v, v, v, 255});
    EXPECT_EQ(texels(grey_object), expected);
    // 2 x 2 grows to 256 x 256; GLU's box filter wraps at the edges, so only
    // the middle of each quadrant keeps its colour.
    const Bytes big = texels(quad);
    const int probes[4][6] = {{64, 64, 255, 0, 0}, {192, 64, 0, 255, 0}, {64, 192, 0, 0, 255}, {192, 192, 0, 0, 0}};
    for (const auto& p : probes)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(big[(size_t(p[1]) * 256 + p[0]) * 4 + c], p[2 + c], 2) << p[0] << "," << p[1];

    // Every file keeps its own texture object whatever happens to the others: a
    // missing one leaves its object empty (drawn untextured), and a photo larger
    // than 4096 x 4096 is box-filtered into its 256 x 256 texture.
    std::vector<Bytes> channel_rows;  // 6000 x 4000: every row red on its left half, blue on its right
    for (int c = 0; c < 3; ++c) {
        Bytes row;
        for (int half = 0; half < 2; ++half)
            for (int left = 3000; left > 0; left -= 127)
                row.insert(row.end(), {static_cast<unsigned char>(std::min(left, 127)),
                                       static_cast<unsigned char>((c == 0 && half == 0) || (c == 2 && half == 1) ? 255 : 0)});
        row.push_back(0);
        channel_rows.insert(channel_rows.end(), 4000, row);
    }
    write_file("photo.rgb", run_length_file(sgi_header(0x0101, 6000, 4000, 3), channel_rows));
    const std::string shipped = std::string(VEVUV_SHIPPED_DATA) + "/";
    load(shipped + "texture2.rgb", 1);
    const struct { std::string file; unsigned object; std::string shown; } rows[] = {
        {shipped + "walltexture2.rgb", 4, "4 Reading texture from file \"" + shipped + "walltexture2.rgb\" (256x256x3)\n"},
        {"texture2.rgb", 1, "-1 Cannot read texture file \"texture2.rgb\"....skipping!\n"},
        {"photo.rgb", 5, "5 Reading texture from file \"photo.rgb\" (6000x4000x3)\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(load(row.file, row.object), row.shown);
        EXPECT_EQ(bool(glIsTexture(row.object)), row.shown[0] != '-') << row.file;
    }
    EXPECT_TRUE(glIsTexture(4));  // untouched by the missing file after it
    const Bytes reduced = texels(5);
    EXPECT_EQ(Bytes(reduced.begin(), reduced.begin() + 4), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(Bytes(reduced.end() - 4, reduced.end()), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(Bytes(reduced.begin() + 127 * 4, reduced.begin() + 129 * 4), (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
