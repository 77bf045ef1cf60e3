// data_fault.h -- what keeps a kiosk from showing its building: a data
// folder, plan or locator file that is missing or cannot be read.
#pragma once

#include <string>  // Required for: std::string

// A file (or folder) the kiosk cannot use, and why.
struct DataFault {
    std::string file;    // as the keeper finds it: the folder or the file's path
    std::string reason;  // the system's words, "No such file or directory"
};

// Finds the first fault among the data folder (entered now if it was not
// yet), the plan the next world build reads and the locator file; false
// when there is none.
bool find_data_fault(DataFault* fault);
