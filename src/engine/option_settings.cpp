#include "engine/option_settings.h"

#include <cmath>
#include <type_traits>

#include "text/charset.h"

namespace gw {
namespace {

const std::string& MainSection() {
  static const std::string section = Utf8ToGbk("基本配置");
  return section;
}

const std::string& ExtendedSection() {
  static const std::string section = Utf8ToGbk("扩展配置");
  return section;
}

std::string KeyOf(const OptionSpec& row) {
  return Utf8ToGbk(row.settingsKey);
}

void LoadRows(SettingsStore& store, Options& options, const std::vector<const OptionSpec*>& rows) {
  for (const OptionSpec* row : rows) {
    const std::string key = KeyOf(*row);
    std::visit(
        [&](auto member) {
          auto& value = options.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            value = store.readBool(key, value);
          } else if constexpr (std::is_same_v<Value, int>) {
            const double stored = store.readNumber(key, value);
            const double index = std::trunc(stored);
            // A list keeps its selection when the stored index names no item.
            if (index >= 0 && index < static_cast<double>(row->items.size())) {
              value = static_cast<int>(index);
            }
          } else {
            value = store.readText(key, value);
          }
        },
        row->field);
  }
}

bool SaveRows(SettingsStore& store, const Options& options,
              const std::vector<const OptionSpec*>& rows) {
  bool written = true;
  for (const OptionSpec* row : rows) {
    const std::string key = KeyOf(*row);
    std::visit(
        [&](auto member) {
          const auto& value = options.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            written = store.writeBool(key, value) && written;
          } else if constexpr (std::is_same_v<Value, int>) {
            written = store.writeNumber(key, value) && written;
          } else {
            written = store.writeText(key, value) && written;
          }
        },
        row->field);
  }
  return written;
}

}  // namespace

void LoadMainSettings(SettingsStore& store, Options& options) {
  store.setSection(MainSection());
  LoadRows(store, options, StoredOptionsInSaveOrder());
  store.setSection(ExtendedSection());
  LoadRows(store, options, ExtendedOptions());
}

bool SaveMainSettings(SettingsStore& store, const Options& options) {
  SettingsStore::Batch batch(store);
  store.setSection(MainSection());
  bool written = SaveRows(store, options, StoredOptionsInSaveOrder());
  store.setSection(ExtendedSection());
  written = SaveRows(store, options, ExtendedOptions()) && written;
  return batch.finish() && written;
}

BlockedWordSettings ReadBlockedWordSettings(SettingsStore& store) {
  store.setSection(Utf8ToGbk("屏蔽词过滤器"));
  BlockedWordSettings settings;
  settings.separatedByLineBreaks = store.readBool(Utf8ToGbk("换行符"), false) ||
                                   store.readBool(Utf8ToGbk("单选框换行符"), false);
  settings.separator = store.readText(Utf8ToGbk("分隔符"), "|");
  settings.replacement = store.readText(Utf8ToGbk("代替符"), "**");
  settings.libraryPath = GbkToUtf8(store.readText(Utf8ToGbk("词库"), ""));
  return settings;
}

}  // namespace gw
