// heap_report.cpp -- the allocator's figures (mallinfo2) on one console line.
#include "diagnostics/heap_report.h"

#include <malloc.h>  // Required for: mallinfo2()

#include <cstdio>    // Required for: std::printf(), std::fflush()
#include <cstdlib>   // Required for: std::getenv()
#include <cstring>   // Required for: std::strcmp()

namespace {
bool report_enabled = false;  // flag: set once at start-up, read for the whole run
}

// Turns the report on when heap_report_variable is set to "1".
void enable_heap_report_from_environment()
{
    const char* value = std::getenv(heap_report_variable);
    report_enabled = value != nullptr && std::strcmp(value, "1") == 0;
}

// True when the report was turned on at start-up.
bool heap_report_enabled() { return report_enabled; }

// Prints "heap: N bytes in use, M bytes in mapped blocks": N counts every
// allocated block of every arena, whatever the heap's high-water mark, and M
// the large blocks the allocator maps on their own.
void print_heap_report()
{
    const struct mallinfo2 figures = mallinfo2();
    std::printf("heap: %zu bytes in use, %zu bytes in mapped blocks\n", figures.uordblks, figures.hblkhd);
    std::fflush(stdout);
}
