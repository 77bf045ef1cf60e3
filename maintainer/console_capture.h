// console_capture.h -- runs one of the viewer's readers with its console
// lines caught instead of shown, and with "ends the program" turned into an
// exception, so that a checker can report both as findings.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Thrown in place of ending the process while an EndProgramTrap is in force.
struct ProgramEnded {
    int status;  // the exit status the reader asked for
};

// Installs the end-program hook that throws ProgramEnded, for its lifetime.
class EndProgramTrap {
public:
    EndProgramTrap();
    ~EndProgramTrap();
    EndProgramTrap(const EndProgramTrap&) = delete;
    EndProgramTrap& operator=(const EndProgramTrap&) = delete;
};

// Sends both console streams into a temporary file until finish().
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Restores the console and returns the non-empty lines written meanwhile,
    // trimmed of surrounding blanks: the first max_captured_lines of them,
    // then one line that counts the rest, if any.
    std::vector<std::string> finish();

private:
    void restore();

    std::FILE* file_ = nullptr;  // where the streams go meanwhile
    int saved_out_ = -1;         // the standard output's own descriptor
    int saved_err_ = -1;         // the standard error's own descriptor
};

// Lines kept from one capture, and characters kept of one line.
constexpr int max_captured_lines = 50;
constexpr int max_captured_line_length = 300;
