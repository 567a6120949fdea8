// gzip decompression of whole in-memory data.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/stop_query.h"

namespace gw {

// Decompresses gzip data the way `gzip -d` does: every member of a multi-member stream (as
// `cat a.gz b.gz` makes) is decompressed and the results are joined. On corrupt or truncated
// data the result is what was decompressed before the fault, possibly nothing.
std::string GunzipBytes(std::string_view compressed);

// The same, but decompression stops as soon as the result would grow beyond `maxBytes` (a
// small file that inflates to gigabytes): `exceeded` is then true and the result is empty.
// Memory held never goes much beyond `maxBytes`.
std::string GunzipBytes(std::string_view compressed, std::size_t maxBytes, bool& exceeded);

// The same, decompressing a slice at a time and asking `stopRequested` between two slices:
// nullopt when it said yes.
std::optional<std::string> GunzipBytes(std::string_view compressed, std::size_t maxBytes,
                                       bool& exceeded, const StopQuery& stopRequested);

// True when `bytes` starts with the gzip signature 1F 8B.
inline bool StartsWithGzipSignature(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

}  // namespace gw
