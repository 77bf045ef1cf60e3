// decode_figures.cpp -- read_sgi_image on 2048 x 2048 RGB files, run-length
// and verbatim, against ImageMagick decoding the same files in-process.
#include <Magick++.h>  // Required for: Magick::Image, Magick::InitializeMagick()

#include <cstdint>   // Required for: uint8_t, uint32_t
#include <cstdio>    // Required for: std::FILE, std::fopen(), std::fwrite()
#include <cstdlib>   // Required for: std::free()
#include <cstring>   // Required for: std::memcmp()
#include <vector>    // Required for: std::vector

#include "bench/figures.h"
#include "image/sgi_image.h"

namespace bench {

namespace {

constexpr int image_side = 2048;          // width and height of the test images, pixels
constexpr int image_channels = 3;         // red, green, blue
constexpr int header_size = 512;
constexpr int sgi_magic = 474;
constexpr int max_packet = 127;           // longest run or literal of one packet
constexpr int shortest_run = 3;           // shorter repeats go into literals
constexpr int band_width = 16;            // pixels of one flat band
constexpr int block_side = 64;            // noise blocks: one block in three
constexpr double decode_goal = 1.0;       // our speed at least the baseline's

// A sample of the test picture: flat bands (long runs) with one block in
// three of noise (literals), like a scanned wall texture.
uint8_t test_sample(int x, int y, int c)
{
    if ((x / block_side + y / block_side) % 3 == 0) {
        uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(c + 1) * 83492791u;
        h ^= h >> 13;
        h *= 0x5bd1e995u;
        return uint8_t(h >> 24);
    }
    return uint8_t((x / band_width) * 7 + (y / (2 * band_width)) * 13 + c * 50);
}

// Writes a big-endian 16-bit value at offset at.
void put_16(std::vector<uint8_t>& out, size_t at, unsigned value)
{
    out[at] = uint8_t(value >> 8);
    out[at + 1] = uint8_t(value);
}

// Writes a big-endian 32-bit value at offset at.
void put_32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

// The 512-byte header of a one-byte-per-sample RGB test image.
std::vector<uint8_t> sgi_header(bool run_length)
{
    std::vector<uint8_t> header(header_size, 0);
    put_16(header, 0, sgi_magic);
    header[2] = run_length ? 1 : 0;  // storage
    header[3] = 1;                   // bytes per sample
    put_16(header, 4, 3);            // dimension
    put_16(header, 6, image_side);
    put_16(header, 8, image_side);
    put_16(header, 10, image_channels);
    put_32(header, 16, 255);         // largest sample
    return header;
}

// Length of the run of equal samples starting at i, at most one packet.
int run_length_at(const std::vector<uint8_t>& row, int i)
{
    int j = i + 1;
    while (j < int(row.size()) && row[size_t(j)] == row[size_t(i)] && j - i < max_packet)
        ++j;
    return j - i;
}

// One row as run-length packets, ended by a zero count.
void encode_row(const std::vector<uint8_t>& row, std::vector<uint8_t>& out)
{
    int i = 0;
    const int n = int(row.size());
    while (i < n) {
        const int run = run_length_at(row, i);
        if (run >= shortest_run) {
            out.push_back(uint8_t(run));
            out.push_back(row[size_t(i)]);
            i += run;
            continue;
        }
        const int start = i;
        while (i < n && i - start < max_packet && run_length_at(row, i) < shortest_run)
            ++i;
        out.push_back(uint8_t(0x80 | (i - start)));
        out.insert(out.end(), row.begin() + start, row.begin() + i);
    }
    out.push_back(0);
}

// Row y of channel c of the test picture.
std::vector<uint8_t> picture_row(int y, int c)
{
    std::vector<uint8_t> row(image_side);
    for (int x = 0; x < image_side; ++x)
        row[size_t(x)] = test_sample(x, y, c);
    return row;
}

// The whole run-length file: header, offset and length tables, rows.
std::vector<uint8_t> run_length_file()
{
    std::vector<uint8_t> file = sgi_header(true);
    const size_t rows = size_t(image_side) * image_channels;
    const size_t tables = file.size();
    file.resize(tables + 2 * rows * 4);
    for (int c = 0; c < image_channels; ++c) {
        for (int y = 0; y < image_side; ++y) {
            const size_t entry = size_t(c) * image_side + size_t(y);
            const size_t start = file.size();
            encode_row(picture_row(y, c), file);
            put_32(file, tables + entry * 4, uint32_t(start));
            put_32(file, tables + (rows + entry) * 4, uint32_t(file.size() - start));
        }
    }
    return file;
}

// The whole verbatim file: header, then each channel's rows bottom up.
std::vector<uint8_t> verbatim_file()
{
    std::vector<uint8_t> file = sgi_header(false);
    for (int c = 0; c < image_channels; ++c)
        for (int y = 0; y < image_side; ++y) {
            const std::vector<uint8_t> row = picture_row(y, c);
            file.insert(file.end(), row.begin(), row.end());
        }
    return file;
}

// Writes bytes to path; false when any of it failed.
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Decodes the file with our reader and drops the pixels.
void our_decode(const std::string& path)
{
    int width = 0, height = 0, components = 0;
    unsigned char* pixels = read_sgi_image(path.c_str(), &width, &height, &components);
    std::free(pixels);
}

// Decodes the file with ImageMagick into its pixel cache.
void magick_decode(const std::string& path)
{
    Magick::Image image;
    image.read("sgi:" + path);
}

// ImageMagick's decode handed over as RGBA bytes, the form our reader gives.
std::vector<unsigned char> magick_rgba(const std::string& path)
{
    Magick::Image image;
    image.read("sgi:" + path);
    std::vector<unsigned char> pixels(size_t(image.columns()) * image.rows() * 4);
    image.write(0, 0, image.columns(), image.rows(), "RGBA", Magick::CharPixel, pixels.data());
    return pixels;
}

// True when both decoders give the same picture (ImageMagick's row 0 is the
// top row, ours the bottom one).
bool decoders_agree(const std::string& path)
{
    int width = 0, height = 0, components = 0;
    unsigned char* ours = read_sgi_image(path.c_str(), &width, &height, &components);
    const std::vector<unsigned char> theirs = magick_rgba(path);
    bool agree = ours != nullptr && theirs.size() == size_t(width) * size_t(height) * 4;
    const size_t row_bytes = size_t(width) * 4;
    for (int y = 0; agree && y < height; ++y)
        agree = std::memcmp(ours + row_bytes * size_t(y),
                            theirs.data() + row_bytes * size_t(height - 1 - y), row_bytes) == 0;
    std::free(ours);
    return agree;
}

// Times both decoders on one file; speeds in MB/s of decoded samples.
Figure decode_figure(const char* kind, const std::string& path, const Effort& effort)
{
    const bool agree = decoders_agree(path);
    const PairTiming t = time_pair([&] { our_decode(path); }, [&] { magick_decode(path); }, effort);
    const double megabytes = double(image_side) * image_side * image_channels / 1e6;
    Figure f;
    f.name = std::string("SGI decode 2048x2048 ") + kind;
    f.baseline = "ImageMagick decode, in-process";
    f.unit = "MB/s";
    f.subject = megabytes / t.subject;
    f.reference = megabytes / t.baseline;
    f.ratio = f.subject / f.reference;
    f.goal = ">= 1.0";
    f.met = f.ratio >= decode_goal;
    f.note = agree ? "same pixels as ImageMagick" : "DECODERS DISAGREE";
    return f;
}

} // namespace

// Writes the two test files into work_dir and decodes each with both decoders.
std::vector<Figure> decode_figures(const std::string& work_dir, const Effort& effort,
                                   const char* program_name)
{
    Magick::InitializeMagick(program_name);
    const std::string rle_path = work_dir + "/bench_rle.rgb";
    const std::string verbatim_path = work_dir + "/bench_verbatim.rgb";
    std::vector<Figure> figures;
    if (!write_file(rle_path, run_length_file()) || !write_file(verbatim_path, verbatim_file())) {
        std::printf("cannot write the test images into %s\n", work_dir.c_str());
        return figures;
    }
    figures.push_back(decode_figure("run-length", rle_path, effort));
    figures.push_back(decode_figure("verbatim", verbatim_path, effort));
    std::remove(rle_path.c_str());
    std::remove(verbatim_path.c_str());
    return figures;
}

} // namespace bench
