// Running marbeck-cli as a user runs it, and reading back what it wrote: files, pictures
// (through zbar, rsvg-convert and pdftoppm) and the batch's manifest.
#pragma once

#include "support/TempFolder.h"
#include "support/ZbarDecode.h"

#include <QImage>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

inline std::string ShellQuote(const std::string& Arg) {
  std::string Out = "'";
  for (const char C : Arg)
    Out += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Out + "'";
}

inline std::string ReadFile(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

inline void WriteFile(const fs::path& Path, const std::string& Bytes) {
  std::ofstream(Path, std::ios::binary) << Bytes;
}

// Runs marbeck-cli in Folder with Args, Input on standard input, the variables Env ("TZ=UTC")
// set, and no display at all.
inline TRun RunCli(const fs::path& Folder, const std::vector<std::string>& Args,
                   const std::string& Input = "", const std::vector<std::string>& Env = {}) {
  WriteFile(Folder / ".stdin", Input);
  std::string Command = "cd " + ShellQuote(Folder.string()) +
                        " && env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY ";
  for (const std::string& Variable : Env)
    Command.append(ShellQuote(Variable)).append(" ");
  Command += ShellQuote(MARBECK_CLI);
  for (const std::string& A : Args)
    Command.append(" ").append(ShellQuote(A));
  Command += " <.stdin >.stdout 2>.stderr";
  TRun R;
  const int Raw = std::system(Command.c_str());
  R.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
  R.Out = ReadFile(Folder / ".stdout");
  R.Err = ReadFile(Folder / ".stderr");
  return R;
}

// marbeck-cli started in Folder and left running, for a test that stops it midway: standard
// error into ErrFile, Env added to the environment. Everything the child needs is made before
// the fork. A process the test did not stop is killed and reaped at the end of the scope.
class TCliProcess {
public:
  TCliProcess(const fs::path& Folder, const std::vector<std::string>& Args,
              const fs::path& ErrFile = "/dev/null",
              const std::vector<std::pair<std::string, std::string>>& Env = {}) {
    std::vector<std::string> Strings{MARBECK_CLI};
    Strings.insert(Strings.end(), Args.begin(), Args.end());
    std::vector<std::string> EnvStrings;
    for (char** E = environ; *E != nullptr; ++E) {
      const std::string Entry = *E;
      bool Replaced = false;
      for (const auto& [Name, Value] : Env)
        Replaced = Replaced || Entry.rfind(Name + "=", 0) == 0;
      if (!Replaced) EnvStrings.push_back(Entry);
    }
    for (const auto& [Name, Value] : Env)
      EnvStrings.push_back(Name + "=" + Value);
    std::vector<char*> Argv, Envp;
    for (std::string& S : Strings)
      Argv.push_back(S.data());
    Argv.push_back(nullptr);
    for (std::string& S : EnvStrings)
      Envp.push_back(S.data());
    Envp.push_back(nullptr);
    const std::string Dir = Folder.string(), Err = ErrFile.string();
    FPid = ::fork();
    if (FPid == 0) {
      const int Fd = ::open(Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (Fd < 0 || ::chdir(Dir.c_str()) != 0 || ::dup2(Fd, 2) < 0) ::_exit(126);
      ::execve(MARBECK_CLI, Argv.data(), Envp.data());
      ::_exit(127);
    }
  }
  TCliProcess(const TCliProcess&) = delete;
  TCliProcess& operator=(const TCliProcess&) = delete;
  ~TCliProcess() {
    if (FPid <= 0) return;
    ::kill(FPid, SIGKILL);
    ::waitpid(FPid, nullptr, 0);
  }

  // The child's id; negative when the fork failed.
  pid_t Pid() const { return FPid; }

  // Waits until Path exists, for at most a minute.
  static void WaitFor(const fs::path& Path) {
    for (int Wait = 0; Wait < 6000; ++Wait) {
      std::error_code Ec;
      if (fs::exists(Path, Ec)) break;
      ::usleep(10000);
    }
  }

  // Sends Signal, then waits for the end: the wait status, or nothing when the signal could not
  // be sent or the process not be waited for.
  std::optional<int> Stop(int Signal) {
    if (FPid <= 0 || ::kill(FPid, Signal) != 0) return std::nullopt;
    int Raw = 0;
    const pid_t Ended = ::waitpid(FPid, &Raw, 0);
    FPid = 0;
    if (Ended <= 0) return std::nullopt;
    return Raw;
  }

private:
  pid_t FPid = -1;
};

inline std::optional<std::string> DecodeImage(const QImage& Image) {
  if (Image.isNull()) return std::nullopt;
  const QImage Grey = Image.convertToFormat(QImage::Format_Grayscale8);
  std::vector<unsigned char> Pixels;
  for (int Y = 0; Y < Grey.height(); ++Y) {
    const uchar* Line = Grey.constScanLine(Y);
    Pixels.insert(Pixels.end(), Line, Line + Grey.width());
  }
  return DecodeGreyImage(Pixels, Grey.width(), Grey.height());
}

// Reads a PNG, SVG or PDF file back: SVG through rsvg-convert, PDF through pdftoppm (their
// pictures go to a folder of their own).
inline std::optional<std::string> DecodeFile(const fs::path& Path) {
  static TTempFolder Scratch;
  static int Count = 0;
  const std::string Ext = Path.extension().string();
  fs::path Png = Path;
  if (Ext == ".svg") {
    Png = Scratch.Path() / (std::to_string(++Count) + ".png");
    const std::string C = "rsvg-convert -w 600 -o " + ShellQuote(Png.string()) + " " +
                          ShellQuote(Path.string()) + " 2>/dev/null";
    if (std::system(C.c_str()) != 0) return std::nullopt;
  } else if (Ext == ".pdf") {
    const fs::path Prefix = Scratch.Path() / std::to_string(++Count);
    const std::string C = "pdftoppm -png -r 300 -singlefile " + ShellQuote(Path.string()) + " " +
                          ShellQuote(Prefix.string()) + " 2>/dev/null";
    if (std::system(C.c_str()) != 0) return std::nullopt;
    Png = Prefix.string() + ".png";
  }
  QImage Image;
  if (!Image.load(QString::fromStdString(Png.string()))) return std::nullopt;
  return DecodeImage(Image);
}

struct TManifestRow {
  std::string Row, File, Kind, Version, Bytes, Verified, Error, Level;
};

// The manifest, read with a plain split that knows quoted fields (no line breaks in ours).
inline std::vector<TManifestRow> ReadManifestText(const std::string& Text) {
  std::istringstream In(Text);
  std::vector<TManifestRow> Rows;
  std::string Line;
  std::getline(In, Line);
  EXPECT_EQ(Line, "row,file,kind,version,payload bytes,verified,error,ec\r");
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    std::vector<std::string> F(1);
    bool Quoted = false;
    for (std::size_t I = 0; I < Line.size(); ++I) {
      const char C = Line[I];
      if (C == '"') {
        if (Quoted && I + 1 < Line.size() && Line[I + 1] == '"') {
          F.back() += '"';
          ++I;
        } else {
          Quoted = !Quoted;
        }
      } else if (C == ',' && !Quoted) {
        F.emplace_back();
      } else {
        F.back() += C;
      }
    }
    EXPECT_EQ(F.size(), 8u) << Line;
    F.resize(8);
    Rows.push_back({F[0], F[1], F[2], F[3], F[4], F[5], F[6], F[7]});
  }
  return Rows;
}

inline std::vector<TManifestRow> ReadManifest(const fs::path& Folder) {
  return ReadManifestText(ReadFile(Folder / "manifest.csv"));
}
