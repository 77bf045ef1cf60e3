// floor_plan.cpp -- the loaded floor plan and the reader of plan files.
//
// Sections: the plan and its names; wall order; the bounded token reader;
// the sections of a plan file; read_plan.
#include "plan/floor_plan.h"

#include "common/console_note.h"
#include "common/process_exit.h"
#include "common/token_scan.h"
#include "common/state.h"
#include "common/data_path.h"

#include <cmath>     // Required for: std::isfinite(), std::isinf()
#include <cstdio>    // Required for: std::FILE, std::fopen(), std::ferror(), std::fclose()
#include <cstdlib>   // Required for: std::strtof()
#include <cstring>   // Required for: std::strlen()
#include <string>    // Required for: std::string

// ---------------------------------------------------------------------------
// The plan and its names

// Zero until the first read, except that no room visit has added segments.
FloorPlan floor_plan = {0.0f, 0.0f, 0.0f, 0.0f, {}, 0, 0, {}, 0, {}, 0,
                        0.0f, 0.0f, 0.0f, 0.0f, -1};

const char plan_file_names[plan_name_count + 1][plan_name_size] = {
    "", "plan.dat", "plan2.dat", "plan3.dat"};

namespace {

constexpr std::size_t max_token_length = 63; // characters of one number in a plan file

} // namespace

// ---------------------------------------------------------------------------
// Wall order

// Orders walls by the weight 1000 x1 + 100 x2 + 10 z1 + z2; -1, 0 or 1.
int compare_segments(const WallSegment& a, const WallSegment& b)
{
    if (a.x1 == b.x1 && a.x2 == b.x2 && a.z1 == b.z1 && a.z2 == b.z2)
        return 0;
    const double d = 1000.0 * (double(a.x1) - double(b.x1)) + 100.0 * (double(a.x2) - double(b.x2))
                     + 10.0 * (double(a.z1) - double(b.z1)) + (double(a.z2) - double(b.z2));
    if (d < 0.0)
        return -1;
    if (d > 0.0)
        return 1;
    return 0;
}

// True when the four coordinates are equal exactly.
bool same_segment(const WallSegment& a, const WallSegment& b)
{
    return a.x1 == b.x1 && a.z1 == b.z1 && a.x2 == b.x2 && a.z2 == b.z2;
}

namespace {

// Sorts walls[0..n) ascending. An insertion sort with an index guard: the
// weighted comparison need not be a strict weak order for extreme values,
// and this loop stays inside the array whatever it answers.
void sort_walls(WallSegment* walls, int n)
{
    for (int i = 1; i < n; ++i) {
        const WallSegment moving = walls[i];
        int j = i;
        while (j > 0 && compare_segments(moving, walls[j - 1]) < 0) {
            walls[j] = walls[j - 1];
            --j;
        }
        walls[j] = moving;
    }
}

// Sorts the n walls just read and keeps one of each run of exact equals.
void sort_and_merge_walls(int n)
{
    WallSegment* walls = floor_plan.walls;
    sort_walls(walls, n);
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        if (kept == 0 || !same_segment(walls[i], walls[kept - 1]))
            walls[kept++] = walls[i];
    }
    floor_plan.wall_count = kept;
}

// ---------------------------------------------------------------------------
// The bounded token reader

// Names a field for messages: "the wall count" names itself; records are
// named "wall 3 of 5".
using FieldLabel = std::string;

FieldLabel record_label(const char* kind, int32_t number, int32_t total)
{
    return std::string(kind) + " " + std::to_string(number) + " of " + std::to_string(total);
}

// Reads the numbers of one plan file through a token buffer of fixed size,
// converting each as it is read, and reports every problem on the console
// with the file's name.
class PlanReader {
public:
    PlanReader(std::FILE* file, const std::string& name) : file_(file), name_(name) {}

