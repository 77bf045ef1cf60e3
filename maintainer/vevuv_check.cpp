// vevuv_check.cpp -- vevuv-check: checks a building's data files against each
// other, one line per problem, exit status 1 when any is an error.
#include <cstring>   // Required for: std::strcmp()
#include <iostream>  // Required for: std::cout, std::cerr

#include "common/config.h"
#include "common/data_path.h"
#include "maintainer/building_check.h"
#include "plan/floor_plan.h"

#ifndef VEVUV_VERSION
#define VEVUV_VERSION "unknown"
#endif

namespace {

constexpr int usage_status = 2;  // a command line the program does not understand

const char usage_text[] =
    "Usage: vevuv-check [DIR]\n"
    "Checks the Vevuv building in DIR. Without DIR it checks what vevuv itself\n"
    "would read: the working directory when it holds plan.dat, else each file\n"
    "from /etc/vevuv or, where that has none, /usr/share/vevuv (first lines say\n"
    "which file came from where). It checks the plans\n"
    "plan.dat, plan2.dat and plan3.dat, the room locator qor3rdfloor.inp,\n"
    "Department.xml with its DTD and publications pages, and the seven textures.\n"
    "Every file is read with the viewer's own readers. Each problem is one line,\n"
    "file and position first; a summary line ends the output.\n"
    "Exit status: 0 when there are no errors (warnings alone give 0), 1 when\n"
    "there are errors, 2 for a command line it does not understand.\n"
    "--version shows the version.\n";

std::string plural(int count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The data files of a building, in the order they are listed.
std::vector<std::string> building_file_names()
{
    std::vector<std::string> names;
    for (int plan = 1; plan <= plan_name_count; ++plan)
        names.push_back(plan_file_names[plan]);
    names.push_back("qor3rdfloor.inp");
    names.push_back("Department.xml");
    names.push_back("Department.dtd");
    for (const char* texture : texture_files)
        names.push_back(texture);
    return names;
}

// One line per data file saying which lookup folder gave it.
void print_file_sources()
{
    for (const std::string& name : building_file_names())
        std::cout << name << ": taken from " << data_file_path(name) << '\n';
}

// The lookup folders, as the summary names them.
std::string lookup_folders_text()
{
    std::string text;
    for (const std::string& folder : data_lookup_folders())
        text += (text.empty() ? "" : " + ") + folder;
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage_text;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "vevuv-check " << VEVUV_VERSION << '\n';
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << usage_text;
        return usage_status;
    }
    if (argc == 1)
        choose_data_source();
    if (data_from_lookup_folders())
        print_file_sources();
    const std::string dir = argc == 2 ? argv[1] : ".";
    const std::string place = data_from_lookup_folders() ? lookup_folders_text() : dir;
    const BuildingReport report = check_building(dir);
    for (const Finding& finding : report.findings)
        std::cout << format_finding(finding) << '\n';
    std::cout << "vevuv-check: " << plural(report.error_count, "error") << ", "
              << plural(report.warning_count, "warning") << " in " << place << std::endl;
    return check_exit_status(report);
}
