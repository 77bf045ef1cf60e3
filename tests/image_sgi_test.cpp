// image_sgi_test.cpp -- the SGI image reader: every well-formed variant, files
// written by ImageMagick, bad input, and the seven shipped textures.
#include "image/sgi_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "image_test_support.h"

namespace {

using namespace image_test;
namespace fs = std::filesystem;

void put_32(Bytes& out, uint32_t value)
{
    put_16(out, value >> 16);
    put_16(out, value & 0xFFFF);
}

// A run-length file: header, offset and length tables, then the compressed
// rows in table order (entry y + z * ysize).
Bytes run_length_file(const Header& h, const std::vector<Bytes>& rows)
{
    Bytes out = header_bytes(h);
    uint32_t offset = static_cast<uint32_t>(512 + rows.size() * 8);
    for (const Bytes& row : rows) {
        put_32(out, offset);
        offset += static_cast<uint32_t>(row.size());
    }
    for (const Bytes& row : rows)
        put_32(out, static_cast<uint32_t>(row.size()));
    for (const Bytes& row : rows)
        out.insert(out.end(), row.begin(), row.end());
    return out;
}

// Packs one row of samples: runs of three or more as run packets, the rest as
// literal packets, at most 127 samples a packet, then the zero count.
Bytes encode_row(const Bytes& samples)
{
    Bytes out;
    size_t i = 0;
    while (i < samples.size()) {
        size_t run = 1;
        while (i + run < samples.size() && run < 127 && samples[i + run] == samples[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<unsigned char>(run));
            out.push_back(samples[i]);
            i += run;
            continue;
        }
        size_t literal = 0;
        while (i + literal < samples.size() && literal < 127) {
            const size_t at = i + literal;
            if (at + 2 < samples.size() && samples[at] == samples[at + 1] && samples[at] == samples[at + 2])
                break;
            ++literal;
        }
        out.push_back(static_cast<unsigned char>(0x80 | literal));
        out.insert(out.end(), samples.begin() + i, samples.begin() + i + literal);
        i += literal;
    }
    out.push_back(0);
    return out;
}

struct Decoded {
    Bytes pixels; // empty when the reader gave null
    bool null = true;
    int width = -1;
    int height = -1;
    int components = -1;
};

Decoded decode(const std::string& path)
{
    Decoded result;
    unsigned char* pixels = read_sgi_image(path.c_str(), &result.width, &result.height, &result.components);
    if (pixels) {
        result.null = false;
        result.pixels.assign(pixels, pixels + size_t(result.width) * result.height * 4);
        std::free(pixels);
    }
    return result;
}

// Repeatable pseudo-random samples, with some runs so that packets of both kinds occur.
Bytes sample_data(size_t count, uint32_t seed)
{
    Bytes out;
    uint32_t state = seed * 2654435761u + 1;
    while (out.size() < count) {
        state = state * 1664525u + 1013904223u;
        const unsigned char value = static_cast<unsigned char>(state >> 24);
        const size_t repeat = (state >> 8) % 7 == 0 ? 1 + (state >> 12) % 6 : 1;
        for (size_t r = 0; r < repeat && out.size() < count; ++r)
            out.push_back(value);
    }
    return out;
}

// The RGBA buffer the reader must give for planes of w x h x channels.
Bytes expected_rgba(const Bytes& planes, int w, int h, int channels)
{
    Bytes out;
    const size_t plane = size_t(w) * h;
    for (size_t p = 0; p < plane; ++p) {
        const unsigned char red = planes[p];
        const bool colour = channels >= 3;
        out.push_back(red);
        out.push_back(colour ? planes[plane + p] : red);
        out.push_back(colour ? planes[2 * plane + p] : red);
        out.push_back(channels >= 4 ? planes[3 * plane + p] : 255);
    }
    return out;
}

TEST(SgiImageReader, EveryChannelCountVerbatimAndRunLength)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const int w = 5;
    const int h = 3;
    for (int channels = 1; channels <= 5; ++channels) {
        const Bytes planes = sample_data(size_t(w) * h * channels, channels);
        const Bytes expected = expected_rgba(planes, w, h, channels);
        std::vector<Bytes> rows;
        for (int k = 0; k < h * channels; ++k)
            rows.push_back(encode_row(Bytes(planes.begin() + k * w, planes.begin() + (k + 1) * w)));
        const uint16_t z = static_cast<uint16_t>(channels);
        const std::string tag = std::to_string(channels);
        const Decoded plain = decode(dir.write("v" + tag + ".rgb", verbatim_file({474, 0x0001, 3, w, h, z}, planes)));
        const Decoded packed = decode(dir.write("r" + tag + ".rgb", run_length_file({474, 0x0101, 3, w, h, z}, rows)));
        for (const Decoded* d : {&plain, &packed}) {
            SCOPED_TRACE("channels " + tag + (d == &plain ? " verbatim" : " run-length"));
            ASSERT_FALSE(d->null);
            EXPECT_EQ(d->width, w);
            EXPECT_EQ(d->height, h);
            EXPECT_EQ(d->components, channels);
            EXPECT_EQ(d->pixels, expected);
        }
    }
}

