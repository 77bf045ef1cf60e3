// wall_walk.cpp -- the long random walk: a million moves or more through the
// real move_with_collision on every plan of a building, with the count of
// moves that took the visitor across a wall (the goal is none).
//
//   vevuv_wall_walk --building=DIR [--label=TEXT] [--moves=N] [--seed=S]
#include <unistd.h>  // Required for: chdir(), access()

#include <chrono>    // Required for: std::chrono::steady_clock
#include <cstdio>    // Required for: std::printf(), std::fprintf()
#include <cstdlib>   // Required for: std::strtol(), std::strtoul()
#include <cstring>   // Required for: std::strncmp(), std::strlen()
#include <string>

#include "common/state.h"
#include "bench/wall_walk.h"
#include "plan/walls.h"
#include "common/colour_table.h"

namespace {

constexpr long default_moves = 1000000;  // per plan
constexpr unsigned long default_seed = 12;

// The command line.
struct Options {
    std::string building = ".";
    std::string label = "building";
    long moves = default_moves;
    unsigned long seed = default_seed;
};

// Takes the value of "--name=value" into value when arg is that option.
bool option_value(const char* arg, const char* name, std::string& value)
{
    const size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0 || arg[length] != '=')
        return false;
    value = arg + length + 1;
    return true;
}

// Reads the options; false (with a message) on anything it does not know.
bool read_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (option_value(argv[i], "--building", value))
            options.building = value;
        else if (option_value(argv[i], "--label", value))
            options.label = value;
        else if (option_value(argv[i], "--moves", value))
            options.moves = std::strtol(value.c_str(), nullptr, 10);
        else if (option_value(argv[i], "--seed", value))
            options.seed = std::strtoul(value.c_str(), nullptr, 10);
        else {
            std::fprintf(stderr, "vevuv_wall_walk: unknown argument \"%s\"\n", argv[i]);
            return false;
        }
    }
    return options.moves > 0;
}

// Loads plan choice and walks it; returns its crossings.
long walk_plan(int choice, const Options& options)
{
    viewer_state = ViewerState{};
    viewer_state.plan_choice = choice;
    build_walls();
    const auto start = std::chrono::steady_clock::now();
    const wall_walk::WalkResult r = wall_walk::walk(options.moves, uint32_t(options.seed + choice));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %s: %ld moves, %ld crossings, %ld steps held where they started "
                "(seed %lu, %d walls, %.0f ns per move and check)\n",
                options.label.c_str(), plan_file_names[choice], r.moves, r.crossings, r.stuck,
                options.seed + choice, int(floor_plan.wall_count), seconds * 1e9 / r.moves);
    if (r.crossings > 0)
        std::printf("  first crossing: from (%.6f, %.6f) with step (%.6f, %.6f)\n", r.from_x,
                    r.from_z, r.step_x, r.step_z);
    return r.crossings;
}

} // namespace

// Walks every plan of the building that exists; status 1 when any move crossed a wall.
int main(int argc, char** argv)
{
    Options options;
    if (!read_options(argc, argv, options))
        return 2;
    if (chdir(options.building.c_str()) != 0) {
        std::fprintf(stderr, "vevuv_wall_walk: cannot enter \"%s\"\n", options.building.c_str());
        return 2;
    }
    define_colours();
    long crossings = 0;
    for (int choice = 1; choice <= plan_name_count; ++choice)
        if (access(plan_file_names[choice], R_OK) == 0)
            crossings += walk_plan(choice, options);
    return crossings == 0 ? 0 : 1;
}