    // Reads a 32-bit signed whole number; false (reported) if there is none.
    bool read_int(int32_t& value, const FieldLabel& label);
    // Reads one real and scales it to a float in world units.
    bool read_real(float& value, double scale, const FieldLabel& label);
    // Reads a plan point (x, y) as world x and z.
    bool read_point(float& x, float& z, const FieldLabel& label);
    // A count, limited to 0..capacity with a message when it is not.
    int32_t kept_count(int32_t count, int32_t capacity, const char* kind, const char* plural);
    // Reports "<file>: <text>" after ending the progress line.
    void warn(const std::string& text);
    // Ends the progress line with "done!".
    void finish();

private:
    bool fetch_number_token(const FieldLabel& label);
    bool stop(const char* problem, const FieldLabel& label);
    std::string shown_token() const;
    // True when the token holds no zero byte, so that its text is all of it.
    bool token_is_text() const { return std::strlen(token_) == token_length_; }

    std::FILE* file_;
    const std::string& name_;
    char token_[max_token_length + 1] = {}; // the current token, zero-terminated
    std::size_t token_length_ = 0;          // characters kept in token_
    bool token_cut_ = false;                // the token was longer than max_token_length
    bool line_open_ = true;                 // the "Reading plan" line awaits its end
};

// Shows the token with anything unprintable as '?', so that garbage bytes
// cannot disturb the console.
std::string PlanReader::shown_token() const
{
    return "\"" + shown_text(token_, token_length_) + (token_cut_ ? "...\"" : "\"");
}

void PlanReader::warn(const std::string& text)
{
    if (line_open_)
        report_text(name_.c_str(), "\n", NoteForm::progress);
    line_open_ = false;
    report_problem(name_.c_str(), 0, text);
}

void PlanReader::finish()
{
    report_text(name_.c_str(), "done!\n", NoteForm::progress);
    line_open_ = false;
}

// Reports why reading stops; always false, for the caller to return.
bool PlanReader::stop(const char* problem, const FieldLabel& label)
{
    const std::string what = problem == nullptr ? (std::ferror(file_) ? "read error" : "file ends early")
                                                : shown_token() + " " + problem;
    warn(what + " while reading " + label + "; keeping what was read before it");
    return false;
}

// Fetches the next token for a number; false (reported) if there is none.
bool PlanReader::fetch_number_token(const FieldLabel& label)
{
    const std::size_t length = read_token(file_, token_, sizeof token_);
    token_cut_ = length > max_token_length;
    token_length_ = token_cut_ ? max_token_length : length;
    if (length == 0)
        return stop(nullptr, label);
    if (token_cut_)
        return stop("is too long to be a number", label);
    return true;
}

// The whole token must be a decimal integer, so "2.5" is no count and "1x" no number.
bool PlanReader::read_int(int32_t& value, const FieldLabel& label)
{
    if (!fetch_number_token(label))
        return false;
    int32_t parsed = 0;
    const ScanResult result = token_is_text() ? scan_int32(token_, &parsed) : ScanResult::not_a_number;
    if (result == ScanResult::out_of_range)
        return stop("is out of range", label);
    if (result == ScanResult::not_a_number)
        return stop("is not a whole number", label);
    value = parsed;
    return true;
}

// Like read_int; a value too large for a float, or too large once scaled to
// world units, is out of range, so no infinity or NaN enters the plan.
bool PlanReader::read_real(float& value, double scale, const FieldLabel& label)
{
    if (!fetch_number_token(label))
        return false;
    if (!token_is_text() || !is_decimal_number(token_))
        return stop("is not a number", label);
    const float parsed = std::strtof(token_, nullptr);  // as float at once, as the plan stores it
    if (std::isinf(parsed))
        return stop("is out of range", label);
    const float world = static_cast<float>(parsed * scale);
    if (!std::isfinite(world))
        return stop("is out of range", label);
    value = world;
    return true;
}

