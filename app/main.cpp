// main.cpp -- the vevuv program: a walk-through of one department floor.
#include <malloc.h>  // Required for: mallopt()

#include "app/viewer.h"

namespace {

// Mesa's software driver allocates and frees buffers of half a megabyte to a
// megabyte many times a second while it draws. glibc's default threshold for
// mapping large blocks moves up after the first such free, and from then on
// those buffers come from the heap, where over weeks of running they leave
// its resident size at a high-water mark. A fixed threshold keeps every block
// of this size a mapping of its own, returned whole when freed.
constexpr int large_block_bytes = 512 * 1024;

void map_large_blocks_separately() { mallopt(M_MMAP_THRESHOLD, large_block_bytes); }

} // namespace

int main(int argc, char** argv)
{
    map_large_blocks_separately();
    return run_vevuv(argc, argv);
}
