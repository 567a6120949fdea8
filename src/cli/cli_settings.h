// The options a command runs with: the form defaults, then section "基本配置" of the settings
// file, then the --set overrides; and the blocked-word settings of section "屏蔽词过滤器" with
// their overrides.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_arguments.h"
#include "engine/blocked_words.h"
#include "engine/options.h"

namespace gw::cli {

// Prefix of an override that names a key of section "屏蔽词过滤器".
inline constexpr std::string_view kBlockedWordPrefix = "屏蔽词过滤器/";

struct CliSettings {
  Options options = Options::FormDefaults();
  // "换行符" and "单选框换行符" are kept apart so that an override of one leaves the other as
  // the file has it; the words are separated by line breaks when either is on.
  BlockedWordSettings blockedWords;
  bool lineBreakKey = false;
  bool lineBreakButtonKey = false;
  int filterEncoding = 0;  // "编码": the encoding combo box index the batch replacer reads with

  // The blocked-word settings as the engine takes them.
  BlockedWordSettings effectiveBlockedWords() const;
};

// How an option is set: the kind of its control.
enum class OptionKind { CheckBox, ComboBox, Text };

// A key of section "屏蔽词过滤器" that --set reaches as "屏蔽词过滤器/KEY". Values are UTF-8.
struct BlockedWordKey {
  std::string_view key;
  OptionKind kind;
  const std::vector<std::string_view>* items;  // a combo box's items; nullptr otherwise
  std::string (*get)(const CliSettings&);
  bool (*set)(CliSettings&, std::string_view utf8);  // false when the value does not fit
};

// The keys, in the order the settings window shows them.
const std::vector<BlockedWordKey>& BlockedWordKeys();

// Reads the settings file as an in-memory copy: the file is never created, locked or written.
// A missing or unreadable file leaves the form defaults.
CliSettings ReadCliSettings(const std::filesystem::path& settingsFile);

// The settings of a run without a settings file.
CliSettings DefaultCliSettings();

// Applies the overrides in order. Values are UTF-8 and reach the options as GBK; the
// word-library path stays a file-system path. Returns the usage error of the first override
// that names no option (with the nearest names) or whose value does not fit it.
std::optional<std::string> ApplyOverrides(CliSettings& settings,
                                          const std::vector<OptionOverride>& overrides);

}  // namespace gw::cli
