#include "engine/message_list.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "engine/message_cut_points.h"
#include "engine/patterns.h"
#include "engine/replace_list.h"
#include "text/charset.h"
#include "text/memory_pages.h"

namespace gw {
namespace {

// Parts are a quarter of the text per thread, so that the threads stay busy until the last
// part, but never smaller than a megabyte (each part compiles the pattern once) nor larger than
// eight (a part's bytes are handed back once it has been searched, so that the text and its
// engine form are not held whole at the same time).
std::size_t PartSizeFor(std::size_t textSize, int threads) {
  constexpr std::size_t kSmallest = std::size_t{1} << 20;
  constexpr std::size_t kLargest = std::size_t{8} << 20;
  return std::clamp(textSize / (4 * static_cast<std::size_t>(std::max(threads, 1))), kSmallest,
                    kLargest);
}

const std::string& ChatMarkers() {
  static const std::string markers = Utf8ToGbk("[表情]|[图片]");
  return markers;
}

// How often the calling thread asks for a stop request while the workers search.
constexpr std::chrono::milliseconds kStopPollInterval{20};

}  // namespace

std::string RemoveChatMarkers(std::string text) {
  return ReplaceList(std::move(text), ChatMarkers(), "", false, false);
}

MessageList::MessageList(std::string text, Host& host, WorkPool& pool, bool markersLeft) {
  const std::size_t partSize = PartSizeFor(text.size(), pool.threads());
  cut(std::move(text), host, pool, markersLeft, partSize);
}

MessageList::MessageList(std::string text, Host& host) {
  WorkPool alone(1);
  cut(std::move(text), host, alone, false, 0);
}

MessageList::~MessageList() = default;

void MessageList::cut(std::string text, Host& host, WorkPool& pool, bool markersLeft,
                      std::size_t partSize) {
  std::vector<std::size_t> bounds = {0};
  for (const std::size_t at : MessageCutPoints(text, partSize, markersLeft)) {
    bounds.push_back(at);
  }
  bounds.push_back(text.size());

  // The host is asked for a stop only on this thread; the workers read the answer here.
  std::atomic<bool> stopped{false};
  const std::thread::id callingThread = std::this_thread::get_id();
  const auto interrupted = [&] {
    if (std::this_thread::get_id() == callingThread && host.stopRequested()) {
      stopped.store(true, std::memory_order_relaxed);
    }
    return stopped.load(std::memory_order_relaxed);
  };

  const std::size_t partCount = bounds.size() - 1;
  parts_.resize(partCount);
  std::vector<WorkPool::Ticket> tickets;
  tickets.reserve(partCount);
  for (std::size_t k = 0; k < partCount; ++k) {
    parts_[k] = std::make_unique<Part>();
    tickets.push_back(pool.submit([&, k] {
      Part& part = *parts_[k];
      if (stopped.load(std::memory_order_relaxed)) {
        return;
      }
      part.pattern.create(MessagePattern());
      part.pattern.setInterruption(interrupted);
      // Each part is its own stretch of the text: the markers leave it in place.
      char* const start = text.data() + bounds[k];
      std::size_t size = bounds[k + 1] - bounds[k];
      if (markersLeft) {
        size = RemoveListInPlace(start, size, ChatMarkers(), false);
      }
      part.count = part.pattern.execute(std::string_view(start, size));
      // The search holds its own form of the part: its bytes of the text are never read again.
      ReleasePages(start, bounds[k + 1] - bounds[k]);
      part.pattern.setInterruption({});
    }));
  }
  // Every part is waited for before anything else happens, also when one of them failed: the
  // jobs use the text and the parts.
  std::exception_ptr failure;
  for (const WorkPool::Ticket& ticket : tickets) {
    try {
      while (!pool.waitFor(ticket, kStopPollInterval)) {
        if (host.stopRequested()) {
          stopped.store(true, std::memory_order_relaxed);
        }
      }
    } catch (...) {
      failure = failure ? failure : std::current_exception();
    }
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
  if (stopped.load(std::memory_order_relaxed)) {
    parts_.clear();
    return;
  }
  for (const std::unique_ptr<Part>& part : parts_) {
    part->first = count_ + 1;
    count_ += part->count;
  }
}

void MessageList::releaseThrough(int position) {
  for (const std::unique_ptr<Part>& part : parts_) {
    if (part->first + part->count - 1 > position) {
      break;
    }
    part->pattern.forgetMatches();
  }
}

std::pair<const MessageList::Part*, int> MessageList::locate(int position) const {
  if (position < 1 || position > count_) {
    return {nullptr, 0};
  }
  const auto after = std::upper_bound(
      parts_.begin(), parts_.end(), position,
      [](int wanted, const std::unique_ptr<Part>& part) { return wanted < part->first; });
  const Part* part = std::prev(after)->get();
  return {part, position - part->first + 1};
}

std::string MessageList::body(int position) const {
  return Utf16ToGbk(bodyUtf16(position));
}

std::u16string_view MessageList::bodyUtf16(int position) const {
  const auto [part, number] = locate(position);
  if (part == nullptr) {
    return {};
  }
  const int group = part->pattern.subMatchTookPart(number, 2) ? 2 : 1;
  return part->pattern.matchView(number, group);
}

}  // namespace gw
