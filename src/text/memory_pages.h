// The memory of large buffers: backed by huge pages where the system offers them (a buffer of a
// hundred megabytes in ordinary pages costs tens of thousands of page faults when it is first
// written, a noticeable part of a run on a virtual machine; in huge pages it costs a few dozen),
// and handed back part by part once a part is no longer read.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

namespace gw {

// Room for the characters of a large text, left uninitialised: above a megabyte it starts on a
// huge-page boundary and is advised to use huge pages, so that all of it can, not only the huge
// pages that happen to lie within it. Freed with std::free.
struct FreeRoom {
  void operator()(void* room) const noexcept { std::free(room); }
};
template <typename T>
using Room = std::unique_ptr<T[], FreeRoom>;

// `bytes` bytes of room (at least one); throws std::bad_alloc when there is none.
void* AllocateRoom(std::size_t bytes);

template <typename T>
Room<T> MakeRoom(std::size_t count) {
  static_assert(std::is_trivially_default_constructible_v<T>);
  return Room<T>(static_cast<T*>(AllocateRoom(count * sizeof(T))));
}

// Gives `text` room for at least `capacity` characters (never less than it has), laid out for
// huge pages when it is large: the room then fills whole huge pages, which the system places on
// a huge-page boundary, and all of it is advised to use huge pages, the first one included.
// The characters `text` holds stay as they are.
void ReserveInHugePages(std::string& text, std::size_t capacity);

// Has the system back the whole pages within [data, data + size) with memory now, ready to be
// written, as their first writes would: so that several threads can share that work. Does
// nothing where the system offers no such call.
void PrepareForWriting(void* data, std::size_t size);

// Gives the memory that freed allocations left in the heap back to the system, where the allocator
// keeps it otherwise (glibc): between the sources of a run, so that one source's peak does not
// add to the next one's.
void ReturnFreedMemory();

// Has every allocation of a megabyte or more mapped on its own and handed back when it is freed
// (glibc would otherwise, once such a block is freed, serve blocks up to its size from the heap,
// where a freed text of one source stays held while the next one is read). For the whole
// process; calling it again changes nothing.
void KeepLargeBlocksMapped();

// Hands the memory of [data, data + size) back to the system, in whole huge pages only: the
// buffer keeps its size but those bytes are lost (they read as zeros). A huge page that lies
// partly outside the stretch is kept whole: handing back a part of it would have the system
// split the rest into ordinary pages, each of which then costs a fault when it is next read.
// Returns how many bytes from `data` on were dealt with, 0 when no huge page lay wholly within
// them: the next stretch of the same buffer to be handed back starts there. For the stretches of
// a large buffer that will never be read again, handed back in order, so that the buffer stops
// holding memory before it is freed as a whole. Does nothing where the system offers no such
// call.
std::size_t ReleaseWholeHugePages(void* data, std::size_t size);

}  // namespace gw
