// texture_check.cpp -- the seven texture files: read by the viewer's image
// reader, then checked for their size and for data the header promises.
#include <cstdlib>     // Required for: std::free()

#include "common/config.h"
#include "image/sgi_image.h"
#include "maintainer/check_parts.h"

namespace {

// Errors when the file is shorter than its header and row tables call for.
void check_length(BuildingReport& report, const std::string& file)
{
    unsigned long long needed = 0;
    long long size = 0;  // as the reader finds it
    {
        ReaderNotes notes;
        try {
            SgiImage* image = open_sgi_image(file.c_str());
            needed = sgi_bytes_promised(image);
            size = image->file_size;
            close_sgi_image(image);
        } catch (const ProgramEnded&) {
            notes.add_to(report, file);
            return;
        }
    }
    if (static_cast<unsigned long long>(size) < needed)
        add_finding(report, Severity::error, file, 0, "",
                    "has " + std::to_string(size) + " bytes, but its header and row tables call for "
                        + std::to_string(needed) + "; the missing part reads as black");
}

// Reads one texture as the viewer does; false when the viewer cannot use it.
bool read_texture(BuildingReport& report, const std::string& file, int* width, int* height)
{
    ReaderNotes notes;
    unsigned char* pixels = nullptr;
    int components = 0;
    try {
        bool reduced = false;
        pixels = read_sgi_image_fitted(file.c_str(), texture_size, width, height, &components, &reduced);
    } catch (const ProgramEnded&) {
        notes.add_to(report, file, "the viewer ends at start-up");
        return false;
    }
    const bool usable = pixels != nullptr;
    notes.add_to(report, file, usable ? "" : "the viewer cannot use it");
    std::free(pixels);
    return usable;
}

void check_texture(BuildingReport& report, const std::string& file)
{
    const std::string failure = open_failure(file);
    if (!failure.empty()) {
        add_finding(report, Severity::error, file, 0, "",
                    "cannot be opened (" + failure
                        + "); the viewer skips it and draws what it dresses untextured");
        return;
    }
    int width = 0, height = 0;
    if (!read_texture(report, file, &width, &height))
        return;
    check_length(report, file);
    if (width != texture_size || height != texture_size)
        add_finding(report, Severity::warning, file, 0, "",
                    "is " + std::to_string(width) + " x " + std::to_string(height)
                        + " pixels; the viewer rescales it to " + std::to_string(texture_size)
                        + " x " + std::to_string(texture_size));
}

} // namespace

// Reads the seven textures the viewer loads.
void check_textures(BuildingReport& report)
{
    for (const char* file : texture_files)
        check_texture(report, file);
}
