// Timing program for the blocked-word filter, and a sampler that builds a word library from words
// that really occur in a text.
//
//   gw_bench_blocked_words filter --library FILE [--lines | --separator TEXT]
//                          [--replacement TEXT] --text FILE --output FILE
//   gw_bench_blocked_words sample --text FILE --count N --seed N --output FILE
//
// `filter` reads the text as a GBK source while it loads the library, filters the text as the
// program does (a run, too, reads its first source while the library is prepared) and prints the
// time of each step; the output file receives the filtered text. `sample` writes N distinct
// substrings of 2 to 4 characters taken at random character positions of the text (never across a
// line break), one per line (CR LF). Separator and replacement are given in UTF-8.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <utility>

#include "engine/blocked_words.h"
#include "text/charset.h"
#include "text/gbk_chars.h"
#include "text/source_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) {
    return false;
  }
  bytes.resize(static_cast<std::size_t>(file.tellg()));
  file.seekg(0);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

int Usage() {
  std::cerr
      << "usage: gw_bench_blocked_words filter --library FILE [--lines | --separator TEXT]\n"
         "                              [--replacement TEXT] --text FILE --output FILE\n"
         "       gw_bench_blocked_words sample --text FILE --count N --seed N --output FILE\n";
  return 2;
}

int Filter(int argc, char** argv) {
  gw::BlockedWordSettings settings;
  std::string textPath;
  std::string outputPath;
  for (int i = 2; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--lines") {
      settings.separatedByLineBreaks = true;
      continue;
    }
    if (i + 1 >= argc) {
      return Usage();
    }
    const char* value = argv[++i];
    if (option == "--library") {
      settings.libraryPath = value;
    } else if (option == "--separator") {
      settings.separator = gw::Utf8ToGbk(value);
    } else if (option == "--replacement") {
      settings.replacement = gw::Utf8ToGbk(value);
    } else if (option == "--text") {
      textPath = value;
    } else if (option == "--output") {
      outputPath = value;
    } else {
      return Usage();
    }
  }
  if (settings.libraryPath.empty() || outputPath.empty()) {
    return Usage();
  }
  // The text is read as the program reads a GBK source (on one thread per processor), and, as in
  // a run, while the library is prepared.
  const auto readStart = Clock::now();
  double readMs = 0;
  std::future<gw::SourceRead> reading = std::async(std::launch::async, [&] {
    gw::TextEncoding detected = gw::TextEncoding::Gbk;
    gw::SourceRead read = gw::ReadSource(textPath, gw::TextEncoding::Gbk, detected,
                                         std::max(1u, std::thread::hardware_concurrency()));
    readMs = MillisecondsSince(readStart);
    return read;
  });
  const auto loadStart = Clock::now();
  const gw::BlockedWordFilter filter = gw::LoadBlockedWords(settings);
  const double loadMs = MillisecondsSince(loadStart);
  gw::SourceRead source = reading.get();
  const double readAndLoadMs = MillisecondsSince(readStart);
  if (source.status != gw::SourceStatus::Read) {
    return Usage();
  }
  std::string filtered = std::move(source.text);
  const std::size_t textSize = filtered.size();
  // Filtered as a run filters a source: where the text lies.
  const auto filterStart = Clock::now();
  gw::FilterBlockedWordsInPlace(filtered, filter);
  const double filterMs = MillisecondsSince(filterStart);
  std::printf("words %zu, text %.1f MB, output %.1f MB\n", filter.words().size(),
              static_cast<double>(textSize) / (1 << 20),
              static_cast<double>(filtered.size()) / (1 << 20));
  std::printf("read %.0f ms and load %.0f ms at the same time: %.0f ms; filter %.0f ms\n", readMs,
              loadMs, readAndLoadMs, filterMs);
  const auto writeStart = Clock::now();
  const bool written = WriteFile(outputPath, filtered);
  std::printf("write %.0f ms\n", MillisecondsSince(writeStart));
  return written ? 0 : 1;
}

int Sample(int argc, char** argv) {
  std::string textPath;
  std::string outputPath;
  long long count = -1;
  std::uint64_t seed = 1;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    const char* value = argv[i + 1];
    if (option == "--text") {
      textPath = value;
    } else if (option == "--output") {
      outputPath = value;
    } else if (option == "--count") {
      count = std::strtoll(value, nullptr, 10);
    } else if (option == "--seed") {
      seed = std::strtoull(value, nullptr, 10);
    } else {
      return Usage();
    }
  }
  std::string text;
  if (count < 0 || outputPath.empty() || !ReadFile(textPath, text) || text.empty()) {
    return Usage();
  }
  std::mt19937_64 random(seed);
  std::unordered_set<std::string> seen;
  std::string library;
  long long attempts = 0;
  while (static_cast<long long>(seen.size()) < count && attempts++ < count * 100) {
    // Characters are found by reading from the start of the line: a line break is never part of
    // a two-byte character, so a line starts on a character boundary.
    const std::size_t at = random() % text.size();
    const std::size_t lineStart =
        text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    std::size_t start = lineStart;
    while (start < at) {
      start += gw::GbkCharLength(text, start);
    }
    const int characters = 2 + static_cast<int>(random() % 3);
    std::size_t end = start;
    for (int c = 0; c < characters && end < text.size(); ++c) {
      end += gw::GbkCharLength(text, end);
    }
    const std::string word = text.substr(start, end - start);
    if (word.find_first_of("\r\n") != std::string::npos || gw::CharCount(word) != characters ||
        !seen.insert(word).second) {
      continue;
    }
    library += library.empty() ? word : "\r\n" + word;
  }
  return WriteFile(outputPath, library) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return Usage();
  }
  const std::string_view command = argv[1];
  if (command == "filter") {
    return Filter(argc, argv);
  }
  if (command == "sample") {
    return Sample(argc, argv);
  }
  return Usage();
}
