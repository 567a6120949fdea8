// Large buffers backed by huge pages where the system offers them. A buffer of a hundred
// megabytes in ordinary pages costs tens of thousands of page faults when it is first written,
// a noticeable part of a run on a virtual machine; in huge pages it costs a few dozen.
#pragma once

#include <cstddef>

namespace gw {

// Asks the system to back the whole pages within [data, data + size) with huge pages, before
// they are first written. Does nothing for buffers below a few megabytes or where huge pages are
// not to be had; the buffer works the same either way.
void AdviseHugePages(const void* data, std::size_t size);

}  // namespace gw
