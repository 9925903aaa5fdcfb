// Ways to make a write or a read fail that bind root too (CI runs as root, where permission bits do
// not stop anything): a file-size limit, which makes every write past it fail as on a full disk,
// and running a step as the unprivileged user "nobody" in a child process.
#pragma once

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// While it lives, no file can grow beyond Bytes: a write past it fails with EFBIG instead of
// raising SIGXFSZ.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    rlimit Small = FOld;
    Small.rlim_cur = Bytes;
    FActive = ::setrlimit(RLIMIT_FSIZE, &Small) == 0;
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
  bool Active() const { return FActive; }

private:
  rlimit FOld{};
  void (*FOldHandler)(int) = SIG_DFL;
  bool FActive = false;
};

// Runs Step as a user without rights on the caller's files and answers what it returned. As root
// this happens in a child process that gives up root first; as another user, in this process.
// Empty optional when the child could not be run or did not finish.
inline std::optional<std::string> RunUnprivileged(const std::function<std::string()>& Step) {
  if (::geteuid() != 0) return Step();
  int Pipe[2];
  if (::pipe(Pipe) != 0) return std::nullopt;
  const pid_t Child = ::fork();
  if (Child < 0) return std::nullopt;
  if (Child == 0) {
    ::close(Pipe[0]);
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(3);
    const std::string Out = Step();
    const char* P = Out.data();
    std::size_t Left = Out.size();
    while (Left > 0) {
      const ssize_t N = ::write(Pipe[1], P, Left);
      if (N <= 0) ::_exit(4);
      P += N;
      Left -= static_cast<std::size_t>(N);
    }
    ::_exit(0);
  }
  ::close(Pipe[1]);
  std::string Out;
  char Buffer[4096];
  for (ssize_t N; (N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;)
    Out.append(Buffer, static_cast<std::size_t>(N));
  ::close(Pipe[0]);
  int Status = 0;
  if (::waitpid(Child, &Status, 0) != Child || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
    return std::nullopt;
  return Out;
}

inline std::string ReadBytes(const std::filesystem::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

// The names in a folder, to see that a failed write leaves no temporary file behind.
inline std::set<std::string> Listing(const std::filesystem::path& Folder) {
  std::set<std::string> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder))
    Names.insert(Entry.path().filename().string());
  return Names;
}
