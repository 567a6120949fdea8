#include "engine/message_counts.h"

#include <numeric>
#include <string_view>
#include <utility>

#include "text/charset.h"

namespace gw {

void MessageCounts::count(DropReason reason) {
  if (reason == DropReason::None) {
    ++taken;
  } else {
    ++dropped[static_cast<std::size_t>(reason)];
  }
}

int MessageCounts::droppedInAll() const {
  return std::accumulate(dropped.begin(), dropped.end(), 0);
}

MessageCounts& MessageCounts::operator+=(const MessageCounts& other) {
  found += other.found;
  taken += other.taken;
  for (std::size_t i = 0; i < kDropReasons; ++i) {
    dropped[i] += other.dropped[i];
  }
  return *this;
}

std::string MessageCountsText(const MessageCounts& counts) {
  // In the order a reader meets the rules in the window, the new ones last.
  constexpr std::pair<DropReason, std::string_view> kReasonNames[] = {
      {DropReason::TooShort, "过短"},     {DropReason::TooLong, "过长"},
      {DropReason::WebAddress, "含网址"}, {DropReason::Digits, "含数字"},
      {DropReason::Words, "含指定词"},    {DropReason::SystemNotice, "系统提示"},
      {DropReason::Repeated, "重复"},     {DropReason::Empty, "空消息"},
  };
  std::string text = "消息：找到 " + std::to_string(counts.found) + " 条，采用 " +
                     std::to_string(counts.taken) + " 条\n舍弃：";
  bool first = true;
  for (const auto& [reason, name] : kReasonNames) {
    text +=
        (first ? "" : "，") + std::string(name) + " " + std::to_string(counts.droppedFor(reason));
    first = false;
  }
  return Utf8ToGbk(text);
}

}  // namespace gw
