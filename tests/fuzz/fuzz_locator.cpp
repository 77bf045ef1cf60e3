// fuzz_locator.cpp -- libFuzzer harness for the room locator reader: the
// input is a whole "qor3rdfloor.inp", read and then searched at every box.
#include "tests/fuzz/fuzz_support.h"

#include "directory/locator.h"

namespace {
constexpr const char* locator_name = "qor3rdfloor.inp";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::make_scratch_directory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    locator_searchable_count = 0;
    lookup_call_count = 0;
    fuzz::read_input_as(locator_name, data, size, read_room_locator);  // may end as for a file that cannot be opened
    if (locator_searchable_count < 0 || locator_searchable_count > max_locator_records)
        __builtin_trap();
    // Every box must be found at its own corner by a search, and every name
    // must be a terminated string that fits its field.
    for (int32_t i = 0; i < locator_searchable_count; ++i) {
        const LocatorEntry& entry = locator_table[i];
        const char* name = find_room_at(entry.min_x, entry.min_y);
        if (name == nullptr || __builtin_strlen(entry.name) >= sizeof entry.name)
            __builtin_trap();
    }
    return 0;
}
