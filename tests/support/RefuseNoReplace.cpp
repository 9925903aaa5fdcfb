// A file system that does not know RENAME_NOREPLACE, as some network and FUSE file systems do
// not: loaded with LD_PRELOAD, renameat2 with that flag fails with EINVAL (what such a file
// system answers) and every other call goes to the C library. Each refusal is counted, and
// appended as a line to the file MARBECK_REFUSED_LOG names when it is set, so that a test can
// tell the refusal happened.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {
std::atomic<int> GRefused{0};
}

extern "C" {

// How many renames were refused so far in this process.
__attribute__((visibility("default"))) int MarbeckRefusedRenames() {
  return GRefused.load();
}

__attribute__((visibility("default"))) int renameat2(int OldDir, const char* Old, int NewDir,
                                                     const char* New, unsigned int Flags) {
  if (Flags & RENAME_NOREPLACE) {
    ++GRefused;
    if (const char* Log = std::getenv("MARBECK_REFUSED_LOG")) {
      if (std::FILE* F = std::fopen(Log, "ae")) {
        std::fprintf(F, "%s\n", New);
        std::fclose(F);
      }
    }
    errno = EINVAL;
    return -1;
  }
  using TRenameat2 = int (*)(int, const char*, int, const char*, unsigned int);
  static const auto Real = reinterpret_cast<TRenameat2>(::dlsym(RTLD_NEXT, "renameat2"));
  if (!Real) {
    errno = ENOSYS;
    return -1;
  }
  return Real(OldDir, Old, NewDir, New, Flags);
}
}
