// Times the message splitter's use of the regular-expression service on one GBK export: one
// execute() of the message pattern over the whole text, then every body read with subMatchText
// (group 1, group 2 for the last match).
//
//   gw_bench_regex_message FILE [REPEATS]
//
// Prints one line: the number of matches, then the best times in seconds of
//   match     the search alone on the text already in UTF-16 (what node's matchAll does),
//   convert   GBK -> UTF-16 of the whole text,
//   execute   create() + execute() on the GBK text (conversion and search),
//   bodies    reading every body back as GBK text,
//   total     execute + bodies,
// then the number of GBK bytes and of UTF-16 units of all bodies (checksums of the run).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "regex/pcre2_engine.h"
#include "regex/regex_service.h"
#include "text/charset.h"

namespace {

const char* const kMessagePattern =
    "\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} "
    "{1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+?"
    ")(?=\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} "
    "{1,4}\\d{1,2}:\\d{1,2}:\\d{1,2})|\\d{4}[\\-\\/]\\d{1,"
    "2}[\\-\\/]\\d{1,2} {1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+)";

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gw_bench_regex_message FILE [REPEATS]\n";
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  std::ifstream file(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (text.empty()) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 1;
  }

  double bestMatch = 1e9;
  double bestConvert = 1e9;
  double bestExecute = 1e9;
  double bestBodies = 1e9;
  double bestTotal = 1e9;
  long long matches = 0;
  std::size_t bodyBytes = 0;
  std::size_t units = 0;
  for (int round = 0; round < repeats; ++round) {
    // The search alone, on UTF-16 text, keeping every match's offsets as execute() does.
    auto start = Clock::now();
    const std::u16string wide = gw::GbkToUtf16(text);
    bestConvert = std::min(bestConvert, Since(start));
    gw::Pcre2Pattern pattern(gw::GbkToUtf16(kMessagePattern), true, true);
    std::vector<std::size_t> offsets;
    start = Clock::now();
    pattern.forEachMatch(wide, true, [&offsets](const std::size_t* ov) {
      offsets.insert(offsets.end(), ov, ov + 6);
    });
    bestMatch = std::min(bestMatch, Since(start));

    // What the message splitter does.
    start = Clock::now();
    gw::RegexService regex;
    regex.create(kMessagePattern);
    const int count = regex.execute(text);
    const double execute = Since(start);
    const auto bodiesStart = Clock::now();
    std::size_t bytes = 0;
    for (int i = 1; i <= count; ++i) {
      bytes += regex.subMatchText(i, i == count ? 2 : 1).size();
    }
    const double bodies = Since(bodiesStart);
    bestExecute = std::min(bestExecute, execute);
    bestBodies = std::min(bestBodies, bodies);
    bestTotal = std::min(bestTotal, execute + bodies);
    matches = count;
    bodyBytes = bytes;
    if (offsets.size() / 6 != static_cast<std::size_t>(count)) {
      std::cerr << "match counts differ: " << offsets.size() / 6 << " vs " << count << "\n";
      return 1;
    }
    units = 0;
    for (std::size_t m = 0; m < offsets.size(); m += 6) {
      const std::size_t group = m + 6 == offsets.size() ? 4 : 2;
      units += offsets[m + group + 1] - offsets[m + group];
    }
  }
  std::cout << matches << " " << bestMatch << " " << bestConvert << " " << bestExecute << " "
            << bestBodies << " " << bestTotal << " " << bodyBytes << " " << units << "\n";
  return matches > 0 ? 0 : 1;
}
