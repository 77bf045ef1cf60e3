// sgi_image.cpp -- reader for SGI (.rgb) image files, verbatim or run-length
// encoded, one to four channels, into one RGBA buffer with row 0 first.
//
// Texture files are made by hand, so every read is bounded: short files read
// as zeros, run-length rows are clamped to the row they fill, and image sizes
// are checked before the image buffer is allocated.
#include "image/sgi_image.h"

#include "common/console_note.h"  // Required for: report_problem(), report_text()
#include "common/process_exit.h"  // Required for: end_program()
#include "common/data_path.h"    // Required for: data_file_path()

#include <algorithm> // Required for: std::min(), std::max()
#include <cerrno>    // Required for: errno
#include <cstdio>    // Required for: fopen(), fseeko(), fread(), fclose()
#include <cstdlib>   // Required for: calloc(), malloc(), free()
#include <cstring>   // Required for: memset(), memcpy(), strerror()
#include <string>    // Required for: std::string, std::to_string()

namespace {

// Where the image data (verbatim planes or the row tables) starts.
constexpr long long image_data_offset = 512;
// Bytes of the header that hold the six fields the reader uses.
constexpr size_t header_bytes = 12;
// row_buffer holds this many bytes per pixel of width: one compressed row.
constexpr size_t row_buffer_bytes_per_pixel = 256;
// Channels that are ever read (red, green, blue, alpha); later ones are skipped.
constexpr int channels_read = 4;
// Largest image accepted, in pixels (4096 x 4096): a 64 MiB RGBA buffer, and
// room for the rescaling that follows in the texture loader.
constexpr unsigned long long max_image_pixels = 4096ull * 4096ull;
// Largest image read reduced (a row at a time, box-filtered to the texture):
// the bound keeps the time of one load under a second or so.
constexpr unsigned long long max_reduced_image_pixels = 16384ull * 8192ull;
// Type values: the high byte selects run-length encoding, the low byte gives
// the bytes per sample.
constexpr unsigned run_length_type = 0x0100;
constexpr unsigned two_bytes_per_sample = 2;
// Packet count byte: the low seven bits count, the top bit marks a literal run.
constexpr unsigned packet_count_mask = 0x7F;
constexpr unsigned packet_literal_flag = 0x80;
// Value of the alpha channel when the file has none.
constexpr unsigned char opaque = 255;

// Writes the out-of-memory message and ends the program.
[[noreturn]] void fail_out_of_memory()
{
    report_text("", "Out of memory!\n", NoteForm::plain, true);
    end_program(1);
}

// Allocates zeroed memory (at least one byte, so that an empty request still
// succeeds) or ends the program.
void* allocate_or_end(size_t bytes)
{
    void* memory = std::calloc(bytes > 0 ? bytes : 1, 1);
    if (!memory)
        fail_out_of_memory();
    return memory;
}

uint16_t big_endian_16(const unsigned char* bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

uint32_t big_endian_32(const unsigned char* bytes)
{
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8)
        | uint32_t{bytes[3]};
}

bool is_run_length(const SgiImage* image) { return (image->type & 0xFF00) == run_length_type; }

// Bytes per sample: 2 when the type's low byte says so, otherwise 1.
size_t sample_bytes(const SgiImage* image)
{
    return (image->type & 0xFF) == two_bytes_per_sample ? 2 : 1;
}

size_t row_buffer_bytes(const SgiImage* image)
{
    return size_t{image->xsize} * row_buffer_bytes_per_pixel;
}

// Row table entries kept: the rows of the channels that are ever read.
size_t row_table_entries(const SgiImage* image)
{
    return size_t{image->ysize} * std::min<size_t>(image->zsize, channels_read);
}

// Files up to this size are read whole at opening: a row by row read of the
// planes of a verbatim file seeks for every row and re-reads the same blocks.
constexpr long long largest_file_held = 16LL * 1024 * 1024;

// Reads up to `bytes` bytes at `offset` into buffer; whatever the file does
// not hold stays zero. Returns the number of bytes read. A header may claim
// tens of thousands of rows beyond a short file's end: those cost no system
// call at all.
size_t read_at(const SgiImage* image, long long offset, unsigned char* buffer, size_t bytes)
{
    std::memset(buffer, 0, bytes);
    if (bytes == 0 || offset < 0 || offset >= image->file_size)
        return 0;
    const size_t wanted = std::min(bytes, static_cast<size_t>(image->file_size - offset));
    if (image->contents) {
        std::memcpy(buffer, image->contents + offset, wanted);
        return wanted;
    }
    if (fseeko(image->file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(buffer, 1, wanted, image->file);
}

// Reads a file no larger than largest_file_held whole into memory; a file
// that reads short keeps the row by row reading.
void hold_small_file(SgiImage* image)
{
    if (image->file_size <= 0 || image->file_size > largest_file_held
        || fseeko(image->file, 0, SEEK_SET) != 0)
        return;
    const size_t bytes = static_cast<size_t>(image->file_size);
    auto* contents = static_cast<unsigned char*>(std::malloc(bytes));
    if (contents && std::fread(contents, 1, bytes, image->file) == bytes) {
        image->contents = contents;
        return;
    }
    std::free(contents);
}

// Size of an open file in bytes, 0 when it cannot be told.
long long file_size_of(FILE* file)
{
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    const off_t size = ftello(file);
    return size > 0 ? static_cast<long long>(size) : 0;
}

// Reads `entries` big-endian 32-bit numbers at offset into table, in host order.
void read_row_table(const SgiImage* image, long long offset, uint32_t* table, size_t entries)
{
    read_at(image, offset, reinterpret_cast<unsigned char*>(table),
            entries * sizeof(uint32_t));
    for (size_t i = 0; i < entries; ++i) {
        unsigned char bytes[sizeof(uint32_t)];
        std::memcpy(bytes, &table[i], sizeof bytes);
        table[i] = big_endian_32(bytes);
    }
}

void read_header(SgiImage* image)
{
    unsigned char header[header_bytes];
    read_at(image, 0, header, sizeof header);
    image->magic = big_endian_16(header + 0);
    image->type = big_endian_16(header + 2);
    image->dimension = big_endian_16(header + 4);
    image->xsize = big_endian_16(header + 6);
    image->ysize = big_endian_16(header + 8);
    image->zsize = big_endian_16(header + 10);
}

// The offset table sits at the data offset; the length table follows the
// offset table of all zsize channels, including those that are not kept.
void read_row_tables(SgiImage* image)
{
    const size_t entries = row_table_entries(image);
    image->row_start = static_cast<uint32_t*>(allocate_or_end(entries * sizeof(uint32_t)));
    image->row_size = static_cast<uint32_t*>(allocate_or_end(entries * sizeof(uint32_t)));
    const long long all_entries = static_cast<long long>(image->ysize) * image->zsize;
    read_row_table(image, image_data_offset, image->row_start, entries);
    read_row_table(image, image_data_offset + all_entries * 4, image->row_size, entries);
}

// A bounded cursor over one compressed row: samples of one or two bytes,
// nothing ever read past the bytes that came from the file.
struct PacketCursor {
    const unsigned char* data;
    size_t size;
    size_t position;
    size_t bytes_per_sample;

    bool has_value() const { return size - position >= bytes_per_sample; }
    // The next count or sample, big-endian.
    unsigned next_value()
    {
        const unsigned char* at = data + position;
        position += bytes_per_sample;
        return bytes_per_sample == 2 ? big_endian_16(at) : at[0];
    }
    // The next sample reduced to one byte: the high byte of a two-byte sample.
    unsigned char next_sample()
    {
        return static_cast<unsigned char>(next_value() >> (8 * (bytes_per_sample - 1)));
    }
};

// Decodes packets into the width bytes of row. A packet that would run past
// the row is cut at the row's end; a row without a zero count ends with its
// data; the bytes never written stay zero.
void decode_packets(PacketCursor input, unsigned char* row, size_t width)
{
    size_t out = 0;
    while (out < width && input.has_value()) {
        const unsigned count = input.next_value();
        const size_t length = count & packet_count_mask;
        if (length == 0)
            break;
        const size_t room = std::min(length, width - out);
        if (count & packet_literal_flag) {
            for (size_t i = 0; i < room && input.has_value(); ++i)
                row[out++] = input.next_sample();
        } else {
            if (!input.has_value())
                break;
            std::memset(row + out, input.next_sample(), room);
            out += room;
        }
    }
}

void read_run_length_row(SgiImage* image, unsigned char* row, int y, int z)
{
    const size_t entry = static_cast<size_t>(y) + static_cast<size_t>(z) * image->ysize;
    if (entry >= row_table_entries(image))
        return;
    const size_t length = std::min<size_t>(image->row_size[entry], row_buffer_bytes(image));
    const size_t got = read_at(image, image->row_start[entry],
                               image->row_buffer, length);
    decode_packets(PacketCursor{image->row_buffer, got, 0, sample_bytes(image)}, row, image->xsize);
}

void read_verbatim_row(SgiImage* image, unsigned char* row, int y, int z)
{
    const size_t width = image->xsize;
    const size_t bytes = sample_bytes(image);
    const long long plane_row = static_cast<long long>(y) + static_cast<long long>(z) * image->ysize;
    const long long offset = image_data_offset + plane_row * static_cast<long long>(width * bytes);
    if (bytes == 1) {
        read_at(image, offset, row, width);
        return;
    }
    // Two-byte samples: keep the high byte of each. row_buffer holds 256 bytes
    // per pixel, so a row of two-byte samples always fits.
    read_at(image, offset, image->row_buffer, width * bytes);
    for (size_t x = 0; x < width; ++x)
        row[x] = image->row_buffer[x * bytes];
}

unsigned long long pixel_count(const SgiImage* image)
{
    return static_cast<unsigned long long>(image->xsize) * image->ysize;
}

// Checks the size before anything is allocated for it; prints why not. An
// image too large to hold whole passes when it will be reduced.
bool image_size_is_usable(const SgiImage* image, const char* file_name, bool reducible = false)
{
    const unsigned long long pixels = pixel_count(image);
    const std::string size = "image size " + std::to_string(image->xsize) + "x"
                             + std::to_string(image->ysize) + "x" + std::to_string(image->zsize);
    if (pixels == 0 || image->zsize == 0) {
        report_problem(file_name, 0, size + " is empty; skipping", true);
        return false;
    }
    const unsigned long long limit = reducible ? max_reduced_image_pixels : max_image_pixels;
    if (pixels > limit) {
        report_problem(file_name, 0, size + " is too large (more than " + std::to_string(limit)
                                         + " pixels); skipping", true);
        return false;
    }
    return true;
}

// Channels that make up a pixel: 4 (RGBA), 3 (RGB) or 1 (grey, also for 2).
int pixel_channels(const SgiImage* image)
{
    if (image->zsize >= 4)
        return 4;
    return image->zsize == 3 ? 3 : 1;
}

// Reads row y of every channel that is used and interleaves it into RGBA.
void read_pixel_row(SgiImage* image, int y, unsigned char* const channel[channels_read],
                    unsigned char* pixels)
{
    const int channels = pixel_channels(image);
    for (int c = 0; c < channels; ++c)
        read_sgi_row(image, channel[c], y, c);
    const unsigned char* red = channel[0];
    const unsigned char* green = channels >= 3 ? channel[1] : channel[0];
    const unsigned char* blue = channels >= 3 ? channel[2] : channel[0];
    for (size_t x = 0; x < image->xsize; ++x) {
        *pixels++ = red[x];
        *pixels++ = green[x];
        *pixels++ = blue[x];
        *pixels++ = channels == 4 ? channel[3][x] : opaque;
    }
}

void release_channel_rows(unsigned char* channel[channels_read])
{
    for (int c = 0; c < channels_read; ++c)
        std::free(channel[c]);
}

} // namespace

// Opens an image and reads its header and row tables; ends the program on failure.
SgiImage* open_sgi_image(const char* file_name)
{
    auto* image = static_cast<SgiImage*>(allocate_or_end(sizeof(SgiImage)));
    image->file = std::fopen(data_file_path(file_name).c_str(), "rb");
    if (!image->file) {
        report_problem(file_name, 0, std::strerror(errno), true);
        std::free(image);
        end_program(1);
    }
    image->file_size = file_size_of(image->file);
    hold_small_file(image);
    read_header(image);
    image->row_buffer = static_cast<unsigned char*>(allocate_or_end(row_buffer_bytes(image)));
    if (is_run_length(image))
        read_row_tables(image);
    return image;
}

// Fills row with the xsize bytes of row y of channel z (zeros where the file
// has no data for it).
void read_sgi_row(SgiImage* image, unsigned char* row, int y, int z)
{
    std::memset(row, 0, image->xsize);
    if (y < 0 || z < 0 || y >= image->ysize || z >= image->zsize)
        return;
    if (is_run_length(image))
        read_run_length_row(image, row, y, z);
    else
        read_verbatim_row(image, row, y, z);
}

// The bytes the file must hold for all its header and row tables promise.
unsigned long long sgi_bytes_promised(const SgiImage* image)
{
    using bytes = unsigned long long;
    const bytes rows = bytes{image->ysize} * pixel_channels(image);
    if (!is_run_length(image))
        return image_data_offset + rows * image->xsize * sample_bytes(image);
    bytes needed = image_data_offset + 2 * bytes{image->ysize} * image->zsize * sizeof(uint32_t);
    for (bytes k = 0; k < std::min<bytes>(rows, row_table_entries(image)); ++k)
        needed = std::max<bytes>(needed, image->row_start[k] + std::min<bytes>(image->row_size[k],
                                                                               row_buffer_bytes(image)));
    return needed;
}

// Closes the file and releases the image with its buffers.
void close_sgi_image(SgiImage* image)
{
    std::fclose(image->file);
    std::free(image->row_buffer);
    std::free(image->row_start);
    std::free(image->row_size);
    std::free(image->contents);
    std::free(image);
}

namespace {

// Adds an RGBA image row of width pixels to row out_y of the output sums:
// image column x falls on output column x * out_width / width.
void add_row_to_boxes(const unsigned char* row, int width, int out_y, int out_width, uint32_t* sums)
{
    uint32_t* out_row = sums + size_t(out_y) * size_t(out_width) * 4;
    for (int x = 0; x < width; ++x) {
        uint32_t* sum = out_row + size_t(long(x) * out_width / width) * 4;
        for (int c = 0; c < 4; ++c)
            sum[c] += row[size_t(x) * 4 + c];
    }
}

// Image pixels that fall on output index i of out along an image side of size.
uint32_t box_span(int i, int size, int out)
{
    // Image index k falls on output index k * out / size: the first k of i is ceil(i * size / out).
    const long first = (long(i) * size + out - 1) / out;
    const long next = (long(i + 1) * size + out - 1) / out;
    return uint32_t(next - first);
}

// Divides every output sum by the image pixels of its box, rounding.
void take_box_means(const uint32_t* sums, int width, int height, int out_width, int out_height,
                    unsigned char* pixels)
{
    for (int y = 0; y < out_height; ++y)
        for (int x = 0; x < out_width; ++x) {
            const uint32_t count = box_span(x, width, out_width) * box_span(y, height, out_height);
            const size_t at = (size_t(y) * size_t(out_width) + size_t(x)) * 4;
            for (int c = 0; c < 4; ++c)
                pixels[at + c] = count > 0 ? static_cast<unsigned char>((sums[at + c] + count / 2) / count) : 0;
        }
}

// Reads image into an RGBA buffer of out_width x out_height, row 0 first:
// whole when that is its own size, else each output pixel the mean of the
// box of image pixels that falls on it. Closes the image; null (after a
// message naming the file) when the buffers cannot be allocated, and null
// when no output pixel is asked for (no caller asks so: the sums would be an
// empty block that every image row is added into).
unsigned char* read_pixels(SgiImage* image, const char* file_name, int out_width, int out_height)
{
    if (out_width < 1 || out_height < 1) {
        close_sgi_image(image);
        return nullptr;
    }
    const size_t row_bytes = size_t{image->xsize} * 4;
    const bool whole = out_width == image->xsize && out_height == image->ysize;
    const size_t out_bytes = size_t(out_width) * size_t(out_height) * 4;
    auto* pixels = static_cast<unsigned char*>(std::malloc(out_bytes));
    // A reduced read keeps one image row and the sums of the output pixels.
    auto* row = whole ? nullptr : static_cast<unsigned char*>(std::malloc(row_bytes));
    auto* sums = whole ? nullptr : static_cast<uint32_t*>(std::calloc(out_bytes, sizeof(uint32_t)));
    unsigned char* channel[channels_read] = {};
    bool allocated = pixels != nullptr && (whole || (row != nullptr && sums != nullptr));
    for (int c = 0; c < channels_read; ++c) {
        channel[c] = static_cast<unsigned char*>(std::malloc(image->xsize));
        allocated = allocated && channel[c] != nullptr;
    }
    if (!allocated) {
        report_problem(file_name, 0, "not enough memory for a " + std::to_string(image->xsize) + "x"
                                         + std::to_string(image->ysize) + " image; skipping", true);
        std::free(pixels);
        std::free(row);
        std::free(sums);
        release_channel_rows(channel);
        close_sgi_image(image);
        return nullptr;
    }
    for (int y = 0; y < image->ysize; ++y) {
        if (whole) {
            read_pixel_row(image, y, channel, pixels + row_bytes * y);
            continue;
        }
        read_pixel_row(image, y, channel, row);
        add_row_to_boxes(row, image->xsize, y * out_height / image->ysize, out_width, sums);
    }
    if (!whole)
        take_box_means(sums, image->xsize, image->ysize, out_width, out_height, pixels);
    close_sgi_image(image);
    release_channel_rows(channel);
    std::free(row);
    std::free(sums);
    return pixels;
}

} // namespace

// Reads a whole image as RGBA, row 0 first; null (after a message naming the
// file) when the size is unusable or the buffers cannot be allocated.
unsigned char* read_sgi_image(const char* file_name, int* width, int* height, int* components)
{
    bool reduced = false;
    return read_sgi_image_fitted(file_name, 0, width, height, components, &reduced);
}

// Like read_sgi_image, but an image too large to hold whole comes back
// box-filtered to side x side (and *reduced set), read one row at a time;
// side 0 refuses such an image as read_sgi_image does.
unsigned char* read_sgi_image_fitted(const char* file_name, int side, int* width, int* height,
                                     int* components, bool* reduced)
{
    SgiImage* image = open_sgi_image(file_name);
    *width = image->xsize;
    *height = image->ysize;
    *components = image->zsize;
    if (!image_size_is_usable(image, file_name, side > 0)) {
        close_sgi_image(image);
        return nullptr;
    }
    *reduced = pixel_count(image) > max_image_pixels;
    return *reduced ? read_pixels(image, file_name, side, side)
                    : read_pixels(image, file_name, image->xsize, image->ysize);
}
