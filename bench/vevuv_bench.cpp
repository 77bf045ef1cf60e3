// vevuv_bench.cpp -- the benchmark program: runs the chosen figures on the
// building in a directory and prints each with its baseline and the ratio.
//
//   vevuv_bench --building=DIR [--label=TEXT] [--room=X,Y] [--corridor=X,Y]
//               [--heading=DEG] [--figures=frame,parts,motion,find,touch,decode,startup]
//               [--widths=700,1920,3840]
//               [--probe=PATH] [--minimal=PATH] [--minimal-label=TEXT] [--quick]
//
// --minimal names the start-up baseline program; --minimal-label says what
// it is in the table (another build of the probe, for a before/after).
//
// Runs under an X server (Xvfb with Mesa's software renderer for the kiosk
// figures). The viewer is started in DIR exactly as the program starts.
#include <unistd.h>  // Required for: chdir()

#include <cstdio>    // Required for: std::printf(), std::sscanf()
#include <cstdlib>   // Required for: std::mkdtemp(), std::atof()
#include <cstring>   // Required for: std::strncmp()
#include <string>    // Required for: std::string

#include "bench/figures.h"

namespace {

struct Options {
    std::string building = ".";
    std::string label = "building";
    std::string figures = "frame,motion,find,touch,decode,startup";
    std::string probe;
    std::string minimal;
    std::string minimal_label = "minimal GLUT program, same window";
    bench::ViewerSetup setup = {{4.8f, 1.8f}, {10.0f, 2.7f}, 90.0f, ""};
    bool quick = false;
};

// Repetitions and their length: the full run for figures, the quick one for
// the smoke check.
constexpr bench::Effort full_effort = {31, 0.1};
constexpr bench::Effort quick_effort = {1, 0.01};
constexpr int full_startup_runs = 21;
constexpr int quick_startup_runs = 1;

// The value of "--name=value", or null when the argument is another option.
const char* option_value(const char* argument, const char* name)
{
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0 || argument[length] != '=')
        return nullptr;
    return argument + length + 1;
}

// Reads "x,y" in plan units into point.
bool read_point(const char* text, bench::StandPoint* point)
{
    return std::sscanf(text, "%f,%f", &point->x, &point->y) == 2;
}

// Reads the options; false (after a message) on an unknown or bad one.
bool read_options(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = nullptr;
        if ((v = option_value(a, "--building"))) o->building = v;
        else if ((v = option_value(a, "--label"))) o->label = v;
        else if ((v = option_value(a, "--figures"))) o->figures = v;
        else if ((v = option_value(a, "--probe"))) o->probe = v;
        else if ((v = option_value(a, "--minimal"))) o->minimal = v;
        else if ((v = option_value(a, "--minimal-label"))) o->minimal_label = v;
        else if ((v = option_value(a, "--widths"))) o->setup.widths = v;
        else if ((v = option_value(a, "--heading"))) o->setup.corridor_heading = float(std::atof(v));
        else if ((v = option_value(a, "--room"))) { if (!read_point(v, &o->setup.room)) v = nullptr; }
        else if ((v = option_value(a, "--corridor"))) { if (!read_point(v, &o->setup.corridor)) v = nullptr; }
        else if (std::strcmp(a, "--quick") == 0) { o->quick = true; v = a; }
        if (v == nullptr) {
            std::fprintf(stderr, "vevuv_bench: bad option \"%s\"\n", a);
            return false;
        }
    }
    return true;
}

// True when the figure group is among those asked for.
bool wanted(const Options& o, const char* figure)
{
    return ("," + o.figures + ",").find(std::string(",") + figure + ",") != std::string::npos;
}

// A fresh directory for the decode test files.
std::string make_work_dir()
{
    char pattern[] = "/tmp/vevuv_bench_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir != nullptr ? dir : "/tmp";
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!read_options(argc, argv, &o))
        return 2;
    if (chdir(o.building.c_str()) != 0) {
        std::fprintf(stderr, "vevuv_bench: cannot change into %s\n", o.building.c_str());
        return 2;
    }
    const bench::Effort effort = o.quick ? quick_effort : full_effort;
    std::vector<bench::Figure> figures;
    // Startup first: before this process adds its own load to the X server.
    if (wanted(o, "startup") && !o.probe.empty() && !o.minimal.empty())
        for (const bench::Figure& f : bench::startup_figures(
                 o.probe, o.minimal, o.minimal_label,
                 o.quick ? quick_startup_runs : full_startup_runs))
            figures.push_back(f);
    if (wanted(o, "frame") || wanted(o, "parts") || wanted(o, "motion") || wanted(o, "find")
        || wanted(o, "touch")) {
        int glut_argc = 1;  // the viewer sees no arguments: it reads plan.dat
        bench::open_viewer(&glut_argc, argv);
    }
    if (wanted(o, "frame"))
        for (const bench::Figure& f : bench::frame_figures(o.setup, effort))
            figures.push_back(f);
    if (wanted(o, "parts"))
        for (const bench::Figure& f : bench::part_figures(o.setup, effort))
            figures.push_back(f);
    if (wanted(o, "motion"))
        for (const bench::Figure& f : bench::motion_figures(o.setup, effort))
            figures.push_back(f);
    if (wanted(o, "find"))
        for (const bench::Figure& f : bench::find_figures(o.setup, effort))
            figures.push_back(f);
    if (wanted(o, "touch"))
        for (const bench::Figure& f : bench::touch_figures(o.setup, effort))
            figures.push_back(f);
    if (wanted(o, "decode")) {
        const std::string work_dir = make_work_dir();
        for (const bench::Figure& f : bench::decode_figures(work_dir, effort, argv[0]))
            figures.push_back(f);
        rmdir(work_dir.c_str());
    }
    bench::print_machine();
    bench::print_figures(figures, o.label + (o.quick ? " (quick pass, not figures)" : " (medians)"));
    return 0;
}
