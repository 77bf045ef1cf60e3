// texture.h -- loading SGI images into 256 x 256 RGBA texture objects.
#pragma once

#include <cstdint>

// Loads one image file into texture object number object and returns that
// number; -1 when it was skipped, and the object is then left empty (drawn
// untextured) whatever it held before.
int load_texture(const char* file_name, unsigned object);
