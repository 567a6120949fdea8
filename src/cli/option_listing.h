// What `gathwrite-cli options` prints: every option --set knows, its kind, the form default and
// the value a run would use, as aligned text lines or as a JSON array.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_settings.h"

namespace gw::cli {

struct OptionDescription {
  std::string name;  // as --set takes it (UTF-8)
  OptionKind kind;
  std::vector<std::string> items;  // a combo box's items, index 0 first
  std::string defaultValue;        // UTF-8 in the form --set takes: 真/假, an index, a text
  std::string value;               // the same for the value in effect
};

// Every option in the order of AllOptionNames, with its default from DefaultCliSettings and its
// value from `effective`.
std::vector<OptionDescription> DescribeOptions(const CliSettings& effective);

// The kind as the listing names it: "复选框", "文本", or "组合框" with every index and item.
std::string KindText(const OptionDescription& option);

// A value as the listing shows it: a combo box's index with its item, a text quoted.
std::string ValueText(const OptionDescription& option, const std::string& value);

// One line per option: the name, the kind (with a combo box's indexes and items), "默认" and
// "当前" values; texts are quoted so that an empty text or a line break shows. Names are padded
// to one column width.
std::string OptionsAsText(const std::vector<OptionDescription>& options);

// A JSON array of objects {"name", "kind": "check box" | "combo box" | "text", "items" (combo
// boxes only), "default", "value"}; check boxes take true/false, combo boxes their index, texts
// a string.
std::string OptionsAsJson(const std::vector<OptionDescription>& options);

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonQuoted(const std::string& text);

}  // namespace gw::cli
