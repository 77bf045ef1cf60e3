// findings.h -- the helpers every part of the building check writes its
// findings with: adding and counting them, the texts they quote, their places.
#pragma once

#include <cstddef>     // Required for: std::size_t
#include <functional>  // Required for: std::function
#include <string>
#include <vector>

#include "common/console_note.h"
#include "maintainer/building_check.h"

// Plan coordinates closer than this count as the same, plan units.
constexpr float same_place_tolerance = 0.001f;

// Adds one finding to the report and counts it.
void add_finding(BuildingReport& report, Severity severity, const std::string& file, long line,
                 const std::string& position, const std::string& text,
                 const FloorPlace& place = FloorPlace{});

// Thrown in place of ending the process while an EndProgramTrap is in force.
struct ProgramEnded {
    int status;  // the exit status the reader asked for
};

// Turns the readers' "ends the program" into ProgramEnded, for its lifetime.
class EndProgramTrap {
public:
    EndProgramTrap();
    ~EndProgramTrap();
    EndProgramTrap(const EndProgramTrap&) = delete;
    EndProgramTrap& operator=(const EndProgramTrap&) = delete;
};

// Lines of one reader's notes kept as findings; the rest are counted.
constexpr std::size_t max_reader_lines = 50;

// Listens to the readers' console notes for its lifetime, instead of the
// console, and keeps every line of them that is no progress step.
class ReaderNotes {
public:
    // keep, when given, says which notes count; the others are dropped.
    explicit ReaderNotes(std::function<bool(const ConsoleNote&)> keep = nullptr);
    ~ReaderNotes();
    ReaderNotes(const ReaderNotes&) = delete;
    ReaderNotes& operator=(const ReaderNotes&) = delete;

    // Adds the lines kept so far as errors about file, consequence (when
    // given) after "; ", and a count of the lines beyond max_reader_lines.
    void add_to(BuildingReport& report, const std::string& file, const std::string& consequence = "");
    bool empty() const { return lines_.empty() && dropped_ == 0; }

private:
    struct ReaderLine {
        long line;         // line in the data file, 0 when the note has none
        std::string text;  // the note's text, unprintables as '?'
    };
    void take(const ConsoleNote& note);

    std::function<bool(const ConsoleNote&)> keep_;
    std::vector<ReaderLine> lines_;
    int dropped_ = 0;  // lines beyond max_reader_lines
};

// A number as the data files write it: 4.5, 30, 0.01.
std::string number_text(double value);
// "(4.5 2.7)"
std::string point_text(float x, float y);
// "(0 0)-(30 6)"
std::string span_text(float x1, float y1, float x2, float y2);
// Quoted for a message, with anything unprintable shown as '?'.
std::string quoted(const std::string& text);
// "room 301": how a finding names the room of a room text, unprintables as '?'.
std::string room_label(const std::string& name);
// The operating system's reason why file cannot be opened, or "" if it can.
std::string open_failure(const std::string& file);

FloorPlace point_place(float x, float y);
FloorPlace segment_place(float x1, float y1, float x2, float y2);
FloorPlace box_place(float x1, float y1, float x2, float y2);
