// bench_timing.cpp -- interleaved subject/baseline timing with medians, the
// machine line and the figure table.
#include "bench/bench_timing.h"

#include <algorithm> // Required for: std::sort(), std::max()
#include <chrono>    // Required for: std::chrono::steady_clock
#include <cstdio>    // Required for: std::printf(), std::fopen(), std::fgets()
#include <cstring>   // Required for: std::strncmp(), std::strchr()
#include <thread>    // Required for: std::thread::hardware_concurrency()

namespace bench {

namespace {

// Calls per repetition are found by doubling until one batch takes this
// share of the repetition time.
constexpr double calibration_share = 0.25;
// Never more calls than this in one repetition.
constexpr long max_calls_per_rep = 1L << 20;
// Longest line read from /proc files.
constexpr int proc_line_size = 256;

// Seconds of the steady clock since start.
double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds per call of calls calls of fn.
double time_calls(const std::function<void()>& fn, long calls)
{
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i)
        fn();
    return seconds_since(start) / double(calls);
}

// Calls that fill about min_rep_seconds, found by doubling a small batch.
long calls_per_rep(const std::function<void()>& fn, double min_rep_seconds)
{
    long calls = 1;
    for (;;) {
        const double per_call = time_calls(fn, calls);
        const double batch = per_call * double(calls);
        if (batch >= min_rep_seconds * calibration_share || calls >= max_calls_per_rep) {
            const long wanted = long(min_rep_seconds / std::max(per_call, 1e-9)) + 1;
            return std::min(std::max(wanted, 1L), max_calls_per_rep);
        }
        calls *= 2;
    }
}

// The median of the values (0 for none).
double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return 0.5 * (values[middle - 1] + values[middle]);
}

// The value after "key" and its colon on the first matching line of a file.
std::string proc_field(const char* file_name, const char* key)
{
    std::FILE* file = std::fopen(file_name, "r");
    if (file == nullptr)
        return "unknown";
    char line[proc_line_size];
    std::string value = "unknown";
    const size_t key_length = std::strlen(key);
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, key, key_length) != 0)
            continue;
        const char* colon = std::strchr(line, ':');
        if (colon == nullptr)
            continue;
        value = colon + 1;
        break;
    }
    std::fclose(file);
    while (!value.empty() && (value.back() == '\n' || value.back() == ' '))
        value.pop_back();
    while (!value.empty() && value.front() == ' ')
        value.erase(value.begin());
    return value;
}

// The three load averages from /proc/loadavg.
std::string load_averages()
{
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    if (file == nullptr)
        return "unknown";
    double one = 0.0, five = 0.0, fifteen = 0.0;
    const int read = std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen);
    std::fclose(file);
    if (read != 3)
        return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
    return text;
}

} // namespace

Figure time_figure(const std::string& name, const std::string& baseline, const std::string& unit,
                   double scale, const PairTiming& t)
{
    Figure f;
    f.name = name;
    f.baseline = baseline;
    f.unit = unit;
    f.subject = t.subject * scale;
    f.reference = t.baseline * scale;
    f.ratio = t.subject / t.baseline;
    return f;
}

// Runs subject and baseline alternately and returns their median seconds per call.
PairTiming time_pair(const std::function<void()>& subject, const std::function<void()>& baseline,
                     const Effort& effort)
{
    subject();   // warm caches, lazy set-up and first-call paths
    baseline();
    const long subject_calls = calls_per_rep(subject, effort.min_rep_seconds);
    const long baseline_calls = calls_per_rep(baseline, effort.min_rep_seconds);
    std::vector<double> subject_times, baseline_times;
    for (int rep = 0; rep < effort.repetitions; ++rep) {
        subject_times.push_back(time_calls(subject, subject_calls));
        baseline_times.push_back(time_calls(baseline, baseline_calls));
    }
    return {median(subject_times), median(baseline_times)};
}

// Median seconds of single runs, subject and baseline alternated.
PairTiming time_single_pair(const std::function<double()>& subject,
                            const std::function<double()>& baseline, int repetitions)
{
    std::vector<double> subject_times, baseline_times;
    for (int rep = 0; rep < repetitions; ++rep) {
        subject_times.push_back(subject());
        baseline_times.push_back(baseline());
    }
    return {median(subject_times), median(baseline_times)};
}

// Prints the machine line: cores, CPU model, load averages.
void print_machine()
{
    std::printf("machine: %u cores, %s, load %s\n", std::thread::hardware_concurrency(),
                proc_field("/proc/cpuinfo", "model name").c_str(), load_averages().c_str());
}

// Prints the figures as a table with their baselines and ratios.
void print_figures(const std::vector<Figure>& figures, const std::string& title)
{
    std::printf("\n== %s ==\n", title.c_str());
    std::printf("%-40s %14s  %-34s %14s %7s  %s\n", "figure", "ours", "baseline", "",
                "ratio", "goal");
    for (const Figure& f : figures) {
        std::printf("%-40s %9.3f %-4s  %-34s %9.3f %-4s %7.2f  %-6s %-6s %s\n", f.name.c_str(),
                    f.subject, f.unit.c_str(), f.baseline.c_str(), f.reference, f.unit.c_str(),
                    f.ratio, f.goal.c_str(), f.goal.empty() ? "" : (f.met ? "met" : "MISSED"),
                    f.note.c_str());
    }
    std::fflush(stdout);
}

} // namespace bench
