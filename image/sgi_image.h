// sgi_image.h -- reader for SGI (.rgb) image files.
#pragma once

#include <cstdint>
#include <cstdio>

struct SgiImage {
    uint16_t magic;       // header field, host order
    uint16_t type;        // run-length encoded when (type & 0xFF00) == 0x0100
    uint16_t dimension;   // header field
    uint16_t xsize;       // width, pixels
    uint16_t ysize;       // height, rows
    uint16_t zsize;       // channels
    FILE* file;           // the open file, binary mode
    unsigned char* row_buffer; // one compressed row as read from the file
    uint32_t* row_start;  // run-length files: row offsets
    uint32_t* row_size;   // run-length files: row lengths, bytes
    long long file_size;  // bytes in the file; nothing is read at or past it
    unsigned char* contents; // the whole file when it is small enough to hold, else null
};

// Opens an image and reads its header and row tables; ends the program on failure.
SgiImage* open_sgi_image(const char* file_name);
// Fills row with the xsize bytes of row y of channel z.
void read_sgi_row(SgiImage* image, unsigned char* row, int y, int z);
// The bytes the file must hold for all its header and row tables promise:
// both row tables whole, and every row the reader takes, a compressed row no
// further than the row buffer holds. A shorter file reads as black beyond its end.
unsigned long long sgi_bytes_promised(const SgiImage* image);
// Closes the file and releases the image with its buffers.
void close_sgi_image(SgiImage* image);
// Reads a whole image as RGBA, row 0 first; null when it cannot.
unsigned char* read_sgi_image(const char* file_name, int* width, int* height, int* components);
// Like read_sgi_image, but an image too large to hold whole comes back
// box-filtered to side x side (and *reduced set), read one row at a time.
unsigned char* read_sgi_image_fitted(const char* file_name, int side, int* width, int* height,
                                     int* components, bool* reduced);
