// How many messages a source had, how many were taken, and why the others were dropped.
#pragma once

#include <array>
#include <string>

namespace gw {

// Why a message was not taken, in the order the rules run; None: taken.
enum class DropReason {
  None,
  SystemNotice,  // 删除系统提示: a notice, or a message left blank without its placeholders
  Empty,         // nothing left after line folding or after the delete rules
  TooShort,
  TooLong,
  WebAddress,  // the ignore rules
  Digits,
  Words,
  Repeated,  // 去除重复消息: the same cleaned text was taken before in this source
};

inline constexpr std::size_t kDropReasons = static_cast<std::size_t>(DropReason::Repeated) + 1;

struct MessageCounts {
  int found = 0;  // the source's messages
  int taken = 0;
  std::array<int, kDropReasons> dropped{};  // by reason; the None entry stays 0

  // Counts one message handed over.
  void count(DropReason reason);
  int droppedFor(DropReason reason) const { return dropped[static_cast<std::size_t>(reason)]; }
  int droppedInAll() const;
  MessageCounts& operator+=(const MessageCounts& other);
};

// Two lines (GBK, joined by "\n"): "消息：找到 n 条，采用 m 条" and "舍弃：" with the count of
// every reason, zeros included, so that the lines always read the same way.
std::string MessageCountsText(const MessageCounts& counts);

}  // namespace gw