TEST(SgiImageReader, HeaderTypeAndRowReads)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // Only a high type byte of 1 selects run-length; 0x0201 is verbatim even
    // where a run-length table could be read. The magic number is not checked.
    const Bytes samples{7, 7, 7, 7, 42, 43};
    const struct {
        uint16_t magic, type;
        Bytes body;
    } files[] = {{474, 0x0101, Bytes()}, {474, 0x0201, samples}, {0x1234, 0x0001, samples}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.type);
        const Header h{f.magic, f.type, 2, 6, 1, 1};
        const Decoded d = decode(dir.write("t.rgb", f.body.empty() ? run_length_file(h, {encode_row(samples)})
                                                                    : verbatim_file(h, f.body)));
        ASSERT_FALSE(d.null);
        EXPECT_EQ(d.pixels, expected_rgba(samples, 6, 1, 1));
    }

    // Two bytes a sample keep the high byte: verbatim RGB 2 x 2 (the second
    // plane starts 2 rows of 2 samples of 2 bytes in), and run-length grey
    // with 16-bit counts, a run of 3 and a literal of 2.
    Bytes planes;
    for (int i = 0; i < 12; ++i)
        planes.insert(planes.end(), {static_cast<unsigned char>(10 * i + 1), 0x99});
    const Decoded v = decode(dir.write("v16.rgb", verbatim_file({474, 0x0002, 3, 2, 2, 3}, planes)));
    EXPECT_EQ(v.pixels, (Bytes{1, 41, 81, 255, 11, 51, 91, 255, 21, 61, 101, 255, 31, 71, 111, 255}));
    const Bytes row{0x00, 0x03, 0xAB, 0xCD, 0x00, 0x82, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00};
    const Decoded r = decode(dir.write("r16.rgb", run_length_file({474, 0x0102, 2, 5, 1, 1}, {row})));
    EXPECT_EQ(r.pixels, expected_rgba({0xAB, 0xAB, 0xAB, 0x12, 0x56}, 5, 1, 1));

    // read_sgi_row gives one channel's row; a channel the file lacks reads as
    // zeros, not stale data.
    dir.write("packets.rgb", run_length_file({474, 0x0101, 2, 5, 1, 1}, {{0x83, 1, 2, 3, 0x02, 9, 0x00}}));
    SgiImage* image = open_sgi_image(dir.file("packets.rgb").c_str());
    unsigned char out[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    read_sgi_row(image, out, 0, 0);
    EXPECT_EQ(Bytes(out, out + 5), (Bytes{1, 2, 3, 9, 9}));
    read_sgi_row(image, out, 0, 1);
    EXPECT_EQ(Bytes(out, out + 5), Bytes(5, 0));
    close_sgi_image(image);
}

