// Times ReadSourceText with automatic detection on one file.
//
//   gw_bench_read_source FILE [REPEATS]
//
// Prints the best wall-clock time of REPEATS reads (default 3) in seconds, then the detected
// encoding and the length of the text, on one line.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "text/source_reader.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gw_bench_read_source FILE [REPEATS]\n";
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  double best = 0;
  gw::TextEncoding detected = gw::TextEncoding::Auto;
  std::size_t length = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::string text = gw::ReadSourceText(argv[1], gw::TextEncoding::Auto, detected);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    length = text.size();
    if (i == 0 || elapsed.count() < best) {
      best = elapsed.count();
    }
  }
  std::cout << best << " " << static_cast<int>(detected) << " " << length << "\n";
  return length == 0 ? 1 : 0;
}
