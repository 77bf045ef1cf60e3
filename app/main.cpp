// main.cpp -- the vevuv program: a walk-through of one department floor.
#include <malloc.h>  // Required for: mallopt()

#include "app/viewer.h"

namespace {

// Mesa's software driver streams what it draws through buffers of half a
// megabyte to a megabyte, a new one every few seconds. glibc's threshold for
// giving a large block a mapping of its own moves up after the first such
// block is freed, and from then on those buffers come from the heap, where
// over weeks of running they keep its resident size at a high-water mark. A
// fixed threshold keeps every block of this size a mapping of its own,
// returned whole when freed.
constexpr int large_block_bytes = 512 * 1024;

void map_large_blocks_separately() { mallopt(M_MMAP_THRESHOLD, large_block_bytes); }

} // namespace

int main(int argc, char** argv)
{
    map_large_blocks_separately();
    return run_vevuv(argc, argv);
}
