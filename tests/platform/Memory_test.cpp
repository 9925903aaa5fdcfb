#include "platform/Memory.h"

#include <cstdlib>
#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <malloc.h>

// A picture-sized block (200 KB) comes from the heap once the setting is made, not from a
// mapping of its own that goes back to the system when it is freed.
TEST(Memory, PictureSizedBlocksComeFromTheHeapAfterTheSetting) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator replaces glibc's";
#endif
  auto MappedBlocksWhileHolding = [](std::size_t Bytes) {
    void* Block = std::malloc(Bytes);
    EXPECT_NE(Block, nullptr);
    static_cast<volatile char*>(Block)[0] = 1;
    const std::size_t Mapped = mallinfo2().hblks;
    std::free(Block);
    return Mapped;
  };
  const std::size_t Before = mallinfo2().hblks;
  KeepFreedMemoryForReuse();
  EXPECT_EQ(MappedBlocksWhileHolding(200 * 1024), Before);
  EXPECT_EQ(MappedBlocksWhileHolding(2 * 1024 * 1024), Before + 1); // large ones still mapped
}
#endif
