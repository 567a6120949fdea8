// The hand-over of a source's messages, cleaned, in their order of use: file order or shuffled.
#pragma once

#include <functional>
#include <string_view>

#include "engine/host.h"
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
// stop is requested. Returns the number of message positions handed over. While every message so
// far came in file order and the host's shuffle box cannot change, the list lets go of the parts
// the feed has left behind (see MessageList::releaseThrough).
int FeedMessages(Host& host, RunContext& run, MessageList& messages, const Options& options,
                 const MessageSink& sink);

}  // namespace gw
