// image_test_support.h -- hand-made SGI files in a private temporary folder
// for the image tests.
#pragma once

#include <GL/freeglut.h>  // Required for: glutInit(), glutCreateWindow()
#include <stdlib.h>  // Required for: mkdtemp()

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace image_test {

using Bytes = std::vector<unsigned char>;

// The six leading fields of an SGI header, verbatim one byte a sample by default.
struct Header {
    uint16_t magic = 474;
    uint16_t type = 0x0001;
    uint16_t dimension = 3;
    uint16_t xsize = 0;
    uint16_t ysize = 0;
    uint16_t zsize = 0;
};

inline void put_16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

// The 512-byte header with the six fields set and the rest zero.
inline Bytes header_bytes(const Header& h)
{
    Bytes out;
    for (unsigned field : {h.magic, h.type, h.dimension, h.xsize, h.ysize, h.zsize})
        put_16(out, field);
    out.resize(512, 0);
    return out;
}

// A verbatim file: header, then the planes as given (row y of channel z at
// (y + z * ysize) * xsize).
inline Bytes verbatim_file(const Header& h, const Bytes& planes)
{
    Bytes out = header_bytes(h);
    out.insert(out.end(), planes.begin(), planes.end());
    return out;
}

// Opens one small GLUT window the first time, so that a GL context is current.
inline void ensure_gl_context()
{
    static bool ready = false;
    if (ready)
        return;
    int argc = 1;
    char name[] = "image_test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("image test");
    ready = true;
}

// A private folder for the files of one test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vevuv-image-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(file(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file(name);
    }
    bool ok() const { return !path_.empty(); }

private:
    std::string path_;
};

} // namespace image_test
