#include "text/memory_pages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace gw {
namespace {

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

// A text whose every byte tells where it stands, so that a byte moved or lost shows.
std::string Numbered(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>(i * 7 + i / 251);
  }
  return text;
}

TEST(ReserveInHugePages, GivesAtLeastTheRoomAskedForAndKeepsTheText) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{100}, 3 * kMegabyte + 5}) {
    for (const std::size_t wanted :
         {std::size_t{64}, kMegabyte, 2 * kMegabyte - 33, 2 * kMegabyte - 32, 7 * kMegabyte + 1}) {
      std::string text = Numbered(size);
      ReserveInHugePages(text, wanted);
      EXPECT_GE(text.capacity(), wanted) << size << " " << wanted;
      EXPECT_EQ(text, Numbered(size)) << size << " " << wanted;
      // The room is there to be written to its end.
      text.resize(text.capacity(), 'x');
      EXPECT_EQ(text.compare(0, size, Numbered(size)), 0);
    }
  }
}

TEST(ReserveInHugePages, RoomAlreadyLargeEnoughStaysWhereItIs) {
  std::string text = Numbered(4 * kMegabyte);
  ReserveInHugePages(text, 5 * kMegabyte);
  const char* const room = text.data();
  const std::size_t capacity = text.capacity();
  ReserveInHugePages(text, 5 * kMegabyte);
  ReserveInHugePages(text, kMegabyte);
  EXPECT_EQ(text.data(), room);
  EXPECT_EQ(text.capacity(), capacity);
  EXPECT_EQ(text, Numbered(4 * kMegabyte));
}

TEST(ReleaseWholeHugePages, HandsBackOnlyWholeHugePagesAndSaysWhereTheNextStretchStarts) {
  constexpr std::size_t kHugePage = 2 * kMegabyte;
  constexpr std::size_t kSize = 9 * kMegabyte + 12345;
  const Room<char> room = MakeRoom<char>(kSize);
  char* const data = room.get();
  const std::string original = Numbered(kSize);
  std::memcpy(data, original.data(), kSize);
  // Stretches handed back in order, as a reader leaves them behind; what lies past each one must
  // stay as it was.
  std::size_t releasedTo = 0;
  for (const std::size_t through :
       {kMegabyte / 2, 3 * kMegabyte + 7, 3 * kMegabyte + 9, 6 * kMegabyte + 1, kSize}) {
    const std::size_t dealtWith = ReleaseWholeHugePages(data + releasedTo, through - releasedTo);
    ASSERT_LE(dealtWith, through - releasedTo);
    releasedTo += dealtWith;
    EXPECT_EQ(std::memcmp(data + through, original.data() + through, kSize - through), 0)
        << "bytes past " << through;
    EXPECT_EQ(std::memcmp(data + releasedTo, original.data() + releasedTo, through - releasedTo), 0)
        << "bytes not yet handed back, before " << through;
  }
#if defined(__linux__)
  // Every huge page of the room was handed back: it reads as zeros.
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::size_t firstWhole = ((start + kHugePage - 1) & ~(kHugePage - 1)) - start;
  ASSERT_EQ(releasedTo, (start + kSize) / kHugePage * kHugePage - start);
  EXPECT_EQ(std::string_view(data + firstWhole, releasedTo - firstWhole),
            std::string(releasedTo - firstWhole, '\0'));
#endif
}

}  // namespace
}  // namespace gw
