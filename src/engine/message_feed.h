// The hand-over of a source's messages, cleaned, in their order of use: file order or shuffled.
#pragma once

#include <functional>
#include <string_view>

#include "engine/host.h"
#include "engine/message_counts.h"
#include "engine/message_list.h"
#include "engine/options.h"
#include "engine/run_context.h"

namespace gw {

// Called for every message position in order of use: `index` runs 1..count; `message` is the
// cleaned text, empty when the message was dropped. Returns false to end the feed early.
using MessageSink = std::function<bool(int index, int count, std::string_view message)>;

// Cleans the messages with the rules of `options` and hands each to `sink` on the calling
// thread, in file order or shuffled (the box is read anew for every message; the shuffled order
// is drawn from a generator of its own, seeded from the run's when the feed starts). Messages
// are cleaned a few batches ahead on the run's threads. Stops before the next message once a
// stop is requested. With "选择框去除重复消息", a message whose cleaned text was handed over before
// in this feed is handed over empty. Returns the counts of the messages handed over: taken and
// dropped add up to `found` (the list's count) unless the feed ended early. While every message so
// far came in file order and the host's shuffle box cannot change, the list lets go of the parts
// the feed has left behind (see MessageList::releaseThrough).
MessageCounts FeedMessages(Host& host, RunContext& run, MessageList& messages,
                           const Options& options, const MessageSink& sink);

}  // namespace gw
