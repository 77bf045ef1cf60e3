// console_note.cpp -- printing the readers' console notes, or handing them on.
#include "common/console_note.h"

#include <cstdio>   // Required for: std::fprintf(), std::fwrite(), std::fputc(), std::fflush()
#include <utility>  // Required for: std::move()

namespace {
NoteListener note_listener;  // empty: notes go to the console
}

void set_note_listener(NoteListener listener) { note_listener = std::move(listener); }

// Hands the note to the listener if one is installed, else prints it; each
// note is flushed at once so that the two streams keep their order.
void report_note(const ConsoleNote& note)
{
    if (note_listener) {
        note_listener(note);
        return;
    }
    std::FILE* stream = note.to_error ? stderr : stdout;
    if (note.form == NoteForm::named && note.line > 0)
        std::fprintf(stream, "%s:%ld: ", note.file, note.line);
    else if (note.form == NoteForm::named)
        std::fprintf(stream, "%s: ", note.file);
    std::fwrite(note.text.data(), 1, note.text.size(), stream);
    if (note.form == NoteForm::named)
        std::fputc('\n', stream);
    std::fflush(stream);
}
