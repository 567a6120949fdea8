#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace gw::cli {
namespace {

ParsedArguments Parse(std::vector<std::string> arguments) {
  return ParseArguments(arguments);
}

TEST(CliArguments, OptionsMayComeBeforeOrAfterTheSubcommandWithOrWithoutEquals) {
  const ParsedArguments parsed =
      Parse({"--seed=7", "generate", "a.txt", "--set", "编辑框连横1=3", "--quiet", "--settings",
             "s.ini", "--set=编辑框前缀=", "b.txt"});
  ASSERT_EQ(parsed.usageError, "");
  const CliArguments& args = parsed.arguments;
  EXPECT_EQ(args.command, Command::Generate);
  EXPECT_EQ(args.seed, 7u);
  EXPECT_TRUE(args.quiet);
  EXPECT_EQ(args.settingsFile, std::filesystem::path("s.ini"));
  EXPECT_EQ(args.files, (std::vector<std::string>{"a.txt", "b.txt"}));
  ASSERT_EQ(args.overrides.size(), 2u);
  EXPECT_EQ(args.overrides[0].name, "编辑框连横1");
  EXPECT_EQ(args.overrides[0].value, "3");
  EXPECT_EQ(args.overrides[1].name, "编辑框前缀");
  EXPECT_EQ(args.overrides[1].value, "") << "an edit box may be set empty";
}

TEST(CliArguments, AValueMayItselfHoldAnEqualsSign) {
  const ParsedArguments parsed = Parse({"generate", "--set", "编辑框欲替换=a=b", "f"});
  ASSERT_EQ(parsed.usageError, "");
  EXPECT_EQ(parsed.arguments.overrides.at(0).value, "a=b");
}

TEST(CliArguments, DoubleDashLetsAFileNameStartWithADash) {
  const ParsedArguments parsed = Parse({"filter", "--", "-odd.txt", "--quiet"});
  ASSERT_EQ(parsed.usageError, "");
  EXPECT_EQ(parsed.arguments.files, (std::vector<std::string>{"-odd.txt", "--quiet"}));
  EXPECT_FALSE(parsed.arguments.quiet);
}

TEST(CliArguments, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(Parse({"generate", "--help", "--bogus"}).arguments.command, Command::Help);
  EXPECT_EQ(Parse({"--version"}).arguments.command, Command::Version);
  EXPECT_EQ(Parse({"--version"}).usageError, "");
}

TEST(CliArguments, UsageErrorsNameWhatIsWrong) {
  struct Row {
    std::vector<std::string> arguments;
    std::string error;
  };
  const Row rows[] = {
      {{}, "missing subcommand"},
      {{"make", "a.txt"}, "unknown subcommand 'make'"},
      {{"generate", "--colour", "a.txt"}, "unknown option '--colour'"},
      {{"generate", "a.txt", "--seed"}, "option '--seed' needs a value"},
      {{"generate", "--seed", "-1", "a.txt"}, "bad seed '-1': a whole number 0 or above"},
      {{"generate", "--seed", "12x", "a.txt"}, "bad seed '12x': a whole number 0 or above"},
      {{"generate", "--set", "编辑框前缀", "a.txt"}, "bad --set '编辑框前缀': expected NAME=VALUE"},
      {{"generate", "--set", "=x", "a.txt"}, "bad --set '=x': expected NAME=VALUE"},
      {{"generate", "--settings="}, "option '--settings' needs a path"},
      {{"generate"}, "missing file for 'generate'"},
      {{"filter", "--quiet"}, "missing file for 'filter'"},
      {{"preview", "a.txt", "b.txt"}, "'preview' takes one file"},
      {{"messages", "a.txt", "b.txt"}, "'messages' takes one file"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Parse(row.arguments).usageError, row.error)
        << ::testing::PrintToString(row.arguments);
  }
}

TEST(CliArguments, SeedsCoverTheWholeUnsignedRange) {
  EXPECT_EQ(ParseSeed("0"), 0u);
  EXPECT_EQ(ParseSeed("18446744073709551615"), 18446744073709551615u);
  EXPECT_EQ(ParseSeed("18446744073709551616"), std::nullopt);
  EXPECT_EQ(ParseSeed(""), std::nullopt);
  EXPECT_EQ(ParseSeed("+1"), std::nullopt);
}

}  // namespace
}  // namespace gw::cli
