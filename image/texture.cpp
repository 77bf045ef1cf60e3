// texture.cpp -- loading SGI images into 256 x 256 RGBA texture objects of
// fixed numbers: a file that fails leaves its own object empty, no other.
#include "image/texture.h"

#include "image/sgi_image.h" // Required for: read_sgi_image()
#include "common/config.h"       // Required for: texture_size
#include "common/console_note.h" // Required for: report_text()
#include "common/data_path.h"    // Required for: data_file_path()

#include <GL/gl.h>  // Required for: glBindTexture(), glTexImage2D(), glTexParameteri(), glTexEnvi()
#include <GL/glu.h> // Required for: gluScaleImage(), gluErrorString()
#include <cstdlib>  // Required for: free()
#include <cstring>  // Required for: std::memcpy()
#include <fstream>  // Required for: std::ifstream
#include <string>   // Required for: std::string, std::to_string()
#include <vector>   // Required for: std::vector

// Bytes per texture pixel: red, green, blue, alpha.
constexpr int texture_pixel_bytes = 4;

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
    const GLubyte* reason = error != 0 ? gluErrorString(static_cast<GLenum>(error)) : nullptr;
    if (error != 0)
        report_text(file_name, std::string("Cannot rescale texture file \"") + file_name + "\": "
                    + (reason ? reinterpret_cast<const char*>(reason) : "") + "\n", NoteForm::plain);
    return scaled;
}

// Makes texture object number object current and fills it with the scaled
// image; a plan reload fills the same objects again.
void upload_texture(unsigned object, const std::vector<unsigned char>& scaled)
{
    glBindTexture(GL_TEXTURE_2D, object);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture_size, texture_size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, scaled.data());
}

// Empties texture object number object, so that what binds it draws untextured.
int skip_texture(unsigned object)
{
    const GLuint name = object;
    glDeleteTextures(1, &name);
    return -1;
}

} // namespace

// Loads one image file into texture object number object and returns that
// number; -1 when it was skipped, and the object is then left empty.
int load_texture(const char* name, unsigned object)
{
    const std::string path = data_file_path(name);
    const char* file_name = path.c_str();
    if (!file_can_be_opened(file_name)) {
        report_text(file_name, std::string("Cannot read texture file \"") + file_name + "\"....skipping!\n",
                    NoteForm::plain);
        return skip_texture(object);
    }
    int width = 0;
    int height = 0;
    int components = 0;
    bool reduced = false;
    unsigned char* image = read_sgi_image_fitted(file_name, texture_size, &width, &height,
                                                 &components, &reduced);
    if (!image)
        return skip_texture(object);  // the reader has said why
    report_text(file_name, std::string("Reading texture from file \"") + file_name + "\" ("
                               + std::to_string(width) + "x" + std::to_string(height) + "x"
                               + std::to_string(components) + ")\n", NoteForm::progress);
    const std::vector<unsigned char> scaled =
        reduced ? scale_to_texture(file_name, image, texture_size, texture_size)
                : scale_to_texture(file_name, image, width, height);
    upload_texture(object, scaled);
    std::free(image);
    return static_cast<int>(object);
}
