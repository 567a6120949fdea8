#include "settings/settings_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "unprivileged_child.h"

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

TEST(SettingsLocation, AWritableFileKeepsAPortableInstallInAFolderThatTakesNoNewFiles) {
  std::string pattern = (fs::temp_directory_path() / "gw-location-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;
  ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
  // Folders of mode 0555: one with a writable settings file, one with a read-only one, one
  // without any.
  const auto folder = [&](const std::string& name, int fileMode) {
    const fs::path path = root / name;
    fs::create_directory(path);
    if (fileMode >= 0) {
      std::ofstream(path / kSettingsFileName) << "[S]";
      EXPECT_EQ(::chmod((path / kSettingsFileName).c_str(), static_cast<mode_t>(fileMode)), 0);
    }
    EXPECT_EQ(::chmod(path.c_str(), 0555), 0);
    return path;
  };
  const fs::path writableFile = folder("writable-file", 0666);
  const fs::path readOnlyFile = folder("read-only-file", 0444);
  const fs::path noFile = folder("no-file", -1);

  const int status = testing::RunWithoutWriteAccessToFolders([&] {
    return (CanKeepSettingsIn(writableFile) ? 0 : 1) | (CanKeepSettingsIn(readOnlyFile) ? 2 : 0) |
           (CanKeepSettingsIn(noFile) ? 4 : 0);
  });
  EXPECT_EQ(status, 0) << "1: writable file refused, 2: read-only file kept, 4: empty folder kept";
  EXPECT_TRUE(CanKeepSettingsIn(root));

  for (const fs::path& path : {writableFile, readOnlyFile, noFile}) {
    ::chmod(path.c_str(), 0755);
  }
  fs::remove_all(root);
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
