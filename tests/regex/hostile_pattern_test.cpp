// Patterns typed by users that backtrack without end: every search ends, and a search the engine
// gave up on is told apart from one that found nothing.
#include <chrono>
#include <string>

#include "gtest/gtest.h"
#include "regex/engine_text.h"
#include "regex/regex_service.h"

namespace gw {
namespace {

// Nested repeats that can split a run of "a" in exponentially many ways before failing on "b".
constexpr const char* kCatastrophic[] = {"(a|aa)+$", "(a+)+c", "(a|a)+c", "(.*a){12}c"};

std::string Subject() {
  return std::string(5000, 'a') + "bc";
}

TEST(HostilePattern, EveryOperationEndsAndSaysTheEngineGaveUp) {
  const auto start = std::chrono::steady_clock::now();
  for (const char* pattern : kCatastrophic) {
    SCOPED_TRACE(pattern);
    RegexService regex;
    regex.create(pattern);
    ASSERT_TRUE(regex.isValid());

    EXPECT_EQ(regex.execute(Subject()), 0);
    EXPECT_TRUE(regex.searchFailed());

    EXPECT_TRUE(regex.replace(Subject(), "x").empty());
    EXPECT_TRUE(regex.searchFailed());

    EngineText text;
    text.assignGbk(Subject());
    EXPECT_FALSE(regex.findsMatchIn(text));
    EXPECT_TRUE(regex.searchFailed());
    EXPECT_FALSE(regex.replaceIn(text, "x"));
    EXPECT_TRUE(regex.searchFailed());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(HostilePattern, NothingFoundOrAnInvalidPatternIsNoEngineFailure) {
  RegexService regex;
  regex.create("(a|aa)+$");
  regex.execute(Subject());
  ASSERT_TRUE(regex.searchFailed());
  // The next search of the same pattern on a harmless text clears the failure.
  EXPECT_EQ(regex.execute("ccc"), 0);
  EXPECT_FALSE(regex.searchFailed());
  EXPECT_EQ(regex.replace("ccc", "x"), "ccc");
  EXPECT_FALSE(regex.searchFailed());

  RegexService invalid;
  invalid.create("(unclosed");
  EXPECT_EQ(invalid.execute("unclosed"), 0);
  EXPECT_FALSE(invalid.searchFailed());
  EXPECT_FALSE(invalid.compileError().empty());
}

TEST(HostilePattern, AnInterruptedSearchIsNoEngineFailure) {
  RegexService regex;
  regex.create("a");
  regex.setInterruption([] { return true; });
  EXPECT_EQ(regex.execute(std::string(100000, 'a')), 0);
  EXPECT_FALSE(regex.searchFailed());
}

}  // namespace
}  // namespace gw
