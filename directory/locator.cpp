// locator.cpp -- the room locator file: reading qor3rdfloor.inp into the
// table of room boxes, the position search, and lookup_room.
#include "directory/locator.h"

#include <sys/stat.h>  // Required for: stat(), fstat(), S_ISDIR()

#include <cerrno>   // Required for: errno, EISDIR
#include <cfloat>   // Required for: FLT_MAX
#include <cmath>    // Required for: std::fabs(), std::fmax()
#include <cstdio>   // Required for: std::FILE, std::fopen(), std::getc(), fileno()
#include <cstring>  // Required for: std::strcmp(), std::memcpy(), std::strlen(), std::strerror()
#include <string>   // Required for: std::string
#include "common/console_note.h"
#include "common/process_exit.h"
#include "common/state.h"  // Required for: plan_scale_x, plan_scale_z
#include "common/token_scan.h"
#include "common/data_path.h"

LocatorEntry locator_table[max_locator_records];
int32_t locator_searchable_count = 0;
int32_t lookup_call_count = 0;

namespace {

bool locator_unreadable = false;  // flag: the last read could not open the file (carry_on only)

// What tells one state of a file from another: identity, kind and
// permissions, size, and the times of its last change.
struct FileStamp {
    dev_t device;
    ino_t inode;
    mode_t mode;
    off_t size;
    long seconds, nanoseconds;              // last change of the contents
    long status_seconds, status_nanoseconds; // last change of the status (chmod)
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && mode == o.mode && size == o.size
            && seconds == o.seconds && nanoseconds == o.nanoseconds
            && status_seconds == o.status_seconds && status_nanoseconds == o.status_nanoseconds;
    }
};

FileStamp stamp_of(const struct stat& s)
{
    return {s.st_dev, s.st_ino, s.st_mode, s.st_size, long(s.st_mtim.tv_sec), long(s.st_mtim.tv_nsec),
            long(s.st_ctim.tv_sec), long(s.st_ctim.tv_nsec)};
}

// A failure to open the locator file, with the state of the file then.
struct OpenFailure {
    int error = 0;       // errno of the failed open; 0: no failure
    FileStamp file = {}; // zeros when stat failed too
    bool operator==(const OpenFailure& o) const { return error == o.error && file == o.file; }
};
// The failure last reported: the same failure of an unchanged file is not
// reported again at every lookup. Cleared by a read that opens the file.
OpenFailure reported_failure;

bool locator_read_before = false;  // flag: a read opened the file; last_read_stamp is its state
FileStamp last_read_stamp{};

constexpr const char* locator_file_name = "qor3rdfloor.inp";
constexpr const char* header_end_word = "description";
constexpr int shape_with_ten_points = 5;
constexpr int plain_point_count = 6;  // points of every other shape

enum class ReadStatus { ok, end_of_file, not_a_number, out_of_range };

// Largest coordinate, plan units, whose world position is still a float.
const double largest_coordinate = FLT_MAX / std::fmax(std::fabs(plan_scale_x), std::fabs(plan_scale_z));

// The open locator file and the one bounded buffer every token is read into.
struct LocatorReader {
    std::FILE* file;
    char token[locator_token_size];  // the last token, cut to fit
    bool token_cut;                  // flag: the last token was longer than the buffer
};

// The token as it may be shown on the console.
std::string shown(const char* token) { return shown_text(token, std::strlen(token)); }

// Reads the next white-space separated token into the buffer, keeping at most
// locator_token_size - 1 characters and dropping the rest of a longer token
// with a console note. False at the end of the file.
bool next_token(LocatorReader& reader)
{
    const std::size_t length = read_token(reader.file, reader.token, sizeof reader.token);
    reader.token_cut = length > sizeof reader.token - 1;
    if (reader.token_cut)
        report_problem(locator_file_name, 0, "a token of " + std::to_string(length)
                       + " characters is longer than " + std::to_string(locator_token_size - 1)
                       + "; cut to \"" + shown(reader.token) + "\"");
    return length > 0;
}

// Reads the next token as a 32-bit decimal integer.
ReadStatus read_integer(LocatorReader& reader, int32_t* value)
{
    if (!next_token(reader))
        return ReadStatus::end_of_file;
    if (reader.token_cut || scan_int32(reader.token, value) != ScanResult::ok)
        return ReadStatus::not_a_number;
    return ReadStatus::ok;
}

