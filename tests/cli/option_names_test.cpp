#include "cli/option_names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/options.h"

namespace gw::cli {
namespace {

TEST(CharacterEditDistance, CountsCharactersNotBytes) {
  struct Row {
    const char* from;
    const char* to;
    std::size_t distance;
  };
  const Row rows[] = {
      {"", "", 0},
      {"", "编辑框", 3},
      {"编辑框最少字", "编辑框最少字数", 1},    // one character added, three bytes
      {"编辑框最多字数", "编辑框最少字数", 1},  // one character replaced
      {"选择框最少字数", "编辑框最少字数", 2},
      {"字数编辑框", "编辑框", 2},
      {"kitten", "sitting", 3},
      {"abc", "abc", 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CharacterEditDistance(row.from, row.to), row.distance) << row.from << " " << row.to;
    EXPECT_EQ(CharacterEditDistance(row.to, row.from), row.distance) << "symmetric: " << row.to;
  }
}

TEST(OptionNames, EveryControlOfTheTableAndEveryBlockedWordKeyIsKnownOnce) {
  const std::vector<std::string> names = AllOptionNames();
  EXPECT_EQ(names.size(), OptionTable().size() + BlockedWordKeys().size());
  for (const OptionSpec& row : OptionTable()) {
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string(row.control)), 1) << row.control;
  }
  EXPECT_NE(std::find(names.begin(), names.end(), "屏蔽词过滤器/代替符"), names.end());
}

TEST(NearestOptionNames, SuggestsTheClosestNamesFirstAndNothingForStrangers) {
  EXPECT_EQ(NearestOptionNames("编辑框最少字"),
            (std::vector<std::string>{"编辑框最少字数", "编辑框最多字数"}));
  EXPECT_EQ(NearestOptionNames("选择框打乱消息"), (std::vector<std::string>{"选择框打乱消息顺序"}));
  EXPECT_EQ(NearestOptionNames("屏蔽词过滤器/代替"),
            (std::vector<std::string>{"屏蔽词过滤器/代替符"}));
  EXPECT_LE(NearestOptionNames("编辑框").size(), 3u) << "at most three";
  EXPECT_TRUE(NearestOptionNames("颜色").empty());
  EXPECT_TRUE(NearestOptionNames("屏蔽词过滤器/颜色").empty()) << "the shared prefix makes no kin";
  EXPECT_EQ(NearestOptionNames("屏蔽词过滤/词库"), (std::vector<std::string>{"屏蔽词过滤器/词库"}));
  EXPECT_TRUE(NearestOptionNames("").empty());
}

}  // namespace
}  // namespace gw::cli
