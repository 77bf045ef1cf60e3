// texture.cpp -- loading SGI images into 256 x 256 RGBA texture objects,
// numbered 1, 2, 3 ... in the order of successful loads over the whole run.
#include "image/texture.h"

#include "image/sgi_image.h" // Required for: read_sgi_image()
#include "plan/floor_plan.h"  // Required for: max_tables

#include <GL/gl.h>  // Required for: glBindTexture(), glTexImage2D(), glTexParameteri(), glTexEnvi()
#include <GL/glu.h> // Required for: gluScaleImage(), gluErrorString()
#include <cstdlib>  // Required for: free()
#include <cstring>  // Required for: std::memcpy()
#include <fstream>  // Required for: std::ifstream
#include <iostream> // Required for: std::cout
#include <vector>   // Required for: std::vector

// Every texture is rescaled to this width and height, in pixels.
constexpr int texture_size = 256;
// Bytes per texture pixel: red, green, blue, alpha.
constexpr int texture_pixel_bytes = 4;

uint32_t texture_counter = 0;

// The highest texture object the drawing ever binds: desk k binds object k,
// and a plan holds at most max_tables desks; the walls and figures use 4 to 7.
constexpr uint32_t highest_drawn_texture = max_tables;

namespace {

bool file_can_be_opened(const char* file_name)
{
    std::ifstream test(file_name);
    return test.is_open();
}

// Rescales a width x height RGBA image to texture_size x texture_size. A
// failure leaves the texture black and says so, but keeps the numbering.
std::vector<unsigned char> scale_to_texture(const char* file_name, const unsigned char* image,
                                            int width, int height)
{
    std::vector<unsigned char> scaled(size_t{texture_size} * texture_size * texture_pixel_bytes);
    // At the texture's own size the rescaling is a plain copy, and a slow
    // one: GLU converts every sample through floating point and back.
    if (width == texture_size && height == texture_size) {
        std::memcpy(scaled.data(), image, scaled.size());
        return scaled;
    }
    const GLint error = gluScaleImage(GL_RGBA, width, height, GL_UNSIGNED_BYTE, image,
                                      texture_size, texture_size, GL_UNSIGNED_BYTE, scaled.data());
    if (error != 0)
        std::cout << "Cannot rescale texture file \"" << file_name << "\": "
                  << gluErrorString(static_cast<GLenum>(error)) << std::endl;
    return scaled;
}

// Makes the next texture object current and fills it with the scaled image.
// Every plan reload loads the seven images again into new objects; a number
// above the highest one the drawing binds is counted but gets no object, so
// a kiosk whose plan is reloaded for weeks does not pile up 256 KB images
// that are never shown.
void upload_texture(const std::vector<unsigned char>& scaled)
{
    ++texture_counter;
    if (texture_counter > highest_drawn_texture)
        return;
    glBindTexture(GL_TEXTURE_2D, texture_counter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture_size, texture_size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, scaled.data());
}

} // namespace

// Loads one image file into a new texture object; -1 when it was skipped,
// otherwise the number of the new texture object.
int load_texture(const char* file_name)
{
    if (!file_can_be_opened(file_name)) {
        std::cout << "Cannot read texture file \"" << file_name << "\"....skipping!" << std::endl;
        return -1;
    }
    int width = 0;
    int height = 0;
    int components = 0;
    unsigned char* image = read_sgi_image(file_name, &width, &height, &components);
    if (!image)
        return -1; // the reader has said why; like an unreadable file, no number is taken
    std::cout << "Reading texture from file \"" << file_name << "\" (" << width << "x" << height
              << "x" << components << ")" << std::endl;
    const std::vector<unsigned char> scaled = scale_to_texture(file_name, image, width, height);
    upload_texture(scaled);
    std::free(image);
    return static_cast<int>(texture_counter);
}