bool PlanReader::read_point(float& x, float& z, const FieldLabel& label)
{
    float world_x = 0.0f;
    float world_z = 0.0f;
    if (!read_real(world_x, plan_scale_x, label) || !read_real(world_z, plan_scale_z, label))
        return false;
    x = world_x;
    z = world_z;
    return true;
}

int32_t PlanReader::kept_count(int32_t count, int32_t capacity, const char* kind,
                               const char* plural)
{
    const std::string counted = std::string(kind) + " count " + std::to_string(count);
    if (count < 0) {
        warn(counted + " is negative; reading no " + plural);
        return 0;
    }
    if (count > capacity) {
        warn(counted + " exceeds capacity " + std::to_string(capacity) + "; keeping the first "
             + std::to_string(capacity));
        return capacity;
    }
    return count;
}

// ---------------------------------------------------------------------------
// The sections of a plan file

// Everything a read replaces starts empty, so that a file that ends early
// leaves no value of the previous plan mixed into the new one.
void reset_plan_for_reading()
{
    floor_plan.floor_x1 = floor_plan.floor_z1 = 0.0f;
    floor_plan.floor_x2 = floor_plan.floor_z2 = 0.0f;
    floor_plan.wall_count = 0;
    floor_plan.table_wall_count = 0;
    floor_plan.visit_wall_start = -1;
    floor_plan.lintel_count = 0;
    floor_plan.table_count = 0;
    floor_plan.start_x = floor_plan.start_z = 0.0f;
    floor_plan.mark_x = floor_plan.mark_z = 0.0f;
}

// Reads the two opposite corners of the floor.
bool read_floor_rectangle(PlanReader& reader)
{
    const FieldLabel label = "the floor rectangle";
    float x1 = 0.0f, z1 = 0.0f, x2 = 0.0f, z2 = 0.0f;
    if (!reader.read_point(x1, z1, label) || !reader.read_point(x2, z2, label))
        return false;
    floor_plan.floor_x1 = x1;
    floor_plan.floor_z1 = z1;
    floor_plan.floor_x2 = x2;
    floor_plan.floor_z2 = z2;
    return true;
}

// Reads one segment record; store is null for a record beyond capacity,
// which is read (to keep the file's layout) and dropped.
bool read_segment(PlanReader& reader, WallSegment* store, const FieldLabel& label)
{
    WallSegment s{};
    if (!reader.read_point(s.x1, s.z1, label) || !reader.read_point(s.x2, s.z2, label))
        return false;
    if (store != nullptr)
        *store = s;
    return true;
}

// Reads the wall count and the walls, then sorts them and drops duplicates.
bool read_walls(PlanReader& reader)
{
    int32_t total = 0;
    if (!reader.read_int(total, FieldLabel("the wall count")))
        return false;
    const int32_t kept = reader.kept_count(total, max_walls, "wall", "walls");
    int32_t stored = 0;
    bool complete = true;
    for (int32_t i = 0; i < total && complete; ++i) {
        WallSegment* store = i < kept ? &floor_plan.walls[i] : nullptr;
        complete = read_segment(reader, store, record_label("wall", i + 1, total));
        if (complete && store != nullptr)
            ++stored;
    }
    sort_and_merge_walls(stored);
    return complete;
}

// Reads the lintel count and the lintels, in file order.
bool read_lintels(PlanReader& reader)
{
    int32_t total = 0;
    if (!reader.read_int(total, FieldLabel("the lintel count")))
        return false;
    const int32_t kept = reader.kept_count(total, max_lintels, "lintel", "lintels");
    for (int32_t i = 0; i < total; ++i) {
        WallSegment* store = i < kept ? &floor_plan.lintels[i] : nullptr;
        if (!read_segment(reader, store, record_label("lintel", i + 1, total)))
            return false;
        if (store != nullptr)
            floor_plan.lintel_count = i + 1;
    }
    return true;
}

// Appends a blocking table's segments if they fit, else says they are dropped.
void block_table(PlanReader& reader, const TablePlacement& table, const FieldLabel& label)
{
    if (add_table_walls(table.x, table.z))
        return;
    reader.warn(table_block_refusal(label));
}

