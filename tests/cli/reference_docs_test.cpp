// The manual page and the bash completion as the build writes them: the page renders without a
// warning, the completion offers what the program accepts.
#include "cli/reference_docs.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <array>
#include <memory>
#include <string>

#include "cli/option_names.h"
#include "cli/usage.h"
#include "cli_run.h"

namespace {

using gw::cli::testing::ReadBytes;
using gw::cli::testing::ShellQuoted;

// The standard output of a shell command, with its standard error folded in.
std::string Output(const std::string& command) {
  std::string output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
  if (!pipe) {
    return "cannot run: " + command;
  }
  std::array<char, 4096> buffer{};
  while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
    output.append(buffer.data(), got);
  }
  return output;
}

TEST(ManPage, TheBuiltPageIsTheGeneratedOneAndRendersWithoutWarnings) {
  EXPECT_EQ(ReadBytes(GW_CLI_MAN_PAGE), gw::cli::ManPage());
  for (const char* width : {"60", "80", "200"}) {
    const std::string command = std::string("LC_ALL=C.UTF-8 MANWIDTH=") + width +
                                " man -l --warnings " + ShellQuoted(GW_CLI_MAN_PAGE) +
                                " >/dev/null";
    EXPECT_EQ(Output(command), "") << "at " << width << " columns";
  }
}

TEST(ManPage, NamesEverySubcommandOptionSettableNameAndExitStatus) {
  const std::string page =
      Output("LC_ALL=C.UTF-8 MANWIDTH=400 man -l " + ShellQuoted(GW_CLI_MAN_PAGE));
  for (const auto& command : gw::cli::Subcommands()) {
    EXPECT_NE(page.find("gathwrite-cli " + std::string(command.name)), std::string::npos)
        << command.name;
  }
  for (const auto& option : gw::cli::CommandOptions()) {
    EXPECT_NE(page.find(std::string(option.longName)), std::string::npos) << option.longName;
  }
  for (const std::string& name : gw::cli::AllOptionNames()) {
    EXPECT_NE(page.find(name), std::string::npos) << name;
  }
  for (const char* status : {"130", "143"}) {
    EXPECT_NE(page.find(status), std::string::npos) << status;
  }
}

TEST(RoffEscaped, ControlCharactersAtLineStartsBackslashesAndHyphensArePlainText) {
  EXPECT_EQ(gw::cli::RoffEscaped(".a\n'b -c\\d"), "\\&.a\n\\&'b \\-c\\ed");
  EXPECT_EQ(gw::cli::RoffEscaped("中文"), "中\\:文\\:") << "a line may break after each";
}

// COMPREPLY after the completion script completed `words`, the last of them under the cursor.
std::string Complete(const std::string& words) {
  const std::string script = "source " + ShellQuoted(GW_CLI_COMPLETION) + "; COMP_WORDS=(" + words +
                             "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _gathwrite_cli; "
                             "((${#COMPREPLY[@]})) && printf '%s\\n' \"${COMPREPLY[@]}\"";
  return Output("bash --norc --noprofile -c " + ShellQuoted(script));
}

TEST(BashCompletion, OffersOptionNamesAfterSetSubcommandsFirstAndOptionsAfterADash) {
  EXPECT_EQ(ReadBytes(GW_CLI_COMPLETION), gw::cli::BashCompletion());
  EXPECT_EQ(Complete("gathwrite-cli generate --set 编辑框最"),
            "编辑框最少字数=\n编辑框最多字数=\n");
  EXPECT_EQ(Complete("gathwrite-cli options --set 屏蔽词过滤器/代"), "屏蔽词过滤器/代替符=\n");
  EXPECT_EQ(Complete("gathwrite-cli --quiet ge"), "generate\n");
  EXPECT_EQ(Complete("gathwrite-cli generate --ou"), "--output\n");
  EXPECT_EQ(Complete("gathwrite-cli generate --seed 1 --se"), "--settings\n--set\n--seed\n");
  EXPECT_EQ(Complete("gathwrite-cli --seed 4"), "") << "no completion for a number";
  EXPECT_EQ(Complete("gathwrite-cli messages --st"), "--stats\n");
}

}  // namespace
