// Extracts every message of one export with the default options and prints the time taken, the
// number of messages handed over and the process's peak memory.
//   gw_bench_extract EXPORT_FILE
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "engine/extraction.h"
#include "quiet_host.h"

namespace {

using gw::bench::QuietHost;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gw_bench_extract EXPORT_FILE\n");
    return 2;
  }
  QuietHost host;
  gw::RunContext run(1);
  const auto start = std::chrono::steady_clock::now();
  const gw::Options options = *host.currentOptions();
  gw::SourceRef source{false, argv[1], 1, 1};
  gw::LoadedSource loaded = gw::LoadSource(host, run, options, source);
  const auto loadedAt = std::chrono::steady_clock::now();
  const double peakAfterLoad = PeakMegabytes();
  gw::MessageList messages(std::move(loaded.text), host);
  const auto cutAt = std::chrono::steady_clock::now();
  const double peakAfterCut = PeakMegabytes();
  long kept = 0;
  long long bytes = 0;
  gw::FeedMessages(host, run, messages, options, [&](int, int, std::string_view message) {
    kept += !message.empty();
    bytes += static_cast<long long>(message.size());
    return true;
  });
  const auto end = std::chrono::steady_clock::now();
  const auto seconds = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
  std::printf("messages %d kept %ld (%lld bytes)\n", messages.count(), kept, bytes);
  std::printf("load %.3f s, cut %.3f s, clean %.3f s, total %.3f s\n", seconds(start, loadedAt),
              seconds(loadedAt, cutAt), seconds(cutAt, end), seconds(start, end));
  std::printf("peak memory after loading %.1f MB, after cutting %.1f MB\n", peakAfterLoad,
              peakAfterCut);
  std::printf("peak memory %.1f MB\n", PeakMegabytes());
  return 0;
}
