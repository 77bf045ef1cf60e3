// main.cpp -- the vevuv program: a walk-through of one department floor.
#include "app/viewer.h"

int main(int argc, char** argv) { return run_vevuv(argc, argv); }
