// fuzz_support.h -- what every reader fuzzer shares: a scratch working
// directory, writing the input bytes to a file there, and turning the
// program's fatal exits into an exception the harness catches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "app/process_exit.h"

namespace fuzz {

// The scratch directory and the files written into it, removed at exit.
inline std::string& scratch_directory()
{
    static std::string path;
    return path;
}
inline std::vector<std::string>& scratch_files()
{
    static std::vector<std::string> names;
    return names;
}
inline void remove_scratch_directory()
{
    for (const std::string& name : scratch_files())
        unlink((scratch_directory() + "/" + name).c_str());
    rmdir(scratch_directory().c_str());
}

// Thrown by the exit hook: the reader took one of its specified exits.
struct ProgramEnded {
    int status;
};

[[noreturn]] inline void throw_program_ended(int status) { throw ProgramEnded{status}; }

// Makes a private scratch directory for the input files, removed at exit,
// and installs the exit hook. Call once, from LLVMFuzzerInitialize.
inline void make_scratch_directory()
{
    char pattern[] = "/tmp/vevuv_fuzz_XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("vevuv fuzz: scratch directory");
        std::abort();
    }
    // Both lists exist before the exit handler is registered, so they are
    // destroyed only after it has run.
    scratch_directory() = pattern;
    scratch_files().clear();
    std::atexit(remove_scratch_directory);
    set_end_program_hook(throw_program_ended);
}

// While it lives, the scratch directory is the working directory, so that
// readers that open fixed file names find the input there; afterwards the
// fuzzer's own relative paths (corpus, artifacts) mean what they meant.
class InScratchDirectory {
public:
    InScratchDirectory() : previous_(open(".", O_RDONLY | O_DIRECTORY))
    {
        if (previous_ < 0 || chdir(scratch_directory().c_str()) != 0) {
            std::perror("vevuv fuzz: entering the scratch directory");
            std::abort();
        }
    }
    ~InScratchDirectory()
    {
        if (fchdir(previous_) != 0)
            std::abort();
        close(previous_);
    }
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

private:
    int previous_;  // the working directory before
};

// Replaces the file with exactly the given bytes.
inline void write_file(const char* name, const uint8_t* data, size_t size)
{
    bool known = false;
    for (const std::string& written : scratch_files())
        known = known || written == name;
    if (!known)
        scratch_files().push_back(name);
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        std::perror(name);
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::perror(name);
        std::abort();
    }
    std::fclose(file);
}

// Copies a file (read whole) into the working directory under a new name.
inline void copy_file(const std::string& from, const char* to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr) {
        std::perror(from.c_str());
        std::abort();
    }
    std::string bytes;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.append(chunk, got);
    std::fclose(in);
    write_file(to, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace fuzz
