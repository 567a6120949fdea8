// Feeding a short export of message bodies through the message feed, as a preview source.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/extraction.h"
#include "engine/message_feed.h"
#include "fake_host.h"

namespace gw::testing {

// An export (GBK) whose messages are `bodies` (UTF-8), each from 阿明, a second apart.
inline std::string ExportOfBodies(const std::vector<const char*>& bodies) {
  std::vector<std::vector<std::string>> records;
  int second = 10;
  for (const char* body : bodies) {
    records.push_back({"2024-03-01 20:15:" + std::to_string(second++) + " 阿明(123456)", body});
  }
  return ChatExport(records);
}

// The messages the feed hands over for the host's preview text (UTF-8), a dropped one as an
// empty text; `counts` receives the feed's counts.
inline std::vector<std::string> HandedMessages(FakeHost& host, MessageCounts& counts,
                                               std::uint64_t seed = 1, int threads = 1) {
  RunContext run(seed, threads);
  const Options options = *host.currentOptions();
  LoadedSource loaded = LoadSource(host, run, options, SourceRef{true, {}, 0, 0});
  MessageList messages(loaded.text, host);
  std::vector<std::string> handed;
  counts = FeedMessages(host, run, messages, options, [&](int, int, std::string_view message) {
    handed.push_back(U(message));
    return true;
  });
  return handed;
}

}  // namespace gw::testing
