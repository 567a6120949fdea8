// Where an export can be cut into parts that are searched for messages one by one, each part
// giving exactly the messages it holds inside the whole text, so that the parts can be searched on
// several threads and their messages joined in order.
//
// A cut goes before a line that opens with a stamp, right after the CR LF of a line that holds no
// stamp anywhere:
// - every body ends at the first stamp or header block after it, so none runs across the stamp;
//   the message before the cut, searched on its own, ends with the text instead, with the same
//   body;
// - the line before holds no stamp, so no sender line ends right at the cut (its body would start
//   there and take the stamp in);
// - no header block reaches across the cut: each of its lines opens with "=" or "消息" or is
//   blank, never with a stamp's digit, and the line before the cut ends with its CR LF.
// When the chat markers are still to be removed from the parts, the line before holds no "[" byte,
// so that removing them cannot join a stamp there. (The stamp the cut line opens with holds no
// marker, and removing one after it leaves it as it is.)
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace gw {

// Offsets of the cuts, in order, each about `partSize` bytes after the one before (or after the
// start): the first line from there on that qualifies, looked for over at most `partSize` bytes.
// Empty when `partSize` is 0 or the text is not longer than it.
std::vector<std::size_t> MessageCutPoints(std::string_view text, std::size_t partSize,
                                          bool markersLeft);

}  // namespace gw
