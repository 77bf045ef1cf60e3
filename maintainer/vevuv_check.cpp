// vevuv_check.cpp -- vevuv-check: checks a building's data files against each
// other, one line per problem, exit status 1 when any is an error.
#include <cstring>   // Required for: std::strcmp()
#include <iostream>  // Required for: std::cout, std::cerr

#include "maintainer/building_check.h"

namespace {

constexpr int usage_status = 2;  // a command line the program does not understand

const char usage_text[] =
    "Usage: vevuv-check [DIR]\n"
    "Checks the Vevuv building in DIR (default: the working directory): the plans\n"
    "plan.dat, plan2.dat and plan3.dat, the room locator qor3rdfloor.inp,\n"
    "Department.xml with its DTD and publications pages, and the seven textures.\n"
    "Every file is read with the viewer's own readers. Each problem is one line,\n"
    "file and position first; a summary line ends the output.\n"
    "Exit status: 0 when there are no errors (warnings alone give 0), 1 when\n"
    "there are errors, 2 for a command line it does not understand.\n";

std::string plural(int count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage_text;
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << usage_text;
        return usage_status;
    }
    const std::string dir = argc == 2 ? argv[1] : ".";
    const BuildingReport report = check_building(dir);
    for (const Finding& finding : report.findings)
        std::cout << format_finding(finding) << '\n';
    std::cout << "vevuv-check: " << plural(report.error_count, "error") << ", "
              << plural(report.warning_count, "warning") << " in " << dir << std::endl;
    return check_exit_status(report);
}
