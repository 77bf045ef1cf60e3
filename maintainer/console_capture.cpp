// console_capture.cpp -- catching a reader's console lines and its attempts
// to end the program.
#include "maintainer/console_capture.h"

#include <climits>  // Required for: INT_MAX
#include <cstring>   // Required for: std::strlen()
#include <iostream>  // Required for: std::cout, std::cerr
#include <unistd.h>  // Required for: dup(), dup2(), close(), STDOUT_FILENO, STDERR_FILENO

#include "app/process_exit.h"

namespace {

[[noreturn]] void throw_program_ended(int status) { throw ProgramEnded{status}; }

void flush_console()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(const char* text)
{
    std::size_t begin = 0;
    std::size_t end = std::strlen(text);
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    return std::string(text + begin, end - begin);
}

// Reads the rest of a line that did not fit the buffer, dropping it.
void skip_rest_of_line(std::FILE* file)
{
    int c = std::fgetc(file);
    while (c != EOF && c != '\n')
        c = std::fgetc(file);
}

} // namespace

EndProgramTrap::EndProgramTrap() { set_end_program_hook(throw_program_ended); }

EndProgramTrap::~EndProgramTrap() { set_end_program_hook(nullptr); }

ConsoleCapture::ConsoleCapture()
{
    flush_console();
    file_ = std::tmpfile();
    if (file_ == nullptr)
        return;  // the lines then show on the console: nothing is lost
    saved_out_ = dup(STDOUT_FILENO);
    saved_err_ = dup(STDERR_FILENO);
    dup2(fileno(file_), STDOUT_FILENO);
    dup2(fileno(file_), STDERR_FILENO);
}

ConsoleCapture::~ConsoleCapture()
{
    restore();
    if (file_ != nullptr)
        std::fclose(file_);
}

void ConsoleCapture::restore()
{
    flush_console();
    if (saved_out_ >= 0) {
        dup2(saved_out_, STDOUT_FILENO);
        close(saved_out_);
        saved_out_ = -1;
    }
    if (saved_err_ >= 0) {
        dup2(saved_err_, STDERR_FILENO);
        close(saved_err_);
        saved_err_ = -1;
    }
}

std::vector<std::string> ConsoleCapture::finish()
{
    restore();
    std::vector<std::string> lines;
    if (file_ == nullptr)
        return lines;
    std::rewind(file_);
    char buffer[max_captured_line_length + 2];  // the line, its line end, the zero
    int dropped = 0;                            // lines beyond max_captured_lines
    while (std::fgets(buffer, sizeof buffer, file_) != nullptr) {
        const std::size_t length = std::strlen(buffer);
        if (length > 0 && buffer[length - 1] != '\n')
            skip_rest_of_line(file_);
        std::string line = trimmed(buffer);
        if (line.empty())
            continue;
        if (static_cast<int>(lines.size()) < max_captured_lines)
            lines.push_back(line);
        else if (dropped < INT_MAX)
            ++dropped;
    }
    if (dropped > 0)
        lines.push_back("... and " + std::to_string(dropped) + " more lines like these");
    return lines;
}
