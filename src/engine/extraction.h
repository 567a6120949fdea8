// From a chat export to the sequence of cleaned messages: loading, the whole-text
// transformations, cutting into messages and the hand-over of every message in order of use.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/host.h"
#include "engine/message_feed.h"
#include "engine/message_list.h"
#include "engine/run_context.h"
#include "text/source_reader.h"

namespace gw {

// A file of the run read ahead, while the source before it was composed.
struct ReadAhead {
  TextEncoding encoding = TextEncoding::Auto;  // the encoding box it was read with
  SourceRead read;
  // Set when the run is stopping: the read gives up at its next slice.
  std::atomic<bool> abandoned{false};
};

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
  // The chat markers are still in the text, left for the message search to remove part by part
  // (see MarkerRemoval).
  bool markersLeft = false;
};

// When the chat markers leave the text: at once, or (LeftToCutting) while the message search
// cuts the text, when no later whole-text step runs, so that a large text is not copied once
// more for them. The caller then hands `markersLeft` on to MessageList.
enum class MarkerRemoval { Now, LeftToCutting };

// Loads the source and applies, in order: marker removal, the custom replacement, the
// blocked-word filter and the simplified/traditional conversion. Sets the status line as it goes.
// A custom pattern that the engine rejects is reported to the host ("正则表达式有误：" and the
// engine's message) and the source yields nothing; so is one that hits the engine's match limits
// on the text ("正则替换超出匹配限制，未能完成", and the file).
// `readAhead`, when given, is the file as read ahead: used when the encoding box still reads the
// same, else the file is read again.
LoadedSource LoadSource(Host& host, RunContext& run, const Options& options,
                        const SourceRef& source, MarkerRemoval markers = MarkerRemoval::Now,
                        ReadAhead* readAhead = nullptr);

}  // namespace gw
