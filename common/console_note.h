// console_note.h -- the one way the file readers write a console line, and
// the listener a tool installs to take those lines as data instead.
#pragma once

#include <functional>  // Required for: std::function
#include <string>      // Required for: std::string

// How a note shows on the console.
enum class NoteForm {
    named,     // "file: text" or "file:12: text", then a line end
    plain,     // the text as given: it names the file in its own words, line ends included
    progress,  // the text as given: a step of the reading, no problem
};

// One console line (or part of one) of a file reader.
struct ConsoleNote {
    const char* file;  // the data file it is about
    long line;         // line in that file, 0 when the reader knows none
    std::string text;  // what the reader says; for a named note without file and line
    NoteForm form;
    bool to_error;     // shown on the standard error stream, else on the standard output
};

// Hands the note to the listener if one is installed, else prints it.
void report_note(const ConsoleNote& note);

// Reports "file: text" or "file:line: text" on one line.
inline void report_problem(const char* file, long line, const std::string& text, bool to_error = false)
{
    report_note(ConsoleNote{file, line, text, NoteForm::named, to_error});
}

// Reports a text exactly as given (form plain or progress).
inline void report_text(const char* file, const std::string& text, NoteForm form, bool to_error = false)
{
    report_note(ConsoleNote{file, 0, text, form, to_error});
}

// Takes every note instead of the console while installed; empty restores printing.
using NoteListener = std::function<void(const ConsoleNote&)>;
void set_note_listener(NoteListener listener);
