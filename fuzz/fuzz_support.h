// What the fuzz targets share: a scratch folder per process, a host that stays quiet, the GBK
// validity test and a check that stops the process with a message when a property fails.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/host.h"
#include "text/gbk_tables.h"

namespace gw::fuzz {

// Stops the run with `what` when `condition` fails: libFuzzer then keeps the input as a crash.
inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

// With GW_FUZZ_TRACE set, prints `label` and the bytes of `text` (escaped) to stderr: a way to
// read what a reproducer does.
inline void Trace(const char* label, std::string_view text) {
  static const bool enabled = std::getenv("GW_FUZZ_TRACE") != nullptr;
  if (!enabled) {
    return;
  }
  std::fprintf(stderr, "%s [%zu] \"", label, text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
      std::fputc(byte, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", byte);
    }
  }
  std::fprintf(stderr, "\"\n");
}

// A folder of its own for this process ($TMPDIR or /tmp), removed when the process ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    path_ = std::filesystem::path(base != nullptr && *base != '\0' ? base : "/tmp") /
            ("gw-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Empties the folder for the next input.
  void clear() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }

 private:
  std::filesystem::path path_;
};

inline const ScratchFolder& Scratch() {
  static const ScratchFolder folder;
  return folder;
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Check(out.good(), "scratch file written");
}

// True when every character of `text` is an ASCII byte other than NUL, the byte 0x80 ("€") or a
// byte pair that code page 936 maps to a character.
inline bool IsValidGbk(std::string_view text) {
  const GbkTables& tables = Gbk();
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead == 0) {
      return false;
    }
    if (lead <= 0x80) {
      ++at;
      continue;
    }
    if (at + 1 >= text.size()) {
      return false;
    }
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    if (!IsGbkLeadByte(lead) || tables.toUnicode[(lead << 8) | trail] == 0) {
      return false;
    }
    at += 2;
  }
  return true;
}

// A host with fixed options that shows nothing and never stops.
class QuietHost : public Host {
 public:
  explicit QuietHost(Options options) : options_(std::make_shared<Options>(std::move(options))) {}
  std::shared_ptr<const Options> currentOptions() override { return options_; }
  std::string previewSourceText() override { return preview; }
  BlockedWordSettings blockedWordSettings() override { return {}; }
  void setStatus(std::string_view) override {}
  bool stopRequested() override { return false; }
  void reportError(std::string_view) override { ++errors; }
  void reportFileProblem(std::string_view) override { ++fileProblems; }

  std::string preview;
  int errors = 0;
  int fileProblems = 0;

 private:
  std::shared_ptr<Options> options_;
};

}  // namespace gw::fuzz
