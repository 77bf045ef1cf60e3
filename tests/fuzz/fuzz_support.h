// fuzz_support.h -- what every reader fuzzer shares: a scratch working
// folder, writing the input bytes to a file there, and turning the
// program's fatal exits into an exception the harness catches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "common/process_exit.h"

namespace fuzz {

// The scratch folder, removed at exit.
inline std::filesystem::path& scratch_directory()
{
    static std::filesystem::path path;
    return path;
}

// Thrown by the exit hook: the reader took one of its specified exits.
struct ProgramEnded {
    int status;
};

[[noreturn]] inline void throw_program_ended(int status) { throw ProgramEnded{status}; }

// Makes the scratch folder and installs the exit hook; call once, from LLVMFuzzerInitialize.
inline void make_scratch_directory()
{
    char pattern[] = "/tmp/vevuv_fuzz_XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        std::abort();
    scratch_directory() = pattern;  // exists before the handler, so destroyed after it
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_directory(), ignored);
    });
    set_end_program_hook(throw_program_ended);
}

// While it lives the scratch folder is the working folder, so that readers
// that open fixed names find the input; afterwards the fuzzer's own relative
// paths (corpus, artifacts) mean what they meant.
class InScratchDirectory {
public:
    InScratchDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(scratch_directory()); }
    ~InScratchDirectory() { std::filesystem::current_path(previous_); }
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

// Replaces the file with exactly the given bytes.
inline void write_file(const char* name, const uint8_t* data, size_t size)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!out)
        std::abort();
}

// Writes the input to the named file of the scratch folder and runs read
// there; one of the program's specified exits ends only the reading.
template <typename Read>
void read_input_as(const char* name, const uint8_t* data, size_t size, Read read)
{
    const InScratchDirectory in_scratch;
    write_file(name, data, size);
    try {
        read();
    } catch (const ProgramEnded&) {
    }
}

} // namespace fuzz