// ---- Bad input: no crash, bounded reads, zeros for what is missing ----

TEST(SgiImageReader, RunLengthRowsThatDoNotFitAreClamped)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Header h{474, 0x0101, 2, 3, 1, 1};
    struct Case {
        const char* what;
        Bytes row;
        Bytes expected;
    };
    const std::vector<Case> cases{
        {"run past the row end", {0x7F, 5, 0}, {5, 5, 5}},
        {"literal past the row end", {0x85, 1, 2, 3, 4, 5, 0}, {1, 2, 3}},
        {"packets after a full row", {0x83, 1, 2, 3, 0x7F, 9, 0x7F, 9, 0}, {1, 2, 3}},
        {"no zero count", {0x82, 7, 8}, {7, 8, 0}},
        {"literal cut by the row's end", {0x85, 4}, {4, 0, 0}},
        {"run without its value", {0x05}, {0, 0, 0}},
        {"empty row", {}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = decode(dir.write("clamp.rgb", run_length_file(h, {c.row})));
        ASSERT_FALSE(d.null);
        EXPECT_EQ(d.pixels, expected_rgba(c.expected, 3, 1, 1));
    }

    // A row length far above row_buffer (3 x 256 bytes) and past the file's end.
    Bytes file = run_length_file(h, {{0x83, 4, 5, 6, 0}});
    file[512 + 4] = 0xFF; // length table entry 0 = 0xFFxxxxxx
    const Decoded huge_length = decode(dir.write("length.rgb", file));
    ASSERT_FALSE(huge_length.null);
    EXPECT_EQ(huge_length.pixels, expected_rgba({4, 5, 6}, 3, 1, 1));

    // A row whose offset lies past the end of the file reads as zeros.
    file = run_length_file(h, {{0x83, 4, 5, 6, 0}});
    file[512] = 0x7F; // offset table entry 0 = 0x7Fxxxxxx
    const Decoded far_offset = decode(dir.write("offset.rgb", file));
    ASSERT_FALSE(far_offset.null);
    EXPECT_EQ(far_offset.pixels, expected_rgba({0, 0, 0}, 3, 1, 1));
}

TEST(SgiImageReader, ShortFilesReadMissingBytesAsZero)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // Verbatim RGB 2 x 2 with only the first row of red present.
    const Decoded v = decode(dir.write("short.rgb", verbatim_file({474, 0x0001, 3, 2, 2, 3}, {50, 60})));
    ASSERT_FALSE(v.null);
    EXPECT_EQ(v.pixels, (Bytes{50, 0, 0, 255, 60, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));

    // Run-length grey 2 x 3 whose tables stop after the first offset: every
    // missing offset and length is zero, so those rows are empty.
    Bytes file = run_length_file({474, 0x0101, 2, 2, 3, 1}, {{0x82, 1, 2, 0}, {0x02, 3, 0}, {0x02, 4, 0}});
    const Decoded whole = decode(dir.write("whole.rgb", file));
    ASSERT_FALSE(whole.null);
    EXPECT_EQ(whole.pixels, expected_rgba({1, 2, 3, 3, 4, 4}, 2, 3, 1));
    file.resize(512 + 4);
    const Decoded cut = decode(dir.write("cut.rgb", file));
    ASSERT_FALSE(cut.null);
    EXPECT_EQ(cut.pixels, expected_rgba(Bytes(6, 0), 2, 3, 1));

    // A garbage channel count: only the first four channels are looked up.
    const Decoded many = decode(dir.write("many.rgb", header_bytes({474, 0x0101, 3, 2, 65535, 65535})));
    ASSERT_FALSE(many.null);
    EXPECT_EQ(many.components, 65535);
    EXPECT_EQ(many.pixels, Bytes(size_t(2) * 65535 * 4, 0));

    // The largest accepted image, 4096 x 4096, from a file that is only a header.
    const Decoded big = decode(dir.write("big.rgb", header_bytes({474, 0x0001, 2, 4096, 4096, 1})));
    ASSERT_FALSE(big.null);
    ASSERT_EQ(big.pixels.size(), size_t(4096) * 4096 * 4);
    EXPECT_EQ(big.pixels[0], 0);
    EXPECT_EQ(big.pixels[big.pixels.size() - 2], 0);
    EXPECT_EQ(big.pixels[big.pixels.size() - 1], 255);
}

