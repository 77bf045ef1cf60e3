// bench_timing.h -- timing of a subject against its baseline in one run:
// interleaved repetitions, medians, and the figure table.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

// How long the measurements run: a quick pass for the smoke check, or the
// full number of repetitions for the figures.
struct Effort {
    int repetitions;        // subject/baseline pairs, alternated
    double min_rep_seconds; // each repetition runs at least this long
};

// Median time per call of a subject and of its baseline, seconds.
struct PairTiming {
    double subject = 0.0;
    double baseline = 0.0;
};

// One line of the figure table.
struct Figure {
    std::string name;        // what is measured
    std::string baseline;    // what it is compared with
    std::string unit;        // "ms", "us" or "MB/s"
    double subject = 0.0;    // in unit
    double reference = 0.0;  // baseline, in unit
    double ratio = 0.0;      // subject time / baseline time; for MB/s our speed / baseline speed
    std::string goal;        // the goal in words, e.g. "<= 2.0"
    bool met = false;        // whether the goal was met in this run
    std::string note;        // extra figure, e.g. frames per second
};

// A figure of two times: its names, and the median seconds of both shown in
// unit (scale units per second), with their ratio.
Figure time_figure(const std::string& name, const std::string& baseline, const std::string& unit,
                   double scale, const PairTiming& t);

// Runs subject and baseline alternately, each repetition long enough to
// cover min_rep_seconds, and returns the median seconds per call of each.
PairTiming time_pair(const std::function<void()>& subject, const std::function<void()>& baseline,
                     const Effort& effort);

// Median seconds of single runs of fn, alternated with other: for calls
// that take long on their own (process starts).
PairTiming time_single_pair(const std::function<double()>& subject,
                            const std::function<double()>& baseline, int repetitions);

// Prints the machine line: cores, CPU model, load averages.
void print_machine();

// Prints the figures as a table with their baselines and ratios.
void print_figures(const std::vector<Figure>& figures, const std::string& title);

} // namespace bench
