// colour_table.h -- the named colours, handed to OpenGL scaled to 0..1.
#pragma once

#include "common/hash_table.h"

struct ColourEntry {
    uint32_t red, green, blue;  // 0 to 255
    char name[20];              // at most 19 characters
};

class ColourTable {
public:
    ColourTable();
    ~ColourTable();
    ColourTable(const ColourTable&) = delete;
    ColourTable& operator=(const ColourTable&) = delete;

    // Replaces the entry array by an empty one of the given capacity.
    void resize(int new_capacity);
    // Appends a colour and registers its name in the index.
    void add(const char* name, unsigned red, unsigned green, unsigned blue);
    // Components of entry i, scaled by 1/255.
    double red(int i) const;
    double green(int i) const;
    double blue(int i) const;
    // Makes the named colour OpenGL's current colour.
    void set_gl_colour(const char* name) const;
    // Writes entry i (or the named colour) as RGBA floats.
    void fill_rgba(int i, float alpha, float out[4]) const;
    void fill_rgba(const char* name, float alpha, float out[4]) const;
    // Releases the entry array.
    void clear();

    int32_t capacity;       // entries the array holds
    int32_t count;          // entries in use
    ColourEntry* entries;   // the colours, in order of adding
    HashTable* index;       // colour name to id (entry id - 1)
};

// The one colour table of the process.
extern ColourTable colour_table;

// Fills the colour table with the ten named colours.
void define_colours();
