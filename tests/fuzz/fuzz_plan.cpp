// fuzz_plan.cpp -- libFuzzer harness for the plan reader: the input is a
// whole plan file, read through read_plan as if named on the command line.
#include "tests/fuzz/fuzz_support.h"

#include "common/state.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"

namespace {
constexpr const char* plan_name = "fuzz_plan.dat";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::make_scratch_directory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    viewer_state.plan_file_name = plan_name;
    viewer_state.plan_from_command_line = 1;
    fuzz::read_input_as(plan_name, data, size, read_plan);  // may end as for a file that cannot be opened
    // Whatever was read must keep the counts inside their arrays.
    const int32_t walls = floor_plan.wall_count + floor_plan.table_wall_count;
    if (floor_plan.wall_count < 0 || floor_plan.table_wall_count < 0 || walls > max_walls
        || floor_plan.lintel_count < 0 || floor_plan.lintel_count > max_lintels
        || floor_plan.table_count < 0 || floor_plan.table_count > max_tables)
        __builtin_trap();
    return 0;
}
