// plan_test_support.h -- a scratch working directory, file writing, console
// capture and state reset for the plan tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/state.h"
#include "plan/floor_plan.h"

namespace plan_test {

// A fresh directory under /tmp that is the working directory while it lives.
class ScratchDir {
public:
    ScratchDir()
    {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/vevuv-plan-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr)
            ADD_FAILURE() << "mkdtemp failed";
        else
            path_ = made;
        std::filesystem::current_path(path_);
    }
    ~ScratchDir()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Writes text to a file (relative names land in the working directory).
inline void write_file(const std::string& name, const std::string& text)
{
    std::ofstream out(name, std::ios::binary);
    out << text;
}

// Copies one of the hand-made plan files of tests/data/plan.
inline void copy_test_plan(const std::string& source, const std::string& target)
{
    std::filesystem::copy_file(std::string(VEVUV_TEST_DATA) + "/plan/" + source, target,
                               std::filesystem::copy_options::overwrite_existing);
}

// Puts the plan and the viewer back to their start-of-run values.
inline void reset_plan_state()
{
    floor_plan = FloorPlan{};
    floor_plan.visit_wall_start = -1;
    viewer_state = ViewerState{};
}

// What a call wrote to the two console streams.
struct Console {
    std::string out, err;
};

// Runs f with both console streams captured.
template <typename F>
Console capture_console(F f)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    std::string out = testing::internal::GetCapturedStdout();
    return {out, testing::internal::GetCapturedStderr()};
}

} // namespace plan_test
