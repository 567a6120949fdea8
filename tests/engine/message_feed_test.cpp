#include "engine/message_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "feed_support.h"

namespace gw {
namespace {

using testing::FakeHost;
using testing::U;

class MessageFeedTest : public ::testing::Test {
 protected:
  MessageFeedTest() {
    Options& options = host_.options();
    options.选择框最少字数 = options.选择框最多字数 = false;
    options.选择框去除重复消息 = true;
    options.选择框删除数字 = true;
  }

  void Source(const std::vector<const char*>& bodies) {
    host_.previewText = testing::ExportOfBodies(bodies);
  }

  // The messages handed over (UTF-8), dropped ones as empty texts.
  std::vector<std::string> Feed(std::uint64_t seed = 1) {
    return testing::HandedMessages(host_, counts_, seed, threads_);
  }

  FakeHost host_;
  MessageCounts counts_;
  int threads_ = 1;
};

TEST_F(MessageFeedTest, ARepeatedTextIsTakenOnceInFileOrder) {
  // Equal after every rule (the digits go), or byte for byte; case and width count.
  Source({"好的", "收到", "好的", "电话123好", "电话456好", "OK", "ok", "ＯＫ", "收到", "好的"});
  EXPECT_EQ(Feed(), (std::vector<std::string>{"好的", "收到", "", "电话好", "", "OK", "ok", "ＯＫ",
                                              "", ""}));
  EXPECT_EQ(counts_.found, 10);
  EXPECT_EQ(counts_.taken, 6);
  EXPECT_EQ(counts_.droppedFor(DropReason::Repeated), 4);
  EXPECT_EQ(counts_.droppedInAll(), 4);

  host_.options().选择框去除重复消息 = false;
  EXPECT_EQ(Feed()[2], "好的");
  EXPECT_EQ(counts_.taken, 10);
}

TEST_F(MessageFeedTest, ShuffledEachTextIsStillTakenOnce) {
  host_.options().选择框打乱消息顺序 = true;
  std::vector<std::string> bodies;
  for (int i = 0; i < 600; ++i) {
    bodies.push_back("消息" + std::string(1, static_cast<char>('a' + i % 7)));
  }
  std::vector<const char*> pointers;
  for (const std::string& body : bodies) {
    pointers.push_back(body.c_str());
  }
  Source(pointers);
  for (const int threads : {1, 2}) {
    threads_ = threads;
    std::map<std::string, int> seen;
    for (const std::string& message : Feed(7)) {
      ++seen[message];
    }
    EXPECT_EQ(seen[""], 600 - 7) << threads;
    seen.erase("");
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_TRUE(
        std::all_of(seen.begin(), seen.end(), [](const auto& kept) { return kept.second == 1; }));
    EXPECT_EQ(counts_.taken, 7);
    EXPECT_EQ(counts_.droppedFor(DropReason::Repeated), 600 - 7);
  }
  // The order of use is the same on one and two threads, and so is what is taken.
  threads_ = 1;
  const std::vector<std::string> alone = Feed(9);
  threads_ = 2;
  EXPECT_EQ(Feed(9), alone);
}

TEST_F(MessageFeedTest, EveryMessageHandedOverCountsOnceForOneReason) {
  Options& options = host_.options();
  options.选择框最少字数 = options.选择框最多字数 = true;
  options.编辑框最少字数 = "2";
  options.编辑框最多字数 = "10";
  options.选择框忽略网址 = options.选择框忽略数字 = options.选择框忽略指定 = true;
  options.编辑框数位 = "5";
  options.编辑框忽略字符 = testing::G("广告");
  options.选择框删除数字 = false;
  options.选择框删除系统提示 = true;
  Source({"今天天气不错", "好", "这一条消息实在是太长太长了", "www.qq.cn", "电话12345678",
          "这是广告", "小王加入本群", "[语音]", "　", "今天天气不错", "明天见"});
  Feed();
  EXPECT_EQ(counts_.found, 11);
  EXPECT_EQ(counts_.taken, 2);
  for (const DropReason reason :
       {DropReason::TooShort, DropReason::TooLong, DropReason::WebAddress, DropReason::Digits,
        DropReason::Words, DropReason::Empty, DropReason::Repeated}) {
    EXPECT_EQ(counts_.droppedFor(reason), 1) << static_cast<int>(reason);
  }
  EXPECT_EQ(counts_.droppedFor(DropReason::SystemNotice), 2);
  EXPECT_EQ(counts_.taken + counts_.droppedInAll(), counts_.found);
}

}  // namespace
}  // namespace gw
