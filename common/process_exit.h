// process_exit.h -- the one way the program ends itself on a fatal failure.
#pragma once

// Flushes both console streams and ends the process with the given status.
// Every "ends the program" path goes through here, so that a test harness
// or fuzzer can install a hook that turns the exit into an exception.
[[noreturn]] void end_program(int status);

// A hook that must not return (it throws, or exits itself); null restores
// the plain exit.
using EndProgramHook = void (*)(int status);
void set_end_program_hook(EndProgramHook hook);
