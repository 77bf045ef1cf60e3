// vevuv_map.cpp -- vevuv-map: draws one plan of a building as an SVG picture
// with the problems vevuv-check finds marked at their places.
#include <cstring>   // Required for: std::strcmp()
#include <fstream>   // Required for: std::ofstream
#include <iostream>  // Required for: std::cout, std::cerr

#include "common/data_path.h"
#include "plan/floor_plan.h"
#include "maintainer/building_check.h"
#include "maintainer/floor_map.h"

namespace {

constexpr int usage_status = 2;  // a command line the program does not understand

const char usage_text[] =
    "Usage: vevuv-map [DIR] [-o FILE] [-p PLAN]\n"
    "Draws the Vevuv building in DIR (default: what vevuv itself reads, as\n"
    "vevuv-check explains) as an SVG\n"
    "picture, written to FILE (default: floor.svg): the floor, the walls, the\n"
    "lintels (dashed), the desks, the start point and heading, the three lights,\n"
    "the two portraits, every locator box with its room number and professor,\n"
    "and every problem vevuv-check finds, in red (errors) or orange (warnings),\n"
    "numbered as in the list below the floor.\n"
    "PLAN is 1, 2 or 3 for plan.dat, plan2.dat or plan3.dat (default: 1).\n"
    "Exit status: 0 when the picture is written, 1 when it cannot be written,\n"
    "2 for a command line it does not understand.\n"
    "--version shows the version.\n";

struct MapOptions {
    std::string dir = ".";
    std::string output = "floor.svg";
    int plan = 1;
};

bool parse_plan(const char* text, int* plan)
{
    if (std::strlen(text) != 1 || text[0] < '1' || text[0] > '0' + plan_name_count)
        return false;
    *plan = text[0] - '0';
    return true;
}

// False when the command line is not understood.
bool parse_options(int argc, char** argv, MapOptions& options)
{
    bool have_dir = false;
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "-o") == 0 && has_value) {
            options.output = argv[++i];
        } else if (std::strcmp(argv[i], "-p") == 0 && has_value) {
            if (!parse_plan(argv[++i], &options.plan))
                return false;
        } else if (argv[i][0] != '-' && !have_dir) {
            options.dir = argv[i];
            have_dir = true;
        } else {
            return false;
        }
    }
    return !options.output.empty();
}

} // namespace

#ifndef VEVUV_VERSION
#define VEVUV_VERSION "unknown"
#endif

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage_text;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "vevuv-map " << VEVUV_VERSION << '\n';
        return 0;
    }
    MapOptions options;
    if (!parse_options(argc, argv, options)) {
        std::cerr << usage_text;
        return usage_status;
    }
    if (options.dir == ".")
        choose_data_source();
    const BuildingReport report = check_building(options.dir);
    const std::string svg = floor_map_svg(report, static_cast<std::size_t>(options.plan - 1));
    std::ofstream out(options.output, std::ios::binary);
    out << svg;
    out.close();
    if (!out) {
        std::cerr << "vevuv-map: cannot write " << options.output << std::endl;
        return 1;
    }
    std::cout << "vevuv-map: wrote " << options.output << " (" << plan_file_names[options.plan]
              << ", " << report.rooms.size() << " rooms, " << report.findings.size()
              << " problems listed)" << std::endl;
    return 0;
}
