#include "text/memory_pages.h"

#include <algorithm>
#include <cstdint>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace gw {
namespace {

constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

#if defined(__linux__)
// Gives `advice` for the pages of `pageSize` bytes that lie wholly within [data, data + size).
void AdviseWholePages(const void* data, std::size_t size, std::size_t pageSize, int advice) {
  if (data == nullptr || size < pageSize) {
    return;
  }
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + pageSize - 1) & ~(pageSize - 1);
  const std::uintptr_t last = (start + size) & ~(pageSize - 1);
  if (first < last) {
    ::madvise(reinterpret_cast<void*>(first), last - first, advice);
  }
}
#endif

// Asks the system to back the whole huge pages within [data, data + size) with huge pages,
// before they are first written. Only advice: a refusal (no transparent huge pages, memory not
// from mmap) changes nothing.
void AdviseHugePages(const void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  AdviseWholePages(data, size, kHugePageSize, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// MADV_COLLAPSE (Linux 6.1), which glibc's headers before 2.37 do not name.
#if defined(MADV_COLLAPSE)
constexpr int kCollapseAdvice = MADV_COLLAPSE;
#else
constexpr int kCollapseAdvice = 25;
#endif

// Advises huge pages for new room at [data, data + size), the first huge page included where
// the room begins just past its start. A large block is mapped on its own, and the allocator
// writes its header at the start of the mapping before handing the room out: that write backs
// the first huge page's first ordinary page, and the rest of that huge page would then be backed
// page by page as well. While only that one page is backed, collapsing the huge page into one
// is cheap; backing its other 511 pages one by one costs milliseconds on a virtual machine.
void AdviseHugePagesOfNewRoom(const void* data, std::size_t size) {
  constexpr std::uintptr_t kMostHeaderBytes = 64;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t firstPage = start & ~(kHugePageSize - 1);
  if (start - firstPage <= kMostHeaderBytes && firstPage + kHugePageSize <= start + size) {
    auto* page = reinterpret_cast<void*>(firstPage);
    ::madvise(page, kHugePageSize, MADV_HUGEPAGE);
    ::madvise(page, kHugePageSize, kCollapseAdvice);  // refused before Linux 6.1: only slower
  }
  AdviseHugePages(data, size);
}
#endif

}  // namespace

void ReserveInHugePages(std::string& text, std::size_t capacity) {
  if (capacity <= text.capacity()) {
    return;
  }
  if (capacity < kHugePageSize) {
    text.reserve(capacity);
    return;
  }
  // glibc maps a block of n bytes as n plus at most 32 bytes (its header and rounding), rounded
  // up to whole pages; the string asks for one byte more than its capacity. A mapping of whole
  // huge pages is one that Linux places on a huge-page boundary.
  constexpr std::size_t kAllocatorBytes = 32;
  const std::size_t pages = (capacity + 1 + kAllocatorBytes + kHugePageSize - 1) / kHugePageSize;
  text.reserve(pages * kHugePageSize - kAllocatorBytes - 1);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  AdviseHugePagesOfNewRoom(text.data(), text.capacity());
#endif
}

void* AllocateRoom(std::size_t bytes) {
  bytes = std::max<std::size_t>(bytes, 1);
  void* room = nullptr;
  if (bytes >= (std::size_t{1} << 20)) {
    const std::size_t rounded = (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
    room = std::aligned_alloc(kHugePageSize, rounded);
    AdviseHugePages(room, rounded);
  } else {
    room = std::malloc(bytes);
  }
  if (room == nullptr) {
    throw std::bad_alloc();
  }
  return room;
}

void PrepareForWriting(void* data, std::size_t size) {
#if defined(MADV_POPULATE_WRITE)
  // The system may not know the advice (before Linux 5.14): the pages are then backed by their
  // first writes, as always.
  AdviseWholePages(data, size, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)),
                   MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

void KeepLargeBlocksMapped() {
#if defined(__GLIBC__)
  static const bool kept = ::mallopt(M_MMAP_THRESHOLD, 1 << 20) != 0;
  (void)kept;
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

std::size_t ReleaseWholeHugePages(void* data, std::size_t size) {
#if defined(__linux__) && defined(MADV_DONTNEED)
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
  const std::uintptr_t last = (start + size) & ~(kHugePageSize - 1);
  if (data == nullptr || first >= last) {
    return 0;
  }
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
  return last - start;
#else
  (void)data;
  (void)size;
  return 0;
#endif
}

}  // namespace gw
