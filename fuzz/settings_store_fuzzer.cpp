// The settings store: the input's first part becomes the settings file, the rest a sequence of
// edits. After every edit, what was written reads back, the file on disk holds exactly the
// store's content (or, inside a batch, the content before the batch), and a fresh store that
// opens the file reads the same values.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"

namespace {

using gw::fuzz::Check;

std::string FileContent(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The file as the store reads it: a file whose line ends are all bare LFs is read with CR LF.
std::string AsRead(std::string bytes) {
  if (bytes.find('\n') == std::string::npos || bytes.find("\r\n") != std::string::npos) {
    return bytes;
  }
  std::string lines;
  for (const char c : bytes) {
    if (c == '\n') {
      lines.push_back('\r');
    }
    lines.push_back(c);
  }
  return lines;
}

bool Holds(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Names that the file format can hold: a section name without brackets or line breaks, a key
// without "=" or line breaks that does not start like a section header.
bool SectionFits(std::string_view name) {
  return !name.empty() && !Holds(name, "]") && !Holds(name, "\r") && !Holds(name, "\n");
}
bool KeyFits(std::string_view key) {
  return !key.empty() && key[0] != '[' && !Holds(key, "=") && !Holds(key, "\r") &&
         !Holds(key, "\n");
}

// A short name: usually one of a few, so that edits meet each other's sections and keys.
std::string Name(FuzzedDataProvider& provider, const char* const* common, std::size_t count) {
  if (provider.ConsumeBool()) {
    return common[provider.ConsumeIntegralInRange<std::size_t>(0, count - 1)];
  }
  return provider.ConsumeRandomLengthString(12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kSections[] = {"A", "B", "\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3", "A B"};
  static const char* const kKeys[] = {"k", "key", "k2", "\xB4\xCA"};

  FuzzedDataProvider provider(data, size);
  const gw::fuzz::ScratchFolder& scratch = gw::fuzz::Scratch();
  scratch.clear();
  const std::filesystem::path path = scratch.path() / "settings.ini";
  gw::fuzz::WriteFile(path, provider.ConsumeRandomLengthString(2048));

  gw::SettingsStore store;
  gw::fuzz::Trace("file", FileContent(path));
  Check(store.open(path, false), "the store opens its file");
  Check(store.allText() == AsRead(FileContent(path)), "the store holds the file");
  const std::string initialFile = FileContent(path);
  std::string committed = store.allText();  // what the file must hold
  int batchDepth = 0;

  for (int step = 0; step < 24 && provider.remaining_bytes() > 0; ++step) {
    const std::string section = Name(provider, kSections, std::size(kSections));
    const std::string key = Name(provider, kKeys, std::size(kKeys));
    const bool fits = SectionFits(section) && KeyFits(key);
    store.setSection(section);
    const int operation = provider.ConsumeIntegralInRange<int>(0, 9);
    gw::fuzz::Trace("section", section);
    gw::fuzz::Trace("key", key);
    gw::fuzz::Trace("operation", std::to_string(operation));
    switch (operation) {
      case 0: {
        const std::string text = provider.ConsumeRandomLengthString(40);
        gw::fuzz::Trace("text", text);
        const bool written = store.writeText(key, text);
        gw::fuzz::Trace("content", store.allText());
        Check(written, "a text is written");
        // The store reads back what the stored form gives back, up to its first zero byte (a
        // stored form that is empty there gives the fallback): a text that holds part of the
        // line-break marker next to a line break, or a high byte before one, comes back otherwise.
        const std::string stored = gw::EncodeStoredText(text);
        const std::string_view kept = std::string_view(stored).substr(0, stored.find('\0'));
        if (fits) {
          const std::string expected = kept.empty() ? "fallback" : gw::DecodeStoredText(kept);
          Check(store.readText(key, "fallback") == expected, "a written text reads back");
        }
        break;
      }
      case 1: {
        const double value = provider.ConsumeFloatingPoint<double>();
        Check(store.writeNumber(key, value), "a number is written");
        if (fits && std::isfinite(value)) {
          Check(store.readNumber(key, -1) == value, "a written number reads back");
        }
        break;
      }
      case 2: {
        const bool value = provider.ConsumeBool();
        Check(store.writeBool(key, value), "a boolean is written");
        if (fits) {
          Check(store.readBool(key, !value) == value, "a written boolean reads back");
        }
        break;
      }
      case 3: {
        // Any second of the years 1 to 9999.
        const std::int64_t seconds =
            provider.ConsumeIntegralInRange<std::int64_t>(-62135596800, 253402300799);
        const std::chrono::sys_seconds value{std::chrono::seconds(seconds)};
        Check(store.writeDateTime(key, value), "a date is written");
        if (fits) {
          Check(store.readDateTime(key, {}) == value, "a written date reads back");
        }
        break;
      }
      case 4:
        store.deleteEntry(section, key);
        break;
      case 5:
        store.deleteEntry(section, "");
        break;
      case 6:
        store.renameKey(section, key, Name(provider, kKeys, std::size(kKeys)));
        break;
      case 7:
        store.renameSection(section, Name(provider, kSections, std::size(kSections)));
        break;
      case 8:
        store.beginBatch();
        ++batchDepth;
        break;
      case 9:
        if (batchDepth > 0) {
          --batchDepth;
          Check(store.endBatch(), "a batch reaches the file");
        }
        break;
    }
    if (batchDepth == 0) {
      committed = store.allText();
    }
    // The file holds the content of the last finished edit, byte for byte (or, before the first
    // edit, what it held, which the store may have read with other line ends).
    const std::string onDisk = FileContent(path);
    Check(onDisk == committed || (onDisk == initialFile && AsRead(onDisk) == committed),
          "the file holds the content of the last edit");
    // A second store reads the file as the first one would (without the lock: read only).
    gw::SettingsStore fresh;
    fresh.open(path, false);
    Check(fresh.allText() == AsRead(onDisk), "a fresh store reads the file");
    if (batchDepth == 0 && fits && AsRead(onDisk) == onDisk) {
      fresh.setSection(section);
      Check(fresh.readText(key, "fallback") == store.readText(key, "fallback"),
            "a fresh store reads the same value");
    }
  }
  while (batchDepth-- > 0) {
    Check(store.endBatch(), "a batch reaches the file");
  }
  const std::string onDisk = FileContent(path);
  Check(onDisk == store.allText() || (onDisk == initialFile && AsRead(onDisk) == store.allText()),
        "the file holds the content after the batches");
  return 0;
}
