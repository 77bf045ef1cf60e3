// data_path.cpp -- choosing the file a data file name stands for.
#include "common/data_path.h"

#include <cstdlib>   // Required for: std::getenv()
#include <unistd.h>  // Required for: access()

namespace {

bool lookup_folders_chosen = false;  // flag: the lookup folders, not the working directory

// Splits a colon-separated list; empty and relative items are dropped.
std::vector<std::string> split_folders(const std::string& list)
{
    std::vector<std::string> folders;
    std::string::size_type start = 0;
    while (start <= list.size()) {
        std::string::size_type end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start && list[start] == '/')
            folders.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

// True when something of that path exists (readable or not: a keeper's
// file that cannot be read is reported, never passed over).
bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

} // namespace

// Reads every data file by its name in the working directory.
void take_data_from_working_folder() { lookup_folders_chosen = false; }

// Reads every data file from the first lookup folder that holds it.
void take_data_from_lookup_folders() { lookup_folders_chosen = true; }

// The working directory when it holds plan.dat, else the lookup folders.
void choose_data_source() { lookup_folders_chosen = !exists("plan.dat"); }

// True while data files come from the lookup folders.
bool data_from_lookup_folders() { return lookup_folders_chosen; }

// The lookup folders, first to last; only absolute folders count, so that
// a path once looked up is never looked up again somewhere else.
std::vector<std::string> data_lookup_folders()
{
    const char* list = std::getenv(lookup_folders_variable);
    if (list != nullptr && list[0] != '\0')
        return split_folders(list);
    return {keeper_data_folder, shipped_data_folder};
}

// The path to open for a data file name.
std::string data_file_path(const std::string& name)
{
    if (!lookup_folders_chosen || name.empty() || name[0] == '/')
        return name;
    std::string path;
    for (const std::string& folder : data_lookup_folders()) {
        path = folder + "/" + name;
        if (exists(path))
            return path;
    }
    return path.empty() ? name : path;
}

// The name of a path below a lookup folder, relative to it.
std::string data_file_name(const std::string& path)
{
    if (!lookup_folders_chosen)
        return path;
    for (const std::string& folder : data_lookup_folders()) {
        const std::string prefix = folder + "/";
        if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0)
            return path.substr(prefix.size());
    }
    return path;
}
