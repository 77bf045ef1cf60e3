// heap_report.h -- a test-only report of the C heap's own figures, so that a
// long run can be checked for memory kept without a debugger attached.
#pragma once

// Environment variable that turns the report on when the program starts.
constexpr const char heap_report_variable[] = "VEVUV_HEAP_REPORT";

// Turns the report on when heap_report_variable is set to "1".
void enable_heap_report_from_environment();
// True when the report was turned on at start-up.
bool heap_report_enabled();
// Prints one line on standard output: the bytes the allocator hands out,
// from its heap and in blocks mapped on their own.
void print_heap_report();
