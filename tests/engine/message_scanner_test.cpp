#include "engine/message_scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/patterns.h"
#include "regex/regex_service.h"
#include "synthetic_export.h"
#include "text/charset.h"
#include "text/gbk_tables.h"

namespace gw {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// The bodies the message pattern finds, in the engine's form: the group that took part in each
// match.
std::vector<std::u16string> BodiesByThePattern(const std::string& text) {
  RegexService pattern;
  pattern.create(MessagePattern());
  const int count = pattern.execute(text);
  std::vector<std::u16string> bodies;
  for (int i = 1; i <= count; ++i) {
    bodies.emplace_back(pattern.matchView(i, pattern.subMatchTookPart(i, 2) ? 2 : 1));
  }
  return bodies;
}

std::vector<std::u16string> BodiesByTheScanner(const std::string& text) {
  std::vector<MessageBody> found;
  EXPECT_TRUE(ScanMessages(text, found));
  std::vector<std::u16string> bodies;
  for (const MessageBody& body : found) {
    EXPECT_LE(body.start, body.end);
    bodies.push_back(GbkToUtf16(std::string_view(text).substr(body.start, body.end - body.start)));
  }
  return bodies;
}

std::string Printable(const std::string& text) {
  std::string shown;
  for (const char c : GbkToUtf8(text)) {
    shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return shown;
}

TEST(MessageScanner, FindsTheBodiesOfAnExport) {
  const std::string equals(64, '=');
  const std::string text =
      G("消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n") + equals +
      G("\r\n消息分组:同学\r\n") + equals + G("\r\n消息对象:群\r\n") + equals + "\r\n\r\n" +
      G("2024-1-5 08:09:10 小王(123)\r\n你好\r\n\r\n"
        "2024/12/31  23:59:59 阿明\r\n第一行\r\n第二行 2024-1-5 08:09:10 还在\r\n下一行\r\n");
  const std::vector<std::u16string> bodies = BodiesByTheScanner(text);
  ASSERT_EQ(bodies.size(), 3u);
  EXPECT_EQ(bodies[0], u"你好\r\n\r\n");
  // A stamp inside a body ends it, and the rest of its line is read as a sender.
  EXPECT_EQ(bodies[1], u"第一行\r\n第二行 ");
  EXPECT_EQ(bodies[2], u"下一行\r\n");
  EXPECT_EQ(bodies, BodiesByThePattern(text));
}

// Pieces that make and unmake sender lines, bodies and header blocks, put together at random:
// what the scanner finds must be what the pattern finds, body for body.
TEST(MessageScanner, FindsWhatThePatternFindsOnRandomText) {
  const std::string equals(64, '=');
  const std::string title = G("消息记录（此消息记录为文本格式，不支持重新导入）");
  const std::string block =
      equals + G("\r\n消息分组:组\r\n") + equals + G("\r\n消息对象:x\r\n") + equals;
  const std::vector<std::string> pieces = {"2024-1-5 08:09:10 a\r\n",
                                           "2024/12/31    1:2:3 b\r\n",
                                           "2024-1-5 08:09:10\r\n",
                                           "2024-1-5 08:09:1\r\n",
                                           "2024-1-5 08:09:",
                                           "20245-1-5 08:09:10 c\r\n",
                                           "2024-123-5 08:09:10 d\r\n",
                                           "2024-1-5     08:09:10 e\r\n",
                                           "2024-1-5 08:09:10 f\n",
                                           "2024-1-5 08:09:10 g\r",
                                           "2024-1-5 8:9:10 h\r\n",
                                           "2024",
                                           "-",
                                           "/",
                                           " ",
                                           ":",
                                           "1",
                                           "12",
                                           "\r\n",
                                           "\r",
                                           "\n",
                                           "=",
                                           equals,
                                           equals + "=",
                                           block,
                                           block + "\r\n",
                                           title,
                                           title + "\r\n",
                                           title + "\r\n\r\n",
                                           G("\r\n消息分组:"),
                                           G("\r\n消息对象:"),
                                           G("你好"),
                                           G("消息"),
                                           G("系统"),
                                           "abc",
                                           "\x81",
                                           "\x80",
                                           "\xFF",
                                           "\xCF",
                                           "\x81\xCF",
                                           std::string("\0", 1),
                                           "\x81" + title + "\r\n" + block,
                                           G("腫") + title + "\r\n" + block};
  std::mt19937 random(20261209);
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 16);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    ASSERT_EQ(BodiesByTheScanner(text), BodiesByThePattern(text)) << Printable(text);
  }
}

TEST(MessageScanner, FindsWhatThePatternFindsInALargeExport) {
  const std::string text = testing::SyntheticExport(1 << 20, 7);
  const std::vector<std::u16string> bodies = BodiesByTheScanner(text);
  EXPECT_GT(bodies.size(), 1000u);
  EXPECT_EQ(bodies, BodiesByThePattern(text));
}

// The title line is found only where it begins a character: behind a lead byte its bytes are the
// second half of one character and the rest of others.
TEST(MessageScanner, ATitleLineInsideACharacterDoesNotEndABody) {
  const std::string equals(64, '=');
  const std::string block =
      equals + G("\r\n消息分组:组\r\n") + equals + G("\r\n消息对象:x\r\n") + equals + "\r\n";
  const std::string title = G("消息记录（此消息记录为文本格式，不支持重新导入）\r\n");
  const std::string sender = "2024-1-5 08:09:10 a\r\n";
  const std::string aligned = sender + G("你") + title + block;
  const std::string inside = sender + "\x81" + title + block;
  ASSERT_EQ(BodiesByThePattern(aligned), std::vector<std::u16string>{u"你"});
  EXPECT_EQ(BodiesByTheScanner(aligned), BodiesByThePattern(aligned));
  EXPECT_EQ(BodiesByTheScanner(inside), BodiesByThePattern(inside));
  EXPECT_NE(BodiesByTheScanner(inside), BodiesByTheScanner(aligned));
}

// The header texts are compared byte for byte: that is comparing characters only while each of
// their characters has a single GBK code.
TEST(MessageScanner, HeaderCharactersHaveOneCodeEach) {
  const std::u16string characters =
      u"消息记录（此消息记录为文本格式，不支持重新导入）消息分组:消息对象:";
  for (const char16_t character : characters) {
    int codes = 0;
    for (std::size_t code = 0x8140; code < 0x10000; ++code) {
      codes += Gbk().toUnicode[code] == character ? 1 : 0;
    }
    EXPECT_EQ(codes, character < 0x80 ? 0 : 1) << static_cast<int>(character);
  }
}

TEST(MessageScanner, GivesUpWhenInterrupted) {
  const std::string text = testing::SyntheticExport(1 << 20, 3);
  std::vector<MessageBody> bodies;
  int questions = 0;
  EXPECT_FALSE(ScanMessages(text, bodies, [&questions] { return ++questions == 2; }));
  EXPECT_EQ(questions, 2);
  bodies.clear();
  EXPECT_TRUE(ScanMessages(text, bodies, [] { return false; }));
  EXPECT_GT(bodies.size(), 2048u);
}

}  // namespace
}  // namespace gw