// Reads the tables; each of kind 2 gets its four blocking segments.
bool read_tables(PlanReader& reader)
{
    int32_t total = 0;
    if (!reader.read_int(total, FieldLabel("the table count")))
        return false;
    floor_plan.table_wall_count = 0;
    floor_plan.visit_wall_start = -1;
    const int32_t kept = reader.kept_count(total, max_tables, "table", "tables");
    for (int32_t i = 0; i < total; ++i) {
        const FieldLabel label = record_label("table", i + 1, total);
        TablePlacement table{};
        if (!reader.read_point(table.x, table.z, label) || !reader.read_int(table.kind, label))
            return false;
        if (i >= kept)
            continue;
        floor_plan.tables[i] = table;
        floor_plan.table_count = i + 1;
        if (table.kind == blocking_table_kind)
            block_table(reader, table, label);
    }
    return true;
}

// Reads the start point and the point after it.
bool read_points(PlanReader& reader)
{
    if (!reader.read_point(floor_plan.start_x, floor_plan.start_z,
                           FieldLabel("the start point")))
        return false;
    return reader.read_point(floor_plan.mark_x, floor_plan.mark_z,
                             FieldLabel("the point after the start point"));
}

// ---------------------------------------------------------------------------
// read_plan

// The command-line name once (ending the program if it cannot be opened),
// else the built-in name of the plan choice.
std::string chosen_plan_file_name()
{
    if (viewer_state.plan_from_command_line) {
        const std::string& name = viewer_state.plan_file_name;
        std::FILE* probe = std::fopen(name.c_str(), "r");
        if (probe == nullptr) {
            report_text(name.c_str(), "Cannot read maze from file \"" + name + "\"....exiting!\n",
                        NoteForm::plain);
            end_program(-1);
        }
        std::fclose(probe);
        viewer_state.plan_from_command_line = 0;
        return name;
    }
    const int choice = viewer_state.plan_choice;
    // A choice outside 1..3 names no file and takes the cannot-open path.
    const bool known = choice >= 1 && choice <= plan_name_count;
    return plan_file_names[known ? choice : 0];
}

} // namespace

// Reads the chosen plan file into floor_plan, in world units, with the walls
// sorted and free of exact duplicates.
void read_plan()
{
    const std::string name = data_file_path(chosen_plan_file_name());
    std::FILE* file = std::fopen(name.c_str(), "r");
    if (file == nullptr) {
        report_text(name.c_str(), "Couldn't open file \"" + name + "\"!!!\n", NoteForm::plain, true);
        return;
    }
    report_text(name.c_str(), "Reading plan from file \"" + name + "\".....", NoteForm::progress);
    PlanReader reader(file, name);
    reset_plan_for_reading();
    const bool complete = read_floor_rectangle(reader) && read_walls(reader)
                          && read_lintels(reader) && read_tables(reader)
                          && read_points(reader);
    std::fclose(file);
    if (complete)
        reader.finish();
}

// Appends the four segments of the 1.1 x 1.0 block of a table at (x, z);
// false (and nothing appended) when they would not fit in the wall table.
bool add_table_walls(float x, float z)
{
    const int k = floor_plan.wall_count + floor_plan.table_wall_count;
    if (!table_block_fits(k))
        return false;
    const float x_end = static_cast<float>(x + table_block_length);
    const float x_side = static_cast<float>(x + table_block_side);
    const float z_far = static_cast<float>(z + table_block_side);
    WallSegment* block = &floor_plan.walls[k];
    block[0] = WallSegment{x, z, x_end, z};
    block[1] = WallSegment{x, z_far, x_end, z_far};
    block[2] = WallSegment{x_side, z_far, x_side, z};
    block[3] = WallSegment{x, z, x, z_far};
    floor_plan.table_wall_count += table_block_segments;
    return true;
}
