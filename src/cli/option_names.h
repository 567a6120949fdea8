// The names --set knows, taken from the option table and the blocked-word keys, and the nearest
// of them to a name that is not one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_settings.h"
#include "engine/options.h"

namespace gw::cli {

// The kind of a main-window option, from where its value lives.
OptionKind KindOf(const OptionSpec& row);

// Every name --set accepts (UTF-8): the main-window controls in form order, then
// "屏蔽词过滤器/KEY" for each blocked-word key.
std::vector<std::string> AllOptionNames();

// Edit distance between two UTF-8 texts, counted in characters: the fewest characters to
// insert, delete or replace to turn one into the other.
std::size_t CharacterEditDistance(std::string_view a, std::string_view b);

// The one to three known names nearest to `typed`, nearest first (ties in the order of
// AllOptionNames), that differ from it in at most a third of its characters (at least one). A
// "屏蔽词过滤器/KEY" is compared by its key with the blocked-word keys only.
std::vector<std::string> NearestOptionNames(std::string_view typed);

}  // namespace gw::cli
