#include "engine/message_cut_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/message_cleaner.h"
#include "engine/message_feed.h"
#include "engine/message_list.h"
#include "engine/run_context.h"
#include "engine/work_pool.h"
#include "fake_host.h"
#include "synthetic_export.h"
#include "text/charset.h"

namespace gw {
namespace {

using testing::FakeHost;
using testing::G;

// The bodies one search over the whole text finds.
std::vector<std::string> BodiesOf(std::string text) {
  FakeHost host;
  const MessageList messages(std::move(text), host);
  std::vector<std::string> bodies;
  for (int i = 1; i <= messages.count(); ++i) {
    bodies.push_back(messages.body(i));
  }
  return bodies;
}

// The bodies of the parts between the cuts, each part searched on its own, in order; with
// `markersLeft` each part loses its markers first.
std::vector<std::string> BodiesOfParts(const std::string& text,
                                       const std::vector<std::size_t>& cuts, bool markersLeft) {
  std::vector<std::string> bodies;
  std::size_t from = 0;
  for (std::size_t k = 0; k <= cuts.size(); ++k) {
    const std::size_t to = k < cuts.size() ? cuts[k] : text.size();
    std::string part = text.substr(from, to - from);
    for (std::string& body : BodiesOf(markersLeft ? RemoveChatMarkers(part) : part)) {
      bodies.push_back(std::move(body));
    }
    from = to;
  }
  return bodies;
}

void ExpectCutsKeepEveryMessage(const std::string& text, std::size_t partSize) {
  const std::vector<std::string> whole = BodiesOf(text);
  const std::vector<std::string> wholeWithoutMarkers = BodiesOf(RemoveChatMarkers(text));
  for (const bool markersLeft : {false, true}) {
    const std::vector<std::size_t> cuts = MessageCutPoints(text, partSize, markersLeft);
    for (std::size_t k = 0; k < cuts.size(); ++k) {
      ASSERT_GT(cuts[k], k == 0 ? 0 : cuts[k - 1]);
      ASSERT_LT(cuts[k], text.size());
    }
    EXPECT_EQ(BodiesOfParts(text, cuts, markersLeft), markersLeft ? wholeWithoutMarkers : whole)
        << "part size " << partSize << (markersLeft ? ", markers left" : "");
  }
}

TEST(MessageCutPoints, PartsOfAnExportGiveTheMessagesOfTheWholeTextInOrder) {
  const std::string text = testing::SyntheticExport(400'000, 11);
  ASSERT_GT(BodiesOf(text).size(), 1000u);
  for (const std::size_t partSize : {std::size_t{1}, std::size_t{997}, std::size_t{65'536}}) {
    EXPECT_GT(MessageCutPoints(text, partSize, true).size(), 2u) << "the export is cut";
    ExpectCutsKeepEveryMessage(text, partSize);
  }
}

TEST(MessageCutPoints, NoCutWhereAMessageCouldRunAcrossIt) {
  // Cutting before every line that qualifies: a sender line right before a stamp line, a stamp at
  // the end of the line before, a stamp line without a sender, header blocks between
  // conversations, markers at line starts, a "[" that is a trail byte, and blank lines.
  const std::string text =
      G("2024-01-01 10:00:00 甲\r\n2024-01-01 10:00:01 乙\r\n正文一\r\n"
        "末尾带时间 2024-01-01 10:00:02\r\n2024-01-01 10:00:03 丙\r\n正文二\r\n\r\n"
        "2024-01-01 10:00:04\r\n2024-01-01 10:00:05 丁\r\n[表情]正文三\r\n"
        "[图片]2024-01-01 10:00:06 戊\r\n正文四\r\n"
        "2024-01-01 10:0[表情]0:10 只在去掉表情后才是发送行\r\n2024-01-01 10:00:11 "
        "壬\r\n正文八\r\n") +
      "\x81[\r\n" +  // a double-byte character whose second byte is "["
      G("2024-01-01 10:00:07 己\r\n正文五\r\n"
        "================================================================\r\n"
        "消息分组:我的群组\r\n"
        "================================================================\r\n"
        "消息对象:另一群\r\n"
        "================================================================\r\n\r\n"
        "2024-01-01 10:00:08 庚\r\n正文六\r\n\r\n2024-01-01 10:00:09 辛\r\n正文七");
  ASSERT_FALSE(MessageCutPoints(text, 1, false).empty());
  ExpectCutsKeepEveryMessage(text, 1);
  // A cut needs CR LF line ends: a text with bare LF is never cut.
  EXPECT_TRUE(
      MessageCutPoints(G("2024-01-01 10:00:00 甲\n正文\n2024-01-01 10:00:01 乙\n正文\n"), 1, false)
          .empty());
}

TEST(MessageListInParts, SearchedOnSeveralThreadsItHoldsTheMessagesOfOneSearch) {
  const std::string text = testing::SyntheticExport(3'000'000, 5);
  const std::vector<std::string> expected = BodiesOf(RemoveChatMarkers(text));
  FakeHost host;
  WorkPool pool(3);
  const MessageList messages(text, host, pool, true);
  ASSERT_EQ(messages.count(), static_cast<int>(expected.size()));
  for (int i = 1; i <= messages.count(); ++i) {
    ASSERT_EQ(messages.body(i), expected[static_cast<std::size_t>(i - 1)]) << "message " << i;
  }
  EXPECT_TRUE(messages.body(0).empty());
  EXPECT_TRUE(messages.bodyGbk(messages.count() + 1).empty());
}

TEST(MessageListInParts, AFeedInFileOrderLetsGoOnlyOfPartsItHasLeftBehind) {
  const std::string text = testing::SyntheticExport(3'000'000, 8);
  FakeHost host;
  host.shuffleFixed = true;
  for (const bool shuffled : {false, true}) {
    host.options().选择框打乱消息顺序 = shuffled;
    RunContext run(4, 2);
    MessageList messages(text, host, run.pool(), true);
    ASSERT_GT(messages.count(), 20000);
    // Every message cleaned on its own, before the feed may let go of any.
    MessageCleaner cleaner(host.options());
    std::vector<std::string> expected;
    for (int i = 1; i <= messages.count(); ++i) {
      expected.push_back(cleaner.clean(GbkToUtf16(messages.bodyGbk(i))));
    }
    std::vector<std::string> handed;
    FeedMessages(host, run, messages, host.options(), [&](int, int, std::string_view message) {
      handed.emplace_back(message);
      return true;
    });
    ASSERT_EQ(handed.size(), expected.size());
    if (!shuffled) {
      EXPECT_EQ(handed, expected);
      EXPECT_TRUE(messages.bodyGbk(1).empty()) << "the parts behind the feed are let go";
    } else {
      std::sort(handed.begin(), handed.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(handed, expected) << "a shuffled feed hands over every message once";
    }
  }
}

TEST(MessageListInParts, AFeedKeepsEveryPartWhenTheShuffleBoxMayStillChange) {
  // In the window the box may be checked late in a run, and a shuffled draw may then come back
  // to any message. About 4 MB of GBK: four parts.
  const std::string text = testing::SyntheticExport(6'000'000, 8);
  FakeHost host;
  RunContext run(4, 2);
  MessageList messages(text, host, run.pool(), true);
  const std::string first = messages.body(1);
  int handed = 0;
  FeedMessages(host, run, messages, host.options(), [&](int index, int, std::string_view) {
    ++handed;
    host.options().选择框打乱消息顺序 = index >= messages.count() / 4 * 3;
    return true;
  });
  EXPECT_EQ(handed, messages.count());
  EXPECT_EQ(messages.body(1), first);
}

TEST(MessageListInParts, ReleasingStopsAtTheFirstPartNotWhollyBehind) {
  // About 4 MB of GBK: four parts of about a megabyte on two threads.
  const std::string text = testing::SyntheticExport(6'000'000, 9);
  FakeHost host;
  WorkPool pool(2);
  MessageList messages(text, host, pool, false);
  const int count = messages.count();
  const std::string last = messages.body(count);
  const std::string middle = messages.body(count / 2);
  messages.releaseThrough(count / 2);
  EXPECT_TRUE(messages.body(1).empty());
  EXPECT_EQ(messages.body(count / 2), middle) << "its part still holds later messages";
  EXPECT_EQ(messages.body(count), last);
  messages.releaseThrough(count);
  EXPECT_TRUE(messages.body(count).empty());
}

}  // namespace
}  // namespace gw