// Reads the next token as a decimal number within the float range, and
// small enough that its world position is a float as well.
ReadStatus read_float(LocatorReader& reader, float* value)
{
    if (!next_token(reader))
        return ReadStatus::end_of_file;
    bool out_of_range = false;
    if (reader.token_cut || !is_decimal_number(reader.token))
        return ReadStatus::not_a_number;
    *value = to_float(reader.token, &out_of_range);
    if (out_of_range)
        return ReadStatus::not_a_number;
    return std::fabs(double(*value)) > largest_coordinate ? ReadStatus::out_of_range : ReadStatus::ok;
}

// Skips the header up to and including the word "description".
bool skip_header(LocatorReader& reader)
{
    while (next_token(reader))
        if (std::strcmp(reader.token, header_end_word) == 0)
            return true;
    report_problem(locator_file_name, 0, std::string("the file ends before \"") + header_end_word
                                             + "\" closes its header; no rooms read");
    return false;
}

// The name is the name token without its first and last character; a name
// longer than the field is cut with a console note.
void store_name(LocatorEntry& entry, const char* token)
{
    std::size_t token_length = std::strlen(token);
    std::size_t length = token_length > 2 ? token_length - 2 : 0;
    if (length > static_cast<std::size_t>(locator_name_size - 1)) {
        report_problem(locator_file_name, 0, "room name in \"" + shown(token) + "\" is longer than "
                                                 + std::to_string(locator_name_size - 1)
                                                 + " characters; cut to fit");
        length = locator_name_size - 1;
    }
    if (length > 0)
        std::memcpy(entry.name, token + 1, length);
    entry.name[length] = '\0';
}

// Reads the record's points (ten for shape 5, else six), x then y per point.
ReadStatus read_points(LocatorReader& reader, LocatorEntry& entry)
{
    int count = entry.shape == shape_with_ten_points ? locator_point_count : plain_point_count;
    for (int k = 0; k < count; ++k) {
        ReadStatus status = read_float(reader, &entry.point_x[k]);
        if (status == ReadStatus::ok)
            status = read_float(reader, &entry.point_y[k]);
        if (status != ReadStatus::ok)
            return status;
    }
    return ReadStatus::ok;
}

// Sets the bounding box of the record's points (six or ten of them).
void compute_box(LocatorEntry& entry)
{
    int count = entry.shape == shape_with_ten_points ? locator_point_count : plain_point_count;
    entry.min_x = entry.max_x = entry.point_x[0];
    entry.min_y = entry.max_y = entry.point_y[0];
    for (int k = 1; k < count; ++k) {
        if (entry.point_x[k] < entry.min_x) entry.min_x = entry.point_x[k];
        if (entry.point_x[k] > entry.max_x) entry.max_x = entry.point_x[k];
        if (entry.point_y[k] < entry.min_y) entry.min_y = entry.point_y[k];
        if (entry.point_y[k] > entry.max_y) entry.max_y = entry.point_y[k];
    }
}

// The console note for a read that stopped early; the records before stay.
void report_stop(ReadStatus status, const LocatorReader& reader, int room, int kept)
{
    const std::string keeping = "; keeping the " + std::to_string(kept) + " rooms read";
    if (status == ReadStatus::not_a_number || status == ReadStatus::out_of_range)
        report_problem(locator_file_name, 0, "room " + std::to_string(room) + ": \"" + shown(reader.token)
                                                 + (status == ReadStatus::not_a_number ? "\" is not a number"
                                                                                       : "\" is out of range")
                                                 + keeping);
    else
        report_problem(locator_file_name, 0, "the file ends inside room " + std::to_string(room) + keeping);
}

// Reads the records after the header into the table; the number stored.
int read_records(LocatorReader& reader)
{
    int count = 0;
    for (;;) {
        int32_t shape = 0;
        ReadStatus status = read_integer(reader, &shape);
        if (status == ReadStatus::end_of_file) {
            report_problem(locator_file_name, 0, "the file ends before the terminating 0; keeping the "
                                                     + std::to_string(count) + " rooms read");
            return count;
        }
        if (status != ReadStatus::ok) {
            report_stop(status, reader, count + 1, count);
            return count;
        }
        // 0 ends the list, from the second record on; the token after it goes too.
        if (shape == 0 && count > 0) {
            next_token(reader);
            return count;
        }
        if (count == max_locator_records) {
            const std::string most = std::to_string(max_locator_records);
            report_problem(locator_file_name, 0, "more than " + most + " rooms; keeping the first " + most);
            return count;
        }
        if (!next_token(reader)) {
            report_stop(ReadStatus::end_of_file, reader, count + 1, count);
            return count;
        }
        LocatorEntry entry = {};
        entry.shape = shape;
        store_name(entry, reader.token);
        status = read_points(reader, entry);
        if (status != ReadStatus::ok) {
            report_stop(status, reader, count + 1, count);
            return count;
        }
        compute_box(entry);
        locator_table[count++] = entry;
    }
}

