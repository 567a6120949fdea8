// From a chat export to the sequence of cleaned messages: loading, the whole-text
// transformations, cutting into messages and the hand-over of every message in order of use.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/host.h"
#include "engine/message_cleaner.h"
#include "engine/run_context.h"
#include "regex/regex_service.h"
#include "text/source_reader.h"

namespace gw {

// Which source a call works on: a file of the run, or (preview) the source-message box.
struct SourceRef {
  bool preview = false;
  std::string path;  // file-system path (UTF-8 on Linux); empty in preview mode
  int fileCount = 0;
  int fileIndex = 0;
};

// The name the status line shows for a path: the file name without its extension, as GBK.
std::string SourceDisplayName(std::string_view path);

// Why a source yields no text, or (NoMessages) a text without any sender line.
enum class LoadFailure { None, Unreadable, PatternRejected, NoMessages };

struct LoadedSource {
  std::string text;  // after the whole-text transformations
  LoadFailure failure = LoadFailure::None;
  // Why an unreadable source was not read (missing, refused for its size, ...).
  SourceStatus readStatus = SourceStatus::Read;
  int readError = 0;  // the system's error number of an unreadable source, 0 when unknown
};

// Loads the source and applies, in order: marker removal, the custom replacement, the
// blocked-word filter and the simplified/traditional conversion. Sets the status line as it goes.
// A custom pattern that the engine rejects is reported to the host ("正则表达式有误：" and the
// engine's message) and the source yields nothing; so is one that hits the engine's match limits
// on the text ("正则替换超出匹配限制，未能完成", and the file).
LoadedSource LoadSource(Host& host, RunContext& run, const Options& options,
                        const SourceRef& source);

// The messages of a text: the message pattern run once, every message read from its matches.
class MessageList {
 public:
  // Takes the text over and releases it once the search has its own copy.
  // A stop requested through `host` during the pass gives it up: the list is then empty.
  MessageList(std::string text, Host& host);
  int count() const { return count_; }
  // The raw body of message `position` (1-based): the body group that took part in its match.
  // A record that ends the text has its body in group 2; the last match may still come from
  // group 1 (the text ends with a sender line without a body, or with a stamp after the body).
  std::string body(int position) const;
  // The same body in the regular-expression engine's form, without converting it; valid while
  // the list lives.
  std::u16string_view bodyUtf16(int position) const;

 private:
  int bodyGroup(int position) const;

  RegexService pattern_;
  int count_ = 0;
};

// Called for every message position in order of use: `index` runs 1..count; `message` is the
// cleaned text, empty when the message was dropped. Returns false to end the feed early.
using MessageSink = std::function<bool(int index, int count, const std::string& message)>;

// Cleans the messages one by one, in file order or shuffled (the box is read anew before every
// message), and hands each to `sink`. Stops before the next message once a stop is requested.
// Returns the number of message positions handed over.
int FeedMessages(Host& host, RunContext& run, const MessageList& messages, MessageCleaner& cleaner,
                 const MessageSink& sink);

}  // namespace gw
