// How the program's heap treats freed blocks. Every generation pass makes a fresh picture of up
// to about 160 KB (a version-40 symbol, one pixel per module) and frees the one before; glibc's
// defaults hand blocks of that size straight back to the system (mmap above 128 KB, the heap's
// top trimmed), so that each pass paid again for fresh zeroed pages, more than for the encoding
// itself. The programs keep such blocks for reuse instead.
#pragma once

// Blocks below 1 MB come from the heap, and up to 4 MB of free heap is kept. Call once at start,
// before the first pass. Does nothing where the C library offers no such setting.
void KeepFreedMemoryForReuse();
