// findings.cpp -- writing findings: adding them to the report, the texts of
// numbers, points and names they quote, and their places on the floor.
#include "maintainer/findings.h"

#include <cerrno>    // Required for: errno
#include <climits>   // Required for: INT_MAX
#include <cmath>     // Required for: std::fabs()
#include <cstdio>    // Required for: std::snprintf(), std::fopen()
#include <cstring>   // Required for: std::strerror()
#include <utility>   // Required for: std::move()

#include "common/process_exit.h"
#include "common/utf8.h"
#include "common/data_path.h"

namespace {

constexpr int number_text_size = 32;  // room for any %g of a double

// The text without the blanks around it.
std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const std::size_t begin = text.find_first_not_of(blanks);
    return begin == std::string::npos ? "" : text.substr(begin, text.find_last_not_of(blanks) + 1 - begin);
}

[[noreturn]] void throw_program_ended(int status) { throw ProgramEnded{status}; }

// The text with control characters and bytes that are not UTF-8 shown as
// '?', so that garbage read from a file cannot disturb the console.
std::string printable(const std::string& text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            out += (c >= 0x20 && c != 0x7f) ? static_cast<char>(c) : '?';
            continue;
        }
        const std::size_t length = utf8::sequence_length(text, at);
        if (length == 0) {
            out += '?';
            continue;
        }
        out += text.substr(at, length);
        at += length - 1;
    }
    return out;
}

} // namespace


void add_finding(BuildingReport& report, Severity severity, const std::string& file, long line,
                 const std::string& position, const std::string& text, const FloorPlace& place)
{
    report.findings.push_back(Finding{severity, file, line, position, text, place});
    if (severity == Severity::error)
        ++report.error_count;
    else
        ++report.warning_count;
}

EndProgramTrap::EndProgramTrap() { set_end_program_hook(throw_program_ended); }

EndProgramTrap::~EndProgramTrap() { set_end_program_hook(nullptr); }

ReaderNotes::ReaderNotes(std::function<bool(const ConsoleNote&)> keep) : keep_(std::move(keep))
{
    set_note_listener([this](const ConsoleNote& note) { take(note); });
}

ReaderNotes::~ReaderNotes() { set_note_listener(nullptr); }

// Keeps each line of a note that is no progress step, up to max_reader_lines.
void ReaderNotes::take(const ConsoleNote& note)
{
    if (note.form == NoteForm::progress || (keep_ && !keep_(note)))
        return;
    const long line = note.form == NoteForm::named && note.line > 0 ? note.line : 0;
    std::size_t begin = 0;
    while (begin <= note.text.size()) {
        std::size_t end = note.text.find('\n', begin);
        if (end == std::string::npos)
            end = note.text.size();
        const std::string text = trimmed(note.text.substr(begin, end - begin));
        begin = end + 1;
        if (text.empty())
            continue;
        if (lines_.size() < max_reader_lines)
            lines_.push_back(ReaderLine{line, printable(text)});
        else if (dropped_ < INT_MAX)
            ++dropped_;
    }
}

void ReaderNotes::add_to(BuildingReport& report, const std::string& file,
                         const std::string& consequence)
{
    if (dropped_ > 0)
        lines_.push_back(ReaderLine{0, "... and " + std::to_string(dropped_) + " more lines like these"});
    for (const ReaderLine& line : lines_)
        add_finding(report, Severity::error, file, line.line,
                    "", consequence.empty() ? line.text : line.text + "; " + consequence);
    lines_.clear();
    dropped_ = 0;
}

std::string number_text(double value)
{
    if (std::fabs(value) < 5e-7)
        value = 0.0;  // no "-0" and no "1e-08" for a coordinate that is zero
    char text[number_text_size];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string point_text(float x, float y)
{
    return "(" + number_text(x) + " " + number_text(y) + ")";
}

std::string span_text(float x1, float y1, float x2, float y2)
{
    return point_text(x1, y1) + "-" + point_text(x2, y2);
}

std::string quoted(const std::string& text) { return "\"" + printable(text) + "\""; }

std::string room_label(const std::string& name) { return "room " + printable(name); }

std::string open_failure(const std::string& file)
{
    std::FILE* probe = std::fopen(data_file_path(file).c_str(), "rb");
    if (probe == nullptr)
        return std::strerror(errno);
    std::fclose(probe);
    return "";
}

FloorPlace point_place(float x, float y)
{
    return FloorPlace{FloorPlace::Kind::point, x, y, x, y};
}

FloorPlace segment_place(float x1, float y1, float x2, float y2)
{
    return FloorPlace{FloorPlace::Kind::segment, x1, y1, x2, y2};
}

FloorPlace box_place(float x1, float y1, float x2, float y2)
{
    return FloorPlace{FloorPlace::Kind::box, x1, y1, x2, y2};
}

// The finding as one console line: "plan.dat: wall 17: warning: ...".
std::string format_finding(const Finding& finding)
{
    std::string line = finding.file;
    if (finding.line > 0)
        line += ":" + std::to_string(finding.line);
    line += ": ";
    if (!finding.position.empty())
        line += finding.position + ": ";
    line += finding.severity == Severity::error ? "error: " : "warning: ";
    return line + finding.text;
}

// 1 when the report holds an error, else 0: the checker's exit status.
int check_exit_status(const BuildingReport& report) { return report.error_count > 0 ? 1 : 0; }
