// data_path.h -- where each data file of the building is read from: the
// working directory, or file by file from the keeper's folder and then the
// shipped one.
#pragma once

#include <string>  // Required for: std::string
#include <vector>  // Required for: std::vector

// The keeper's folder, then the shipped building, as the package installs them.
constexpr const char* keeper_data_folder = "/etc/vevuv";
constexpr const char* shipped_data_folder = "/usr/share/vevuv";
// Names other lookup folders, colon-separated (used by the tests, which
// cannot write to /etc).
constexpr const char* lookup_folders_variable = "VEVUV_LOOKUP_FOLDERS";

// Reads every data file by its name in the working directory (the default).
void take_data_from_working_folder();
// Reads every data file from the first lookup folder that holds it.
void take_data_from_lookup_folders();
// The working directory when it holds plan.dat, else the lookup folders.
void choose_data_source();
// True while data files come from the lookup folders.
bool data_from_lookup_folders();
// The lookup folders, first to last.
std::vector<std::string> data_lookup_folders();
// The path to open for the data file of that name (a name relative to the
// data folder). From the working directory, or for an absolute name, the
// name itself; else the first lookup folder's file that exists, and the
// last folder's when none does (so that a message names the shipped place).
std::string data_file_path(const std::string& name);
// The name of a path below one of the lookup folders, relative to it; any
// other path as it is.
std::string data_file_name(const std::string& path);
