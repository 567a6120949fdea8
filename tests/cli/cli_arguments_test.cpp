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
  EXPECT_FALSE(args.threads.has_value()) << "no --threads: one per processor";
  EXPECT_EQ(Parse({"generate", "--threads", "1", "a.txt"}).arguments.threads, 1);
  EXPECT_EQ(Parse({"--threads=256", "generate", "a.txt"}).arguments.threads, 256);
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
      {{}, "缺少子命令"},
      {{"make", "a.txt"}, "未知的子命令：make"},
      {{"generate", "--colour", "a.txt"}, "未知的选项：--colour"},
      {{"generate", "a.txt", "--seed"}, "选项 --seed 需要一个值"},
      {{"generate", "a.txt", "-o"}, "选项 --output 需要一个值"},
      {{"generate", "--output=", "a.txt"}, "选项 --output 需要一个文件夹"},
      {{"generate", "--seed", "-1", "a.txt"}, "种子无效：-1（应为 0 或更大的整数）"},
      {{"generate", "--seed", "12x", "a.txt"}, "种子无效：12x（应为 0 或更大的整数）"},
      {{"generate", "--threads", "0", "a.txt"}, "线程数无效：0（应为 1 到 256 的整数）"},
      {{"generate", "--threads=257", "a.txt"}, "线程数无效：257（应为 1 到 256 的整数）"},
      {{"generate", "--threads", "2x", "a.txt"}, "线程数无效：2x（应为 1 到 256 的整数）"},
      {{"generate", "a.txt", "--threads"}, "选项 --threads 需要一个值"},
      {{"generate", "--set", "编辑框前缀", "a.txt"},
       "--set 的参数无效：编辑框前缀（应为 名称=值）"},
      {{"generate", "--set", "=x", "a.txt"}, "--set 的参数无效：=x（应为 名称=值）"},
      {{"generate", "--settings="}, "选项 --settings 需要一个路径"},
      {{"generate"}, "generate 缺少文件"},
      {{"filter", "--quiet"}, "filter 缺少文件"},
      {{"preview", "a.txt", "b.txt"}, "preview 只接受一个文件"},
      {{"messages", "a.txt", "b.txt"}, "messages 只接受一个文件"},
      {{"options", "a.txt"}, "options 不接受文件"},
      {{"generate", "--json", "a.txt"}, "选项 --json 只用于 options"},
      {{"generate", "--stats", "a.txt"}, "选项 --stats 只用于 messages"},
      {{"options", "--stats"}, "选项 --stats 只用于 messages"},
      {{"messages", "--stats"}, "messages 缺少文件"},
      {{"generate", "-o", "out", "-", "a.txt", "-"}, "标准输入（-）只能读取一次"},
      {{"filter", "-"}, "filter 不能读取标准输入（-）：它把结果写在每个文件旁边"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Parse(row.arguments).usageError, row.error)
        << ::testing::PrintToString(row.arguments);
  }
}

TEST(CliArguments, OutputFolderIsAnOverrideOfTheFolderBoxInItsPlace) {
  const ParsedArguments parsed =
      Parse({"generate", "-o", "一", "--set", "编辑框保存文件夹=二", "--output=三", "-", "-o=四"});
  ASSERT_EQ(parsed.usageError, "");
  std::vector<std::string> folders;
  for (const OptionOverride& entry : parsed.arguments.overrides) {
    EXPECT_EQ(entry.name, "编辑框保存文件夹");
    folders.push_back(entry.value);
  }
  EXPECT_EQ(folders, (std::vector<std::string>{"一", "二", "三", "四"})) << "the last one wins";
  EXPECT_TRUE(parsed.arguments.readsStandardInput());
  EXPECT_FALSE(Parse({"generate", "a.txt"}).arguments.readsStandardInput());
}

TEST(CliArguments, OptionsTakesSettingsOverridesAndJsonButNoFile) {
  const ParsedArguments parsed =
      Parse({"options", "--json", "--settings", "s.ini", "--set", "编辑框连横1=3"});
  ASSERT_EQ(parsed.usageError, "");
  EXPECT_EQ(parsed.arguments.command, Command::Options);
  EXPECT_TRUE(parsed.arguments.json);
  EXPECT_EQ(parsed.arguments.overrides.size(), 1u);
}

TEST(CliArguments, MessagesTakesStatsBeforeOrAfterItsFile) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{"messages", "--stats", "a.txt"},
                                             {"--stats", "messages", "a.txt"},
                                             {"messages", "a.txt", "--stats"}}) {
    const ParsedArguments parsed = Parse(arguments);
    ASSERT_EQ(parsed.usageError, "") << ::testing::PrintToString(arguments);
    EXPECT_TRUE(parsed.arguments.stats);
    EXPECT_EQ(parsed.arguments.files, std::vector<std::string>{"a.txt"});
  }
  EXPECT_FALSE(Parse({"messages", "a.txt"}).arguments.stats);
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
