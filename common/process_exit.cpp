// process_exit.cpp -- ending the process, with a hook for harnesses.
#include "common/process_exit.h"

#include <cstdio>   // Required for: fflush()
#include <cstdlib>  // Required for: exit()
#include <iostream> // Required for: std::cout, std::cerr

namespace {
EndProgramHook end_program_hook = nullptr;
}

void set_end_program_hook(EndProgramHook hook) { end_program_hook = hook; }

void end_program(int status)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    if (end_program_hook)
        end_program_hook(status);
    std::exit(status);
}
