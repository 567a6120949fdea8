#include "engine/article_composer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fake_host.h"

namespace gw {
namespace {

using testing::FakeHost;
using testing::G;

// Feeds `messages` (UTF-8; "" for a dropped message) through a composer; returns whether the
// composer asked to go on after the last one.
bool Feed(ArticleComposer& composer, const std::vector<std::string>& messages) {
  const int count = static_cast<int>(messages.size());
  bool more = true;
  for (int i = 1; i <= count && more; ++i) {
    more = composer.take(i, count, G(messages[static_cast<std::size_t>(i - 1)]));
  }
  composer.complete();
  return more;
}

class ArticleComposerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("gw-composer-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    host_.options().编辑框分隔符 = G("，");
    host_.options().选择框段落插入 = false;
    host_.options().编辑框标题最少字数 = "0";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::vector<std::string> WrittenFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  FakeHost host_;
  RunContext run_{7};
  std::filesystem::path folder_;
};

TEST_F(ArticleComposerTest, TheLastMessageCompletesBothParagraphAndArticle) {
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "2";
  host_.options().编辑框合纵1 = host_.options().编辑框合纵2 = "10";
  ArticleComposer composer(host_, run_, host_.options(), true, 0, 0, {});
  // A preview goes on after its first article: the source ends it here, not the composer.
  EXPECT_TRUE(Feed(composer, {"甲一", "乙二", "丙三", "丁四", "戊五"}));
  ASSERT_EQ(host_.previews.size(), 1u);
  EXPECT_TRUE(host_.laterPreviews.empty());
  EXPECT_EQ(host_.previews[0].second, "甲一，乙二\r\n丙三，丁四\r\n戊五\r\n");
  EXPECT_EQ(host_.statuses.back(), "聊天消息组合预览 - 标题：" + host_.previews[0].first);
}

TEST_F(ArticleComposerTest, ParagraphsAreWrappedInTheCurrentPrefixAndSuffix) {
  host_.options().选择框段落插入 = true;
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "1";
  ArticleComposer composer(host_, run_, host_.options(), true, 0, 0, {});
  Feed(composer, {"第一条", "第二条"});
  EXPECT_EQ(host_.previews.at(0).second, "<p>第一条</p>\r\n<p>第二条</p>\r\n");
}

TEST_F(ArticleComposerTest, EmptyRangesMakeEveryMessageItsOwnArticleEvenWhenDropped) {
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "";
  host_.options().编辑框合纵1 = host_.options().编辑框合纵2 = "";
  ArticleComposer composer(host_, run_, host_.options(), false, 1, 1, folder_);
  Feed(composer, {"第一条消息", "", "第三条消息"});
  // The dropped message still completes an (empty) article, which is written untitled.
  EXPECT_EQ(composer.articlesWritten(), 3);
  EXPECT_EQ(WrittenFiles(),
            (std::vector<std::string>{"无标题.txt", "第一条消息.txt", "第三条消息.txt"}));
  EXPECT_EQ(host_.statuses.back(), "(1:1) 正在生成第 3 篇..第三条消息");
}

TEST_F(ArticleComposerTest, SeparatorsAreUsedUpBeforeAnyRepeats) {
  host_.options().编辑框分隔符 = G("、；！");
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "100";
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    FakeHost host;
    host.options() = host_.options();
    RunContext run(seed);
    ArticleComposer composer(host, run, host.options(), true, 0, 0, {});
    Feed(composer, {"a", "b", "c", "d", "e", "f", "g"});
    const std::string article = host.previews.at(0).second;
    // Six separators between seven messages: each cycle of three uses each separator once.
    std::vector<std::string> used;
    for (std::size_t at = 1; at + 1 < article.size() && used.size() < 6;) {
      const std::size_t next = article.find_first_of("abcdefg", at);
      used.push_back(article.substr(at, next - at));
      at = next + 1;
    }
    ASSERT_EQ(used.size(), 6u);
    for (std::size_t cycle = 0; cycle < 6; cycle += 3) {
      std::vector<std::string> three(used.begin() + cycle, used.begin() + cycle + 3);
      std::sort(three.begin(), three.end());
      EXPECT_EQ(three, (std::vector<std::string>{"、", "！", "；"})) << "seed " << seed;
    }
  }
}

TEST_F(ArticleComposerTest, PunctuationRunsBecomeOneMarkAndAnEmptySeparatorJoinsDirectly) {
  host_.options().编辑框分隔符 = "";
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "3";
  ArticleComposer composer(host_, run_, host_.options(), true, 0, 0, {});
  Feed(composer, {"好的！！", "？？真的", "嗯"});
  const std::string article = host_.previews.at(0).second;
  EXPECT_TRUE(article == "好的，真的嗯\r\n" || article == "好的。真的嗯\r\n") << article;
}

TEST_F(ArticleComposerTest, KeywordAndInsertedWordDecorateTheTitle) {
  host_.options().编辑框连横1 = host_.options().编辑框连横2 = "1";
  host_.options().编辑框标题关键词 = G("读书/会");
  host_.options().组合框标题位置 = 1;
  host_.options().选择框插入词 = true;
  host_.options().选择框插入到标题 = true;
  host_.options().编辑框词 = G("好书|http://www.example.com/");
  ArticleComposer composer(host_, run_, host_.options(), true, 0, 0, {});
  Feed(composer, {"今天读完了一本书"});
  const auto& [title, article] = host_.previews.at(0);
  EXPECT_TRUE(title.ends_with("好书读书／会")) << title;
  EXPECT_NE(article.find("<a target=\"_blank\" href=\"http://www.example.com/\">好书</a>"),
            std::string::npos);
}

TEST_F(ArticleComposerTest, AnEmptyWordListTurnsWordInsertionOff) {
  host_.options().选择框插入词 = true;
  host_.options().编辑框词 = "||";
  ArticleComposer composer(host_, run_, host_.options(), true, 0, 0, {});
  EXPECT_TRUE(host_.wordInsertionTurnedOff);
}

}  // namespace
}  // namespace gw
