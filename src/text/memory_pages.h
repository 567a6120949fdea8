// The memory of large buffers: backed by huge pages where the system offers them (a buffer of a
// hundred megabytes in ordinary pages costs tens of thousands of page faults when it is first
// written, a noticeable part of a run on a virtual machine; in huge pages it costs a few dozen),
// and handed back part by part once a part is no longer read.
#pragma once

#include <cstddef>

namespace gw {

// Asks the system to back the whole pages within [data, data + size) with huge pages, before
// they are first written. Does nothing for buffers below a few megabytes or where huge pages are
// not to be had; the buffer works the same either way.
void AdviseHugePages(const void* data, std::size_t size);

// Hands the whole pages within [data, data + size) back to the system: the buffer keeps its size
// but those bytes are lost (they read as zeros). For a stretch of a large buffer that will never
// be read again, so that the buffer stops holding memory before it is freed as a whole. Does
// nothing where the system offers no such call.
void ReleasePages(void* data, std::size_t size);

}  // namespace gw
