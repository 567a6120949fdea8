#include "settings/settings_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

#include "settings/settings_file.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

// The home folder: $HOME, else the password database's entry.
std::string HomeFolder(const EnvironmentLookup& environment) {
  std::string home = environment("HOME");
  if (!home.empty()) {
    return home;
  }
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

fs::path ChooseSettingsFile(const fs::path& programFolder, const EnvironmentLookup& environment,
                            const WritableTest& writable) {
  const std::string named = environment(kSettingsVariable);
  if (!named.empty()) {
    return fs::path(named);
  }
  if (!programFolder.empty() && writable(programFolder)) {
    return programFolder / kSettingsFileName;
  }
  fs::path config(environment("XDG_CONFIG_HOME"));
  if (!config.is_absolute()) {
    const std::string home = HomeFolder(environment);
    // Without any home folder the file stays beside the executable, read-only or not.
    if (home.empty()) {
      return programFolder / kSettingsFileName;
    }
    config = fs::path(home) / ".config";
  }
  return config / "gathwrite" / kSettingsFileName;
}

bool FolderIsWritable(const fs::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CanKeepSettingsIn(const fs::path& folder) {
  if (FolderIsWritable(folder)) {
    return true;
  }
  const fs::path file = folder / kSettingsFileName;
  std::error_code error;
  return fs::is_regular_file(file, error) && !IsWriteProtected(file);
}

fs::path ProgramFolder() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : executable.parent_path();
}

fs::path SettingsFileLocation() {
  const EnvironmentLookup environment = [](std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::string(value) : std::string();
  };
  return ChooseSettingsFile(ProgramFolder(), environment, CanKeepSettingsIn);
}

}  // namespace gw
