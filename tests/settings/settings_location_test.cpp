#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace gw {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
  return [values](std::string_view name) {
    const auto it = values.find(std::string(name));
    return it == values.end() ? std::string() : it->second;
  };
}

const WritableTest kWritable = [](const fs::path&) { return true; };
const WritableTest kReadOnly = [](const fs::path&) { return false; };

TEST(SettingsLocation, TheVariableNamesTheFileWhenSet) {
  EXPECT_EQ(ChooseSettingsFile("/opt/gw", Environment({{"GATHWRITE_SETTINGS", "/srv/my.ini"}}),
                               kWritable),
            fs::path("/srv/my.ini"));
  // An empty variable counts as unset.
  EXPECT_EQ(ChooseSettingsFile("/opt/gw", Environment({{"GATHWRITE_SETTINGS", ""}}), kWritable),
            fs::path("/opt/gw/Pelorin·Gathwrite.ini"));
}

TEST(SettingsLocation, APortableInstallKeepsTheFileBesideTheProgram) {
  EXPECT_EQ(ChooseSettingsFile("/home/u/gw", Environment({{"HOME", "/home/u"}}), kWritable),
            fs::path("/home/u/gw/Pelorin·Gathwrite.ini"));
}

TEST(SettingsLocation, AnInstalledProgramKeepsTheFileInTheUsersConfigFolder) {
  EXPECT_EQ(
      ChooseSettingsFile(
          "/usr/bin", Environment({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}}), kReadOnly),
      fs::path("/cfg/gathwrite/Pelorin·Gathwrite.ini"));
  EXPECT_EQ(ChooseSettingsFile("/usr/bin", Environment({{"HOME", "/home/u"}}), kReadOnly),
            fs::path("/home/u/.config/gathwrite/Pelorin·Gathwrite.ini"));
  // A relative XDG_CONFIG_HOME is not valid and is ignored.
  EXPECT_EQ(
      ChooseSettingsFile("/usr/bin", Environment({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "cfg"}}),
                         kReadOnly),
      fs::path("/home/u/.config/gathwrite/Pelorin·Gathwrite.ini"));
}

TEST(SettingsLocation, ThisProcessHasAProgramFolderAndAFile) {
  const fs::path folder = ProgramFolder();
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(FolderIsWritable(fs::temp_directory_path()));
  EXPECT_FALSE(FolderIsWritable("/no/such/folder/at/all"));
  ::unsetenv("GATHWRITE_SETTINGS");
  EXPECT_EQ(SettingsFileLocation().filename(), fs::path("Pelorin·Gathwrite.ini"));
}

}  // namespace
}  // namespace gw
