#include "cli/cli_settings.h"

#include "engine/option_settings.h"
#include "settings/settings_store.h"
#include "text/charset.h"

namespace gw::cli {
namespace {

// The blocked-word settings window offers the same encodings as the main window.
const OptionSpec& EncodingSpec() {
  static const OptionSpec* row = FindOption("组合框编码");
  return *row;
}

std::optional<std::string> ApplyBlockedWordOverride(CliSettings& settings, std::string_view key,
                                                    const std::string& value) {
  auto badValue = [&](std::string_view expected) {
    return "bad value '" + value + "' for " + std::string(kBlockedWordPrefix) + std::string(key) +
           ": " + std::string(expected);
  };
  auto parseBool = [&](bool& target) -> std::optional<std::string> {
    Options scratch;
    if (!SetOptionFromText(scratch, *FindOption("选择框过滤屏蔽词"), Utf8ToGbk(value))) {
      return badValue("真/假, 1/0 or true/false");
    }
    target = scratch.选择框过滤屏蔽词;
    return std::nullopt;
  };

  if (key == "词库") {
    settings.blockedWords.libraryPath = value;
  } else if (key == "分隔符") {
    settings.blockedWords.separator = Utf8ToGbk(value);
  } else if (key == "代替符") {
    settings.blockedWords.replacement = Utf8ToGbk(value);
  } else if (key == "换行符") {
    return parseBool(settings.lineBreakKey);
  } else if (key == "单选框换行符") {
    return parseBool(settings.lineBreakButtonKey);
  } else if (key == "编码") {
    Options scratch;
    if (!SetOptionFromText(scratch, EncodingSpec(), Utf8ToGbk(value))) {
      return badValue("an index 0-4 or an item of 组合框编码");
    }
    settings.filterEncoding = scratch.组合框编码;
  } else {
    return "unknown key '" + std::string(kBlockedWordPrefix) + std::string(key) +
           "' (词库, 分隔符, 换行符, 单选框换行符, 代替符, 编码)";
  }
  return std::nullopt;
}

}  // namespace

BlockedWordSettings CliSettings::effectiveBlockedWords() const {
  BlockedWordSettings settings = blockedWords;
  settings.separatedByLineBreaks = lineBreakKey || lineBreakButtonKey;
  return settings;
}

CliSettings ReadCliSettings(const std::filesystem::path& settingsFile) {
  CliSettings settings;
  SettingsStore store;
  store.open(settingsFile, /*inMemory=*/true);
  LoadMainSettings(store, settings.options);
  settings.blockedWords = ReadBlockedWordSettings(store);
  // ReadBlockedWordSettings selected the section; the two line-break keys are read apart.
  settings.lineBreakKey = store.readBool(Utf8ToGbk("换行符"), false);
  settings.lineBreakButtonKey = store.readBool(Utf8ToGbk("单选框换行符"), false);
  const double encoding = store.readNumber(Utf8ToGbk("编码"), 0);
  if (encoding >= 0 && encoding < static_cast<double>(EncodingSpec().items.size())) {
    settings.filterEncoding = static_cast<int>(encoding);
  }
  return settings;
}

std::optional<std::string> ApplyOverrides(CliSettings& settings,
                                          const std::vector<OptionOverride>& overrides) {
  for (const OptionOverride& entry : overrides) {
    const std::string_view name = entry.name;
    if (name.starts_with(kBlockedWordPrefix)) {
      if (auto error = ApplyBlockedWordOverride(settings, name.substr(kBlockedWordPrefix.size()),
                                                entry.value)) {
        return error;
      }
      continue;
    }
    const OptionSpec* row = FindOption(name);
    if (!row) {
      return "unknown control name '" + entry.name + "'";
    }
    if (!SetOptionFromText(settings.options, *row, Utf8ToGbk(entry.value))) {
      std::string expected;
      if (std::holds_alternative<bool Options::*>(row->field)) {
        expected = "真/假, 1/0 or true/false";
      } else {
        expected = "an index from 0 or one of";
        for (std::string_view item : row->items) {
          expected += " " + std::string(item);
        }
      }
      return "bad value '" + entry.value + "' for " + entry.name + ": " + expected;
    }
  }
  return std::nullopt;
}

}  // namespace gw::cli
