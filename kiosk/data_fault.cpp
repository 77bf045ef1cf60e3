// data_fault.cpp -- looking for the data a kiosk cannot do without.
#include "kiosk/data_fault.h"

#include <cerrno>    // Required for: errno
#include <cstdio>    // Required for: std::fopen(), std::fclose()
#include <cstring>   // Required for: std::strerror()
#include <unistd.h>  // Required for: chdir()

#include "common/data_path.h"
#include "common/state.h"
#include "kiosk/kiosk.h"
#include "plan/floor_plan.h"

namespace {

constexpr const char* locator_file = "qor3rdfloor.inp";

// False (with the fault) when the file cannot be opened for reading.
bool readable(const std::string& path, DataFault* fault)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file != nullptr) {
        std::fclose(file);
        return true;
    }
    *fault = DataFault{path, std::strerror(errno)};
    return false;
}

// Enters the --data folder if that has not been done yet; false (with the
// fault) while it cannot be entered.
bool data_folder_entered(DataFault* fault)
{
    KioskSettings& k = kiosk_settings;
    if (k.data_folder_entered)
        return true;
    if (chdir(k.data_folder.c_str()) != 0) {
        *fault = DataFault{k.data_folder, std::strerror(errno)};
        return false;
    }
    k.data_folder_entered = true;
    return true;
}

// The plan the next world build reads.
std::string next_plan_name()
{
    if (viewer_state.plan_from_command_line)
        return viewer_state.plan_file_name;
    const int choice = viewer_state.plan_choice;
    return plan_file_names[choice >= 1 && choice <= plan_name_count ? choice : 1];
}

} // namespace

// Finds the first fault; false when there is none.
bool find_data_fault(DataFault* fault)
{
    return !data_folder_entered(fault) || !readable(data_file_path(next_plan_name()), fault)
        || !readable(data_file_path(locator_file), fault);
}
