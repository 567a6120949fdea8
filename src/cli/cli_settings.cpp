#include "cli/cli_settings.h"

#include "cli/option_names.h"
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

// Check-box values are read as the main window's check boxes read them.
bool SetBool(bool& target, std::string_view utf8) {
  Options scratch;
  if (!SetOptionFromText(scratch, *FindOption("选择框过滤屏蔽词"), Utf8ToGbk(utf8))) {
    return false;
  }
  target = scratch.选择框过滤屏蔽词;
  return true;
}

std::string BoolText(bool value) {
  return value ? "真" : "假";
}

std::vector<BlockedWordKey> BuildBlockedWordKeys() {
  using enum OptionKind;
  return {
      {"词库", Text, nullptr, [](const CliSettings& s) { return s.blockedWords.libraryPath; },
       [](CliSettings& s, std::string_view v) {
         s.blockedWords.libraryPath = std::string(v);
         return true;
       }},
      {"分隔符", Text, nullptr,
       [](const CliSettings& s) { return GbkToUtf8(s.blockedWords.separator); },
       [](CliSettings& s, std::string_view v) {
         s.blockedWords.separator = Utf8ToGbk(v);
         return true;
       }},
      {"换行符", CheckBox, nullptr, [](const CliSettings& s) { return BoolText(s.lineBreakKey); },
       [](CliSettings& s, std::string_view v) { return SetBool(s.lineBreakKey, v); }},
      {"单选框换行符", CheckBox, nullptr,
       [](const CliSettings& s) { return BoolText(s.lineBreakButtonKey); },
       [](CliSettings& s, std::string_view v) { return SetBool(s.lineBreakButtonKey, v); }},
      {"代替符", Text, nullptr,
       [](const CliSettings& s) { return GbkToUtf8(s.blockedWords.replacement); },
       [](CliSettings& s, std::string_view v) {
         s.blockedWords.replacement = Utf8ToGbk(v);
         return true;
       }},
      {"编码", ComboBox, &EncodingSpec().items,
       [](const CliSettings& s) { return std::to_string(s.filterEncoding); },
       [](CliSettings& s, std::string_view v) {
         Options scratch;
         if (!SetOptionFromText(scratch, EncodingSpec(), Utf8ToGbk(v))) {
           return false;
         }
         s.filterEncoding = scratch.组合框编码;
         return true;
       }},
  };
}

// What a value of this kind of option looks like, for the message about a value that does not fit.
std::string ExpectedValue(OptionKind kind, const std::vector<std::string_view>* items) {
  if (kind == OptionKind::CheckBox) {
    return "真/假、1/0 或 true/false";
  }
  std::string expected = "从 0 起的序号或以下之一：";
  if (items) {
    for (std::size_t i = 0; i < items->size(); ++i) {
      expected += (i ? " " : "") + std::string((*items)[i]);
    }
  }
  return expected;
}

std::string BadValue(const OptionOverride& entry, OptionKind kind,
                     const std::vector<std::string_view>* items) {
  return "选项 " + entry.name + " 的值无效：'" + entry.value + "'（应为" +
         ExpectedValue(kind, items) + "）";
}

std::string UnknownName(const std::string& name) {
  std::string message = "未知的选项名：" + name;
  const std::vector<std::string> nearest = NearestOptionNames(name);
  if (nearest.empty()) {
    return message + "（gathwrite-cli options 列出所有选项）";
  }
  message += "。是否想用：";
  for (std::size_t i = 0; i < nearest.size(); ++i) {
    message += (i ? "、" : "") + nearest[i];
  }
  return message + "？";
}

}  // namespace

const std::vector<BlockedWordKey>& BlockedWordKeys() {
  static const std::vector<BlockedWordKey> keys = BuildBlockedWordKeys();
  return keys;
}

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

CliSettings DefaultCliSettings() {
  return ReadCliSettings(std::filesystem::path());
}

std::optional<std::string> ApplyOverrides(CliSettings& settings,
                                          const std::vector<OptionOverride>& overrides) {
  for (const OptionOverride& entry : overrides) {
    const std::string_view name = entry.name;
    if (name.starts_with(kBlockedWordPrefix)) {
      const std::string_view key = name.substr(kBlockedWordPrefix.size());
      const BlockedWordKey* found = nullptr;
      for (const BlockedWordKey& known : BlockedWordKeys()) {
        if (known.key == key) {
          found = &known;
        }
      }
      if (!found) {
        return UnknownName(entry.name);
      }
      if (!found->set(settings, entry.value)) {
        return BadValue(entry, found->kind, found->items);
      }
      continue;
    }
    const OptionSpec* row = FindOption(name);
    if (!row) {
      return UnknownName(entry.name);
    }
    if (!SetOptionFromText(settings.options, *row, Utf8ToGbk(entry.value))) {
      return BadValue(entry, KindOf(*row), &row->items);
    }
  }
  return std::nullopt;
}

}  // namespace gw::cli
