// building_check.h -- checks a building's data files against each other with
// the viewer's own readers; shared by vevuv-check and vevuv-map.
#pragma once

#include <string>
#include <vector>

enum class Severity { error, warning };

// Where a finding lies on the floor, plan units; kind none when it has no place.
struct FloorPlace {
    enum class Kind { none, point, segment, box };
    Kind kind = Kind::none;
    float x1 = 0.0f, y1 = 0.0f;  // the point, the first end, or one corner
    float x2 = 0.0f, y2 = 0.0f;  // the second end or the opposite corner
};

// One problem, reported as one line: file and position first.
struct Finding {
    Severity severity = Severity::error;
    std::string file;      // the data file, as named in the data folder
    long line = 0;         // line in the file, 0 when the position is a name
    std::string position;  // "wall 17", "room 309", "start point", or empty
    std::string text;      // what is wrong and what the viewer does about it
    FloorPlace place;      // where the map marks it
};

// A segment of a plan in plan units, as the file gives it.
struct PlanSegment {
    float x1, y1, x2, y2;
};

// A table of a plan in plan units.
struct PlanTable {
    float x, y;
    int kind;  // 2: blocks the visitor
};

// What one plan file holds, in plan units, for the map.
struct PlanFacts {
    std::string file;                  // "plan.dat"
    bool read = false;                 // the viewer's reader read it
    float floor_x1 = 0.0f, floor_y1 = 0.0f, floor_x2 = 0.0f, floor_y2 = 0.0f;
    std::vector<PlanSegment> walls;    // in file order (sorted when the order is lost)
    std::vector<PlanSegment> lintels;  // in file order
    std::vector<PlanTable> tables;     // in file order
    float start_x = 0.0f, start_y = 0.0f;
    float heading = 0.0f;              // degrees at the start; 0 looks toward +y
};

// One locator record with what Department.xml says about its room.
struct RoomFacts {
    std::string name;          // room text of the locator record
    int shape = 0;             // 5: ten points, else six
    float min_x = 0.0f, min_y = 0.0f, max_x = 0.0f, max_y = 0.0f;  // its box
    bool found = false;        // a Room of Department.xml holds the name
    int number = 0;            // Room_Number
    std::string professor;     // Professor, as the viewer stores it
    bool has_table = false;    // a visit places a desk
    float table_x = 0.0f, table_y = 0.0f;  // where, plan units
};

// A fixed point of the floor that is no part of the data files.
struct FloorMark {
    float x, y;        // plan units
    std::string what;  // "light 0", "portrait (dolvane.rgb)"
};

// Everything a check found, and the facts the map draws.
struct BuildingReport {
    std::vector<Finding> findings;  // in the order they were found
    std::vector<PlanFacts> plans;   // plan.dat, plan2.dat, plan3.dat
    std::vector<RoomFacts> rooms;   // in locator file order
    std::vector<FloorMark> lights;
    std::vector<FloorMark> portraits;
    int error_count = 0;
    int warning_count = 0;
};

// Checks the building in folder dir; the working directory is restored after.
BuildingReport check_building(const std::string& dir);

// The finding as one console line: "plan.dat: wall 17: warning: ...".
std::string format_finding(const Finding& finding);

// 1 when the report holds an error, else 0: the checker's exit status.
int check_exit_status(const BuildingReport& report);
