// Articles written in UTF-8, with or without its signature, are the GBK articles of the same run
// converted, byte for byte, under the same names.
#include "engine/article_encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "engine/run_driver.h"
#include "fake_host.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using testing::FakeHost;
using testing::G;

// The reference conversion, by the C library rather than the program's own tables.
std::string Cp936ToUtf8(const std::string& bytes) {
  const iconv_t converter = ::iconv_open("UTF-8", "CP936");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string in = bytes;
  std::string out(bytes.size() * 3 + 4, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t left = in.size();
  std::size_t room = out.size();
  EXPECT_NE(::iconv(converter, &from, &left, &to, &room), static_cast<std::size_t>(-1));
  ::iconv_close(converter);
  out.resize(out.size() - room);
  return out;
}

std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

class ArticleEncodingRun : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("gw-article-encoding-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::string text = G("消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n");
    const char* const messages[] = {
        "今天去公园看了“菊花展”，人很多。",       "周末一起爬山吗？带上相机和水壶！",
        "¥15 的门票 —— 值得；€ 也收吗？",         "書單更新了：《邊城》、《圍城》。",
        "ASCII only line with 12345 and symbols", "α β γ 与 ①②③ 都能写进文章吗"};
    for (int round = 0; round < 6; ++round) {
      for (const char* message : messages) {
        text += G("2016-05-03 9:08:") + std::to_string(10 + round) + G(" 某人(100)\r\n") +
                G(message) + "\r\n\r\n";
      }
    }
    source_ = folder_ / "群聊.txt";
    std::ofstream(source_, std::ios::binary) << text;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::map<std::string, std::string> Run(int encoding, const std::string& name) {
    FakeHost host;
    host.options().组合框文章编码 = encoding;
    host.options().编辑框最少字数 = "1";
    host.options().编辑框连横1 = "1";
    host.options().编辑框连横2 = "2";
    host.options().编辑框合纵1 = "2";
    host.options().编辑框合纵2 = "2";
    const fs::path out = folder_ / name;
    host.options().编辑框保存文件夹 = G(out.string());
    const RunOutcome outcome = RunFiles(host, {source_.string()}, 7, 2);
    EXPECT_GT(outcome.articlesWritten, 1);
    return Tree(out);
  }

  fs::path folder_;
  fs::path source_;
};

TEST_F(ArticleEncodingRun, Utf8ArticlesAreTheGbkArticlesConvertedUnderTheSameNames) {
  const auto gbk = Run(0, "gbk");
  const auto utf8 = Run(1, "utf8");
  const auto signed8 = Run(2, "signed");
  ASSERT_EQ(utf8.size(), gbk.size());
  ASSERT_EQ(signed8.size(), gbk.size());
  bool sawWideCharacters = false;
  for (const auto& [name, bytes] : gbk) {
    ASSERT_TRUE(utf8.contains(name)) << name;
    ASSERT_TRUE(signed8.contains(name)) << name;
    const std::string converted = Cp936ToUtf8(bytes);
    EXPECT_EQ(utf8.at(name), converted) << name;
    EXPECT_EQ(signed8.at(name), "\xEF\xBB\xBF" + converted) << name;
    sawWideCharacters = sawWideCharacters || converted.find("\xE2\x82\xAC") != std::string::npos ||
                        converted.find("\xE2\x91\xA0") != std::string::npos;
  }
  EXPECT_TRUE(sawWideCharacters) << "three-byte UTF-8 forms (€, ①) are among the articles";
}

TEST(ArticleEncoding, GbkStaysAsItIsAndAnEmptyArticleKeepsItsSignature) {
  const std::string mixed = G("边城 ok ①") + std::string("\x81", 1);
  EXPECT_EQ(EncodeArticle(mixed, ArticleEncoding::Gbk), mixed);
  EXPECT_EQ(EncodeArticle("", ArticleEncoding::Utf8), "");
  EXPECT_EQ(EncodeArticle("", ArticleEncoding::Utf8WithSignature), "\xEF\xBB\xBF");
  EXPECT_EQ(ArticleEncodingOf(7), ArticleEncoding::Gbk);
  EXPECT_EQ(ArticleEncodingOf(-1), ArticleEncoding::Gbk);
}

}  // namespace
}  // namespace gw
