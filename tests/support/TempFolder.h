// Test helpers: a temporary folder removed at the end of the test, and an environment variable set
// for the length of a scope, so that no test reaches the real user's files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

class TTempFolder {
public:
  TTempFolder() {
    std::string Template =
        (std::filesystem::temp_directory_path() / "marbeck-test-XXXXXX").string();
    if (!::mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Template;
  }
  ~TTempFolder() {
    std::error_code Ec;
    std::filesystem::remove_all(FPath, Ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

class TScopedEnv {
public:
  TScopedEnv(const char* Name, const std::string& Value) : FName(Name) {
    if (const char* Old = std::getenv(Name)) FOld = Old;
    ::setenv(Name, Value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (FOld)
      ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
  std::string FName;
  std::optional<std::string> FOld;
};
