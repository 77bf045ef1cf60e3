// findings.h -- the helpers every part of the building check writes its
// findings with: adding and counting them, the texts they quote, their places.
#pragma once

#include <string>
#include <vector>

#include "maintainer/building_check.h"

// Plan coordinates closer than this count as the same, plan units.
constexpr float same_place_tolerance = 0.001f;

// Adds one finding to the report and counts it.
void add_finding(BuildingReport& report, Severity severity, const std::string& file, long line,
                 const std::string& position, const std::string& text,
                 const FloorPlace& place = FloorPlace{});

// Adds every console line a reader wrote about file as an error; a leading
// "file:" or "file:12:" of the line becomes the finding's file and line, and
// consequence, when given, is added after "; ".
void add_reader_lines(BuildingReport& report, const std::string& file,
                      const std::vector<std::string>& lines, const std::string& consequence = "");

// A number as the data files write it: 4.5, 30, 0.01.
std::string number_text(double value);
// "(4.5 2.7)"
std::string point_text(float x, float y);
// "(0 0)-(30 6)"
std::string span_text(float x1, float y1, float x2, float y2);
// Length of the well-formed UTF-8 sequence of two to four bytes at text[at], or 0.
std::size_t utf8_sequence_length(const std::string& text, std::size_t at);
// Quoted for a message, with anything unprintable shown as '?'.
std::string quoted(const std::string& text);
// "room 301": how a finding names the room of a room text, unprintables as '?'.
std::string room_label(const std::string& name);
// The operating system's reason why file cannot be opened, or "" if it can.
std::string open_failure(const std::string& file);

FloorPlace point_place(float x, float y);
FloorPlace segment_place(float x1, float y1, float x2, float y2);
FloorPlace box_place(float x1, float y1, float x2, float y2);
