// The messages of an export: the text searched as the message pattern searches it (see
// ScanMessages), in parts searched on the run's threads when the text is large, every message
// read from the text itself.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "engine/message_scanner.h"
#include "engine/work_pool.h"

namespace gw {

// `text` without the chat markers "[表情]" and "[图片]" (GBK).
std::string RemoveChatMarkers(std::string text);

class MessageList {
 public:
  // Takes the text over and releases it part by part as the feed leaves them behind. A text above a
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
  // The raw body of message `position` (1-based), bytes that are no GBK character read as "?".
  std::string body(int position) const;
  // The same body as the bytes of the text, without converting it; valid while the list lives
  // and the body's part has not been let go. Safe to call from several threads at once.
  std::string_view bodyGbk(int position) const;

  // Lets go of the memory of every part whose messages all lie at or before `position`: their
  // bodies read as empty from then on. For a caller done with those messages.
  void releaseThrough(int position);

 private:
  struct Part {
    std::size_t begin = 0;  // the part's bytes of the text
    std::size_t end = 0;
    std::vector<MessageBody> bodies;  // within the part; none once let go
    bool released = false;
    int count = 0;
    int first = 1;  // the position of its first message in the whole list
  };
  // `partSize` 0: one part.
  void cut(std::string text, Host& host, WorkPool& pool, bool markersLeft, std::size_t partSize);
  // The part that holds message `position` and the message's number within it.
  std::pair<const Part*, int> locate(int position) const;

  std::string text_;
  std::size_t releasedTo_ = 0;  // the text's memory before this offset went back to the system
  std::vector<std::unique_ptr<Part>> parts_;
  int count_ = 0;
};

}  // namespace gw
