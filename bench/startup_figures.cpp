// startup_figures.cpp -- process start to the first finished frame: the
// viewer's start-up probe against a minimal GLUT program, both started as
// child processes that print one marker line at that moment.
#include <fcntl.h>     // Required for: open()
#include <poll.h>      // Required for: poll()
#include <signal.h>    // Required for: kill(), SIGKILL
#include <sys/wait.h>  // Required for: waitpid()
#include <unistd.h>    // Required for: fork(), execl(), pipe(), dup2(), read()

#include <chrono>   // Required for: std::chrono::steady_clock
#include <cstdio>   // Required for: std::printf()
#include <cstdlib>  // Required for: setenv(), unsetenv()
#include <cstring>  // Required for: std::memcpy(), std::memmem()
#include <string>   // Required for: std::string

#include "bench/figures.h"

namespace bench {

namespace {

const char first_frame_marker[] = "first frame\n";
constexpr size_t marker_length = sizeof first_frame_marker - 1;
constexpr int child_timeout_ms = 30000;  // a start that takes longer counts as failed
constexpr size_t read_chunk = 4096;      // bytes of child output read at a time
constexpr double startup_goal = 1.5;
const char kiosk_probe_variable[] = "VEVUV_PROBE_KIOSK";  // read by the probe

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Starts program with its standard output on a pipe; the child's pid.
pid_t start_child(const std::string& program, int* read_end)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    *read_end = fds[0];
    return pid;
}

// Reads the child's output until the marker line has come (true) or the
// output ends or the time runs out (false). Only the marker's length of
// earlier output is kept between reads.
bool wait_for_marker(int fd, std::chrono::steady_clock::time_point start)
{
    char window[read_chunk + marker_length];
    size_t kept = 0;
    for (;;) {
        const int left_ms = child_timeout_ms - int(seconds_since(start) * 1e3);
        pollfd p = {fd, POLLIN, 0};
        if (left_ms <= 0 || poll(&p, 1, left_ms) <= 0)
            return false;
        const ssize_t got = read(fd, window + kept, read_chunk);
        if (got <= 0)
            return false;
        const size_t filled = kept + size_t(got);
        if (memmem(window, filled, first_frame_marker, marker_length) != nullptr)
            return true;
        kept = filled < marker_length ? filled : marker_length;
        std::memmove(window, window + filled - kept, kept);
    }
}

// Seconds from the start of program to its marker line; negative when the
// marker never came. The child is reaped (and killed if it hangs).
double time_to_first_frame(const std::string& program)
{
    const auto start = std::chrono::steady_clock::now();
    int fd = -1;
    const pid_t pid = start_child(program, &fd);
    if (pid < 0)
        return -1.0;
    const bool seen = wait_for_marker(fd, start);
    const double elapsed = seconds_since(start);
    if (!seen)
        kill(pid, SIGKILL);
    char drain[read_chunk];
    while (read(fd, drain, sizeof drain) > 0) {
    }
    close(fd);
    int status = 0;
    waitpid(pid, &status, 0);
    return seen ? elapsed : -1.0;
}

} // namespace

// The viewer's start to its first frame against the minimal GLUT program's.
std::vector<Figure> startup_figures(const std::string& probe, const std::string& minimal,
                                    const std::string& minimal_label, int repetitions)
{
    bool failed = false;
    auto timed = [&failed](const std::string& program) {
        const double t = time_to_first_frame(program);
        failed = failed || t < 0.0;
        return t;
    };
    const PairTiming t = time_single_pair([&] { return timed(probe); },
                                          [&] { return timed(minimal); }, repetitions);
    Figure f = time_figure("start-up to first frame", minimal_label, "ms", 1e3, t);
    f.goal = "<= 1.5";
    f.met = !failed && f.ratio <= startup_goal;
    if (failed)
        f.note = "A START FAILED (no first frame within 30 s)";
    // The same probe as a full-screen kiosk with the touch face and its fonts.
    failed = false;
    const PairTiming k = time_single_pair(
        [&] {
            setenv(kiosk_probe_variable, "1", 1);
            const double seconds = timed(probe);
            unsetenv(kiosk_probe_variable);
            return seconds;
        },
        [&] {
            setenv(kiosk_probe_variable, "1", 1);
            const double seconds = timed(minimal);
            unsetenv(kiosk_probe_variable);
            return seconds;
        },
        repetitions);
    Figure kiosk = time_figure("start-up to first frame, kiosk with touch face",
                               minimal_label + ", full screen", "ms", 1e3, k);
    kiosk.goal = "<= 1.5";
    kiosk.met = !failed && kiosk.ratio <= startup_goal;
    if (failed)
        kiosk.note = "A START FAILED (no first frame within 30 s)";
    return {f, kiosk};
}

} // namespace bench
