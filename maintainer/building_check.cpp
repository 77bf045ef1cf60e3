// building_check.cpp -- runs the parts of the building check in the data
// folder, one kind of data file after the other.
#include "maintainer/building_check.h"

#include <cerrno>    // Required for: errno
#include <cstdlib>   // Required for: std::free()
#include <cstring>   // Required for: std::strerror()
#include <unistd.h>  // Required for: chdir(), getcwd()

#include "common/state.h"
#include "maintainer/check_parts.h"

namespace {

FloorMark light_mark(const float position[4], const char* what)
{
    return FloorMark{float(position[0] / plan_scale_x), float(position[2] / plan_scale_z), what};
}

void add_fixed_marks(BuildingReport& report)
{
    report.lights.push_back(light_mark(light1_position, "light 1"));
    report.lights.push_back(light_mark(light2_position, "light 2"));
    report.lights.push_back(light_mark(light0_position, "light 0"));
    for (int k = 0; k < 2; ++k)
        report.portraits.push_back(FloorMark{portrait_points[k].x, portrait_points[k].y,
                                             std::string("portrait (") + texture_files[first_portrait_texture - 1 + k] + ")"});
}

// Puts back the working directory and the plan choice on every way out.
class FolderVisit {
public:
    explicit FolderVisit(const std::string& dir)
        : saved_choice_(viewer_state.plan_choice),
          saved_from_command_line_(viewer_state.plan_from_command_line)
    {
        char* here = getcwd(nullptr, 0);
        if (here != nullptr) {
            saved_dir_ = here;
            std::free(here);
        }
        entered_ = chdir(dir.c_str()) == 0;
        if (!entered_)
            failure_ = std::strerror(errno);
    }
    ~FolderVisit()
    {
        // The folder the tool started in exists; should it be gone, the
        // tool ends right after the check anyway.
        if (entered_ && !saved_dir_.empty() && chdir(saved_dir_.c_str()) != 0)
            failure_ = std::strerror(errno);
        viewer_state.plan_choice = saved_choice_;
        viewer_state.plan_from_command_line = saved_from_command_line_;
    }
    FolderVisit(const FolderVisit&) = delete;
    FolderVisit& operator=(const FolderVisit&) = delete;

    bool entered() const { return entered_; }
    const std::string& failure() const { return failure_; }

private:
    std::string saved_dir_;
    std::string failure_;
    bool entered_ = false;
    int saved_choice_;
    int saved_from_command_line_;
};

} // namespace

// Checks the building in folder dir; the working directory is restored after.
BuildingReport check_building(const std::string& dir)
{
    BuildingReport report;
    add_fixed_marks(report);
    FolderVisit visit(dir);
    if (!visit.entered()) {
        add_finding(report, Severity::error, dir, 0, "",
                    "cannot enter the folder (" + visit.failure() + ")");
        return report;
    }
    EndProgramTrap trap;
    check_locator(report);
    check_plans(report);
    check_department(report);
    check_textures(report);
    return report;
}
