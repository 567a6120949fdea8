#include "text/memory_pages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

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

}  // namespace
}  // namespace gw
