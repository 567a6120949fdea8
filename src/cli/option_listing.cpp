#include "cli/option_listing.h"

#include <algorithm>

#include "cli/option_names.h"
#include "cli/terminal_text.h"
#include "text/charset.h"

namespace gw::cli {
namespace {

std::string MainOptionValue(const Options& options, const OptionSpec& row) {
  return GbkToUtf8(OptionValueText(options, row));
}

std::string JsonValue(const OptionDescription& option, const std::string& value) {
  switch (option.kind) {
    case OptionKind::CheckBox:
      return value == "真" ? "true" : "false";
    case OptionKind::ComboBox:
      return value;
    case OptionKind::Text:
      break;
  }
  return JsonQuoted(value);
}

std::string JsonKind(OptionKind kind) {
  switch (kind) {
    case OptionKind::CheckBox:
      return "check box";
    case OptionKind::ComboBox:
      return "combo box";
    case OptionKind::Text:
      break;
  }
  return "text";
}

}  // namespace

std::string KindText(const OptionDescription& option) {
  switch (option.kind) {
    case OptionKind::CheckBox:
      return "复选框";
    case OptionKind::ComboBox: {
      std::string text = "组合框（";
      for (std::size_t i = 0; i < option.items.size(); ++i) {
        text += (i ? "，" : "") + std::to_string(i) + " " + option.items[i];
      }
      return text + "）";
    }
    case OptionKind::Text:
      break;
  }
  return "文本";
}

std::string ValueText(const OptionDescription& option, const std::string& value) {
  switch (option.kind) {
    case OptionKind::CheckBox:
      return value;
    case OptionKind::ComboBox: {
      const std::size_t index = static_cast<std::size_t>(std::stoul(value));
      return index < option.items.size() ? value + " " + option.items[index] : value;
    }
    case OptionKind::Text:
      break;
  }
  return JsonQuoted(value);
}

std::vector<OptionDescription> DescribeOptions(const CliSettings& effective) {
  const CliSettings defaults = DefaultCliSettings();
  std::vector<OptionDescription> options;
  for (const OptionSpec& row : OptionTable()) {
    options.push_back({std::string(row.control), KindOf(row),
                       std::vector<std::string>(row.items.begin(), row.items.end()),
                       MainOptionValue(defaults.options, row),
                       MainOptionValue(effective.options, row)});
  }
  for (const BlockedWordKey& key : BlockedWordKeys()) {
    std::vector<std::string> items;
    if (key.items) {
      items.assign(key.items->begin(), key.items->end());
    }
    options.push_back({std::string(kBlockedWordPrefix) + std::string(key.key), key.kind,
                       std::move(items), key.get(defaults), key.get(effective)});
  }
  return options;
}

std::string OptionsAsText(const std::vector<OptionDescription>& options) {
  std::size_t nameColumns = 0;
  for (const OptionDescription& option : options) {
    nameColumns = std::max(nameColumns, DisplayColumns(option.name));
  }
  std::string text;
  for (const OptionDescription& option : options) {
    text += option.name;
    text.append(nameColumns - DisplayColumns(option.name) + 2, ' ');
    text += KindText(option) + "  默认 " + ValueText(option, option.defaultValue) + "  当前 " +
            ValueText(option, option.value) + "\n";
  }
  return text;
}

std::string OptionsAsJson(const std::vector<OptionDescription>& options) {
  std::string json = "[";
  for (std::size_t i = 0; i < options.size(); ++i) {
    const OptionDescription& option = options[i];
    json += i ? ",\n " : "\n ";
    json +=
        "{\"name\": " + JsonQuoted(option.name) + ", \"kind\": \"" + JsonKind(option.kind) + "\"";
    if (option.kind == OptionKind::ComboBox) {
      json += ", \"items\": [";
      for (std::size_t j = 0; j < option.items.size(); ++j) {
        json += (j ? ", " : "") + JsonQuoted(option.items[j]);
      }
      json += "]";
    }
    json += ", \"default\": " + JsonValue(option, option.defaultValue) +
            ", \"value\": " + JsonValue(option, option.value) + "}";
  }
  return json + "\n]\n";
}

std::string JsonQuoted(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          quoted += "\\u00";
          quoted += kHex[byte >> 4];
          quoted += kHex[byte & 0xF];
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

}  // namespace gw::cli