// Opens the locator file for reading; null with errno set when it cannot,
// a folder of that name included (every read of it would fail).
std::FILE* open_locator_file()
{
    std::FILE* file = std::fopen(data_file_path(locator_file_name).c_str(), "r");
    struct stat status = {};
    if (file != nullptr && fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        file = nullptr;
        errno = EISDIR;
    }
    return file;
}

// Names the file and the reason it cannot be opened: always when the
// program ends for it, else once per change of the failure or the file.
void report_open_failure(int error)
{
    OpenFailure failure;
    failure.error = error;
    struct stat status {};
    if (stat(data_file_path(locator_file_name).c_str(), &status) == 0)
        failure.file = stamp_of(status);
    const bool ending = lookup_failure_policy == LookupFailurePolicy::end_program;
    if (!ending && failure == reported_failure)
        return;
    reported_failure = failure;
    report_problem(locator_file_name, 0, std::string("cannot be read: ") + std::strerror(error));
}

} // namespace

// Reads "qor3rdfloor.inp" into locator_table; a file that cannot be opened
// ends the program, or under carry_on leaves the table as it was.
void read_room_locator()
{
    std::FILE* file = open_locator_file();
    if (file == nullptr) {
        report_open_failure(errno);
        if (lookup_failure_policy == LookupFailurePolicy::end_program)
            end_program(-1);
        locator_unreadable = true;  // the next lookup tries again
        return;
    }
    locator_unreadable = false;
    reported_failure = OpenFailure{};
    struct stat status {};
    locator_read_before = fstat(fileno(file), &status) == 0;
    last_read_stamp = stamp_of(status);
    for (LocatorEntry& entry : locator_table)
        entry = LocatorEntry{};
    LocatorReader reader = {file, {}, false};
    int count = skip_header(reader) ? read_records(reader) : 0;
    std::fclose(file);
    // Every record read is searchable, the last one before the terminating 0
    // included: our locator file lists rooms only, and every room must be found.
    locator_searchable_count = count;
}

// Reads the file when no read has opened it yet or it changed since the last
// read; a file that cannot be looked at or opened is left to the next
// lookup, which reports it (and, outside a kiosk, ends the program).
void read_room_locator_if_changed()
{
    struct stat status {};
    if (stat(data_file_path(locator_file_name).c_str(), &status) != 0)
        return;
    if (locator_read_before && stamp_of(status) == last_read_stamp)
        return;
    std::FILE* file = open_locator_file();
    if (file == nullptr)
        return;
    std::fclose(file);
    read_room_locator();
}

// Name of the first record whose box holds plan (x, y), or null. Box edges
// count as inside; where boxes overlap the earlier record wins.
const char* find_room_at(float x, float y)
{
    int count = locator_searchable_count;
    if (count > max_locator_records)
        count = max_locator_records;
    for (int i = 0; i < count; ++i) {
        const LocatorEntry& entry = locator_table[i];
        if (entry.min_x <= x && x <= entry.max_x && entry.min_y <= y && y <= entry.max_y)
            return entry.name;
    }
    return nullptr;
}

// The record for the room at plan (x, y) (by_name 0) or named name. One record
// serves every lookup, cleared each time: callers use it at once and keep no
// pointer past the next lookup, so a long run does not grow.
RoomRecord* lookup_room(int by_name, const char* name, float x, float y)
{
    static RoomRecord lookup_record;
    lookup_record = RoomRecord{};
    current_record = &lookup_record;
    if (lookup_call_count < INT32_MAX)  // held at the top: 1 means the first call only
        ++lookup_call_count;
    lookup_failed = false;
    if (lookup_call_count == 1 || locator_unreadable)
        read_room_locator();
    if (locator_unreadable) {
        lookup_failed = true;
        return current_record;
    }
    if (by_name != 0)
        return load_room_record(name);
    const char* room = find_room_at(x, y);
    if (room == nullptr)
        return current_record;
    return load_room_record(room);
}
