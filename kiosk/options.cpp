// options.cpp -- reading vevuv's own options off the command line.
#include "kiosk/options.h"

#include <cerrno>    // Required for: errno, ERANGE
#include <cstdio>    // Required for: std::fprintf(), std::fputs()
#include <cstdlib>   // Required for: std::strtol()
#include <cstring>   // Required for: std::strcmp(), std::strncmp()

#include "pagecode/page_address.h"

#ifndef VEVUV_VERSION
#define VEVUV_VERSION "unknown"
#endif

namespace {

const char usage[] =
    "Usage: vevuv [options] [plan-file]\n"
    "Walk through one floor of the department.\n"
    "\n"
    "  --kiosk               full screen, pointer hidden, Esc and q do not quit,\n"
    "                        reset after 120 s without input; the touch face\n"
    "  --touch               the touch face: buttons, on-screen keyboard, map\n"
    "  --idle-reset SECONDS  go back to the start after SECONDS without input\n"
    "  --data DIR            read the building from DIR only (default: the working\n"
    "                        folder when it holds plan.dat, else each file from\n"
    "                        /etc/vevuv or /usr/share/vevuv)\n"
    "  --page-base URL       kiosk: show a relative publications page as a QR code\n"
    "                        of URL joined with the page\n"
    "  --open-pages          kiosk: start the browser on pages too\n"
    "  --help                show this text\n"
    "  --version             show the version\n"
    "\n"
    "A plan file whose name starts with '-' is given as ./-name.\n";

// Writes a complaint and the usage to stderr.
CommandLineOutcome wrong(const char* what, const char* word)
{
    std::fprintf(stderr, "vevuv: %s '%s'\n%s", what, word, usage);
    return CommandLineOutcome::end_usage;
}

// Reads a whole number of seconds, 1 to max_idle_reset_seconds.
bool read_seconds(const char* text, int* seconds)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < 1 || value > max_idle_reset_seconds)
        return false;
    *seconds = int(value);
    return true;
}

// Takes one option (and its value from argv[*i + 1]); advances *i past what it took.
CommandLineOutcome take_option(int argc, char** argv, int* i, CommandLine* line)
{
    const char* word = argv[*i];
    const bool has_value = *i + 1 < argc;
    if (std::strcmp(word, "--kiosk") == 0) {
        line->kiosk = true;
    } else if (std::strcmp(word, "--touch") == 0) {
        line->touch = true;
    } else if (std::strcmp(word, "--idle-reset") == 0) {
        if (!has_value || !read_seconds(argv[*i + 1], &line->idle_reset_seconds))
            return wrong("--idle-reset wants a number of seconds from 1 to 86400, not",
                         has_value ? argv[*i + 1] : "");
        line->idle_reset_given = true;
        ++*i;
    } else if (std::strcmp(word, "--data") == 0) {
        if (!has_value || argv[*i + 1][0] == '\0')
            return wrong("--data wants a folder, not", has_value ? argv[*i + 1] : "");
        line->data_folder = argv[++*i];
    } else if (std::strcmp(word, "--page-base") == 0) {
        if (!has_value || !is_web_address(argv[*i + 1]))
            return wrong("--page-base wants an http:// or https:// address, not",
                         has_value ? argv[*i + 1] : "");
        line->page_base = argv[++*i];
    } else if (std::strcmp(word, "--open-pages") == 0) {
        line->open_pages = true;
    } else if (std::strcmp(word, "--help") == 0) {
        std::fputs(usage, stdout);
        return CommandLineOutcome::end_ok;
    } else if (std::strcmp(word, "--version") == 0) {
        std::printf("vevuv %s\n", VEVUV_VERSION);
        return CommandLineOutcome::end_ok;
    } else {
        return wrong("unknown option", word);
    }
    ++*i;
    return CommandLineOutcome::run;
}

} // namespace

// Reads and removes vevuv's own options; the kiosk's idle reset defaults to
// default_kiosk_idle_reset_seconds.
CommandLineOutcome read_command_line(int* argc, char** argv, CommandLine* line)
{
    int kept = 1;
    for (int i = 1; i < *argc;) {
        if (std::strncmp(argv[i], "--", 2) != 0) {
            argv[kept++] = argv[i++];
            continue;
        }
        const CommandLineOutcome outcome = take_option(*argc, argv, &i, line);
        if (outcome != CommandLineOutcome::run)
            return outcome;
    }
    argv[kept] = nullptr;
    *argc = kept;
    if (line->kiosk && !line->idle_reset_given)
        line->idle_reset_seconds = default_kiosk_idle_reset_seconds;
    return CommandLineOutcome::run;
}

// True when no word after the program name starts with '-' and at most one is left.
bool only_plan_file_left(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-') {
            wrong("unknown option", argv[i]);
            return false;
        }
    if (argc > 2) {
        wrong("one plan file at most, not also", argv[2]);
        return false;
    }
    return true;
}
