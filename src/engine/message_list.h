// The messages of an export: the message pattern run over the text, in parts searched on the
// run's threads when the text is large, every message read from its match.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "engine/work_pool.h"
#include "regex/regex_service.h"

namespace gw {

// `text` without the chat markers "[表情]" and "[图片]" (GBK).
std::string RemoveChatMarkers(std::string text);

class MessageList {
 public:
  // Takes the text over and releases it part by part as the parts are searched. A text above a
  // megabyte is cut where no message can run across the cut (see MessageCutPoints) and its parts
  // are searched on the threads of `pool` (one after the other on one thread); the messages are
  // those of one search over the whole text, in order.
  // With `markersLeft`, the chat markers are removed from each part before it is searched.
  // A stop requested through `host` during the pass gives it up: the list is then empty. The
  // host is asked only on the calling thread.
  MessageList(std::string text, Host& host, WorkPool& pool, bool markersLeft = false);
  // One search over the whole text, on the calling thread.
  MessageList(std::string text, Host& host);
  ~MessageList();
  MessageList(const MessageList&) = delete;
  MessageList& operator=(const MessageList&) = delete;

  int count() const { return count_; }
  // The raw body of message `position` (1-based): the body group that took part in its match.
  // A record that ends the text (or a part of it) has its body in group 2; the last match may
  // still come from group 1 (the text ends with a sender line without a body, or with a stamp
  // after the body).
  std::string body(int position) const;
  // The same body in the regular-expression engine's form, without converting it; valid while
  // the list lives. Safe to call from several threads at once.
  std::u16string_view bodyUtf16(int position) const;

  // Lets go of the memory of every part whose messages all lie at or before `position`: their
  // bodies read as empty from then on. For a caller done with those messages.
  void releaseThrough(int position);

 private:
  struct Part {
    RegexService pattern;
    int count = 0;
    int first = 1;  // the position of its first message in the whole list
  };
  // `partSize` 0: one part.
  void cut(std::string text, Host& host, WorkPool& pool, bool markersLeft, std::size_t partSize);
  // The part that holds message `position` and the message's number within it.
  std::pair<const Part*, int> locate(int position) const;

  std::vector<std::unique_ptr<Part>> parts_;
  int count_ = 0;
};

}  // namespace gw
