// Times the hot GBK <-> UTF-16 conversions on one GBK file, as one text and line by line (each
// line with its line end, the size of the texts the regular-expression engine gets one message
// at a time).
//
//   gw_bench_charset FILE [REPEATS]
//
// Prints, for each conversion, the best wall-clock time of REPEATS passes (default 5) in
// milliseconds over the whole text and over its lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/charset.h"

namespace {

// Best time of `repeats` calls of `pass`, in milliseconds.
template <typename Pass>
double BestMilliseconds(int repeats, Pass&& pass) {
  double best = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    if (i == 0 || elapsed.count() < best) {
      best = elapsed.count();
    }
  }
  return best;
}

// The pieces of `text` that end after each LF, the last one possibly without.
template <typename Char>
std::vector<std::basic_string_view<Char>> Lines(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find(Char('\n'), start);
    const std::size_t end = lf == text.npos ? text.size() : lf + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gw_bench_charset FILE [REPEATS]\n";
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::ifstream file(argv[1], std::ios::binary);
  const std::string gbk{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (gbk.empty()) {
    std::cerr << "no text in " << argv[1] << "\n";
    return 1;
  }
  const std::u16string utf16 = gw::GbkToUtf16(gbk);
  const auto gbkLines = Lines<char>(gbk);
  const auto utf16Lines = Lines<char16_t>(utf16);

  const auto units = std::make_unique<char16_t[]>(gbk.size());
  const auto bytes = std::make_unique<char[]>(2 * utf16.size());
  std::u16string roundTrip;
  roundTrip.reserve(utf16.size());
  std::size_t sink = 0;  // keeps the results alive

  struct Row {
    const char* name;
    double whole;
    double lines;
  };
  std::vector<Row> rows;
  rows.push_back({"GbkToUtf16Into",
                  BestMilliseconds(repeats, [&] { sink += gw::GbkToUtf16Into(gbk, units.get()); }),
                  BestMilliseconds(repeats, [&] {
                    for (const std::string_view line : gbkLines) {
                      sink += gw::GbkToUtf16Into(line, units.get());
                    }
                  })});
  rows.push_back(
      {"Utf16ToGbkInto",
       BestMilliseconds(repeats, [&] { sink += gw::Utf16ToGbkInto(utf16, bytes.get()); }),
       BestMilliseconds(repeats, [&] {
         for (const std::u16string_view line : utf16Lines) {
           sink += gw::Utf16ToGbkInto(line, bytes.get());
         }
       })});
  rows.push_back({"AppendGbkRoundTrip",
                  BestMilliseconds(repeats,
                                   [&] {
                                     roundTrip.clear();
                                     gw::AppendGbkRoundTrip(utf16, roundTrip);
                                     sink += roundTrip.size();
                                   }),
                  BestMilliseconds(repeats, [&] {
                    for (const std::u16string_view line : utf16Lines) {
                      roundTrip.clear();
                      gw::AppendGbkRoundTrip(line, roundTrip);
                      sink += roundTrip.size();
                    }
                  })});
  rows.push_back({"GbkCharCount",
                  BestMilliseconds(
                      repeats, [&] { sink += static_cast<std::size_t>(gw::GbkCharCount(utf16)); }),
                  BestMilliseconds(repeats, [&] {
                    for (const std::u16string_view line : utf16Lines) {
                      sink += static_cast<std::size_t>(gw::GbkCharCount(line));
                    }
                  })});
  std::printf("%zu bytes, %zu lines (checksum %zu)\n", gbk.size(), gbkLines.size(), sink % 1000);
  std::printf("%-20s %10s %10s\n", "ms", "whole", "lines");
  for (const Row& row : rows) {
    std::printf("%-20s %10.2f %10.2f\n", row.name, row.whole, row.lines);
  }
  return 0;
}