TEST(SgiImageReader, UnusableSizesGiveNullWithAMessage)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    struct Case {
        Bytes file;
        std::string message; // after the file name
    };
    const std::vector<Case> cases{
        {verbatim_file({474, 0x0001, 3, 0, 256, 3}, {}), ": image size 0x256x3 is empty; skipping\n"},
        {verbatim_file({474, 0x0001, 3, 256, 0, 3}, {}), ": image size 256x0x3 is empty; skipping\n"},
        {run_length_file({474, 0x0101, 3, 4, 4, 0}, {}), ": image size 4x4x0 is empty; skipping\n"},
        {Bytes{0x01, 0xDA, 0x01}, ": image size 0x0x0 is empty; skipping\n"},
        {Bytes{}, ": image size 0x0x0 is empty; skipping\n"},
        {header_bytes({474, 0x0101, 3, 65535, 65535, 4}),
         ": image size 65535x65535x4 is too large (more than 16777216 pixels); skipping\n"},
        {header_bytes({474, 0x0001, 3, 4097, 4096, 3}),
         ": image size 4097x4096x3 is too large (more than 16777216 pixels); skipping\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string path = dir.write("bad.rgb", c.file);
        testing::internal::CaptureStderr();
        const Decoded d = decode(path);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(d.null);
        EXPECT_EQ(said, path + c.message);
    }
}

TEST(SgiImageReaderDeathTest, UnopenableFileEndsTheProgram)
{
    const std::string missing = "no-such-texture.rgb";
    int w = 0;
    int h = 0;
    int c = 0;
    EXPECT_EXIT(read_sgi_image(missing.c_str(), &w, &h, &c), testing::ExitedWithCode(1),
                "^no-such-texture.rgb: No such file or directory\n$");
    EXPECT_EXIT(open_sgi_image(missing.c_str()), testing::ExitedWithCode(1),
                "^no-such-texture.rgb: No such file or directory\n$");
}

// ---- ImageMagick as an independent decoder ----

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The pixels ImageMagick decodes the file to, top row first, 8 bits a sample.
Bytes decode_with_imagemagick(const std::string& path)
{
    Bytes out;
    FILE* pipe = popen(("convert '" + path + "' -depth 8 rgba:-").c_str(), "r");
    if (!pipe)
        return out;
    unsigned char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    pclose(pipe);
    return out;
}

// Our buffer has row 0 (the bottom) first; flip it to compare with ImageMagick.
Bytes top_row_first(const Bytes& pixels, int width, int height)
{
    Bytes out;
    const size_t row = size_t(width) * 4;
    for (int y = height - 1; y >= 0; --y)
        out.insert(out.end(), pixels.begin() + y * row, pixels.begin() + (y + 1) * row);
    return out;
}

// A 37 x 23 RGBA picture with noise, flat runs and several alpha levels.
void write_source_picture(const std::string& path)
{
    const int w = 37;
    const int h = 23;
    const Bytes noise = sample_data(size_t(w) * h * 4, 99);
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << w << "\nHEIGHT " << h << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int i = 0; i < w * h; ++i) {
        const bool flat = (i / w) % 4 == 1;
        const unsigned char px[4] = {flat ? uint8_t(200) : noise[4 * i], flat ? uint8_t(30) : noise[4 * i + 1],
                                     noise[4 * i + 2], static_cast<unsigned char>(noise[4 * i + 3] | 0x0F)};
        out.write(reinterpret_cast<const char*>(px), 4);
    }
}

