// texture.h -- loading SGI images into 256 x 256 RGBA texture objects.
#pragma once

#include <cstdint>

// Texture objects made so far; the next load takes the next number.
extern uint32_t texture_counter;

// Loads one image file into a new texture object; -1 when it was skipped.
int load_texture(const char* file_name);
