#include "engine/message_list.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "engine/message_cut_points.h"
#include "engine/message_scanner.h"
#include "engine/replace_list.h"
#include "text/charset.h"
#include "text/memory_pages.h"

namespace gw {
namespace {

// Parts are a quarter of the text per thread, so that the threads stay busy until the last
// part, but never smaller than a megabyte nor larger than eight (a part's bytes are handed back
// once the feed is past its messages).
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
  text_ = std::move(text);
  std::vector<std::size_t> bounds = {0};
  for (const std::size_t at : MessageCutPoints(text_, partSize, markersLeft)) {
    bounds.push_back(at);
  }
  bounds.push_back(text_.size());

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
    parts_[k]->begin = bounds[k];
    parts_[k]->end = bounds[k + 1];
    tickets.push_back(pool.submit([&, k] {
      Part& part = *parts_[k];
      if (stopped.load(std::memory_order_relaxed)) {
        return;
      }
      // Each part is its own stretch of the text: the markers leave it in place.
      char* const start = text_.data() + part.begin;
      std::size_t size = part.end - part.begin;
      if (markersLeft) {
        size = RemoveListInPlace(start, size, ChatMarkers(), false);
      }
      std::vector<MessageBody> bodies;
      if (ScanMessages(std::string_view(start, size), bodies, interrupted)) {
        part.bodies = std::move(bodies);
      }
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
    std::string().swap(text_);
    return;
  }
  for (const std::unique_ptr<Part>& part : parts_) {
    part->first = count_ + 1;
    part->count = static_cast<int>(part->bodies.size());
    count_ += part->count;
  }
}

void MessageList::releaseThrough(int position) {
  std::size_t through = releasedTo_;
  for (const std::unique_ptr<Part>& part : parts_) {
    if (part->first + part->count - 1 > position) {
      break;
    }
    if (!part->released) {
      part->released = true;
      std::vector<MessageBody>().swap(part->bodies);
    }
    through = part->end;
  }
  // The parts are let go in order: the text's memory goes back from where the last release
  // stopped to the end of the last part let go.
  if (through > releasedTo_) {
    releasedTo_ += ReleaseWholeHugePages(text_.data() + releasedTo_, through - releasedTo_);
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
  // Bytes that are no GBK character read as "?", as they do in every cleaned message.
  return Utf16ToGbk(GbkToUtf16(bodyGbk(position)));
}

std::string_view MessageList::bodyGbk(int position) const {
  const auto [part, number] = locate(position);
  if (part == nullptr || static_cast<std::size_t>(number) > part->bodies.size()) {
    return {};
  }
  const MessageBody& body = part->bodies[static_cast<std::size_t>(number) - 1];
  return std::string_view(text_).substr(part->begin + body.start, body.end - body.start);
}

}  // namespace gw
