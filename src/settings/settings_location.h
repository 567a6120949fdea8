// Where the settings file lives on Linux.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace gw {

// The settings file is named after the program title "Pelorin·Gathwrite" (UTF-8 file name).
inline constexpr std::string_view kSettingsFileName = "Pelorin·Gathwrite.ini";
// Names the settings file explicitly when set and not empty.
inline constexpr std::string_view kSettingsVariable = "GATHWRITE_SETTINGS";

// Value of an environment variable; empty when unset.
using EnvironmentLookup = std::function<std::string(std::string_view name)>;
using WritableTest = std::function<bool(const std::filesystem::path& folder)>;

// Decides the settings file:
// 1. GATHWRITE_SETTINGS, when set and not empty;
// 2. the file beside the executable when it can be kept there (`writable`; a portable install);
// 3. $XDG_CONFIG_HOME/gathwrite/ (an absolute XDG_CONFIG_HOME only), else
//    $HOME/.config/gathwrite/; the store creates that folder when it opens the file.
std::filesystem::path ChooseSettingsFile(const std::filesystem::path& programFolder,
                                         const EnvironmentLookup& environment,
                                         const WritableTest& writable);

// True when files can be created in `folder`.
bool FolderIsWritable(const std::filesystem::path& folder);

// True when the settings file can be kept in `folder`: files can be created there, or the
// settings file exists there and may be written (it is then rewritten in place), as in a
// portable install on a folder the user cannot write to.
bool CanKeepSettingsIn(const std::filesystem::path& folder);

// The folder of the running executable (/proc/self/exe); empty when unknown.
std::filesystem::path ProgramFolder();

// ChooseSettingsFile for this process: its executable, its environment, the real file system.
std::filesystem::path SettingsFileLocation();

}  // namespace gw
