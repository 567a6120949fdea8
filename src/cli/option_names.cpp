#include "cli/option_names.h"

#include <algorithm>
#include <numeric>

#include "cli/terminal_text.h"

namespace gw::cli {
namespace {

constexpr std::size_t kMostSuggestions = 3;

}  // namespace

OptionKind KindOf(const OptionSpec& row) {
  if (std::holds_alternative<bool Options::*>(row.field)) {
    return OptionKind::CheckBox;
  }
  if (std::holds_alternative<int Options::*>(row.field)) {
    return OptionKind::ComboBox;
  }
  return OptionKind::Text;
}

std::vector<std::string> AllOptionNames() {
  std::vector<std::string> names;
  for (const OptionSpec& row : OptionTable()) {
    names.emplace_back(row.control);
  }
  for (const BlockedWordKey& key : BlockedWordKeys()) {
    names.push_back(std::string(kBlockedWordPrefix) + std::string(key.key));
  }
  return names;
}

std::size_t CharacterEditDistance(std::string_view a, std::string_view b) {
  const std::vector<std::string_view> from = Utf8Characters(a);
  const std::vector<std::string_view> to = Utf8Characters(b);
  // One row of the distance table at a time: row[j] is the distance from the first i characters
  // of `from` to the first j of `to`.
  std::vector<std::size_t> row(to.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= from.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= to.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t replace = diagonal + (from[i - 1] == to[j - 1] ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, replace});
      diagonal = above;
    }
  }
  return row.back();
}

std::vector<std::string> NearestOptionNames(std::string_view typed) {
  // A blocked-word key is compared without the section prefix, which every such name shares.
  const bool blockedWordKey = typed.starts_with(kBlockedWordPrefix);
  if (blockedWordKey) {
    typed.remove_prefix(kBlockedWordPrefix.size());
  }
  const std::size_t limit = std::max<std::size_t>(1, Utf8Characters(typed).size() / 3);
  struct Candidate {
    std::size_t distance;
    std::string name;
  };
  std::vector<Candidate> candidates;
  for (std::string& name : AllOptionNames()) {
    std::string_view compared = name;
    if (blockedWordKey) {
      if (!compared.starts_with(kBlockedWordPrefix)) {
        continue;
      }
      compared.remove_prefix(kBlockedWordPrefix.size());
    }
    const std::size_t distance = CharacterEditDistance(typed, compared);
    if (distance <= limit) {
      candidates.push_back({distance, std::move(name)});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  std::vector<std::string> nearest;
  for (std::size_t i = 0; i < candidates.size() && i < kMostSuggestions; ++i) {
    nearest.push_back(std::move(candidates[i].name));
  }
  return nearest;
}

}  // namespace gw::cli
