#include "engine/text_set.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace gw {
namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kFirstSlots = 1024;

}  // namespace

std::uint64_t TextSet::HashOf(std::string_view text) {
  return std::hash<std::string_view>{}(text);
}

void TextSet::reserve(std::size_t texts) {
  std::size_t slots = kFirstSlots;
  while (slots * 3 < texts * 4) {
    slots *= 2;
  }
  if (slots > slots_.size()) {
    growTo(slots);
  }
}

bool TextSet::insert(std::string_view text, std::uint64_t hash) {
  if ((size_ + 1) * 4 > slots_.size() * 3) {
    growTo(slots_.empty() ? kFirstSlots : slots_.size() * 2);
  }
  const std::size_t mask = slots_.size() - 1;
  const auto hashHigh = static_cast<std::uint32_t>(hash >> 32);
  const auto length = static_cast<std::uint32_t>(text.size());
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.bytes == nullptr) {
      slot = Slot{keep(text), hashHigh, length};
      ++size_;
      return true;
    }
    if (slot.hashHigh == hashHigh && slot.length == length &&
        std::memcmp(slot.bytes, text.data(), text.size()) == 0) {
      return false;
    }
  }
}

const char* TextSet::keep(std::string_view text) {
  if (blocks_.empty() || text.size() > blockSize_ - blockUsed_) {
    // A text longer than a block gets a block of its own size.
    blockSize_ = std::max(kBlockBytes, text.size());
    blocks_.push_back(std::unique_ptr<char[]>(new char[blockSize_]));
    blockUsed_ = 0;
  }
  char* const at = blocks_.back().get() + blockUsed_;
  // An empty text needs an address all the same: nullptr marks a free slot.
  if (!text.empty()) {
    std::memcpy(at, text.data(), text.size());
  }
  blockUsed_ += text.size();
  return at;
}

// Slots are placed by the lower half of the hash, which is rebuilt from the text when the table
// grows.
void TextSet::growTo(std::size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.bytes == nullptr) {
      continue;
    }
    std::size_t i = HashOf(std::string_view(slot.bytes, slot.length)) & mask;
    while (slots_[i].bytes != nullptr) {
      i = (i + 1) & mask;
    }
    slots_[i] = slot;
  }
}

}  // namespace gw