TEST(SgiImageReader, DecodesImageMagickFilesLikeImageMagick)
{
    ASSERT_TRUE(run("convert -version >/dev/null 2>&1"))
        << "ImageMagick's convert is needed (scripts/test.sh installs it)";
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string source = dir.file("source.pam");
    write_source_picture(source);
    struct Variant {
        const char* name;
        const char* from; // an earlier variant, or the source picture
        const char* options;
        unsigned type;
        int channels;
    };
    const std::vector<Variant> variants{
        {"grey-rle", "", "-alpha off -colorspace Gray -depth 8 -compress RLE", 0x0101, 1},
        {"grey-verbatim", "", "-alpha off -colorspace Gray -depth 8 -compress None", 0x0001, 1},
        {"rgb-rle", "", "-alpha off -depth 8 -compress RLE", 0x0101, 3},
        {"rgb-verbatim", "", "-alpha off -depth 8 -compress None", 0x0001, 3},
        {"rgba-rle", "", "-depth 8 -compress RLE", 0x0101, 4},
        {"rgba-verbatim", "", "-depth 8 -compress None", 0x0001, 4},
        {"rgb-16bit", "", "-alpha off -depth 16 -compress None", 0x0002, 3},
        // From 8-bit grey, so that every 16-bit sample is an 8-bit value times 257.
        {"grey-16bit", "grey-verbatim", "-depth 16 -compress None", 0x0002, 1},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const std::string path = dir.file(std::string(v.name) + ".rgb");
        const std::string from = *v.from ? dir.file(std::string(v.from) + ".rgb") : source;
        ASSERT_TRUE(run("convert '" + from + "' -depth 8 " + v.options + " sgi:'" + path + "'"));
        SgiImage* image = open_sgi_image(path.c_str());
        EXPECT_EQ(image->type, v.type);
        EXPECT_EQ(image->zsize, v.channels);
        close_sgi_image(image);
        const Decoded ours = decode(path);
        ASSERT_FALSE(ours.null);
        ASSERT_EQ(ours.width, 37);
        ASSERT_EQ(ours.height, 23);
        EXPECT_EQ(top_row_first(ours.pixels, 37, 23), decode_with_imagemagick(path));
    }
}

// ---- The textures the kiosk ships with ----

TEST(SgiImageReader, ShippedTexturesAreWholeAndCoverEveryPath)
{
    const char* names[] = {"texture2.rgb", "tabletexture.rgb", "walltexture.rgb", "walltexture2.rgb",
                           "dolvane.rgb",  "trevarnik.rgb",    "person.rgb"};
    int run_length = 0;
    int verbatim = 0;
    int grey = 0;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string path = std::string(VEVUV_SHIPPED_DATA) + "/" + name;
        ASSERT_TRUE(fs::exists(path));
        SgiImage* image = open_sgi_image(path.c_str());
        EXPECT_EQ(image->magic, 474);
        ((image->type & 0xFF00) == 0x0100 ? run_length : verbatim) += 1;
        grey += image->zsize == 1;
        close_sgi_image(image);
        const Decoded d = decode(path);
        ASSERT_FALSE(d.null);
        EXPECT_EQ(d.width, 256);
        EXPECT_EQ(d.height, 256);
        // A real picture, not a flat fill.
        EXPECT_NE(std::count(d.pixels.begin(), d.pixels.end(), d.pixels[0]), long(d.pixels.size())) << name;
        // And ImageMagick sees the same picture.
        EXPECT_EQ(top_row_first(d.pixels, 256, 256), decode_with_imagemagick(path));
    }
    EXPECT_GT(run_length, 0);
    EXPECT_GT(verbatim, 0);
    EXPECT_GT(grey, 0);
}

} // namespace
