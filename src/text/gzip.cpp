#include "text/gzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "text/memory_pages.h"

namespace gw {
namespace {

// An inflate stream set up for gzip data, ended when it goes out of scope.
class GzipInflater {
 public:
  GzipInflater() { ready_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
  ~GzipInflater() {
    if (ready_) {
      inflateEnd(&stream_);
    }
  }
  GzipInflater(const GzipInflater&) = delete;
  GzipInflater& operator=(const GzipInflater&) = delete;

  bool ready() const { return ready_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

std::string GunzipBytes(std::string_view compressed) {
  bool exceeded = false;
  return GunzipBytes(compressed, std::string().max_size(), exceeded);
}

std::string GunzipBytes(std::string_view compressed, std::size_t maxBytes, bool& exceeded) {
  return *GunzipBytes(compressed, maxBytes, exceeded, {});
}

std::optional<std::string> GunzipBytes(std::string_view compressed, std::size_t maxBytes,
                                       bool& exceeded, const StopQuery& stopRequested) {
  exceeded = false;
  std::string result;
  GzipInflater inflater;
  if (!inflater.ready() || compressed.empty()) {
    return result;
  }
  z_stream& stream = inflater.stream();
  // zlib counts in uInt: hand the input over in slices that fit.
  constexpr std::size_t kMaxSlice = std::size_t{1} << 30;
  const auto* next = reinterpret_cast<const Bytef*>(compressed.data());
  std::size_t remaining = compressed.size();
  const auto refill = [&] {
    if (stream.avail_in == 0 && remaining > 0) {
      const std::size_t slice = std::min(remaining, kMaxSlice);
      stream.next_in = const_cast<Bytef*>(next);
      stream.avail_in = static_cast<uInt>(slice);
      next += slice;
      remaining -= slice;
    }
  };

  // The room starts at the size the gzip trailer gives for its member (exact for a file of one
  // member), or, when the trailer claims more than deflate can give, at a few times the input;
  // it grows geometrically when that is not enough, never beyond one byte more than the limit
  // (that byte tells a result over the limit).
  const std::size_t ceiling = maxBytes < result.max_size() ? maxBytes + 1 : maxBytes;
  const auto roomFor = [ceiling](std::size_t wanted) { return std::min(wanted, ceiling); };
  std::size_t written = 0;
  std::size_t start = std::max<std::size_t>(compressed.size() / 2 * 8, 64 * 1024);
  if (compressed.size() >= 18) {  // a header of 10 bytes and a trailer of 8
    const auto* trailer =
        reinterpret_cast<const unsigned char*>(compressed.data()) + compressed.size() - 4;
    const std::size_t claimed = std::size_t{trailer[0]} | std::size_t{trailer[1]} << 8 |
                                std::size_t{trailer[2]} << 16 | std::size_t{trailer[3]} << 24;
    constexpr std::size_t kMostDeflateRatio = 1032;
    if (claimed / kMostDeflateRatio <= compressed.size()) {
      start = std::max<std::size_t>(claimed + 1, 64 * 1024);  // + 1: the end is seen in place
    }
  }
  // The room is set aside at once but backed and sized a slice at a time, as the output reaches
  // it; a stop request is looked for between two slices.
  constexpr std::size_t kOutputSlice = std::size_t{8} << 20;
  std::size_t goal = roomFor(start);
  ReserveInHugePages(result, goal);
  while (true) {
    refill();
    if (written > maxBytes) {
      exceeded = true;
      return std::string();
    }
    if (stopRequested && stopRequested()) {
      return std::nullopt;
    }
    if (written == goal) {
      goal = roomFor(goal / 2 * 4);
      ReserveInHugePages(result, goal);
    }
    if (written == result.size()) {
      const std::size_t size = std::min(goal, written + kOutputSlice);
      PrepareForWriting(result.data() + written, size - written);
      result.resize(size);
    }
    const std::size_t room = std::min(result.size() - written, kMaxSlice);
    stream.next_out = reinterpret_cast<Bytef*>(result.data() + written);
    stream.avail_out = static_cast<uInt>(room);
    const int status = inflate(&stream, Z_NO_FLUSH);
    written += room - stream.avail_out;
    if (status == Z_STREAM_END) {
      refill();
      if (stream.avail_in == 0) {
        break;  // the last member ended with the input
      }
      // Another member follows (or trailing bytes, which then fail as a corrupt member).
      if (inflateReset(&stream) != Z_OK) {
        break;
      }
      continue;
    }
    if (status != Z_OK) {
      break;  // corrupt data, or truncated input that cannot go further (Z_BUF_ERROR)
    }
  }
  if (written > maxBytes) {
    exceeded = true;
    return std::string();
  }
  result.resize(written);
  return result;
}

}  // namespace gw
