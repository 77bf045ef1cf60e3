// options.h -- the command line: vevuv [options] [plan-file].
#pragma once

#include <string>

// Seconds without input before a kiosk resets itself, unless told otherwise.
constexpr int default_kiosk_idle_reset_seconds = 120;
// Longest idle reset that may be asked for, seconds (one day).
constexpr int max_idle_reset_seconds = 24 * 60 * 60;

struct CommandLine {
    bool kiosk = false;           // flag: --kiosk
    bool touch = false;           // flag: --touch (--kiosk turns the touch face on too)
    int idle_reset_seconds = 0;   // --idle-reset, seconds; 0: none
    bool idle_reset_given = false; // flag: --idle-reset was on the command line
    std::string data_folder;      // --data, empty: the working directory
    std::string page_base;        // --page-base, empty: none
    bool open_pages = false;      // flag: --open-pages
};

// What start-up does after reading the command line.
enum class CommandLineOutcome {
    run,         // go on with the options read
    end_ok,      // --help or --version answered: end with status 0
    end_usage,   // a wrong option: usage written to stderr, end with status 2
};

// Reads and removes the options that start with "--" (the rest, X options
// and the plan file, stay for GLUT and the plan reader); writes help,
// version or usage text where one was asked for or earned.
CommandLineOutcome read_command_line(int* argc, char** argv, CommandLine* line);
// After GLUT took its X options: true when at most one word is left and it
// does not start with '-' (else the usage goes to stderr).
bool only_plan_file_left(int argc, char** argv);
