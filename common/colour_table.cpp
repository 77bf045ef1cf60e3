// colour_table.cpp -- the named colours and the one process-wide colour table.
#include "common/colour_table.h"

#include <GL/gl.h>  // Required for: glColor3f()

#include <cstring>  // Required for: std::memcpy(), std::strlen()
#include <iostream> // Required for: std::cerr, std::endl

namespace {

constexpr int initial_capacity = 100;     // entries before define_colours runs
constexpr int index_size = 100;           // names the index accepts, ever
constexpr int defined_capacity = 20;      // entries after define_colours
constexpr size_t name_capacity = sizeof(ColourEntry::name); // bytes, terminator included
constexpr double component_scale = 1.0 / 255.0; // 0..255 to 0..1, as a multiplier

} // namespace

ColourTable colour_table;

// Starts with room for 100 colours and an empty index of 100 names.
ColourTable::ColourTable()
    : capacity(initial_capacity), count(0),
      entries(new ColourEntry[initial_capacity]), index(new HashTable(index_size))
{
}

// Releases the entries, then the index with its names.
ColourTable::~ColourTable()
{
    clear();
    delete index;
}

// Replaces the entry array by an empty one; the index keeps its names.
void ColourTable::resize(int new_capacity)
{
    if (capacity != 0)
        delete[] entries;
    capacity = new_capacity < 0 ? 0 : new_capacity;
    entries = new ColourEntry[capacity];
    count = 0;
}

// Appends a colour; a colour that would overflow the array or the name
// field is refused with a message rather than written past either.
void ColourTable::add(const char* name, unsigned red, unsigned green, unsigned blue)
{
    const size_t length = std::strlen(name);
    if (count >= capacity) {
        std::cerr << "ColourTable: no room for colour \"" << name << "\" (capacity "
                  << capacity << "); colour ignored" << std::endl;
        return;
    }
    if (length >= name_capacity) {
        std::cerr << "ColourTable: colour name \"" << name << "\" is longer than "
                  << name_capacity - 1 << " characters; colour ignored" << std::endl;
        return;
    }
    ColourEntry& entry = entries[count];
    std::memcpy(entry.name, name, length + 1);
    index->id_of(name);
    entry.red = red;
    entry.green = green;
    entry.blue = blue;
    ++count;
}

// The components of entry i scaled to 0..1; 0.0 for an entry not in use.
double ColourTable::red(int i) const
{
    return (i >= 0 && i < count) ? entries[i].red * component_scale : 0.0;
}

double ColourTable::green(int i) const
{
    return (i >= 0 && i < count) ? entries[i].green * component_scale : 0.0;
}

double ColourTable::blue(int i) const
{
    return (i >= 0 && i < count) ? entries[i].blue * component_scale : 0.0;
}

// Makes the named colour current; an unknown name changes nothing.
void ColourTable::set_gl_colour(const char* name) const
{
    const int i = index->find_id(name) - 1;
    if (i < 0 || i >= count)
        return;
    glColor3f(static_cast<float>(red(i)), static_cast<float>(green(i)),
              static_cast<float>(blue(i)));
}

// Writes entry i as RGBA; an entry not in use leaves out untouched.
void ColourTable::fill_rgba(int i, float alpha, float out[4]) const
{
    if (i < 0 || i >= count)
        return;
    out[0] = static_cast<float>(red(i));
    out[1] = static_cast<float>(green(i));
    out[2] = static_cast<float>(blue(i));
    out[3] = alpha;
}

// Writes the named colour as RGBA; an unknown name leaves out untouched.
void ColourTable::fill_rgba(const char* name, float alpha, float out[4]) const
{
    fill_rgba(index->find_id(name) - 1, alpha, out);
}

// Releases the entry array and empties the table.
void ColourTable::clear()
{
    delete[] entries;
    entries = nullptr;
    capacity = 0;
    count = 0;
}

// Fills the colour table with the ten named colours, ids 1 to 10 in order.
void define_colours()
{
    colour_table.resize(defined_capacity);
    colour_table.add("Background", 255, 255, 255);
    colour_table.add("White", 255, 255, 255);
    colour_table.add("Black", 0, 0, 0);
    colour_table.add("Red", 255, 0, 0);
    colour_table.add("Green", 0, 255, 0);
    colour_table.add("Blue", 0, 0, 255);
    colour_table.add("Yellow", 255, 255, 0);
    colour_table.add("Orange", 255, 128, 0);
    colour_table.add("Brown", 165, 42, 42);
    colour_table.add("RedTinted", 255, 77, 51);
}
