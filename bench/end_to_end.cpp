// Where the time of one generation run goes: loading (read and whole-text transformations),
// cutting into messages, cleaning every message, composing and writing the articles. Runs the
// same stages as `gathwrite-cli generate --threads 1` with the default options, one after the
// other, timing each, then writes the articles once more with the engine's writer alone to split
// composing from writing.
//   gw_bench_end_to_end EXPORT_FILE OUTPUT_FOLDER
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "engine/article_composer.h"
#include "engine/extraction.h"
#include "engine/output_writer.h"
#include "quiet_host.h"
#include "text/charset.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using gw::bench::QuietHost;

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gw_bench_end_to_end EXPORT_FILE OUTPUT_FOLDER\n");
    return 2;
  }
  const fs::path output = argv[2];
  gw::Options options = gw::Options::FormDefaults();
  options.编辑框保存文件夹 = gw::Utf8ToGbk(output.string());
  QuietHost host(options);
  gw::RunContext run(42);
  const gw::SourceRef source{false, argv[1], 1, 1};

  const auto start = Clock::now();
  gw::LoadedSource loaded = gw::LoadSource(host, run, options, source);
  const auto loadedAt = Clock::now();
  gw::MessageList messages(std::move(loaded.text), host);
  const auto cutAt = Clock::now();

  const fs::path folder = gw::OutputFolderFor(source.path, options.编辑框保存文件夹);
  gw::PrepareOutputFolder(folder);
  gw::ArticleComposer composer(host, run, options, false, 1, 1, folder);
  Clock::duration composing{};
  gw::FeedMessages(host, run, messages, options,
                   [&](int index, int count, std::string_view message) {
                     const auto before = Clock::now();
                     const bool more = composer.take(index, count, message);
                     composing += Clock::now() - before;
                     return more;
                   });
  composer.complete();
  const auto end = Clock::now();

  // The same articles written again, by the writer alone, into a sibling folder.
  std::vector<std::pair<std::string, std::string>> articles;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    articles.emplace_back(gw::Utf8ToGbk(entry.path().stem().string()),
                          std::string(std::istreambuf_iterator<char>(in), {}));
  }
  const fs::path again = folder.string() + ".writer";
  gw::PrepareOutputFolder(again);
  gw::ArticleWriter writer;
  const auto writeStart = Clock::now();
  for (const auto& [title, article] : articles) {
    writer.write(again, title, "txt", article);
  }
  const double writing = Seconds(Clock::now() - writeStart);
  fs::remove_all(again);

  const double feed = Seconds(end - cutAt);
  const double compose = Seconds(composing);
  std::printf("messages %d, articles %d\n", messages.count(), composer.articlesWritten());
  std::printf("loading   %6.3f s  (read, markers, custom replacement)\n",
              Seconds(loadedAt - start));
  std::printf("cutting   %6.3f s  (the messages found over the whole text)\n",
              Seconds(cutAt - loadedAt));
  std::printf("cleaning  %6.3f s  (line folding, limits, delete rules)\n", feed - compose);
  std::printf("composing %6.3f s  (paragraphs, articles, punctuation runs, titles)\n",
              compose - writing);
  std::printf("writing   %6.3f s  (%zu files, measured apart with the writer alone)\n", writing,
              articles.size());
  std::printf("total     %6.3f s\n", Seconds(end - start));
  return 0;
}
